// The own company window at the start of the cash desk, driven by key scripts of the headless
// presenter: a new installation, an edit kept or dropped, an older file brought to the current
// layout, and the VAT payer decision that the cash desk takes away.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "frontends/headless/headless.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "registers/company.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/script.h"
#include "support/tempdir.h"

namespace pz {
namespace {

using platform::cz;
using registers::tFirma;
namespace fs = std::filesystem;

// A record of the given field texts (field number -> text), every text at its full width.
std::string firma(const std::vector<std::pair<int, std::string>>& pole, const size_t* sirky, int pocet) {
  std::string v;
  for (int i = 1; i <= pocet; ++i) {
    std::string t;
    for (const auto& [cislo, text] : pole)
      if (cislo == i) t = text;
    t.resize(sirky[i - 1], ' ');
    v += static_cast<char>(sirky[i - 1]) + t;
  }
  return v;
}
std::string firmaNyni(const std::vector<std::pair<int, std::string>>& pole) {
  return firma(pole, tFirma::kSirky.data(), tFirma::kPoli);
}

class CompanyScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    dir.write("prog.adr", "prog\\\r\n");
    fs::create_directories(dir / "prog");
    fs::copy(fs::path(PZ_SOURCE_DIR) / "demo/prog/dlib", dir / "prog/dlib");
    fs::copy_file(fs::path(PZ_SOURCE_DIR) / "demo/data/CI10.DTA", dir / "CI10.DTA");
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
    storage::settings().user = "01";
    storage::settings().vatBasicText = "21";
    storage::settings().vatReducedText = "12";
    storage::settings().vatReduced2Text = "  ";
  }
  void TearDown() override {
    storage::settings() = storage::GlobalSettings{};
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
  }
  std::string hraj(const std::string& skript) {
    const test::ScriptRun r = test::runScript(dir, skript, [this] {
      okno.UvodPokladny();
    });
    EXPECT_EQ(r.rc, 0) << r.err;
    return r.out;
  }
  std::string soubor() const { return fs::exists(dir / "fmw01.dta") ? dir.read("fmw01.dta") : std::string(); }

  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  registers::TfFMA okno;
};

TEST_F(CompanyScript, NewInstallationShowsAnEmptyRecordAndF2WritesRecord1) {
  const std::string obrazovky = hraj(
      "dump\n"
      "type 12345678\nEnter\n"
      "type CZ12345678\nEnter\n"
      "type Alfa s.r.o.\n"
      "F2\n");
  EXPECT_NE(obrazovky.find("Údaje o vlastní firmě"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("Daň. účet 21"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("CZK"), std::string::npos) << obrazovky;
  const std::string f = soubor();
  ASSERT_EQ(f.size(), 582u) << obrazovky;
  EXPECT_EQ(storage::readShortString(f, tFirma::kIco, 8), "12345678");
  EXPECT_EQ(storage::readShortString(f, tFirma::kDic, 16), "CZ12345678      ");
  EXPECT_EQ(storage::readShortString(f, tFirma::kNazev, 30).substr(0, 12), "Alfa s.r.o. ");
  // Empty accounts are stored as "000000": no tax account, no VAT payer.
  EXPECT_EQ(storage::readShortString(f, tFirma::kDanUcet1, 6), "000000");
  EXPECT_FALSE(registers::Firma().platceDph);
  EXPECT_EQ(registers::Firma().text(tFirma::kIco, 8), "12345678");
  EXPECT_TRUE(zpravy.messages.empty());
}

TEST_F(CompanyScript, EscOnANewInstallationStoresNothing) {
  hraj("type 12345678\nEsc\n");
  EXPECT_EQ(soubor(), "");
  EXPECT_EQ(registers::Firma().text(tFirma::kIco, 8), "        ");
}

TEST_F(CompanyScript, EscKeepsTheStoredRecordAndItsTaxAccountMakesAVatPayer) {
  const std::string ulozena = firmaNyni({{1, "87654321"}, {3, "Beta a.s."}, {16, "343200"}, {17, "000000"}});
  dir.write("fmw01.dta", ulozena);
  const std::string obrazovky = hraj("dump\ntype 11111111\nEsc\n");
  EXPECT_EQ(soubor(), ulozena);
  EXPECT_TRUE(registers::Firma().platceDph);
  EXPECT_TRUE(storage::settings().ownCompanyAccounts);
  EXPECT_EQ(registers::Firma().text(tFirma::kIco, 8), "87654321");
  EXPECT_NE(obrazovky.find("Beta a.s."), std::string::npos) << obrazovky;
  // The name of the tax account from the chart beside it.
  EXPECT_NE(obrazovky.find("343200   DPH na výstupu"), std::string::npos) << obrazovky;
}

TEST_F(CompanyScript, WrongBankAccountIsReportedAndKept) {
  const std::string obrazovky = hraj(
      "Down Down Down Down Down Down Down Down Down Down Down Down\n"
      "type 123456789\nEnter\n"
      "dump\nEnter\n"
      "F2\n");
  EXPECT_NE(obrazovky.find("Chybný účet"), std::string::npos) << obrazovky;
  EXPECT_EQ(storage::readShortString(soubor(), tFirma::kCisloKonta, 19).substr(0, 9), "123456789");
}

TEST_F(CompanyScript, TheOperationNameComesFromItsTextsListAndCashBookKeysShowTheirNames) {
  // The list starts empty: a text added there is then picked.
  storage::settings().cashJournal = true;
  std::string klice;
  for (int k = 1; k <= 255; ++k) {
    std::string n = k == 7 ? "Pokladna hlavni" : "";
    n.resize(27, ' ');
    klice += std::string(1, '\x1b') + n + std::string(3, '\0');
  }
  dir.write("klicew.dta", klice);
  const std::string obrazovky = hraj(
      "Down Down Down\nEnter\nF4\ntype Smenarna Nadrazi\nF2\ndump\nEnter\n"
      "Down Down Down Down Down Down Down Down Down Down Down\ntype 7\nDown\ndump\nF2\n");
  EXPECT_NE(obrazovky.find("=== fTXT1 \"Seznam textů\""), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("    1 Smenarna Nadrazi"), std::string::npos) << obrazovky;
  EXPECT_EQ(dir.read("provozy.dta"), std::string(1, '\x1e') + "Smenarna Nadrazi" + std::string(14, ' '));
  EXPECT_EQ(storage::readShortString(soubor(), 57, 30), "Smenarna Nadrazi" + std::string(14, ' '));
  // After the pick the form stands on the next field; the key typed there is shown with its name.
  EXPECT_NE(obrazovky.find(">Daň. klíč 21    7      Pokladna hlavni"), std::string::npos) << obrazovky;
  EXPECT_EQ(storage::readShortString(soubor(), tFirma::kDanUcet1, 6), "  7   ");
}

TEST_F(CompanyScript, FileOf2004IsBroughtToTheCurrentLayoutBeforeItIsShown) {
  // The 2004 layout: fields 1-14 and 16-21 of today, 382 bytes.
  const size_t sirky2004[] = {8, 16, 30, 30, 30, 30, 5, 30, 20, 20, 40, 20, 19, 4, 6, 6, 6, 6, 18, 18};
  dir.write("fmw01.dta", firma({{1, "11223344"}, {14, "0800"}, {15, "343021"}, {20, cz("hotově")}}, sirky2004, 20));
  ASSERT_EQ(soubor().size(), 382u);
  const std::string obrazovky = hraj("dump\nEsc\n");
  const std::string f = soubor();
  ASSERT_EQ(f.size(), 582u);
  EXPECT_EQ(f, firmaNyni({{1, "11223344"}, {14, "0800"}, {16, "343021"}, {21, cz("hotově")}}));
  EXPECT_TRUE(registers::Firma().platceDph);
  EXPECT_TRUE(zpravy.messages.empty());
}

TEST(CompanyVatPayer, DecidedByTheFirstTwoTaxAccounts) {
  auto platce = [](const std::string& prvni, const std::string& druhy) {
    return registers::PlatceDph(firmaNyni({{16, prvni}, {17, druhy}}));
  };
  EXPECT_FALSE(platce("000000", "000000"));
  EXPECT_TRUE(platce("343021", "000000"));
  EXPECT_TRUE(platce("", "343021"));
  EXPECT_FALSE(platce("", ""));
  // The third (second reduced rate) does not count; a record cut before the accounts is no payer.
  EXPECT_FALSE(registers::PlatceDph(firmaNyni({{18, "343021"}})));
  EXPECT_FALSE(registers::PlatceDph(firmaNyni({{16, "343021"}}).substr(0, 300)));
}

}  // namespace
}  // namespace pz
