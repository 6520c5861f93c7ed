// Fault injection for tests: makes the Nth call of one kind of file operation fail with a chosen
// errno, through the platform's system call table. Production code runs unchanged; only the table
// entries are swapped while a FaultInjector lives.
#pragma once

#include <cerrno>
#include <vector>

namespace pz::test {

enum class FaultOp { Open, Read, Write, Rename, Delete, Truncate, Lock, Sync, Count };

// One fault of the set that the fault tests sweep over: the nth call of `op` fails with `err`
// (from then on when `sticky`); `torn` makes the nth write store half its bytes first.
struct FaultCase {
  const char* name;
  FaultOp op;
  int err;
  bool sticky;
  bool torn;
};
// While one lives, a sync made under an injector answers at once (or fails as planned) without
// waiting for the disk: for sweeps of many runs that check the files' bytes, not what a power cut
// would keep.
class SyncWithoutDisk {
 public:
  SyncWithoutDisk();
  ~SyncWithoutDisk();
  SyncWithoutDisk(const SyncWithoutDisk&) = delete;
  SyncWithoutDisk& operator=(const SyncWithoutDisk&) = delete;
};

// Write ENOSPC once, a disk that stays full, a torn write, write EIO, read EIO once and for good,
// open EACCES, lock EIO, sync EIO, rename EXDEV, delete EACCES.
const std::vector<FaultCase>& everyFault();

class FaultInjector {
 public:
  FaultInjector();
  ~FaultInjector();
  FaultInjector(const FaultInjector&) = delete;
  FaultInjector& operator=(const FaultInjector&) = delete;

  // The nth call (from 1) of `op` from now on fails with `err`; later calls succeed again unless
  // `sticky`, when every call from the nth on fails (a disk that stays full).
  void failNth(FaultOp op, int nth, int err, bool sticky = false);
  // A disk that fills in the middle of a write: the nth write stores only the first half of its
  // bytes and reports them as written, and every write after it fails with `err`.
  void tearNthWrite(int nth, int err);
  // Plans one fault of the set at the nth call from now.
  void plan(const FaultCase& f, int nth);
  // Calls of `op` seen since the injector was made (or reset), the failed ones included.
  int calls(FaultOp op) const;
  void reset();
};

}  // namespace pz::test
