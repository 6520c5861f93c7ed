#include "support/installation.h"

#include <filesystem>

#include "support/stationtable.h"

namespace pz::test {

void install(const TempDir& dir, const Installation& what) {
  dir.write("master.job", stationTable(what.station));
  dir.write("data.adr", "data\\\r\n");
  dir.write("data/master.job", stationTable(what.dataRoot));
  if (!what.programRoot) return;
  dir.write("prog.adr", "prog\\\r\n");
  std::filesystem::create_directories(dir / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", dir / "prog/dlib");
}

}  // namespace pz::test
