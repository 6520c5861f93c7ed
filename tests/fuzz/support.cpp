#include "support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/paths.h"
#include "storage/interaction.h"

namespace pz::fuzz {

namespace {

class Ticho : public storage::Interaction {
 public:
  void message(const std::string&, bool) override {}
  bool question(const std::string&, bool defaultYes) override { return defaultYes; }
  bool waitFor(const std::string&, int, const std::function<bool()>& attempt) override { return attempt(); }
};

}  // namespace

const std::string& workDir() {
  static const std::string dir = [] {
    std::string t = (std::filesystem::temp_directory_path() / "pzfuzz-XXXXXX").string();
    if (!mkdtemp(t.data())) std::abort();
    platform::paths().clear();
    platform::paths().setWorkDir(t);
    std::filesystem::current_path(t);
    return t;
  }();
  return dir;
}

void put(const std::string& relative, const uint8_t* data, size_t size) {
  auto p = std::filesystem::path(workDir()) / relative;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void putParts(std::string_view all, std::initializer_list<const char*> relatives) {
  size_t from = 0;
  bool present = true;
  for (const char* name : relatives) {
    if (!present) {
      std::filesystem::remove(std::filesystem::path(workDir()) / name);
      continue;
    }
    const size_t end = all.find('\0', from);
    const std::string_view part = all.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
    put(name, reinterpret_cast<const uint8_t*>(part.data()), part.size());
    present = end != std::string_view::npos;
    from = end + 1;
  }
}

void silence() {
  static Ticho ticho;
  storage::setInteraction(&ticho);
}

}  // namespace pz::fuzz
