// The report list's rewriting tools under every fault of the set at every call they make: an
// archive split and joined, the reports scrambled. Afterwards each group of files is byte for byte
// the old one or the complete new one, an answer of success means the new one, and no work file
// is left beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "reportfiles/report.h"
#include "reports/spool.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/faultsweep.h"
#include "support/tempdir.h"

namespace pz {
namespace {

namespace fs = std::filesystem;

class SpoolFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::settings().gdpr = false;
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  void priprav(const std::vector<std::pair<std::string, std::string>>& soubory) {
    for (const auto& e : fs::directory_iterator(dir.path())) fs::remove_all(e.path());
    for (const auto& [jmeno, obsah] : soubory) dir.write(jmeno, obsah);
    storage::ZapomenAdresy();
    storage::ZahodParametry();
  }
  // Every file of the folder with its bytes: what is there and nothing else.
  std::string stav() const {
    std::string s;
    std::vector<std::string> jmena;
    for (const auto& e : fs::directory_iterator(dir.path())) jmena.push_back(e.path().filename().string());
    std::sort(jmena.begin(), jmena.end());
    for (const auto& j : jmena) s += j + "=" + dir.read(j) + "\n";
    return s;
  }
  // Sweeps `akce` (answering 0 or an error code) over `soubory`; `stary` and `novy` tell whether a
  // state after a fault may stand. Answers the faults fired.
  int sweep(const std::vector<std::pair<std::string, std::string>>& soubory, const std::function<int()>& akce,
            const std::function<bool(const std::string& po, const std::string& stary, const std::string& novy)>& smi,
            const char* nazev) {
    priprav(soubory);
    const std::string stary = stav();
    EXPECT_EQ(akce(), 0);
    const std::string novy = stav();
    EXPECT_NE(novy, stary);
    int odpoved = 0, stare = 0, nove = 0, jine = 0;
    const int vypadky = test::sweepFaults(
        [&] { priprav(soubory); }, [&](const test::UnderFaults& poruchy) { poruchy([&] { odpoved = akce(); }); },
        [&](const test::FaultCase&, const std::string& porucha, bool) {
          const std::string po = stav();
          if (po == novy) {
            ++nove;
            return;
          }
          EXPECT_NE(odpoved, 0) << porucha << ": success answered, the files are not the new ones\n" << po;
          if (po == stary) {
            ++stare;
            return;
          }
          ++jine;
          EXPECT_TRUE(smi(po, stary, novy)) << porucha << ": neither the old files nor the new ones\n" << po;
        });
    std::cout << nazev << ": " << vypadky << " faults fired, " << stare << " kept the old files, " << nove
              << " gave the new ones, " << jine << " otherwise\n";
    EXPECT_GT(vypadky, 0);
    return vypadky;
  }
  static bool zadne(const std::string&, const std::string&, const std::string&) { return false; }
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
};

TEST_F(SpoolFaults, SplittingAnArchive) {
  sweep({{"PZAR1.TXT", "r1\r\nr2\r\nr3\r\n"}}, [] { return reports::RozdelArchiv("PZAR1.TXT", 2); }, zadne,
        "archive split");
}

TEST_F(SpoolFaults, JoiningTheArchives) {
  sweep({{"PZAR1X.txt", "JEDNA\r\n"}, {"PZARlX.txt", "ELKO\r\n"}, {"listw.tab", "PZAR1X   Archiv X\r\nPZ10**** Jine\r\n"}},
        [] { return reports::SpojArchivy(reports::NactiSeznamSestav(), true, "listw.tab"); },
        // The titles' table follows the join: a join whose table kept the old title may stand.
        [](const std::string& po, const std::string&, const std::string& novy) {
          const auto bezTabulky = [](const std::string& s) { return s.substr(0, s.find("listw.tab=")); };
          return bezTabulky(po) == bezTabulky(novy);
        },
        "archive join");
}

TEST_F(SpoolFaults, ScramblingTheReports) {
  const std::vector<std::pair<std::string, std::string>> soubory{{"a.txt", "prvni radek\r\ndruhy\r\n"},
                                                                 {"b.txt", "jina sestava\r\n"}};
  sweep(soubory,
        [] { return reports::PrevedSestavy(reports::NactiSeznamSestav(), true); }, zadne,
        "report scrambling");
}

}  // namespace
}  // namespace pz
