// The report list's rewriting tools under every fault of the set at every call they make: an
// archive split and joined, the reports scrambled (alone and with the GDPR switch). Afterwards
// each group of files is byte for byte the old one or the complete new one, an answer of success
// means the new one, and no work file is left beside them. The document folders, converted one
// document at a time, are finished by the next run instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "reportfiles/report.h"
#include "reports/spool.h"
#include "storage/interaction.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/faultsweep.h"
#include "support/stationtable.h"
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

// Which way the reports are is told only by the installation's switch, so each way the reports
// and the switch change together: the stored switch and this run's both name the reports' form.
TEST_F(SpoolFaults, TheReportsAndTheGdprSwitchChangeTogether) {
  const std::string a = "prvni radek \r\ndruhy radek \r\n", b = "jina sestava\r\n";
  const auto sifra = [](const std::string& s) {
    std::string out;
    for (size_t od = 0; od < s.size(); od = s.find("\r\n", od) + 2)
      out += reports::Zakoduj(s.substr(od, s.find("\r\n", od) - od), reports::KlicSestav()) + "\r\n";
    return out;
  };
  for (const bool zasifruj : {true, false}) {
    const std::string bezGdpr = test::stationTable({{"UZIVATEL", "01"}});
    const std::string sGdpr = test::stationTable({{"UZIVATEL", "01"}, {"GDPR", "ANO"}});
    const std::vector<std::pair<std::string, std::string>> soubory =
        zasifruj ? std::vector<std::pair<std::string, std::string>>{{"a.txt", a}, {"b.txt", b}, {"master.job", bezGdpr}}
                 : std::vector<std::pair<std::string, std::string>>{
                       {"a.txt", sifra(a)}, {"b.txt", sifra(b)}, {"master.job", sGdpr}};
    int nesedi = 0;
    const test::SyncWithoutDisk rychle;
    sweep(soubory,
          [&] {
            storage::settings().gdpr = !zasifruj;
            const int e = reports::PrepniSestavy(reports::NactiSeznamSestav(), zasifruj);
            const bool nove = dir.read("a.txt") == (zasifruj ? sifra(a) : a);
            const bool prepnuto = dir.read("master.job").find("GDPR") != std::string::npos;
            if ((e == 0 && !nove) || storage::settings().gdpr != (nove == zasifruj) || prepnuto != (nove == zasifruj))
              ++nesedi;
            return e;
          },
          zadne, zasifruj ? "report scrambling with the switch" : "report unscrambling with the switch");
    EXPECT_EQ(nesedi, 0) << zasifruj;
  }
}

// The document folders are too large to be written twice, so they are converted document by
// document. A run cut off by a fault at any call leaves every document whole in one form or the
// other and the mark telling the old form; the next run finishes the conversion, converting no
// document a second time, and leaves nothing beside the documents.
TEST_F(SpoolFaults, ADocumentConversionCutOffAnywhereIsFinishedByTheNextRun) {
  const std::map<std::string, std::string> cisty = {
      {"doklady/OF2024/d1.jpg", std::string("\xFF\xD8\xFF\xE0", 4) + std::string(300, 'p')},
      {"doklady/OF2024/d2.txt", "doklad 2\r\n"},
      {"doklady/PZ01/000001.txt", "Jan Novak\r\n"},
  };
  const auto forma = [&](bool zasifrovane) {
    std::map<std::string, std::string> m;
    for (const auto& [cesta, obsah] : cisty) m[cesta] = zasifrovane ? reports::Zakoduj(obsah, reports::KlicSestav()) : obsah;
    return m;
  };
  const auto znacka = [] { return !storage::CtiJobV("", "GDPRDOKL").empty(); };
  const test::SyncWithoutDisk rychle;  // some 700 runs of three synced documents each
  for (const bool zasifruj : {true, false}) {
    const auto stary = forma(!zasifruj), novy = forma(zasifruj);
    int odpoved = 0;
    const int vypadky = test::sweepFaults(
        [&] {
          priprav({{"master.job", test::stationTable({{"GDPRDOKL", zasifruj ? "" : "ANO"}})}});
          for (const auto& [cesta, obsah] : stary) dir.write(cesta, obsah);
          zpravy.messages.clear();
        },
        [&](const test::UnderFaults& poruchy) { poruchy([&] { odpoved = reports::PrevedDoklady(zasifruj); }); },
        [&](const test::FaultCase&, const std::string& porucha, bool) {
          bool vsechnyNove = true;
          for (const auto& [cesta, obsah] : stary) {
            const std::string ted = dir.read(cesta);
            EXPECT_TRUE(ted == obsah || ted == novy.at(cesta)) << porucha << ": " << cesta << " is neither form";
            vsechnyNove = vsechnyNove && ted == novy.at(cesta);
          }
          EXPECT_TRUE(odpoved != 0 || vsechnyNove) << porucha << ": success answered";
          EXPECT_TRUE(odpoved == 0 || !zpravy.messages.empty()) << porucha << ": a failure must say so";
          EXPECT_TRUE(znacka() != zasifruj || vsechnyNove) << porucha << ": the mark names a form not all are in";

          int znovu = -1;
          {
            test::FaultInjector bezPoruch;
            znovu = reports::PrevedDoklady(zasifruj);
          }
          EXPECT_EQ(znovu, 0) << porucha;
          for (const auto& [cesta, obsah] : novy) EXPECT_EQ(dir.read(cesta), obsah) << porucha << ": " << cesta;
          EXPECT_EQ(znacka(), zasifruj) << porucha;
          int soubory = 0;
          for (const auto& e : fs::recursive_directory_iterator(dir.path() / "doklady")) soubory += e.is_regular_file();
          EXPECT_EQ(soubory, 3) << porucha << ": a work file or the record is left";
        });
    std::cout << (zasifruj ? "document scrambling: " : "document unscrambling: ") << vypadky << " faults fired\n";
    EXPECT_GT(vypadky, 0);
  }
}

}  // namespace
}  // namespace pz
