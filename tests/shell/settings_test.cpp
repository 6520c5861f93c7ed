// The start-up initialisation: which settings a station gets from its tables and files.
#include "shell/settings_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/faults.h"
#include "support/stationtable.h"
#include "support/tempdir.h"

namespace pz::shell {
namespace {

using platform::cz;
using storage::settings;
using test::stationTable;


// An own-company record with the two tax accounts at offsets 332 and 339.
std::string firma(const std::string& ucet1, const std::string& ucet2, size_t size = 582) {
  std::string r(size, ' ');
  auto put = [&](size_t at, const std::string& s) {
    if (at >= r.size()) return;
    r[at] = static_cast<char>(s.size());
    r.replace(at + 1, s.size(), s);
  };
  put(332, ucet1);
  put(339, ucet2);
  return r.substr(0, size);
}

class StartSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    reset();
    storage::setInteraction(&rec);
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    reset();
    platform::paths().clear();
  }
  static void reset() {
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::KonecStartuJob();
    settings() = storage::GlobalSettings{};
  }
  void station(const std::vector<std::pair<std::string, std::string>>& entries) {
    dir.write("master.job", stationTable(entries));
  }
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction rec;
};

TEST_F(StartSettings, WithoutAStationTableNothingIsRead) {
  dir.write("master.job", "x");
  dir.write("data.adr", "data\\\n");
  dir.write("data/master.job", stationTable({{"UZIVATEL", "05"}, {"MENA", "EUR"}}));
  NactiNastaveni(120);
  EXPECT_EQ(settings().user, "");
  EXPECT_EQ(settings().homeCurrency, "");
  EXPECT_EQ(settings().screenScale, 1.0);
  EXPECT_TRUE(settings().registerLookup);
  EXPECT_EQ(dir.read("data/master.job"), stationTable({{"UZIVATEL", "05"}, {"MENA", "EUR"}}));  // nothing written
}

TEST_F(StartSettings, AStationTableThatCannotBeReadStopsTheStart) {
  station({{"UZIVATEL", "05"}});
  dir.write("data.adr", "data\\\n");
  bool ok = true;
  {
    test::FaultInjector faults;
    faults.failNth(test::FaultOp::Open, 1, EACCES, true);
    ok = NactiNastaveni(96);
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(rec.messages, std::vector<std::string>{cz("Soubor master.job nelze přečíst (err     5), program končí.")});
  EXPECT_EQ(settings().user, "");
  EXPECT_FALSE(std::filesystem::exists(dir / "data" / "fmw.dta"));
  EXPECT_EQ(dir.read("master.job"), stationTable({{"UZIVATEL", "05"}}));
}

TEST_F(StartSettings, AStationWithoutAUserNumberBecomesUser01Once) {
  station({{"UZIVATEL", "0"}});
  NactiNastaveni(96);
  EXPECT_EQ(settings().user, "01");
  EXPECT_EQ(settings().userNumber, 1);
  EXPECT_EQ(dir.read("master.job"), stationTable({{"UZIVATEL", "01"}}));

  reset();
  station({{"MENA", "EUR"}});
  NactiNastaveni(96);
  EXPECT_EQ(settings().user, "01");
  EXPECT_EQ(dir.read("master.job"), stationTable({{"MENA", "EUR"}, {"UZIVATEL", "01"}}));

  reset();
  station({{"UZIVATEL", "7"}});
  NactiNastaveni(96);
  EXPECT_EQ(settings().user, "07");
}

TEST_F(StartSettings, AFullStationTableStillStartsAsUser01) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < 200; ++i) entries.emplace_back("K" + std::to_string(i), "v");
  station(entries);
  NactiNastaveni(96);  // must not loop on the number it cannot store
  EXPECT_EQ(settings().user, "01");
  EXPECT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(dir.read("master.job"), stationTable(entries));
}

TEST_F(StartSettings, StationValuesInTheirProgramForms) {
  station({{"UZIVATEL", "12"},
           {"POCITAC", "00345"},
           {"MENA", "EU"},
           {"DAN2", "21"},
           {"DAN1", "12"},
           {"DAN3", "0"},
           {"TAB", "5"},
           {"NovyList", "A"},
           {"OB_PORT", "2"},
           {"DIAKTISK", " N "},
           {"ARES", "ne"},
           {"DAN_DOLU", "x"},
           {"ZAK1", "Firma"},
           {"ZAK2", " s.r.o."},
           {"ZAK3", "Praha 1"}});
  NactiNastaveni(96);
  const auto& s = settings();
  EXPECT_EQ(s.user, "12");
  EXPECT_EQ(s.workstation, "0034");
  EXPECT_EQ(s.workstationNumber, 34);
  EXPECT_EQ(s.homeCurrency, "EU ");
  EXPECT_EQ(s.vatBasic, 21);
  EXPECT_EQ(s.vatReduced, 12);
  EXPECT_EQ(s.vatReduced2, 0);
  EXPECT_EQ(s.vatBasicText, "21");
  EXPECT_EQ(s.vatReduced2Text, "  ");
  EXPECT_DOUBLE_EQ(s.vatBasicCoef, 0.173553719008);
  EXPECT_DOUBLE_EQ(s.vatReducedCoef, 0.107142857143);
  EXPECT_EQ(s.pageLength, 64);  // LIMRAD missing
  EXPECT_EQ(s.leftMargin, 5);
  EXPECT_TRUE(s.newPage);
  EXPECT_EQ(s.drawerPort, 2);
  EXPECT_TRUE(s.printNoDiacritics);
  EXPECT_FALSE(s.registerLookup);
  EXPECT_TRUE(s.vatInclusive);
  EXPECT_EQ(s.firmName, "Firma s.r.o.Praha 1     ");
  EXPECT_EQ(s.eventLog, "PROTOKOL.PRT");
  EXPECT_EQ(s.screenScale, 1.0);
  reset();
  NactiNastaveni(120);
  EXPECT_EQ(settings().screenScale, 1.25);
}

TEST_F(StartSettings, DefaultsForEmptyValues) {
  station({{"UZIVATEL", "01"}, {"LIMRAD", "0"}});
  NactiNastaveni(144);
  const auto& s = settings();
  EXPECT_EQ(s.homeCurrency, "CZK");
  EXPECT_EQ(s.pageLength, 64);
  EXPECT_EQ(s.firmName, std::string(24, ' '));
  EXPECT_TRUE(s.registerLookup);
  EXPECT_EQ(s.screenScale, 1.0);
  EXPECT_EQ(s.ledgerYear, "00");
  EXPECT_EQ(s.lockServer, "");
}

TEST_F(StartSettings, InstallationSwitchesComeFromTheDataRoot) {
  station({{"UZIVATEL", "01"}, {"FJ", "A"}});  // the station's own FJ means nothing
  dir.write("data.adr", "data\\\n");
  dir.write("data/master.job", stationTable({{"UCROK", "7"}, {"UCDAT", "3"}, {"SERVER1", "server.f"},
                                      {"SERVER2", "irma.cz"}, {"GDPR", "A"}}));
  NactiNastaveni(96);
  const auto& s = settings();
  EXPECT_EQ(s.ledgerYear, "07");
  EXPECT_EQ(s.ledgerPeriod, "03");
  EXPECT_EQ(s.lockServer, "server.firma.cz");
  EXPECT_TRUE(s.gdpr);
  EXPECT_FALSE(s.cashJournal);
  EXPECT_FALSE(s.lockingOff);
}

TEST_F(StartSettings, ParameterFileSettings) {
  station({{"UZIVATEL", "01"}});
  dir.write("UCPARAM.DTA", "MenaEU : EURO\r\nKursEU : 25,125\r\nUcRok : 2 6\r\nUcObd : 1 2 3\r\n");
  dir.write("sys.par", "stredniky : Ano\r\n");
  dir.write("par/okna2.par", "CencTisk : A\r\n");
  NactiNastaveni(96);
  const auto& s = settings();
  EXPECT_EQ(s.conversionCurrency, "EUR");
  EXPECT_DOUBLE_EQ(s.conversionRate, 25.125);
  EXPECT_EQ(s.controlYear, "26");
  EXPECT_EQ(s.controlPeriod, "12");
  EXPECT_TRUE(s.semicolons);
  EXPECT_TRUE(s.printerToggle);
}

TEST_F(StartSettings, LockingIsOffWhenTheDataRootIsTheWorkingDirectory) {
  // The working directory is C:\WORK through the drive table.
  std::filesystem::create_directories(dir / "work");
  platform::paths().setWorkDir((dir / "work").string());
  platform::paths().mapDrive('C', dir.str());
  pz::test::ScopedCwd inWork(dir / "work");
  dir.write("work/master.job", stationTable({{"UZIVATEL", "01"}}));
  auto lockingOff = [&](const std::string& root) {
    reset();
    dir.write("work/data.adr", root + "\r\n");
    NactiNastaveni(96);
    return settings().lockingOff;
  };
  EXPECT_TRUE(lockingOff("c:\\work"));
  EXPECT_TRUE(lockingOff("\\WORK\\"));  // no drive in the root: the drive is not compared
  EXPECT_FALSE(lockingOff("C:\\DATA\\"));
  EXPECT_FALSE(lockingOff(""));
}

TEST_F(StartSettings, OwnCompanyAccountsFlag) {
  station({{"UZIVATEL", "03"}});
  auto run = [&](const std::string& record) {
    reset();
    dir.write("fmw03.dta", record);
    NactiNastaveni(96);
    return settings().ownCompanyAccounts;
  };
  EXPECT_FALSE(run(firma("000000", "000000")));
  EXPECT_FALSE(run(firma("      ", "")));
  EXPECT_TRUE(run(firma("343021", "")));
  EXPECT_TRUE(run(firma("", "343021")));        // the second account counts too
  EXPECT_TRUE(run(firma("343021", "", 339)));   // a short record: what it holds
  EXPECT_FALSE(run(firma("343021", "", 300)));  // shorter than the accounts: off, no error
  EXPECT_FALSE(run("xx"));
}

}  // namespace
}  // namespace pz::shell
