#include "platform/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "platform/io.h"
#include "platform/paths.h"
#include "platform/syscalls.h"
#include "platform/text.h"

namespace pz::platform {
namespace {

void fillInfo(const struct stat& st, const std::string& utf8Name, FileInfo& out) {
  out.name = utf8ToCp1250(utf8Name);
  out.size = st.st_size;
  struct tm t;
  time_t mt = st.st_mtime;
  localtime_r(&mt, &t);
  out.modified = {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
  out.attrs = 0;
  if (S_ISDIR(st.st_mode)) out.attrs |= kAttrDirectory;
  else out.attrs |= kAttrArchive;
  if (!(st.st_mode & S_IWUSR)) out.attrs |= kAttrReadOnly;
  if (!utf8Name.empty() && utf8Name[0] == '.') out.attrs |= kAttrHidden;
}

}  // namespace

std::vector<FileInfo> listDirectory(std::string_view pattern, int* code) {
  std::vector<FileInfo> out;
  auto sep = pattern.find_last_of("\\/");
  std::string_view dir = sep == std::string_view::npos ? std::string_view(".") : pattern.substr(0, sep + 1);
  std::string_view mask = sep == std::string_view::npos ? pattern : pattern.substr(sep + 1);
  if (sep != std::string_view::npos && dir.size() == 3 && dir[1] == ':') dir = pattern.substr(0, 3);
  if (mask.empty()) mask = "*";
  std::string native = paths().toNative(dir);
  DIR* d = native.empty() ? nullptr : opendir(native.c_str());
  if (!d) {
    if (code) *code = kIoPathNotFound;
    return out;
  }
  while (dirent* e = readdir(d)) {
    std::string nm = e->d_name;
    if (nm == "." || nm == "..") continue;
    if (!matchesMask(utf8ToCp1250(nm), mask)) continue;
    struct stat st;
    if (stat((native + "/" + nm).c_str(), &st) != 0) continue;
    FileInfo fi;
    fillInfo(st, nm, fi);
    out.push_back(std::move(fi));
  }
  closedir(d);
  std::sort(out.begin(), out.end(), [](const FileInfo& a, const FileInfo& b) { return a.name < b.name; });
  if (code) *code = kIoOk;
  return out;
}

int fileInfo(std::string_view path, FileInfo& out) {
  std::string native = paths().toNative(path);
  if (native.empty()) return kIoPathNotFound;
  struct stat st;
  if (stat(native.c_str(), &st) != 0) return ioCodeFromErrno(errno);
  auto slash = native.find_last_of('/');
  fillInfo(st, slash == std::string::npos ? native : native.substr(slash + 1), out);
  return kIoOk;
}

bool sameFile(std::string_view a, std::string_view b) {
  const std::string na = paths().toNative(a), nb = paths().toNative(b);
  if (na.empty() || nb.empty()) return false;
  struct stat sa, sb;
  if (stat(na.c_str(), &sa) != 0 || stat(nb.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool fileExists(std::string_view path) {
  FileInfo fi;
  return fileInfo(path, fi) == kIoOk && !fi.isDirectory();
}

bool directoryExists(std::string_view path) {
  FileInfo fi;
  return fileInfo(path, fi) == kIoOk && fi.isDirectory();
}

int makeDirectory(std::string_view path) {
  std::string native = paths().toNative(path);
  if (native.empty()) return kIoPathNotFound;
  if (sys().mkdir(native.c_str(), 0777) == 0) return kIoOk;
  return errno == ENOENT ? kIoPathNotFound : ioCodeFromErrno(errno, true);
}

int setFileTime(std::string_view path, const DateTime& when) {
  std::string native = paths().toNative(path);
  if (native.empty()) return kIoPathNotFound;
  struct tm t = {};
  t.tm_year = when.year - 1900;
  t.tm_mon = when.month - 1;
  t.tm_mday = when.day;
  t.tm_hour = when.hour;
  t.tm_min = when.minute;
  t.tm_sec = when.second;
  t.tm_isdst = -1;
  const time_t secs = mktime(&t);
  if (secs == static_cast<time_t>(-1)) return kIoAccessDenied;
  struct timespec times[2];
  times[0].tv_sec = times[1].tv_sec = secs;
  times[0].tv_nsec = times[1].tv_nsec = 0;
  if (utimensat(AT_FDCWD, native.c_str(), times, 0) == 0) return kIoOk;
  return errno == ENOENT ? kIoFileNotFound : ioCodeFromErrno(errno, true);
}

int setFileAttributes(std::string_view path, unsigned attrs) {
  std::string native = paths().toNative(path);
  if (native.empty()) return kIoPathNotFound;
  struct stat st;
  if (stat(native.c_str(), &st) != 0) return errno == ENOENT ? kIoFileNotFound : ioCodeFromErrno(errno);
  mode_t mode = st.st_mode & 07777;
  if (attrs & kAttrReadOnly)
    mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
  else
    mode |= S_IWUSR;
  if (mode == (st.st_mode & 07777)) return kIoOk;
  return chmod(native.c_str(), mode) == 0 ? kIoOk : ioCodeFromErrno(errno, true);
}

int removeDirectory(std::string_view path) {
  std::string native = paths().toNative(path);
  if (native.empty()) return kIoPathNotFound;
  return rmdir(native.c_str()) == 0 ? kIoOk : ioCodeFromErrno(errno, true);
}

}  // namespace pz::platform
