// The journal's menu services driven by key scripts over a real batch: the date replacement
// with its backup copy, the hidden items behind Ctrl and the right button (the rounding of the
// differences on the integers, the conversion to euros that asks first and copies first), the
// sort and the insert and duplicate keys.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "accounting/accounts.h"
#include "accounting/centres.h"
#include "accounting/entries.h"
#include "accounting/journal.h"
#include "accounting/templates.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "reports/viewer.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/script.h"
#include "support/tempdir.h"
#include "ui/dialogs.h"

namespace pz {
namespace {

using accounting::tUcZapis;
namespace fs = std::filesystem;

tUcZapis zapis(const std::string& radek, std::int64_t castka, const std::string& datum, const std::string& agenda = "PZ") {
  tUcZapis z;
  z.agenda = agenda;
  z.cisloUP = "000005";
  z.radek = radek;
  z.text = "Zapis " + radek + std::string(22, ' ');
  z.ucetMD = "211200";
  z.ucetDal = "221000";
  z.zakMD = z.zakDal = std::string(20, ' ');
  z.castka = castka;
  z.datum = datum;
  z.parUdaj = std::string(10, ' ');
  return z;
}

std::string bajty(const std::vector<tUcZapis>& z) {
  std::string s;
  for (const auto& e : z) {
    const auto v = accounting::SlozZapis(e);
    s.append(v.begin(), v.end());
  }
  return s;
}

std::vector<tUcZapis> zapisy(const std::string& b) {
  std::vector<tUcZapis> z;
  for (std::size_t o = 0; o + 138 <= b.size(); o += 138) z.push_back(accounting::RozeberZapis(std::string_view(b).substr(o, 138)));
  return z;
}

class JournalScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("prog.adr", "PROG\\\r\n");
    dir.write("PROG/.keep", "");
    std::string osnova;
    for (const char* u : {"211200", "221000", "602000"}) {
      std::string v = std::string("\x06") + u + "\x1e" + "Ucet " + u + std::string(19, ' ');
      v.resize(79, '\0');
      osnova += v;
    }
    dir.write("DATA/CI10.DTA", osnova);
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::ZapomenOtevrenaOkna();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::settings().conversionRate = 0;
    storage::settings().controlYear.clear();
    ui::NastavProhlizecSestav({});
    storage::ZapomenOtevrenaOkna();
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  // The journal over the batch, driven by `skript`; the screens it dumped.
  std::string denik(const std::string& skript) {
    const test::ScriptRun r = test::runScript(dir, skript, [&] {
      uc.Nastav("PZUC.dta", "00000101");
      uc.JdiNa(1);
      uc.showModal();
      uc.Zavri();
    });
    EXPECT_EQ(r.rc, 0) << r.err << r.out;
    return r.out;
  }
  // The folders of backup copies in the data root.
  std::vector<fs::path> zalohy() const {
    std::vector<fs::path> s;
    for (const auto& e : fs::directory_iterator(dir / "DATA"))
      if (e.is_directory()) s.push_back(e.path());
    return s;
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  accounting::TfCis10 osnova;
  accounting::TfCis30 strediska;
  accounting::TfCis36 zakazky;
  accounting::TfCis11 predkontace;
  accounting::TfUc uc;
};

TEST_F(JournalScript, ReplacingDatesCopiesTheBatchFirstAndChangesOnlyTheMatchingMonth) {
  const std::string puvodni = bajty({zapis("01", 10000, "030122"), zapis("02", 20000, "150222"), zapis("03", 30000, "310122")});
  dir.write("DATA/PZUC.dta", puvodni);
  // "Záměna datumu": January 2022 becomes February 2026.
  denik("F10\nDown\nDown\nDown\nDown\nDown\nEnter\ntype 0122\nDown\ntype 0226\nF2\nEsc\n");
  const auto z = zapisy(dir.read("DATA/PZUC.dta"));
  ASSERT_EQ(z.size(), 3u);
  EXPECT_EQ(z[0].datum, "030226");
  EXPECT_EQ(z[1].datum, "150222");
  EXPECT_EQ(z[2].datum, "310226");
  const auto s = zalohy();
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].filename().string().substr(0, 7), "261209-");
  EXPECT_EQ(dir.read("DATA/" + s[0].filename().string() + "/UC01.dta"), puvodni);
  const std::string zmeny = dir.read("DATA/" + s[0].filename().string() + "/ZMENY.par");
  EXPECT_NE(zmeny.find("Puvodni : **0122"), std::string::npos) << zmeny;
  EXPECT_NE(zmeny.find("Zmenena : **0226"), std::string::npos) << zmeny;
}

TEST_F(JournalScript, AWiderNewPeriodIsAskedAboutAndNoChangesNothing) {
  const std::string puvodni = bajty({zapis("01", 10000, "030122")});
  dir.write("DATA/PZUC.dta", puvodni);
  const std::string obrazovky = denik("F10\nDown\nDown\nDown\nDown\nDown\nEnter\ntype 0122\nDown\ntype 26\nF2\ndump\nN\nEsc\n");
  // The old mask names a month, the new one a whole year.
  EXPECT_NE(obrazovky.find("Staré období je širší než nové, opravit"), std::string::npos) << obrazovky;
  EXPECT_EQ(dir.read("DATA/PZUC.dta"), puvodni);
  EXPECT_TRUE(zalohy().empty());
}

TEST_F(JournalScript, HiddenItemsComeWithCtrlRightButtonAndRoundOnTheIntegers) {
  dir.write("DATA/PZUC.dta", bajty({zapis("01", 12345, "030122"), zapis("02", 12350, "030122"),
                                    zapis("03", -12350, "030122"), zapis("04", -12349, "030122")}));
  // Without Ctrl and the right button the item cannot be chosen.
  denik("F10\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nEnter\nEsc\nEsc\n");
  EXPECT_EQ(zapisy(dir.read("DATA/PZUC.dta"))[0].castka, 12345);
  // "Oprava rozdílu 0.00": whole hundredths, half away from zero.
  denik("rclick 10 3 Ctrl\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nEnter\nEsc\n");
  const auto z = zapisy(dir.read("DATA/PZUC.dta"));
  ASSERT_EQ(z.size(), 4u);
  EXPECT_EQ(z[0].castka, 12300);
  EXPECT_EQ(z[1].castka, 12400);
  EXPECT_EQ(z[2].castka, -12400);
  EXPECT_EQ(z[3].castka, -12300);
}

TEST_F(JournalScript, TheConversionToEurosAsksFirstAndCopiesTheBatchBeforeDividing) {
  storage::settings().conversionRate = 24.86;
  const std::string puvodni = bajty({zapis("01", 2486000, "030122"), zapis("02", 1000000, "030122")});
  dir.write("DATA/PZUC.dta", puvodni);
  const std::string nic = denik("rclick 10 3 Ctrl\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nEnter\ndump\nN\nEsc\n");
  EXPECT_NE(nic.find("Přepočítat všechny částky kurzem"), std::string::npos) << nic;
  EXPECT_EQ(dir.read("DATA/PZUC.dta"), puvodni);
  EXPECT_TRUE(zalohy().empty());
  const std::string obrazovky = denik("rclick 10 3 Ctrl\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nEnter\nA\ndump\nEnter\nEsc\n");
  EXPECT_NE(obrazovky.find("Případný rozdíl oprav na účtu 431"), std::string::npos) << obrazovky;
  const auto z = zapisy(dir.read("DATA/PZUC.dta"));
  ASSERT_EQ(z.size(), 2u);
  EXPECT_EQ(z[0].castka, 100000);  // 248.60 Kč at 24.86 is 10.00
  EXPECT_EQ(z[1].castka, 40200);    // 100.00 / 24.86 = 4.0225... is 4.02
  const auto s = zalohy();
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(dir.read("DATA/" + s[0].filename().string() + "/UC01.dta"), puvodni);
}

TEST_F(JournalScript, InsertBeforeDuplicateAndSortKeepEveryEntryInItsNewPlace) {
  dir.write("DATA/PZUC.dta", bajty({zapis("01", 30000, "030122"), zapis("02", 10000, "030122")}));
  // Alt+F4 on the first entry duplicates it; Ctrl+F4 on the third (the second one before)
  // puts a new one before it.
  denik("Alt+F4\nDown\nDown\nCtrl+F4\nDown\nDown\ntype Nova\nDown\nDown\nDown\nDown\ntype 221000\nDown\nDown\nDown\n"
        "type 200\nF2\nEsc\n");
  auto z = zapisy(dir.read("DATA/PZUC.dta"));
  ASSERT_EQ(z.size(), 4u);
  EXPECT_EQ(z[0], z[1]);
  EXPECT_EQ(z[1].castka, 30000);
  EXPECT_EQ(z[2].text.substr(0, 4), "Nova");
  EXPECT_EQ(z[2].castka, 2000000);
  EXPECT_EQ(z[2].cisloUP + z[2].radek, "00000101");
  EXPECT_EQ(z[3].castka, 10000);
  // "Setřízení zápisů" by "Částka" (the tenth order): the amounts as right-aligned texts.
  denik("F10\nDown\nEnter\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nEnter\nEsc\n");
  z = zapisy(dir.read("DATA/PZUC.dta"));
  ASSERT_EQ(z.size(), 4u);
  EXPECT_EQ(z[0].castka, 10000);
  EXPECT_EQ(z[1].castka, 30000);
  EXPECT_EQ(z[2].castka, 30000);
  EXPECT_EQ(z[3].castka, 2000000);
  // Ctrl+F8 zeroes the amounts of the marked entries (the first two) and nothing else.
  denik("Insert\nInsert\nCtrl+F8\nEsc\n");
  z = zapisy(dir.read("DATA/PZUC.dta"));
  ASSERT_EQ(z.size(), 4u);
  EXPECT_EQ(z[0].castka, 0);
  EXPECT_EQ(z[1].castka, 0);
  EXPECT_EQ(z[2].castka, 30000);
}

TEST_F(JournalScript, ADateOfAnotherYearIsWarnedAboutAndKeptAndTheDateCheckListsTheOthers) {
  storage::settings().controlYear = "22";
  dir.write("DATA/PZUC.dta", bajty({zapis("01", 10000, "030122"), zapis("02", 20000, "150222"), zapis("03", 30000, "310123")}));
  // An edit of the third entry: down to its date and on to the next field; 2023 is not the year 22.
  const std::string obrazovky =
      denik("Down\nDown\nSpace\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\nDown\ndump\nEnter\nF2\n"
            // "Kontrola datumu" with the mask of January 2022.
            "F10\nDown\nDown\nDown\nDown\nEnter\ntype 0122\nF2\nEsc\n");
  EXPECT_NE(obrazovky.find("Neodpovídá účetní rok :22:23:"), std::string::npos) << obrazovky;
  EXPECT_EQ(zapisy(dir.read("DATA/PZUC.dta"))[2].datum, "310123");
  const std::string sestava = platform::cp1250ToUtf8(dir.read("UcErrDat.TXT"));
  EXPECT_NE(sestava.find("Seznam účetních zápisů se špatným datumem       Datum: 09.12.26 List:  1"), std::string::npos)
      << sestava;
  EXPECT_NE(sestava.find("     2 000005 02 Zapis 02                                 2.00  15.02.22"), std::string::npos) << sestava;
  EXPECT_NE(sestava.find("     3 000005 03 Zapis 03                                 3.00  31.01.23"), std::string::npos) << sestava;
  EXPECT_EQ(sestava.find("Zapis 01"), std::string::npos) << sestava;
}

}  // namespace
}  // namespace pz
