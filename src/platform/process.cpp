#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/clock.h"

extern char** environ;

namespace pz::platform {
namespace {

std::function<bool(const std::string&)>& urlOpener() {
  static std::function<bool(const std::string&)> opener;
  return opener;
}

pid_t spawn(const std::vector<std::string>& argv, int outFd, bool newGroup) {
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  if (outFd >= 0) {
    posix_spawn_file_actions_adddup2(&fa, outFd, 1);
    posix_spawn_file_actions_adddup2(&fa, outFd, 2);
  } else {
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  }
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  if (newGroup) {
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
  }
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, args[0], &fa, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  posix_spawnattr_destroy(&attr);
  return rc == 0 ? pid : -1;
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, int timeoutMs) {
  ProcessResult res;
  if (argv.empty()) return res;
  int pipefd[2];
  if (pipe2(pipefd, O_CLOEXEC) != 0) return res;
  pid_t pid = spawn(argv, pipefd[1], true);
  close(pipefd[1]);
  if (pid < 0) {
    close(pipefd[0]);
    return res;
  }
  res.started = true;
  // The real clock even under a virtual one: the limit protects the user's real time.
  SystemClock wall;
  const int64_t deadline = wall.monotonicMs() + timeoutMs;
  char buf[4096];
  bool open = true;
  while (open) {
    int64_t left = deadline - wall.monotonicMs();
    if (left <= 0) {
      res.timedOut = true;
      break;
    }
    pollfd p = {pipefd[0], POLLIN, 0};
    int pr = poll(&p, 1, static_cast<int>(left));
    if (pr < 0 && errno == EINTR) continue;
    if (pr <= 0) continue;
    ssize_t n = read(pipefd[0], buf, sizeof buf);
    if (n > 0) res.output.append(buf, static_cast<size_t>(n));
    else if (n == 0 || errno != EINTR) open = false;
  }
  close(pipefd[0]);
  if (res.timedOut) kill(-pid, SIGKILL);
  int status = 0;
  // After end-of-output the program may still be running for a moment; honour the limit.
  while (true) {
    pid_t w = waitpid(pid, &status, res.timedOut ? 0 : WNOHANG);
    if (w == pid) break;
    if (w < 0 && errno != EINTR) break;
    if (w == 0) {
      if (wall.monotonicMs() >= deadline) {
        res.timedOut = true;
        kill(-pid, SIGKILL);
      } else {
        usleep(2000);
      }
    }
  }
  res.exitCode = WIFEXITED(status) && !res.timedOut ? WEXITSTATUS(status) : -1;
  return res;
}

TempFolder::TempFolder(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "XXXXXX";
  if (mkdtemp(templ.data()) != nullptr) path_ = templ;
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  // Only plain files are made here; anything else is left and keeps the folder.
  if (DIR* d = opendir(path_.c_str())) {
    while (const dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") unlink((path_ + "/" + name).c_str());
    }
    closedir(d);
  }
  rmdir(path_.c_str());
}

bool openUrl(const std::string& url) {
  if (urlOpener()) return urlOpener()(url);
  pid_t pid = spawn({"xdg-open", url}, -1, true);
  if (pid < 0) return false;
  // Reap it in the background so that it leaves no zombie; xdg-open returns quickly.
  std::thread([pid] { int st; waitpid(pid, &st, 0); }).detach();
  return true;
}

void setUrlOpener(std::function<bool(const std::string&)> opener) { urlOpener() = std::move(opener); }

int processId() { return static_cast<int>(::getpid()); }

void sleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string hostName() {
  char buf[256] = {};
  if (::gethostname(buf, sizeof buf - 1) != 0) return {};
  return buf;
}

}  // namespace pz::platform
