// A fresh directory under the system's temporary directory, removed with everything in it when
// the object goes away. Tests that touch files work only inside one.
#pragma once

#include <filesystem>
#include <string>

namespace pz::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  void write(const std::string& relative, const std::string& bytes) const;
  std::string read(const std::string& relative) const;

 private:
  std::filesystem::path path_;
};

// Changes the process's current directory for the lifetime of the object.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::filesystem::path& dir);
  ~ScopedCwd();

 private:
  std::filesystem::path old_;
};

}  // namespace pz::test
