// Outside programs: the HTTP client of the register lookups and the like, run with an argument
// vector (never through a shell), no window, a time limit and captured output.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pz::platform {

struct ProcessResult {
  int exitCode = -1;      // the program's exit status; -1 when it did not end normally
  bool started = false;   // false when the program could not be started at all
  bool timedOut = false;  // killed at the time limit
  std::string output;     // standard output and standard error, in the order written
};

// Runs argv[0] (looked up in PATH) with the given arguments and waits at most timeoutMs.
ProcessResult runProcess(const std::vector<std::string>& argv, int timeoutMs);

// A folder of its own for one outside program's files (requests, answers), made under the
// system's temporary folder ($TMPDIR, else /tmp) with a name no other run or station shares, and
// removed with the files in it when the object ends. path() is native and empty when it could
// not be made.
class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// "Open this web address" in the default browser. Presenters may install their own way; the
// default starts xdg-open and does not wait for it. Returns false when nothing could be started.
bool openUrl(const std::string& url);
void setUrlOpener(std::function<bool(const std::string&)> opener);

// This process's id and the machine's name, as a station leaves them for others to read.
int processId();
std::string hostName();

// Sleeps this thread for `ms` milliseconds of real time.
void sleepMs(int ms);

}  // namespace pz::platform
