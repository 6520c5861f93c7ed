// The chart of accounts, cost centres and job orders driven by key scripts of the headless
// presenter over real record files in a data root: the checks and pickers other windows call,
// the order the lists keep, the loads from the old code list and the close at the end of a task.
// Another station is played by an entry of the sharing table.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "accounting/accounts.h"
#include "accounting/centres.h"
#include "frontends/headless/headless.h"
#include "platform/paths.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "reports/viewer.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "support/sharingtable.h"
#include "support/script.h"
#include "support/tempdir.h"
#include "ui/dialogs.h"

namespace pz {
namespace {

using platform::cz;

// A short string as the files hold it: length byte = width, blank-padded.
std::string kratky(const std::string& text, size_t sirka) {
  std::string t = text.substr(0, sirka);
  t.resize(sirka, ' ');
  return std::string(1, static_cast<char>(sirka)) + t;
}

// Account: number, name, balance-sheet lines, the eight small fields, change date; 79 bytes.
std::string ucet(const std::string& cislo, const std::string& nazev, const std::string& md = "   ",
                 const std::string& dal = "   ", const std::string& datum = "240101") {
  return kratky(cislo, 6) + kratky(nazev, 30) + kratky(md, 3) + kratky(dal, 3) + kratky("", 3) + kratky("", 3) +
         kratky("", 3) + kratky("", 3) + kratky("", 1) + kratky("", 3) + kratky("", 1) + kratky("", 1) +
         kratky(datum, 6);
}

// Cost centre, 104 bytes.
std::string stredisko(const std::string& kod, const std::string& nazev, const std::string& nadpis = " ") {
  return kratky(kod, 5) + kratky(nazev, 30) + kratky("", 30) + kratky(nadpis, 1) + kratky("", 1) + kratky("", 6) +
         kratky("", 3) + kratky("", 6) + kratky("", 6) + kratky("240101", 6);
}

// A line of the old code list, 57 bytes.
std::string radekCiselniku(const std::string& ts, const std::string& klic, const std::string& p,
                           const std::string& cv, const std::string& u1, const std::string& u2 = "",
                           const std::string& u3 = "", const std::string& u4 = "", const std::string& u5 = "") {
  return kratky(ts, 2) + kratky(klic, 6) + kratky(p, 1) + kratky(cv, 2) + kratky(u1, 6) + kratky(u2, 6) +
         kratky(u3, 6) + kratky(u4, 6) + kratky(u5, 6) + kratky("231130", 6);
}

class CodeListScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("prog.adr", "PROG\\\r\n");
    dir.write("DATA/.keep", "");
    dir.write("PROG/.keep", "");
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::ZapomenOtevrenaOkna();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    ui::NastavProhlizecSestav({});
    storage::ZapomenOtevrenaOkna();
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  std::string hraj(const std::string& skript, const std::function<void()>& program) {
    const test::ScriptRun r = test::runScript(dir, skript, program);
    EXPECT_EQ(r.rc, 0) << r.err;
    return r.out;
  }
  std::string data(const std::string& jmeno) const { return dir.read("DATA/" + jmeno); }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  accounting::TfCis10 osnova;
  accounting::TfCis30 strediska;
  accounting::TfCis36 zakazky;
  reports::TfPozri prohlizec{"fPozri"};
  reports::TfPozri prohlizec2{"fPozri2"};
};

// The screen of the report viewer in a dump: from its title to the next window's.
std::string obrazovkaProhlizece(const std::string& obrazovky) {
  const std::size_t od = obrazovky.find("=== fPozri ");
  if (od == std::string::npos) return {};
  return obrazovky.substr(od, obrazovky.find("\n=== ", od) - od);
}

// A job order, 130 bytes.
std::string zakazka(const std::string& kod, const std::string& nazev) {
  return kratky(kod, 20) + kratky(nazev, 50) + kratky("", 50) + kratky("240101", 6);
}

const std::string kOsnova = ucet("211000", "Pokladna") + ucet("221000", cz("Bankovní účty")) +
                            ucet("261000", cz("Peníze na cestě"));

TEST_F(CodeListScript, NoAccountNeedsNoFileAndAKnownAccountNoList) {
  dir.write("DATA/CI10.DTA", kOsnova);
  std::string nic = "000000", banka = "221000";
  bool chybaNic = true, chybaBanka = true;
  bool otevrenoPoNic = true;
  const std::string obrazovky = hraj("", [&] {
    chybaNic = accounting::KontrolaUctu(nic);
    otevrenoPoNic = osnova.Nastaveno();
    chybaBanka = accounting::KontrolaUctu(banka);
  });
  EXPECT_FALSE(chybaNic);
  EXPECT_FALSE(otevrenoPoNic);
  EXPECT_FALSE(chybaBanka);
  EXPECT_EQ(banka, "221000");
  EXPECT_EQ(obrazovky.find("Účtová osnova"), std::string::npos) << obrazovky;
  EXPECT_EQ(accounting::NazevUctu("221000"), cz("Bankovní účty") + std::string(17, ' '));
  EXPECT_EQ(accounting::NazevUctu("999999"), std::string(30, ' '));
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, AnUnknownAccountOpensTheListAtTheNearestAndEscIsAnError) {
  dir.write("DATA/CI10.DTA", kOsnova);
  std::string neznamy = "221500", druhy = "250000";
  bool chyba1 = false, chyba2 = true;
  const std::string obrazovky = hraj("dump\nEsc\nUp\ndump\nEnter\n", [&] {
    chyba1 = accounting::KontrolaUctu(neznamy);
    chyba2 = accounting::KontrolaUctu(druhy);
  });
  EXPECT_TRUE(chyba1);
  EXPECT_EQ(neznamy, "221500");
  // The list stood on 261000, the account after the gap; Up and Enter picked 221000.
  EXPECT_NE(obrazovky.find("3/      3"), std::string::npos) << obrazovky;
  EXPECT_FALSE(chyba2);
  EXPECT_EQ(druhy, "221000");
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, APickedHeadingAccountShowsThePickerAgain) {
  dir.write("DATA/CI10.DTA", ucet("211000", " Pokladny") + ucet("211100", "Pokladna CZK") + ucet("211200", "Pokladna EUR"));
  std::string cislo = "211000";
  hraj("Enter\nDown\nEnter\n", [&] { accounting::VyberUctu(cislo); });
  EXPECT_EQ(cislo, "211100");
  // Esc keeps the number as it stands.
  std::string jiny = "211200";
  hraj("Home\nEsc\n", [&] { accounting::VyberUctu(jiny); });
  EXPECT_EQ(jiny, "211200");
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, ANewAccountIsFiledInOrderAndADeletedOneGoesAtTheEndOfTheTask) {
  dir.write("DATA/CI10.DTA", ucet("211000", "Pokladna") + ucet("311000", cz("Odběratelé")));
  const std::string obrazovky = hraj(
      "F4\ntype 221000\nEnter\ntype Banka\nF2\n"
      "dump\n"
      "Home\nF8\n"
      "dump\n"
      "Esc\n",
      [&] { osnova.Ukaz(); });
  const std::string pred = data("CI10.DTA");
  ASSERT_EQ(pred.size(), 3u * 79);
  // The deleted account (211000) went to the start with a blank number; the new one sits between.
  EXPECT_EQ(pred.substr(0, 7), kratky("", 6));
  EXPECT_EQ(pred.substr(79, 7), kratky("221000", 6));
  EXPECT_EQ(pred.substr(79 + 72, 7), kratky("261209", 6));
  EXPECT_EQ(pred.substr(158, 7), kratky("311000", 6));
  storage::DokonciUlohu();
  const std::string po = data("CI10.DTA");
  ASSERT_EQ(po.size(), 2u * 79);
  EXPECT_EQ(po.substr(0, 7), kratky("221000", 6));
  EXPECT_EQ(po.substr(79, 7), kratky("311000", 6));
}

TEST_F(CodeListScript, AnEditInAListSortedByNameChangesTheRecordUnderTheCursor) {
  dir.write("DATA/CI10.DTA", ucet("211000", "Pokladna") + ucet("221000", "Banka") + ucet("311000", "Odberatele"));
  // A click on the name column sorts the view: row 1 is then Banka, the second record.
  hraj("click 15 1\nHome\nSpace\nTab\ntype Bankovni ucty\nF2\nEsc\n", [&] { osnova.Ukaz(); });
  const std::string f = data("CI10.DTA");
  ASSERT_EQ(f.size(), 3u * 79);
  EXPECT_EQ(f.substr(0, 38), kratky("211000", 6) + kratky("Pokladna", 30));
  EXPECT_EQ(f.substr(79, 38), kratky("221000", 6) + kratky("Bankovni ucty", 30));
  EXPECT_EQ(f.substr(158, 38), kratky("311000", 6) + kratky("Odberatele", 30));
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, WhileAnotherStationUsesTheChartNothingChangesAndNothingIsCompacted) {
  const std::string soubor = ucet("      ", "") + kOsnova;
  dir.write("DATA/CI10.DTA", soubor);
  dir.write("DATA/FOT.tab", test::sharingTable("CI10.DTA"));
  const std::string obrazovky = hraj(
      "F4\ndump\nEnter\n"
      "Down\nSpace\ndump\nEnter\n"
      "F8\ndump\nEnter\n"
      "Esc\n",
      [&] { osnova.Ukaz(); });
  EXPECT_NE(obrazovky.find("Pozor, záznam se nepřidal, někdo právě pracuje s číselníkem"), std::string::npos);
  // The message box breaks this longer text before its last word.
  EXPECT_NE(obrazovky.find("Pozor, opravy se neprovedly, někdo právě pracuje s"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("Pozor, záznam se nezrušil, někdo právě pracuje s číselníkem"), std::string::npos);
  storage::DokonciUlohu();
  EXPECT_EQ(data("CI10.DTA"), soubor);
}

TEST_F(CodeListScript, AccountsLoadedFromTheOldCodeListAreOneAccountPerNumberAndSortedAtTheEnd) {
  dir.write("DATA/CI10.DTA", ucet("311000", cz("Odběratelé")));
  dir.write("DATA/CI01.DTA",
            radekCiselniku("10", "221000", "6", "00", "Bankov", cz("ní účt"), "y") +
                radekCiselniku("10", "221000", "6", "10", "012034", "456123", "N  789", "     K", "     S") +
                radekCiselniku("10", "221000", "6", "11", "", "654321") +
                radekCiselniku("10", "221000", "5", "00", "jiny d", "ruh") +
                radekCiselniku("30", "123456", "3", "00", "Vyroba") +
                radekCiselniku(".0", "211000", "6", "00", "Zrusen"));
  int pridano = 0;
  hraj("", [&] { pridano = osnova.NactiZCiselniku(); });
  EXPECT_EQ(pridano, 1);
  storage::DokonciUlohu();
  const std::string f = data("CI10.DTA");
  ASSERT_EQ(f.size(), 2u * 79);
  EXPECT_EQ(f.substr(0, 79), kratky("221000", 6) + kratky(cz("Bankovní účty"), 30) + kratky("034", 3) +
                                 kratky("012", 3) + kratky("123", 3) + kratky("456", 3) + kratky("321", 3) +
                                 kratky("654", 3) + kratky("N", 1) + kratky("789", 3) + kratky("K", 1) +
                                 kratky("S", 1) + kratky("231130", 6));
  EXPECT_EQ(f.substr(79, 7), kratky("311000", 6));
}

TEST_F(CodeListScript, AnEditOrANewRecordDropsTheColumnOrderSoItNeverShowsRecordsThatMoved) {
  dir.write("DATA/CI10.DTA", ucet("211000", "Pokladna") + ucet("221000", "Banka") + ucet("311000", "Odberatele"));
  // Sorted by name, then a new account that lands first in the file moves every record down;
  // Alt+F1 asks for the column order again.
  const std::string obrazovky = hraj(
      "click 15 1\ndump\n"
      "F4\ntype 100000\nEnter\ntype Zzz\nF2\n"
      "Alt+F1\ndump\nEsc\n",
      [&] { osnova.Ukaz(); });
  const std::size_t druhy = obrazovky.find("=== fCis10", obrazovky.find("=== fCis10") + 1);
  ASSERT_NE(druhy, std::string::npos) << obrazovky;
  const std::string pred = obrazovky.substr(0, druhy), po = obrazovky.substr(druhy);
  // The name order first...
  EXPECT_LT(pred.find("221000 Banka"), pred.find("311000 Odberatele")) << pred;
  EXPECT_LT(pred.find("311000 Odberatele"), pred.find("211000 Pokladna")) << pred;
  // ...and after the move the file order, each number beside its own name.
  EXPECT_LT(po.find("100000 Zzz"), po.find("211000 Pokladna")) << po;
  EXPECT_LT(po.find("211000 Pokladna"), po.find("221000 Banka")) << po;
  EXPECT_LT(po.find("221000 Banka"), po.find("311000 Odberatele")) << po;
  EXPECT_FALSE(platform::fileExists((dir / "DATA/CI10.DT1").string()));
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, TheCompactionLeavesNoOrderFileOfTheOldPositions) {
  dir.write("DATA/CI10.DTA", ucet("      ", "") + ucet("211000", "Pokladna") + ucet("221000", "Banka"));
  hraj("click 15 1\nEsc\n", [&] { osnova.Ukaz(); });
  ASSERT_TRUE(platform::fileExists((dir / "DATA/CI10.DT1").string()));
  storage::DokonciUlohu();
  EXPECT_EQ(data("CI10.DTA").size(), 2u * 79);
  EXPECT_FALSE(platform::fileExists((dir / "DATA/CI10.DT1").string()));
}

TEST_F(CodeListScript, TridCopiesTheSet22LinesIntoSet24OnlyAfterYes) {
  std::string a = ucet("211000", "Pokladna"), b = ucet("221000", "Banka");
  a.replace(accounting::ucet::kVysl22, 4, kratky("122", 3));
  a.replace(accounting::ucet::kVysl24, 4, kratky("999", 3));
  b.replace(accounting::ucet::kVysl22, 4, kratky("045", 3));
  dir.write("DATA/CI10.DTA", a + b);
  // The question's default is no.
  hraj("F10\nEnter\nEnter\nEsc\n", [&] { osnova.Ukaz(); });
  EXPECT_EQ(data("CI10.DTA"), a + b);
  const std::string obrazovky = hraj("F10\nEnter\nLeft\nEnter\ndump\nEsc\n", [&] { osnova.Ukaz(); });
  const std::string f = data("CI10.DTA");
  EXPECT_EQ(f.substr(accounting::ucet::kVysl24, 4), kratky("122", 3));
  EXPECT_EQ(f.substr(79 + accounting::ucet::kVysl24, 4), kratky("045", 3));
  EXPECT_EQ(f.substr(79 + accounting::ucet::kVysl22, 4), kratky("045", 3));
  // The list shows the new values at once.
  EXPECT_EQ(obrazovky.find("999"), std::string::npos) << obrazovky;
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, TheChartListingIsShownInTheReportViewer) {
  reports::RegistrujProhlizec(prohlizec, prohlizec2);
  dir.write("DATA/CI10.DTA", kOsnova);
  const std::string obrazovky = hraj("F10\nDown\nEnter\ndump\nEsc\nEsc\n", [&] { osnova.Ukaz(); });
  const std::string prohlizeno = obrazovkaProhlizece(obrazovky);
  EXPECT_NE(prohlizeno.find("CIS10"), std::string::npos) << obrazovky;
  EXPECT_NE(prohlizeno.find("Účetová osnova (10)"), std::string::npos) << prohlizeno;
  EXPECT_NE(prohlizeno.find("221000 Bankovní účty"), std::string::npos) << prohlizeno;
  EXPECT_NE(prohlizeno.find("261000 Peníze na cestě"), std::string::npos) << prohlizeno;
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, AChartListingIsAReportOfTheAccounts) {
  dir.write("DATA/CI10.DTA", kOsnova);
  hraj("", [&] {
    osnova.Nastav();
    osnova.Opis();
  });
  const std::string sestava = dir.read("CIS10.TXT");
  EXPECT_NE(sestava.find(cz("Účetová osnova (10)")), std::string::npos) << sestava;
  EXPECT_NE(sestava.find(cz("Účet   Název")), std::string::npos) << sestava;
  EXPECT_NE(sestava.find(cz("221000 Bankovní účty")), std::string::npos) << sestava;
  storage::DokonciUlohu();
}

// ---------------------------------------------------------------------------------------------
// Cost centres and job orders

TEST_F(CodeListScript, ACentreIsOnlyCheckedForCostAccountsAndAHeadingCannotBePicked) {
  dir.write("DATA/CI30.DTA", stredisko("00100", "Provoz", "A") + stredisko("00110", cz("Dílna")) +
                                 stredisko("00200", " Rezerva"));
  std::string nula = "00000", kod = "00150", bezNazvu = "00190";
  bool chybaNula = true, chyba = true, chybaBezNazvu = false;
  bool otevreno = true;
  const std::string obrazovky = hraj("Home\nEnter\ndump\nUp\nEnter\nEnd\nEnter\n", [&] {
    chybaNula = accounting::KontrolaStrediska(nula, "311000");
    otevreno = strediska.Nastaveno();
    chyba = accounting::KontrolaStrediska(kod, "501000");
    chybaBezNazvu = accounting::KontrolaStrediska(bezNazvu, "601000");
  });
  EXPECT_FALSE(chybaNula);
  EXPECT_FALSE(otevreno);
  EXPECT_FALSE(chyba);
  EXPECT_EQ(kod, "00110");
  // A centre without a name is taken, but answers an error.
  EXPECT_TRUE(chybaBezNazvu);
  EXPECT_EQ(bezNazvu, "00200");
  EXPECT_EQ(accounting::HledejStredisko("00100"), -1);
  EXPECT_EQ(accounting::NazevStrediska("00110"), cz("Dílna") + std::string(25, ' '));
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, TheCentreListingFromThePopupMenuHasItsOwnPageHeader) {
  dir.write("DATA/CI30.DTA", stredisko("00100", "Provoz", "A") + stredisko("00110", cz("Dílna")));
  hraj("F10\nDown\nEnter\nEsc\n", [&] { strediska.Ukaz(); });
  const std::string sestava = dir.read("CI_OPIS.TXT");
  EXPECT_NE(sestava.find("TYP: 30 " + std::string(33, ' ') + "L:  1 D:09.12.26"), std::string::npos) << sestava;
  EXPECT_NE(sestava.find(cz("Středisko Název                      Název 2                        T Účet   Čin Pol.Od Pol.Do")),
            std::string::npos);
  EXPECT_NE(sestava.find(std::string(94, '=') + std::string(132 - 94, ' ') + "\r\n"), std::string::npos);
  EXPECT_NE(sestava.find(cz("00110 Dílna") + std::string(25, ' ') + ' ' + std::string(30, ' ')), std::string::npos)
      << sestava;
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, TheCentreListingIsShownInTheReportViewer) {
  reports::RegistrujProhlizec(prohlizec, prohlizec2);
  dir.write("DATA/CI30.DTA", stredisko("00100", "Provoz", "A") + stredisko("00110", cz("Dílna")));
  const std::string obrazovky = hraj("F10\nDown\nEnter\ndump\nEsc\nEsc\n", [&] { strediska.Ukaz(); });
  const std::string prohlizeno = obrazovkaProhlizece(obrazovky);
  EXPECT_NE(prohlizeno.find("CI_OPIS"), std::string::npos) << obrazovky;
  EXPECT_NE(prohlizeno.find("TYP: 30"), std::string::npos) << prohlizeno;
  EXPECT_NE(prohlizeno.find("00100 Provoz"), std::string::npos) << prohlizeno;
  EXPECT_NE(prohlizeno.find("00110 Dílna"), std::string::npos) << prohlizeno;
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, PickingACentreRepeatsUntilOneWithANameAndNoHeadingOrEsc) {
  dir.write("DATA/CI30.DTA", stredisko("00100", "Provoz", "A") + stredisko("00110", " bez nazvu") +
                                 stredisko("00120", cz("Dílna")));
  // The heading comes back without touching the code; the nameless centre is taken and comes
  // back; the named one ends the picking.
  std::string kod = "00000";
  hraj("Home\nEnter\nDown\nEnter\nDown\nEnter\n", [&] { accounting::VyberStrediska(kod); });
  EXPECT_EQ(kod, "00120");
  // Esc keeps the code as it stands: after a heading, the code the picking began with; after a
  // nameless centre, that centre.
  std::string jiny = "00120";
  hraj("Home\nEnter\nEsc\n", [&] { accounting::VyberStrediska(jiny); });
  EXPECT_EQ(jiny, "00120");
  hraj("Home\nDown\nEnter\nEsc\n", [&] { accounting::VyberStrediska(jiny); });
  EXPECT_EQ(jiny, "00110");
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, AJobOrderIsFoundByItsNameTypedWithoutDiacriticsWhateverTheSearchSetting) {
  dir.write("DATA/CI36.DTA", zakazka("ZAK-001", cz("Oprava střechy")) + zakazka("ZAK-002", cz("Údržba výtahů")) +
                                 zakazka("ZAK-003", cz("Úklid")));
  zakazky.PresneHledani = true;
  std::string kod = "ZAK-001";
  hraj("F3\ntype udrzba VYTAHU\nEnter\nEnter\n", [&] { accounting::VyberZakazky(kod); });
  EXPECT_EQ(kod, "ZAK-002" + std::string(13, ' '));
  storage::DokonciUlohu();
}

TEST_F(CodeListScript, CentresLoadedFromTheOldCodeListTakeTheirLevelAndRotate) {
  dir.write("DATA/CI01.DTA", radekCiselniku("30", "123456", "3", "00", "Vyroba") +
                                 radekCiselniku("30", "100012", "5", "00", "Dilna ", "sever") +
                                 radekCiselniku("30", "100012", "5", "11", "ABC") +
                                 radekCiselniku("10", "221000", "6", "00", "Banka"));
  int pridano = 0;
  hraj("Left\nEnter\n", [&] {
    strediska.Nastav();
    pridano = strediska.NactiZCiselniku();
  });
  EXPECT_EQ(pridano, 2);
  std::string f = data("CI30.DTA");
  ASSERT_EQ(f.size(), 2u * 104);
  EXPECT_EQ(f.substr(0, 6), kratky("234..", 5));
  EXPECT_EQ(f.substr(68, 2), kratky("A", 1));  // a level below 5 with its name line: a heading
  EXPECT_EQ(f.substr(104, 6), kratky("00012", 5));
  EXPECT_EQ(f.substr(104 + 6, 31), kratky("Dilna sever", 30));
  EXPECT_EQ(f.substr(104 + 37, 31), kratky("STR:ABC", 30));
  EXPECT_EQ(f.substr(104 + 68, 2), kratky(" ", 1));
  hraj("Left\nEnter\n", [&] { strediska.ZmenStrediska(); });
  storage::DokonciUlohu();
  // Rotated (00012 reads 00120) and, being out of order after the load, sorted at the end.
  f = data("CI30.DTA");
  ASSERT_EQ(f.size(), 2u * 104);
  EXPECT_EQ(f.substr(0, 6), kratky("00120", 5));
  EXPECT_EQ(f.substr(104, 6), kratky("34..2", 5));
}

TEST_F(CodeListScript, AnEmptyJobOrderListKeepsTheCodeAndJobOrdersAreGuardedLikeCentres) {
  std::string kod = "ZAK-2026            ";
  hraj("Esc\n", [&] { accounting::VyberZakazky(kod); });
  EXPECT_EQ(kod, "ZAK-2026            ");
  EXPECT_EQ(accounting::NazevZakazky("ZAK-2026"), std::string(50, ' '));
  storage::DokonciUlohu();
  dir.write("DATA/FOT.tab", test::sharingTable("CI36.DTA"));
  const std::string obrazovky = hraj("F4\ndump\nEnter\nEsc\n", [&] { zakazky.Ukaz(); });
  EXPECT_NE(obrazovky.find("Pozor, záznam se nepřidal, někdo právě pracuje s číselníkem"), std::string::npos)
      << obrazovky;
  storage::DokonciUlohu();
}

}  // namespace
}  // namespace pz
