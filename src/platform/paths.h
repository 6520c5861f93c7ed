// Paths stay in the system's own form inside the program ("par\okna2.par", "F:\DATA\kursy.dta");
// only this layer turns them into native paths and back.
//
// Rules of the translation:
// - "\" and "/" both separate components; repeated separators collapse; "." and ".." resolve.
// - "X:" maps to a native directory through the drive table (file "drives.txt" of the working
//   directory). A drive that the table does not name gives "path not found".
// - A path rooted with "\" but without a drive lands under the current drive's directory: the
//   drive of the working directory, or the working directory itself when it lies on no drive.
// - A path that begins with "/" is a native absolute path, used as it is (installations without a
//   drive table put native paths into "data.adr" and "prog.adr").
// - Each component of an existing path is matched without regard to case; a component that does
//   not exist keeps the spelling given, so a new file keeps the name it was created with.
// - Program text is cp1250, native names are UTF-8.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pz::platform {

class PathMapper {
 public:
  // Reads "drives.txt" from the native working directory. Lines "C: = /some/dir" map a drive,
  // "LPT1 = /dev/usb/lp0" a printer port; relative native directories are taken from the working
  // directory; "#" starts a comment. A missing file means no drive table.
  void loadDriveTable(const std::string& nativeWorkDir);

  void setWorkDir(const std::string& nativeWorkDir);
  void mapDrive(char letter, const std::string& nativeDir);
  void mapPort(const std::string& port, const std::string& nativePath);
  void clear();

  // Program form of a native path: through the drive table when a drive holds it, else the
  // native path itself (which then begins with "/").
  std::string toProgram(const std::string& native) const;
  // Native form of a program path; empty when the path names a drive without a mapping.
  std::string toNative(std::string_view programPath) const;
  // Native file of a printer port "LPT1".."LPT4"; empty when the table names none.
  std::string portPath(std::string_view port) const;

  const std::string& workDir() const { return workDir_; }
  bool hasDrives() const { return !drives_.empty(); }
  // The letters the drive table maps, "A" to "Z" in order (the system's logical drives).
  std::string driveLetters() const;

 private:
  std::string rootFor(std::string_view& rest) const;
  std::map<char, std::string> drives_;
  std::map<std::string, std::string> ports_;
  std::string workDir_ = ".";
};

// The process-wide mapper that every file operation uses.
PathMapper& paths();

// The working directory in program form (as the drive table sees it).
std::string currentDirectory();

// Upper-casing used to compare file names (all cp1250 letters, as file systems fold them).
char foldFileNameChar(char c);
bool sameFileName(std::string_view a, std::string_view b);
// Windows mask match: "*" any run, "?" any one character; "*.*" also matches names without a dot.
bool matchesMask(std::string_view name, std::string_view mask);

}  // namespace pz::platform
