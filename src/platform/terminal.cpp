#include "platform/terminal.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace pz::platform {
namespace {

// State the signal handlers need: fixed storage, no allocation.
struct termios g_saved;
bool g_haveSaved = false;
char g_leave[256];
size_t g_leaveLen = 0;
volatile sig_atomic_t g_resized = 0;
const int kFatal[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGTERM, SIGHUP, SIGINT, SIGQUIT};

void restore() {
  if (!g_haveSaved) return;
  if (g_leaveLen) (void)!::write(STDOUT_FILENO, g_leave, g_leaveLen);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved);
  g_haveSaved = false;
}

void onFatal(int sig) {
  restore();
  signal(sig, SIG_DFL);
  raise(sig);
}

void onResize(int) { g_resized = 1; }

}  // namespace

bool Terminal::available() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }

bool Terminal::open(std::string_view enter, std::string_view leave) {
  if (open_ || !available()) return open_;
  if (tcgetattr(STDIN_FILENO, &g_saved) != 0) return false;
  g_leaveLen = std::min(leave.size(), sizeof g_leave);
  std::memcpy(g_leave, leave.data(), g_leaveLen);
  struct termios raw = g_saved;
  raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
  raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  raw.c_cflag |= CS8;
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) != 0) return false;
  g_haveSaved = true;
  static bool handlersInstalled = false;
  if (!handlersInstalled) {
    handlersInstalled = true;
    std::atexit(restore);
    for (int sig : kFatal) signal(sig, onFatal);
    struct sigaction sa = {};
    sa.sa_handler = onResize;  // no SA_RESTART: a waiting read returns to redraw
    sigaction(SIGWINCH, &sa, nullptr);
  }
  open_ = true;
  write(enter);
  return true;
}

void Terminal::close() {
  if (!open_) return;
  restore();
  open_ = false;
}

bool Terminal::read(std::string& out, int timeoutMs) {
  out.clear();
  pollfd p = {STDIN_FILENO, POLLIN, 0};
  int rc = poll(&p, 1, timeoutMs);
  if (rc <= 0) return false;
  char buf[512];
  ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
  if (n <= 0) return false;
  out.assign(buf, static_cast<size_t>(n));
  return true;
}

void Terminal::write(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void Terminal::size(int& cols, int& rows) const {
  struct winsize ws = {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0) {
    cols = ws.ws_col;
    rows = ws.ws_row;
  } else {
    cols = 80;
    rows = 24;
  }
}

bool Terminal::resized() {
  if (!g_resized) return false;
  g_resized = 0;
  return true;
}

}  // namespace pz::platform
