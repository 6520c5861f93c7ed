#include "support/faults.h"

#include <unistd.h>

#include <array>

#include "platform/syscalls.h"

namespace pz::test {
namespace {

struct Plan {
  int nth = 0;  // 0: no failure planned
  int err = 0;
  bool sticky = false;
  bool torn = false;  // the nth call (a write) stores half its bytes instead of failing
  int calls = 0;
};

std::array<Plan, static_cast<size_t>(FaultOp::Count)> g_plans;

// Counts the call and tells whether it is to fail (errno already set then).
bool fails(FaultOp op) {
  Plan& p = g_plans[static_cast<size_t>(op)];
  ++p.calls;
  if (p.nth > 0 && (p.calls == p.nth || (p.sticky && p.calls > p.nth))) {
    errno = p.err;
    return true;
  }
  return false;
}

const platform::SysCalls& real() { return platform::realSysCalls(); }

int fOpen(const char* path, int flags, mode_t mode) { return fails(FaultOp::Open) ? -1 : real().open(path, flags, mode); }
ssize_t fPread(int fd, void* b, size_t n, off_t o) { return fails(FaultOp::Read) ? -1 : real().pread(fd, b, n, o); }
ssize_t fPwrite(int fd, const void* b, size_t n, off_t o) {
  if (!fails(FaultOp::Write)) return real().pwrite(fd, b, n, o);
  const Plan& p = g_plans[static_cast<size_t>(FaultOp::Write)];
  if (p.torn && p.calls == p.nth && n / 2 > 0) return real().pwrite(fd, b, n / 2, o);
  return -1;
}
int fTruncate(int fd, off_t len) { return fails(FaultOp::Truncate) ? -1 : real().ftruncate(fd, len); }
bool g_bezDisku = false;
int fSync(int fd) { return fails(FaultOp::Sync) ? -1 : g_bezDisku ? 0 : real().fsync(fd); }
int fUnlink(const char* p) { return fails(FaultOp::Delete) ? -1 : real().unlink(p); }
int fRename(const char* a, const char* b) { return fails(FaultOp::Rename) ? -1 : real().rename(a, b); }
int fLock(int fd, int cmd, struct flock* fl) { return fails(FaultOp::Lock) ? -1 : real().lock(fd, cmd, fl); }

}  // namespace

FaultInjector::FaultInjector() {
  reset();
  auto& s = platform::sys();
  s.open = fOpen;
  s.pread = fPread;
  s.pwrite = fPwrite;
  s.ftruncate = fTruncate;
  s.fsync = fSync;
  s.unlink = fUnlink;
  s.rename = fRename;
  s.lock = fLock;
}

FaultInjector::~FaultInjector() { platform::sys() = platform::realSysCalls(); }

SyncWithoutDisk::SyncWithoutDisk() { g_bezDisku = true; }
SyncWithoutDisk::~SyncWithoutDisk() { g_bezDisku = false; }

void FaultInjector::failNth(FaultOp op, int nth, int err, bool sticky) {
  Plan& p = g_plans[static_cast<size_t>(op)];
  p.nth = p.calls + nth;
  p.err = err;
  p.sticky = sticky;
  p.torn = false;
}

void FaultInjector::tearNthWrite(int nth, int err) {
  failNth(FaultOp::Write, nth, err, true);
  g_plans[static_cast<size_t>(FaultOp::Write)].torn = true;
}

void FaultInjector::plan(const FaultCase& f, int nth) {
  if (f.torn)
    tearNthWrite(nth, f.err);
  else
    failNth(f.op, nth, f.err, f.sticky);
}

const std::vector<FaultCase>& everyFault() {
  static const std::vector<FaultCase> all = {
      {"write ENOSPC once", FaultOp::Write, ENOSPC, false, false},
      {"disk stays full", FaultOp::Write, ENOSPC, true, false},
      {"torn write", FaultOp::Write, ENOSPC, true, true},
      {"write EIO", FaultOp::Write, EIO, false, false},
      {"read EIO", FaultOp::Read, EIO, false, false},
      {"unreadable disk", FaultOp::Read, EIO, true, false},
      {"open EACCES", FaultOp::Open, EACCES, false, false},
      {"lock EIO", FaultOp::Lock, EIO, false, false},
      {"sync EIO", FaultOp::Sync, EIO, false, false},
      {"rename EXDEV", FaultOp::Rename, EXDEV, false, false},
      {"delete EACCES", FaultOp::Delete, EACCES, false, false},
  };
  return all;
}

int FaultInjector::calls(FaultOp op) const { return g_plans[static_cast<size_t>(op)].calls; }

void FaultInjector::reset() { g_plans = {}; }

}  // namespace pz::test
