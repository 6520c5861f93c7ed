#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/fs.h"
#include "platform/io.h"
#include "platform/paths.h"
#include "platform/syscalls.h"

namespace pz::platform {
namespace {

// Marker bytes of the share-mode emulation (see file.h).
constexpr off_t kMarkBase = off_t{1} << 62;
constexpr off_t kGate = kMarkBase;
constexpr off_t kReadAccess = kMarkBase + 1;
constexpr off_t kWriteAccess = kMarkBase + 2;
constexpr off_t kDenyRead = kMarkBase + 3;
constexpr off_t kDenyWrite = kMarkBase + 4;
constexpr off_t kAppend = kMarkBase + 5;

int sysOpen(const char* p, int f, mode_t m) { return ::open(p, f, m); }
ssize_t sysPread(int fd, void* b, size_t n, off_t o) { return ::pread(fd, b, n, o); }
ssize_t sysPwrite(int fd, const void* b, size_t n, off_t o) { return ::pwrite(fd, b, n, o); }

int sysLock(int fd, int cmd, struct flock* fl) { return ::fcntl(fd, cmd, fl); }

const SysCalls kReal = {sysOpen, ::close, sysPread, sysPwrite, ::ftruncate, ::fsync, ::unlink, ::rename, ::mkdir, sysLock};

int lockRange(int fd, short type, off_t start, off_t len, bool wait) {
  struct flock fl = {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = start;
  fl.l_len = len;
  int rc;
  do {
    rc = sys().lock(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

// Releases a one-byte mark. A mark left held would block every other open or append of the file
// for as long as this open lasts, so a failed release is tried again.
int unlockMark(int fd, off_t at) {
  for (int attempt = 0; attempt < 3; ++attempt)
    if (lockRange(fd, F_UNLCK, at, 1, false) == 0) return 0;
  return -1;
}

// True when another open file description holds any lock on [start, start + len).
bool heldByOthers(int fd, off_t start, off_t len) {
  struct flock fl = {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = start;
  fl.l_len = len;
  if (sys().lock(fd, F_OFD_GETLK, &fl) != 0) return false;
  return fl.l_type != F_UNLCK;
}

bool sameInode(int fd, const std::string& native) {
  struct stat a, b;
  if (fstat(fd, &a) != 0 || stat(native.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Path-not-found when the directory above a missing file is missing too.
int missingCode(const std::string& native) {
  auto slash = native.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return kIoFileNotFound;
  struct stat st;
  return stat(native.substr(0, slash).c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kIoFileNotFound
                                                                                : kIoPathNotFound;
}

int codeForOpen(int err, const std::string& native) {
  return err == ENOENT ? missingCode(native) : ioCodeFromErrno(err);
}

}  // namespace

SysCalls& sys() {
  static SysCalls table = kReal;
  return table;
}
const SysCalls& realSysCalls() { return kReal; }

int ioCodeFromErrno(int err, bool writing) {
  switch (err) {
    case 0: return kIoOk;
    case ENOENT: return kIoFileNotFound;
    case ENOTDIR: case ENAMETOOLONG: case ELOOP: return kIoPathNotFound;
    case EMFILE: case ENFILE: return kIoTooManyOpenFiles;
    case EACCES: case EPERM: case EROFS: case EISDIR: case ETXTBSY: return kIoAccessDenied;
    case EAGAIN: case EBUSY: return kIoSharingViolation;
    case EEXIST: case ENOTEMPTY: return kIoFileExists;
    case EBADF: return kIoFileNotOpen;
    case ENOSPC: case EFBIG: case EDQUOT: return kIoWriteFailed;
    default: return writing ? kIoWriteFailed : kIoReadFault;
  }
}

File::~File() { close(); }

File::File(File&& o) noexcept : fd_(o.fd_), pos_(o.pos_), native_(std::move(o.native_)) { o.fd_ = -1; }

File& File::operator=(File&& o) noexcept {
  if (this != &o) {
    close();
    fd_ = o.fd_;
    pos_ = o.pos_;
    native_ = std::move(o.native_);
    o.fd_ = -1;
  }
  return *this;
}

int File::open(std::string_view path, Access access, Share share, Create create) {
  std::string native = paths().toNative(path);
  if (native.empty()) {
    close();
    return kIoPathNotFound;
  }
  return openNative(native, access, share, create);
}

int File::openNative(const std::string& native, Access access, Share share, Create create) {
  close();
  const bool wantRead = access != Access::Write;
  const bool wantWrite = access != Access::Read;
  const bool denyRead = share == Share::DenyRead || share == Share::DenyReadWrite;
  const bool denyWrite = share == Share::DenyWrite || share == Share::DenyReadWrite;
  const int createFlag = create == Create::OpenExisting ? 0 : O_CREAT;

  for (int attempt = 0; attempt < 10; ++attempt) {
    // Read-write even for reading, so that the gate can be write-locked; a file that may only be
    // read is opened read-only and then does without the gate.
    int fd = sys().open(native.c_str(), O_RDWR | O_CLOEXEC | createFlag, 0666);
    bool gated = fd >= 0;
    if (fd < 0 && !wantWrite && (errno == EACCES || errno == EROFS))
      fd = sys().open(native.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) return codeForOpen(errno, native);
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      sys().close(fd);
      return kIoAccessDenied;
    }

    if (gated && lockRange(fd, F_WRLCK, kGate, 1, true) != 0) gated = false;
    if (!sameInode(fd, native)) {
      // Deleted or replaced between our open and the gate: open the file that is there now.
      sys().close(fd);
      if (create == Create::OpenExisting && ::access(native.c_str(), F_OK) != 0) return missingCode(native);
      continue;
    }
    int code = kIoOk;
    if ((wantRead && heldByOthers(fd, kDenyRead, 1)) || (wantWrite && heldByOthers(fd, kDenyWrite, 1)) ||
        (denyRead && heldByOthers(fd, kReadAccess, 1)) || (denyWrite && heldByOthers(fd, kWriteAccess, 1)))
      code = kIoSharingViolation;
    if (code == kIoOk) {
      const std::pair<bool, off_t> marks[] = {
          {wantRead, kReadAccess}, {wantWrite, kWriteAccess}, {denyRead, kDenyRead}, {denyWrite, kDenyWrite}};
      for (auto [on, at] : marks)
        if (on && lockRange(fd, F_RDLCK, at, 1, false) != 0) code = kIoSharingViolation;
    }
    if (code == kIoOk && create == Create::CreateAlways && sys().ftruncate(fd, 0) != 0)
      code = ioCodeFromErrno(errno, true);
    if (gated && unlockMark(fd, kGate) != 0) {
      // The gate is still held: closing drops it, and the open is made again.
      sys().close(fd);
      continue;
    }
    if (code != kIoOk) {
      sys().close(fd);
      return code;
    }
    fd_ = fd;
    pos_ = 0;
    native_ = native;
    readOnly_ = !wantWrite;
    return kIoOk;
  }
  return kIoSharingViolation;
}

void File::close() {
  if (fd_ >= 0) sys().close(fd_);  // closing drops every mark of this open
  fd_ = -1;
}

int File::readAt(int64_t offset, void* buf, size_t n, size_t* got) const {
  if (got) *got = 0;
  if (fd_ < 0) return kIoFileNotOpen;
  size_t done = 0;
  while (done < n) {
    ssize_t r = sys().pread(fd_, static_cast<char*>(buf) + done, n - done, offset + static_cast<int64_t>(done));
    if (r < 0) {
      if (errno == EINTR) continue;
      if (got) *got = done;
      return ioCodeFromErrno(errno, false);
    }
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  if (got) *got = done;
  return done == n ? kIoOk : kIoReadPastEnd;
}

int File::writeAt(int64_t offset, const void* buf, size_t n) {
  if (fd_ < 0) return kIoFileNotOpen;
  if (readOnly_) return kIoAccessDenied;
  size_t done = 0;
  while (done < n) {
    ssize_t w = sys().pwrite(fd_, static_cast<const char*>(buf) + done, n - done, offset + static_cast<int64_t>(done));
    if (w < 0) {
      if (errno == EINTR) continue;
      return ioCodeFromErrno(errno, true);
    }
    if (w == 0) return kIoWriteFailed;
    done += static_cast<size_t>(w);
  }
  return kIoOk;
}

// Writes n bytes at the end of the file rounded down to a whole `unit`, under the append mark.
int File::appendAt(const void* buf, size_t n, size_t unit, int64_t* offset) {
  if (fd_ < 0) return kIoFileNotOpen;
  if (readOnly_) return kIoAccessDenied;
  if (lockRange(fd_, F_WRLCK, kAppend, 1, true) != 0) return kIoSharingViolation;
  int64_t end = 0;
  int code = size(end);
  if (code == kIoOk) {
    if (unit > 1) end -= end % static_cast<int64_t>(unit);
    code = writeAt(end, buf, n);
    if (code == kIoOk && offset) *offset = end;
  }
  unlockMark(fd_, kAppend);
  return code;
}

int File::appendRecord(const void* buf, size_t unit, int64_t* offset) { return appendAt(buf, unit, unit, offset); }

int File::append(const void* buf, size_t n, int64_t* offset) { return appendAt(buf, n, 1, offset); }

int File::lockAppend() {
  if (fd_ < 0) return kIoFileNotOpen;
  return lockRange(fd_, F_WRLCK, kAppend, 1, true) == 0 ? kIoOk : kIoSharingViolation;
}

void File::unlockAppend() {
  if (fd_ >= 0) unlockMark(fd_, kAppend);
}

int File::size(int64_t& out) const {
  out = 0;
  if (fd_ < 0) return kIoFileNotOpen;
  struct stat st;
  if (fstat(fd_, &st) != 0) return ioCodeFromErrno(errno);
  out = st.st_size;
  return kIoOk;
}

int File::truncate(int64_t length) {
  if (fd_ < 0) return kIoFileNotOpen;
  if (readOnly_) return kIoAccessDenied;
  return sys().ftruncate(fd_, length) == 0 ? kIoOk : ioCodeFromErrno(errno, true);
}

int File::sync() {
  if (fd_ < 0) return kIoFileNotOpen;
  return sys().fsync(fd_) == 0 ? kIoOk : ioCodeFromErrno(errno, true);
}

int File::read(void* buf, size_t n, size_t* got) {
  size_t g = 0;
  int code = readAt(pos_, buf, n, &g);
  pos_ += static_cast<int64_t>(g);
  if (got) *got = g;
  return code;
}

int File::write(const void* buf, size_t n) {
  int code = writeAt(pos_, buf, n);
  if (code == kIoOk) pos_ += static_cast<int64_t>(n);
  return code;
}

int readWholeFile(std::string_view path, std::string& out, Share share) {
  out.clear();
  File f;
  int code = f.open(path, Access::Read, share);
  if (code != kIoOk) return code;
  int64_t n = 0;
  if ((code = f.size(n)) != kIoOk) return code;
  out.resize(static_cast<size_t>(n));
  size_t got = 0;
  code = f.readAt(0, out.data(), out.size(), &got);
  out.resize(got);
  return code == kIoReadPastEnd ? kIoOk : code;  // a file that shrank meanwhile is read as it is
}

int writeWholeFile(std::string_view path, std::string_view bytes, Share share) {
  File f;
  int code = f.open(path, Access::Write, share, Create::CreateAlways);
  if (code != kIoOk) return code;
  return f.writeAt(0, bytes.data(), bytes.size());
}

namespace {

// Opens `native` for the check that nobody else has it open; returns the fd with the gate held,
// or -1 with `code` set when the file is open elsewhere (32) or missing. A file we may not open
// for writing carries no marks of ours, so it gives -1 with code 0 and the OS decides.
int gateForRemoval(const std::string& native, int& code) {
  code = kIoOk;
  int fd = sys().open(native.c_str(), O_RDWR | O_CLOEXEC, 0);
  if (fd < 0) {
    if (errno == ENOENT) code = missingCode(native);
    return -1;
  }
  if (lockRange(fd, F_WRLCK, kGate, 1, true) != 0 || heldByOthers(fd, kReadAccess, 4)) {
    sys().close(fd);
    code = kIoSharingViolation;
    return -1;
  }
  return fd;
}

}  // namespace

int removeFile(std::string_view path) {
  std::string native = paths().toNative(path);
  if (native.empty()) return kIoPathNotFound;
  int code = kIoOk;
  int fd = gateForRemoval(native, code);
  if (code != kIoOk) return code;
  int rc = sys().unlink(native.c_str());
  int err = errno;
  if (fd >= 0) sys().close(fd);
  return rc == 0 ? kIoOk : codeForOpen(err, native);
}

int renameFile(std::string_view from, std::string_view to, bool replace) {
  std::string src = paths().toNative(from);
  std::string dst = paths().toNative(to);
  if (src.empty() || dst.empty()) return kIoPathNotFound;
  int code = kIoOk;
  int srcFd = gateForRemoval(src, code);
  if (code != kIoOk) return code;
  int dstFd = -1;
  struct stat st;
  if (stat(dst.c_str(), &st) == 0) {
    if (!replace) {
      if (srcFd >= 0) sys().close(srcFd);
      return kIoAccessDenied;  // the runtime's answer to a rename onto an existing file
    }
    dstFd = gateForRemoval(dst, code);
    if (code != kIoOk) {
      if (srcFd >= 0) sys().close(srcFd);
      return code;
    }
  }
  // rename(2) replaces the target in one step: a crash leaves the old file or the new one.
  int rc = sys().rename(src.c_str(), dst.c_str());
  int err = errno;
  if (dstFd >= 0) sys().close(dstFd);
  if (srcFd >= 0) sys().close(srcFd);
  return rc == 0 ? kIoOk : codeForOpen(err, src);
}

}  // namespace pz::platform
