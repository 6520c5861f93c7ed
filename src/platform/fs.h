// Directories and whole files: listing with masks, size, date and attributes, delete, rename,
// create directory. Paths are in program form; results are IoCodes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pz::platform {

enum Attr : unsigned {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
};

struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct FileInfo {
  std::string name;  // cp1250, as the directory spells it
  int64_t size = 0;
  DateTime modified;  // local time
  unsigned attrs = 0;
  bool isDirectory() const { return attrs & kAttrDirectory; }
};

// Entries of the directory of `pattern` whose names match its last component ("*" and "?",
// without regard to case), in name order; "." and ".." are never listed. `code` gets 3 when the
// directory is missing.
std::vector<FileInfo> listDirectory(std::string_view pattern, int* code = nullptr);

int fileInfo(std::string_view path, FileInfo& out);
// True when both paths name one existing file, however they are spelled: two drive letters of
// one folder, "..", a link. Compares the files themselves (device and inode), not the names.
bool sameFile(std::string_view a, std::string_view b);
bool fileExists(std::string_view path);
bool directoryExists(std::string_view path);

// 32 while another open of the file exists, as on Windows, so that no workstation keeps reading
// a file that was deleted or replaced under it.
int removeFile(std::string_view path);
// With `replace`, an existing target is replaced in one atomic step (32 while it is open);
// without, an existing target gives 5.
int renameFile(std::string_view from, std::string_view to, bool replace = false);
int makeDirectory(std::string_view path);
// The file's date and time of last change (local time), as a copy takes it over from its source.
int setFileTime(std::string_view path, const DateTime& when);
// The attributes a file keeps on this system: only kAttrReadOnly has an effect; without it the
// file becomes writable ("normal").
int setFileAttributes(std::string_view path, unsigned attrs);
int removeDirectory(std::string_view path);

}  // namespace pz::platform
