// The voucher window a posting shows its proposal in, driven by key scripts of the headless
// presenter over real files: what the user confirms is what reaches the batch, new lines carry
// into the next voucher and stop at the last counter, and a posting template of three lines on
// the first entry gives the voucher its three lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accounting/accounts.h"
#include "accounting/centres.h"
#include "accounting/entries.h"
#include "accounting/journal.h"
#include "accounting/templates.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "support/script.h"
#include "support/tempdir.h"
#include "ui/dialogs.h"

namespace pz {
namespace {

using accounting::tUcZapis;
using platform::cz;

std::string kratky(const std::string& text, size_t sirka) {
  std::string t = text.substr(0, sirka);
  t.resize(sirka, ' ');
  return std::string(1, static_cast<char>(sirka)) + t;
}

std::string ucet(const std::string& cislo, const std::string& nazev) {
  std::string v = kratky(cislo, 6) + kratky(nazev, 30);
  v.resize(79, '\0');
  return v;
}

std::string stredisko(const std::string& kod, const std::string& nazev) {
  return kratky(kod, 5) + kratky(nazev, 30) + kratky("", 30) + kratky(" ", 1) + kratky("", 1) + kratky("", 6) +
         kratky("", 3) + kratky("", 6) + kratky("", 6) + kratky("240101", 6);
}

// A template: number, text and up to ten lines of debit account, centre, credit account, centre.
std::string sablona(const std::string& cislo, const std::string& text, const std::vector<std::vector<std::string>>& radky) {
  std::string v = kratky(cislo, 3) + kratky(text, 30);
  for (std::size_t k = 0; k < 10; ++k) {
    const std::vector<std::string> r = k < radky.size() ? radky[k] : std::vector<std::string>{"", "", "", ""};
    v += kratky(r[0], 6) + kratky(r[1], 5) + kratky(r[2], 6) + kratky(r[3], 5);
  }
  v += kratky("240101", 6);
  v.resize(302, '\0');
  return v;
}

tUcZapis zapis(const std::string& up, const std::string& radek, std::int64_t castka) {
  tUcZapis z;
  z.agenda = "PZ";
  z.cisloUP = up;
  z.radek = radek;
  z.text = "Prijem EUR" + std::string(20, ' ');
  z.ucetMD = "211200";
  z.ucetDal = "602000";
  z.zakMD = z.zakDal = std::string(20, ' ');
  z.castka = castka;
  z.datum = "030122";
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

class VoucherScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("prog.adr", "PROG\\\r\n");
    dir.write("DATA/CI10.DTA", ucet("211100", "Pokladna CZK") + ucet("211200", "Pokladna EUR") +
                                   ucet("343200", cz("DPH na výstupu")) + ucet("602000", cz("Tržby z prodeje služeb")));
    dir.write("DATA/CI30.DTA", stredisko("20100", cz("Směnárna Praha")));
    dir.write("PROG/.keep", "");
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::ZapomenOtevrenaOkna();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::DokonciUlohu();
    storage::ZapomenOtevrenaOkna();
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  // Runs the voucher window over `zapisy` with `skript`; what it answered.
  std::optional<std::vector<tUcZapis>> predpis(const std::vector<tUcZapis>& zapisy, const std::string& skript,
                                              std::string* obrazovky = nullptr) {
    std::optional<std::vector<tUcZapis>> v;
    const test::ScriptRun r = test::runScript(dir, skript, [&] { v = accounting::UkazPredpis(zapisy); });
    EXPECT_EQ(r.rc, 0) << r.err;
    if (obrazovky) *obrazovky = r.out;
    return v;
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  accounting::TfCis10 osnova;
  accounting::TfCis30 strediska;
  accounting::TfCis36 zakazky;
  accounting::TfCis11 predkontace;
  accounting::TfUp okno;
};

TEST_F(VoucherScript, AConfirmedVoucherOfZeroAmountsAppendsNothingAndEscGivesNothingToAppend) {
  const std::string davka = bajty({zapis("000007", "01", 10000)});
  dir.write("DATA/PZUC.dta", davka);
  std::string obrazovky;
  const auto prijate = predpis({zapis("000008", "01", 0), zapis("000008", "02", 0)}, "dump\nEsc\nA\n", &obrazovky);
  ASSERT_TRUE(prijate);
  EXPECT_EQ(prijate->size(), 2u);
  EXPECT_NE(obrazovky.find("=== fUp "), std::string::npos) << obrazovky;
  EXPECT_EQ(accounting::PridejDoDavky(*prijate, "PZUC.dta"), "");
  EXPECT_EQ(dir.read("DATA/PZUC.dta"), davka);
  // Answered no, the voucher gives nothing; the work file is gone either way.
  EXPECT_FALSE(predpis({zapis("000008", "01", 50000)}, "Esc\nN\n"));
  EXPECT_FALSE(std::filesystem::exists(dir / "PZUP.wrk"));
  EXPECT_EQ(dir.read("DATA/PZUC.dta"), davka);
}

TEST_F(VoucherScript, ANewLineCarriesIntoTheNextVoucherAndTheLastCounterIsRefused) {
  // F4 starts from a copy of the last entry with its next line; the date is the one used last.
  storage::PisPar("UPdat.dat", "Datum", "150126");
  const auto prijate = predpis({zapis("123401", "99", 10000)}, "F4\nF2\nEsc\nA\n");
  ASSERT_TRUE(prijate);
  ASSERT_EQ(prijate->size(), 2u);
  EXPECT_EQ((*prijate)[1].cisloUP + (*prijate)[1].radek, "12340201");
  EXPECT_EQ((*prijate)[1].datum, "150126");
  EXPECT_EQ((*prijate)[1].castka, 10000);

  std::string obrazovky;
  const auto posledni = predpis({zapis("999999", "99", 10000)}, "F4\ndump\nEnter\nEsc\nA\n", &obrazovky);
  ASSERT_TRUE(posledni);
  EXPECT_EQ(posledni->size(), 1u);
  EXPECT_NE(obrazovky.find("Číslo účetního předpisu 99999999 už nelze zvýšit"), std::string::npos) << obrazovky;
  EXPECT_EQ(obrazovky.find("=== fUpAkt"), std::string::npos) << obrazovky;
}

TEST_F(VoucherScript, ATemplateOfThreeLinesOnTheFirstEntryGivesLines01To03) {
  dir.write("DATA/CI11.DTA", sablona("010", cz("Tržba směnárny"), {{"211100", "20100", "602000", "20100"},
                                                                    {"211100", "20100", "343200", "20100"},
                                                                    {"", "", "", ""},
                                                                    {"211200", "", "", ""}}));
  storage::PisPar("par\\dphint.par", "UP DoTextu", "4");
  // F4 on the empty voucher, down to the text, Enter: the templates; Enter picks the only one.
  std::string obrazovky;
  const auto prijate = predpis({}, "F4\nDown\nDown\nEnter\nEnter\ndump\nF2\nEsc\nA\n", &obrazovky);
  ASSERT_TRUE(prijate) << obrazovky;
  ASSERT_EQ(prijate->size(), 3u) << obrazovky;
  const std::string text = cz("Tržba směnárny") + std::string(16, ' ');
  const char* const md[] = {"211100", "211100", "211200"};
  const char* const dal[] = {"602000", "343200", "000000"};
  for (std::size_t k = 0; k < 3; ++k) {
    const tUcZapis& z = (*prijate)[k];
    EXPECT_EQ(z.cisloUP, "000001");
    EXPECT_EQ(z.radek, "0" + std::to_string(k + 1));
    EXPECT_EQ(z.text, text);
    EXPECT_EQ(z.ucetMD, md[k]);
    EXPECT_EQ(z.ucetDal, dal[k]);
    EXPECT_EQ(z.agenda, "PZ");
  }
  EXPECT_EQ((*prijate)[0].strMD, "20100");
  EXPECT_EQ((*prijate)[2].strMD, "00000");
  // The form showed the template's accounts with their names before F2.
  EXPECT_NE(obrazovky.find("602000   Tržby z prodeje služeb"), std::string::npos) << obrazovky;
}

TEST_F(VoucherScript, TheDocumentImagesOfEpParComeOneAfterAnotherWithTheTextOfTheSet) {
  storage::PisPar("ep.par", "AdrObrProUP", "obr\\");
  storage::PisPar("ep.par", "NzObrProUP", "UP1");
  dir.write("obr/UP1-00.jpg", "x");
  dir.write("obr/UP1-01.jpg", "x");
  dir.write("obr/UP1.txt", "Faktura 2026/15\r\nzaplaceno hotove\r\n");
  std::vector<std::string> obrazky;
  const test::ScriptRun r = test::runScript(dir, "F2\nF2\nF2\ndump\nEsc\nN\n", [&] {
    accounting::UkazPredpis({zapis("000008", "01", 50000)});
    obrazky.push_back(okno.Image1.picturePath);
  });
  ASSERT_EQ(r.rc, 0) << r.err;
  // 00, 01, then past the last one back to 00 and on to 01.
  EXPECT_EQ(obrazky, (std::vector<std::string>{"obr\\UP1-01.jpg"}));
  EXPECT_NE(r.out.find("zaplaceno hotove"), std::string::npos) << r.out;

  // Ctrl+Space edits the text; Ctrl+Space again stores it, and the list has the keys again.
  const test::ScriptRun u = test::runScript(dir, "Ctrl+Space\ntype Dodavatel: \nCtrl+Space\nEsc\nN\n",
                                            [&] { accounting::UkazPredpis({zapis("000008", "01", 50000)}); });
  ASSERT_EQ(u.rc, 0) << u.err;
  EXPECT_EQ(dir.read("obr/UP1.txt"), "Dodavatel: Faktura 2026/15\r\nzaplaceno hotove\r\n");
}

}  // namespace
}  // namespace pz
