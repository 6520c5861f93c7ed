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

// "Open this web address" in the default browser. Presenters may install their own way; the
// default starts xdg-open and does not wait for it. Returns false when nothing could be started.
bool openUrl(const std::string& url);
void setUrlOpener(std::function<bool(const std::string&)> opener);

// This process's id and the machine's name, as a station leaves them for others to read.
int processId();
std::string hostName();

}  // namespace pz::platform
