// The system calls of the file layer sit in one table so that tests can replace one of them, for
// example to fail the Nth write, and check that no stored file is damaged.
#pragma once

#include <fcntl.h>
#include <sys/types.h>

namespace pz::platform {

struct SysCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  int (*close)(int fd);
  ssize_t (*pread)(int fd, void* buf, size_t n, off_t off);
  ssize_t (*pwrite)(int fd, const void* buf, size_t n, off_t off);
  int (*ftruncate)(int fd, off_t len);
  int (*fsync)(int fd);
  int (*unlink)(const char* path);
  int (*rename)(const char* from, const char* to);
  int (*mkdir)(const char* path, mode_t mode);
  // F_OFD_SETLK, F_OFD_SETLKW and F_OFD_GETLK: the share modes, the gate and the append mark.
  int (*lock)(int fd, int cmd, struct flock* fl);
};

SysCalls& sys();
// The table as the operating system gives it, to restore after a test.
const SysCalls& realSysCalls();

}  // namespace pz::platform
