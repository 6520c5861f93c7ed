// Files with Windows access and share modes.
//
// Share modes are emulated with open-file-description locks (F_OFD_SETLK) on marker bytes far
// beyond any data, so they hold between processes and between two opens in one process alike:
//   kGate          taken exclusively for the moment of an open, delete or rename, so that the
//                  check of the other opens and the taking of this open's marks are one step;
//   kReadAccess    read-locked by every open that reads,
//   kWriteAccess   read-locked by every open that writes,
//   kDenyRead      read-locked by every open that denies reading to others,
//   kDenyWrite     read-locked by every open that denies writing to others,
//   kAppend        write-locked for the moment of an append at the true end of the file.
// An open fails with 32 when it wants an access that another open denies, or denies an access
// that another open has: the Windows rule. Delete and rename fail with 32 while any open exists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pz::platform {

enum class Access { Read, Write, ReadWrite };
enum class Share { DenyNone, DenyWrite, DenyRead, DenyReadWrite };
enum class Create {
  OpenExisting,  // fails with 2 (or 3) when missing
  OpenAlways,    // creates an empty file when missing
  CreateAlways,  // creates, or empties an existing file
};

class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Returns an IoCode. `path` is in program form.
  int open(std::string_view path, Access access, Share share, Create create = Create::OpenExisting);
  int openNative(const std::string& nativePath, Access access, Share share, Create create);
  void close();
  bool isOpen() const { return fd_ >= 0; }

  // Reads exactly n bytes at offset; 100 when the file ends first (`got` tells how many came).
  int readAt(int64_t offset, void* buf, size_t n, size_t* got = nullptr) const;
  int writeAt(int64_t offset, const void* buf, size_t n);
  // Writes at the file's true end under a short lock, so that two workstations appending at
  // once never write over each other; `offset` receives where the bytes went.
  int append(const void* buf, size_t n, int64_t* offset = nullptr);
  // Like append, but first rounds the end down to a whole number of `unit`-byte records so that
  // a partial last record left by a failed write is overwritten, not built on.
  int appendRecord(const void* buf, size_t unit, int64_t* offset = nullptr);
  // Holds the append mark, so that a check of the end and the write after it are one step for
  // every open that appends (a log that is created with a first line, for example).
  int lockAppend();
  void unlockAppend();
  int size(int64_t& out) const;
  int truncate(int64_t length);
  int sync();

  // Sequential access from a current position, as text files and logs use it.
  void seek(int64_t pos) { pos_ = pos; }
  int64_t position() const { return pos_; }
  int read(void* buf, size_t n, size_t* got = nullptr);
  int write(const void* buf, size_t n);

  const std::string& nativePath() const { return native_; }

 private:
  int appendAt(const void* buf, size_t n, size_t unit, int64_t* offset);
  int fd_ = -1;
  bool readOnly_ = false;
  int64_t pos_ = 0;
  std::string native_;
};

// Whole-file helpers for small files (address files, parameter files, scripts).
int readWholeFile(std::string_view path, std::string& out, Share share = Share::DenyWrite);
int writeWholeFile(std::string_view path, std::string_view bytes, Share share = Share::DenyReadWrite);

}  // namespace pz::platform
