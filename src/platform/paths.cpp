#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/text.h"

namespace pz::platform {
namespace fs = std::filesystem;

namespace {

bool isSep(char c) { return c == '\\' || c == '/'; }

std::vector<std::string_view> splitComponents(std::string_view p) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < p.size()) {
    while (i < p.size() && isSep(p[i])) ++i;
    size_t j = i;
    while (j < p.size() && !isSep(p[j])) ++j;
    if (j > i) out.push_back(p.substr(i, j - i));
    i = j;
  }
  return out;
}

std::string normalDir(const std::string& dir, const std::string& base) {
  fs::path p(dir);
  if (p.is_relative()) p = fs::path(base) / p;
  std::error_code ec;
  fs::path c = fs::weakly_canonical(p, ec);
  std::string s = (ec ? p.lexically_normal() : c).string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string join(const std::string& dir, const std::string& name) {
  return dir == "/" ? "/" + name : dir + "/" + name;
}

std::string trim(std::string s) {
  const char* ws = " \t\r\n";
  s.erase(0, s.find_first_not_of(ws));
  auto e = s.find_last_not_of(ws);
  s.erase(e == std::string::npos ? 0 : e + 1);
  return s;
}

// Finds an entry of `dir` whose name equals `wanted` without regard to case.
bool findCaseless(const std::string& dir, std::string_view wantedCp, std::string& found) {
  DIR* d = opendir(dir.c_str());
  if (!d) return false;
  bool ok = false;
  while (dirent* e = readdir(d)) {
    std::string cp = utf8ToCp1250(e->d_name);
    if (sameFileName(cp, wantedCp)) {
      found = e->d_name;
      ok = true;
      break;
    }
  }
  closedir(d);
  return ok;
}

}  // namespace

char foldFileNameChar(char ch) {
  auto c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  switch (c) {
    case 0x9A: case 0x9C: case 0x9D: case 0x9E: case 0x9F: return static_cast<char>(c - 0x10);
    case 0xB3: return static_cast<char>(0xA3);
    case 0xB9: return static_cast<char>(0xA5);
    case 0xBA: return static_cast<char>(0xAA);
    case 0xBE: return static_cast<char>(0xBC);
    case 0xBF: return static_cast<char>(0xAF);
    default: break;
  }
  if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return static_cast<char>(c - 0x20);
  return ch;
}

bool sameFileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (foldFileNameChar(a[i]) != foldFileNameChar(b[i])) return false;
  return true;
}

bool matchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  // Iterative wildcard match with one backtrack point for the last "*".
  size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || foldFileNameChar(mask[m]) == foldFileNameChar(name[n]))) {
      ++n, ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  // "name." in a mask matches a name without an extension, as "*." does on Windows.
  if (m + 1 == mask.size() && mask[m] == '.' && name.find('.') == std::string_view::npos) return true;
  return m == mask.size();
}

void PathMapper::loadDriveTable(const std::string& nativeWorkDir) {
  setWorkDir(nativeWorkDir);
  std::ifstream in(join(workDir_, "drives.txt"));
  std::string line;
  while (std::getline(in, line)) {
    if (auto h = line.find('#'); h != std::string::npos) line.erase(h);
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = trim(line.substr(0, eq));
    std::string value = trim(line.substr(eq + 1));
    if (key.empty() || value.empty()) continue;
    if (key.back() == ':') key.pop_back();
    for (auto& c : key) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    if (key.size() == 1 && isalpha(static_cast<unsigned char>(key[0])))
      mapDrive(key[0], value);
    else
      mapPort(key, value);
  }
}

void PathMapper::setWorkDir(const std::string& nativeWorkDir) {
  workDir_ = normalDir(nativeWorkDir, fs::current_path().string());
}

void PathMapper::mapDrive(char letter, const std::string& nativeDir) {
  drives_[static_cast<char>(toupper(static_cast<unsigned char>(letter)))] = normalDir(nativeDir, workDir_);
}

void PathMapper::mapPort(const std::string& port, const std::string& nativePath) {
  std::string key = port;
  for (auto& c : key) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  fs::path p(nativePath);
  ports_[key] = p.is_relative() ? join(workDir_, nativePath) : nativePath;
}

std::string PathMapper::driveLetters() const {
  std::string out;
  for (const auto& [letter, dir] : drives_)
    if (letter >= 'A' && letter <= 'Z') out += letter;
  return out;
}

void PathMapper::clear() {
  drives_.clear();
  ports_.clear();
}

std::string PathMapper::portPath(std::string_view port) const {
  std::string key(port);
  for (auto& c : key) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  while (!key.empty() && key.back() == ':') key.pop_back();
  auto it = ports_.find(key);
  return it == ports_.end() ? std::string() : it->second;
}

std::string PathMapper::toProgram(const std::string& native) const {
  std::string n = normalDir(native, workDir_);
  char best = 0;
  size_t bestLen = 0;
  for (const auto& [letter, dir] : drives_) {
    bool inside = n == dir || (n.size() > dir.size() && n.compare(0, dir.size(), dir) == 0 &&
                               (n[dir.size()] == '/' || dir == "/"));
    if (inside && dir.size() >= bestLen) best = letter, bestLen = dir.size();
  }
  if (!best) return utf8ToCp1250(n);
  std::string rest = n.substr(bestLen);
  std::string out = std::string(1, best) + ":";
  if (rest.empty() || rest[0] != '/') out += '\\';
  for (char c : utf8ToCp1250(rest)) out += c == '/' ? '\\' : c;
  return out;
}

// Splits off the root of a program path and returns its native directory ("" when none).
std::string PathMapper::rootFor(std::string_view& rest) const {
  if (rest.size() >= 2 && rest[1] == ':' && isalpha(static_cast<unsigned char>(rest[0]))) {
    auto it = drives_.find(static_cast<char>(toupper(static_cast<unsigned char>(rest[0]))));
    rest.remove_prefix(2);
    return it == drives_.end() ? std::string() : it->second;
  }
  if (!rest.empty() && rest[0] == '/') return "/";
  if (!rest.empty() && rest[0] == '\\') {
    // The current drive: the mapped directory holding the working directory.
    std::string best;
    for (const auto& [letter, dir] : drives_) {
      bool inside = workDir_ == dir || (workDir_.compare(0, dir.size(), dir) == 0 &&
                                        workDir_.size() > dir.size() && workDir_[dir.size()] == '/');
      if (inside && dir.size() > best.size()) best = dir;
    }
    return best.empty() ? workDir_ : best;
  }
  return workDir_;
}

std::string PathMapper::toNative(std::string_view programPath) const {
  std::string_view rest = programPath;
  std::string base = rootFor(rest);
  if (base.empty()) return {};
  const bool relative = !rest.empty() && !isSep(rest[0]) && base == workDir_;
  // Resolves the components; with `caseless`, each missing component is looked up without
  // regard to case until one does not exist at all.
  auto resolve = [&](bool caseless) {
    std::string cur = base;
    size_t floor = base.size();
    bool matching = caseless;
    for (std::string_view comp : splitComponents(rest)) {
      if (comp == ".") continue;
      if (comp == "..") {
        if (cur.size() > floor || relative) {
          auto slash = cur.find_last_of('/');
          cur = slash == 0 ? "/" : cur.substr(0, slash);
          floor = std::min(floor, cur.size());
        }
        continue;
      }
      std::string candidate = join(cur, cp1250ToUtf8(comp));
      if (matching) {
        struct stat st;
        if (lstat(candidate.c_str(), &st) != 0) {
          std::string found;
          if (findCaseless(cur, comp, found))
            candidate = join(cur, found);
          else
            matching = false;  // nothing below a missing component can exist
        }
      }
      cur = std::move(candidate);
    }
    return cur;
  };
  // The path as spelt usually exists: one stat instead of one a component.
  std::string exact = resolve(false);
  struct stat st;
  if (lstat(exact.c_str(), &st) == 0) return exact;
  return resolve(true);
}

PathMapper& paths() {
  static PathMapper mapper = [] {
    PathMapper m;
    m.setWorkDir(fs::current_path().string());
    return m;
  }();
  return mapper;
}

std::string currentDirectory() { return paths().toProgram(paths().workDir()); }

}  // namespace pz::platform
