// The cash desk window driven by key scripts of the headless presenter over a real document file
// of series 01: the currency and balance under the list, the rate file, the sorted views, the
// blanking of a document with its balance, the repair of old dates and damaged files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>

#include "cashdesk/cashwindow.h"
#include "cashdesk/documents.h"
#include "cashdesk/intent.h"
#include "cashdesk/records.h"
#include "cashdesk/saving.h"
#include "cashdesk/vatlisting.h"
#include "frontends/headless/headless.h"
#include "platform/paths.h"
#include "platform/syscalls.h"
#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/masterjob.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/textutil.h"
#include "support/faultsweep.h"
#include "support/tempdir.h"
#include "ui/dialogs.h"

namespace pz {
namespace {

using cashdesk::tPzDoklad;
using cashdesk::tPzRada;
using platform::cz;

const platform::Date kDnes{2026, 12, 9};

std::string rada(const std::string& cislo, const std::string& mena, double stav) {
  std::string v(tPzRada::kVelikost, '\0');
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kRada, 2, cislo));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kMena, 3, mena));
  EXPECT_TRUE(storage::writeU16(v, tPzRada::kMnozstvi, 1));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kStav, stav));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kUcet, 6, "000000"));
  return v;
}

std::string doklad(int n, const std::string& druh, const std::string& cislo, double placeno,
                   const std::string& zaplaceno = "051226") {
  const auto p = cashdesk::PrazdnyDoklad(kDnes);
  std::string v(p.begin(), p.end());
  EXPECT_TRUE(storage::writeShortString(v, tPzDoklad::kDruh, 1, druh));
  EXPECT_TRUE(storage::writeShortString(v, tPzDoklad::kIdent, 5, cashdesk::IdentDokladu(n)));
  EXPECT_TRUE(storage::writeShortString(v, tPzDoklad::kCislo, 60, cislo));
  EXPECT_TRUE(storage::writeShortString(v, tPzDoklad::kDatumZapl, 6, zaplaceno));
  EXPECT_TRUE(storage::writeShortString(v, tPzDoklad::kText, 50, "Doklad " + std::to_string(n)));
  EXPECT_TRUE(storage::writeReal48(v, tPzDoklad::kCelkemVal, placeno));
  EXPECT_TRUE(storage::writeReal48(v, tPzDoklad::kPlacenoVal, placeno));
  EXPECT_TRUE(storage::writeReal48(v, tPzDoklad::kKurz, 25.125));
  return v;
}

class CashWindowScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
  }
  // Runs the script over the window opened on PZ01_.dta as the cash desk loop opens it.
  // `poOtevreni` runs once the window is open, before the script's keys.
  std::string hraj(const std::string& skript, const std::string& radaZaznam,
                   const std::function<void()>& poOtevreni = nullptr) {
    dir.write("skript.txt", skript);
    std::ostringstream out, err;
    const int rc = headless::runHeadless((dir / "skript.txt").string(), kDnes,
                                         [&] {
                                           const std::string& r = radaZaznam;
                                           std::span<const std::uint8_t> b(
                                               reinterpret_cast<const std::uint8_t*>(r.data()), r.size());
                                           otevreno = okno.OtevriPokladnu("PZ01_.dta", b);
                                           okno.NastavStav(okno.TextZustatku(
                                               storage::readReal48(r, tPzRada::kStav)));
                                           okno.KoncovaKlavesa = 27;
                                           if (poOtevreni) poOtevreni();
                                           okno.showModal();
                                           radek = okno.Radek;
                                           stav = okno.TextStavu();
                                           okno.ZavriPokladnu();
                                           return 0;
                                         },
                                         out, err);
    EXPECT_EQ(rc, 0) << err.str();
    return out.str();
  }
  std::string zaznam(int n) const {
    return dir.read("PZ01_.dta").substr(static_cast<size_t>((n - 1) * tPzDoklad::kVelikost), tPzDoklad::kVelikost);
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  cashdesk::TfPZPokl okno;
  bool otevreno = false;
  int radek = 0;
  std::string stav;
};

TEST_F(CashWindowScript, ASeriesWithoutCurrencyShowsCrownsAndKeepsItsRateFileInKcTxt) {
  dir.write("PZ01_.dta", doklad(1, "P", "A-1", 100));
  const std::string obrazovky = hraj("dump\nEsc\n", rada("01", "XXX", 1234.5));
  EXPECT_TRUE(otevreno);
  EXPECT_NE(obrazovky.find("číslo : 01 - měna : Kč"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("1 234.50 Kč"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("Stav v pokladně:"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("Přehled pokladních dokladů z řady 01"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("P 00001 A-1"), std::string::npos) << obrazovky;
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "TAMBRA3W" / "Kč.txt"));
  EXPECT_EQ(radek, -1);
  // The supplement file is there, opened with the window.
  EXPECT_TRUE(std::filesystem::exists(dir / "PZA01_.dta"));
}

TEST_F(CashWindowScript, TheMenuOffersNewAndFindAndShowsTheListingsNotYetThereDisabled) {
  dir.write("PZ01_.dta", doklad(1, "P", "A-1", 100));
  const std::string obrazovky = hraj("F10\ndump\nEsc\nEsc\n", rada("01", "EUR", 0));
  const std::string menu = obrazovky.substr(obrazovky.rfind("==="));
  for (const char* polozka : {"Nový záznam", "Hledej záznam", "Přehledy", "Opis včetně dodatku DPH"})
    EXPECT_NE(menu.find(polozka), std::string::npos) << polozka << "\n" << menu;
}

TEST_F(CashWindowScript, AnExistingRateFileIsNotTouchedAndACurrencyThatIsNoNameGivesNone) {
  dir.write("TAMBRA3W/EUR.txt", "kurzy\r\n");
  dir.write("PZ01_.dta", doklad(1, "P", "A-1", 100));
  hraj("Esc\n", rada("01", "EUR", 0));
  EXPECT_EQ(dir.read("TAMBRA3W/EUR.txt"), "kurzy\r\n");

  hraj("Esc\n", rada("01", "..\\", 0));
  EXPECT_TRUE(otevreno);
  EXPECT_FALSE(std::filesystem::exists(dir / "TAMBRA3W" / "..\\.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / ".txt"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "TAMBRA3W"), {}), 1);
}

TEST_F(CashWindowScript, ARateDirectoryThatCannotBeMadeIsReportedAndTheDeskStillOpens) {
  dir.write("TAMBRA3W", "a file where the directory should be");
  dir.write("PZ01_.dta", doklad(1, "P", "A-1", 100));
  const std::string obrazovky = hraj("dump\nEnter\ndump\nEsc\n", rada("01", "EUR", 0));
  EXPECT_TRUE(otevreno);
  EXPECT_NE(obrazovky.find("nelze založit"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("P 00001 A-1"), std::string::npos) << obrazovky;
}

// Three documents whose numbers and amounts sort in different orders.
std::string triDoklady() {
  return doklad(1, "P", "C-3", 20) + doklad(2, "V", "A-1", 30) + doklad(3, "P", "B-2", 10);
}

// The order in which the three documents appear on the last screen of a dump.
std::string poradi(const std::string& obrazovky) {
  const std::string posledni = obrazovky.substr(obrazovky.rfind("Přehled pokladních"));
  std::vector<std::pair<size_t, char>> v;
  for (char c : {'1', '2', '3'}) v.push_back({posledni.find("0000" + std::string(1, c) + " "), c});
  std::sort(v.begin(), v.end());
  std::string s;
  for (auto& [pos, c] : v) s += c;
  return s;
}

TEST_F(CashWindowScript, F6TwiceComesBackToFileOrderOnTheSameDocument) {
  dir.write("PZ01_.dta", triDoklady());
  // The cursor starts on the last document; Up puts it on document 2.
  const std::string tridene = hraj("Up\nF6\ndump\nEnter\n", rada("01", "EUR", 0));
  EXPECT_EQ(poradi(tridene), "231");
  EXPECT_EQ(radek, 2);  // Enter in the sorted view chooses the document, not the row

  const std::string zpet = hraj("Up\nF6\nF6\ndump\nEnter\n", rada("01", "EUR", 0));
  EXPECT_EQ(poradi(zpet), "123");
  EXPECT_EQ(radek, 2);
}

TEST_F(CashWindowScript, F6ThenF7ShowsTheDocumentsByPaidAmount) {
  dir.write("PZ01_.dta", triDoklady());
  const std::string obrazovky = hraj("F6\nF7\ndump\nF7\ndump\nEsc\n", rada("01", "EUR", 0));
  const std::string podleCastky = obrazovky.substr(0, obrazovky.rfind("Přehled pokladních"));
  EXPECT_EQ(poradi(podleCastky), "312");
  EXPECT_EQ(poradi(obrazovky), "123");  // F7 again: file order
}

TEST_F(CashWindowScript, MoreThanTenThousandDocumentsAreNotSorted) {
  std::string soubor;
  const std::string jeden = doklad(1, "P", "A", 1);
  for (int i = 0; i < 10001; ++i) soubor += jeden;
  dir.write("PZ01_.dta", soubor);
  const std::string obrazovky = hraj("F6\ndump\nEnter\nEnter\n", rada("01", "EUR", 0));
  EXPECT_NE(obrazovky.find("Neumím setřídit více než 10000 dokladů"), std::string::npos);
  EXPECT_EQ(radek, 10001);  // still in file order on the last document
  EXPECT_EQ(dir.read("PZ01_.dta"), soubor);
}

TEST_F(CashWindowScript, F8BlanksADocumentKeepsItsKindAndNumberAndTakesItsAmountOffTheBalanceOnce) {
  dir.write("pz_ra.dta", rada("00", "USD", 7) + rada("01", "EUR", 500) + rada("02", "EUR", 9));
  dir.write("PZ01_.dta", triDoklady());
  const std::string puvodni = dir.read("PZ01_.dta");
  // Document 2 is an expenditure of 30: blanking it gives the 30 back to the box. The second F8
  // finds nothing left to take back.
  const std::string obrazovky = hraj("Up\nF8\ndump\ntype a\nF8\ntype a\nEsc\n", rada("01", "EUR", 500));
  const std::string druhy = zaznam(2);
  EXPECT_EQ(storage::readShortString(druhy, tPzDoklad::kDruh, 1), "V");
  EXPECT_EQ(storage::readShortString(druhy, tPzDoklad::kIdent, 5), "00002");
  EXPECT_EQ(storage::readReal48(druhy, tPzDoklad::kPlacenoVal), 0.0);
  EXPECT_EQ(storage::OrezZprava(storage::readShortString(druhy, tPzDoklad::kCislo, 60)), "");
  EXPECT_EQ(storage::readShortString(druhy, tPzDoklad::kDphRozl, 6), "999   ");
  EXPECT_EQ(zaznam(1), puvodni.substr(0, tPzDoklad::kVelikost));
  EXPECT_EQ(zaznam(3), puvodni.substr(2 * tPzDoklad::kVelikost));
  const std::string rady = dir.read("pz_ra.dta");
  EXPECT_EQ(storage::readReal48(rady.substr(tPzRada::kVelikost, tPzRada::kVelikost), tPzRada::kStav), 530.0);
  EXPECT_EQ(storage::readReal48(rady.substr(0, tPzRada::kVelikost), tPzRada::kStav), 7.0);
  EXPECT_NE(stav.find("530.00 EUR"), std::string::npos) << stav;
  EXPECT_NE(obrazovky.find("Zrušit doklad?"), std::string::npos);
  // Supplements reach the document written.
  EXPECT_EQ(dir.read("PZA01_.dta").size(), 2u * cashdesk::kVelikostDodatku);
}

TEST_F(CashWindowScript, F8AnsweredNoOrWithoutTheSeriesChangesNothing) {
  dir.write("PZ01_.dta", triDoklady());
  const std::string puvodni = dir.read("PZ01_.dta");
  hraj("F8\ntype n\nEsc\n", rada("01", "EUR", 500));
  EXPECT_EQ(dir.read("PZ01_.dta"), puvodni);
  // No series file entry for 01: "Nesoulad." and the document stays counted and whole.
  dir.write("pz_ra.dta", rada("02", "EUR", 9));
  hraj("F8\ntype a\nEsc\n", rada("01", "EUR", 500));
  ASSERT_EQ(zpravy.messages.size(), 1u);
  EXPECT_EQ(zpravy.messages[0], "Nesoulad.");
  EXPECT_EQ(dir.read("PZ01_.dta"), puvodni);
}

// Another station is killed while it saves a receipt of 40, after the document is written and
// before its balance is, with this window open. F8 here undoes that save first: the balance then
// counts exactly the stored documents, and nothing undone later puts the blanked one back.
TEST_F(CashWindowScript, F8AfterAStationKilledMidSaveUndoesThatSaveFirstAndTheBalanceMatchesTheDocuments) {
  const std::string radaZaznam = rada("01", "EUR", 500);  // opening 500 + 20 - 30 + 10
  const auto zabijPriUlozeni = [&](int zapisu) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      static int zbyva = 0;
      zbyva = zapisu;
      platform::sys().pwrite = [](int fd, const void* b, size_t len, off_t o) -> ssize_t {
        if (--zbyva == 0) raise(SIGKILL);
        return platform::realSysCalls().pwrite(fd, b, len, o);
      };
      cashdesk::Ukladani u;
      const std::string d = doklad(4, "P", "D-4", 40);
      u.zaznam.assign(d.begin(), d.end());
      u.doklad = cashdesk::CtiDoklad(u.zaznam);
      u.cisloZaznamu = 4;
      u.rada = cashdesk::CtiRadu(std::span<const std::uint8_t>(
          reinterpret_cast<const std::uint8_t*>(radaZaznam.data()), radaZaznam.size()));
      _exit(cashdesk::sluzbaUkladani().Uloz(u, "PZ01_.dta") == cashdesk::VysledekUlozeni::Ulozeno ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));
  };
  const auto stavRady = [&] { return storage::readReal48(dir.read("pz_ra.dta"), tPzRada::kStav); };
  // The first write at which the kill leaves the document stored and the balance not.
  bool nalezeno = false;
  for (int n = 1; n < 20 && !nalezeno; ++n) {
    dir.write("pz_ra.dta", radaZaznam);
    dir.write("PZ01_.dta", triDoklady());
    std::filesystem::remove(dir / "PZA01_.dta");
    bool zabit = false;
    hraj("Up\nF8\ntype a\nEsc\n", radaZaznam, [&] {
      zabijPriUlozeni(n);
      zabit = std::filesystem::exists(dir / "PZ01_.jrn") &&
              dir.read("PZ01_.dta").size() == 4u * tPzDoklad::kVelikost && stavRady() == 500.0;
    });
    if (!zabit) continue;
    nalezeno = true;
    // The receipt of the killed save is gone; the expenditure of 30 is blank and given back.
    EXPECT_FALSE(std::filesystem::exists(dir / "PZ01_.jrn"));
    ASSERT_EQ(dir.read("PZ01_.dta").size(), 3u * tPzDoklad::kVelikost);
    EXPECT_EQ(storage::readReal48(zaznam(2), tPzDoklad::kPlacenoVal), 0.0);
    EXPECT_EQ(zaznam(1), doklad(1, "P", "C-3", 20));
    EXPECT_EQ(zaznam(3), doklad(3, "P", "B-2", 10));
    EXPECT_EQ(stavRady(), 530.0);
    EXPECT_NE(stav.find("530.00 EUR"), std::string::npos) << stav;
    // The next station to open the series finds nothing to undo: the blanked document stays blank.
    EXPECT_EQ(cashdesk::ObnovRadu("01"), cashdesk::Obnova::Nic);
    EXPECT_EQ(stavRady(), 530.0);
    EXPECT_EQ(storage::readReal48(zaznam(2), tPzDoklad::kPlacenoVal), 0.0);
  }
  EXPECT_TRUE(nalezeno);
}

TEST_F(CashWindowScript, OldDatesAreRepairedOnceAndOtherDocumentsKeepTheirBytes) {
  const std::string stary = doklad(1, "P", "A-1", 100, "0101O5");
  std::string stary2 = doklad(3, "V", "A-3", 5, "3112l9");
  ASSERT_TRUE(storage::writeShortString(stary2, tPzDoklad::kDatumDod, 6, "3112l9"));
  const std::string dobry = doklad(2, "P", "A-2", 50, "010125");
  dir.write("PZ01_.dta", stary + dobry + stary2);
  hraj("Esc\n", rada("01", "EUR", 0));
  EXPECT_EQ(storage::readShortString(zaznam(1), tPzDoklad::kDatumZapl, 6), "010105");
  EXPECT_EQ(storage::readShortString(zaznam(3), tPzDoklad::kDatumZapl, 6), "311219");
  EXPECT_EQ(storage::readShortString(zaznam(3), tPzDoklad::kDatumDod, 6), "311219");
  EXPECT_EQ(zaznam(2), dobry);
  // Only the letters changed.
  std::string ocekavany = stary;
  ocekavany[tPzDoklad::kDatumZapl + 5] = '0';
  EXPECT_EQ(zaznam(1), ocekavany);
  EXPECT_EQ(dir.read("PZA01_.dta").size(), 3u * cashdesk::kVelikostDodatku);
}

TEST_F(CashWindowScript, ADocumentFileWithAPartialRecordIsReportedAndTakesNoNewDocument) {
  const std::string soubor = triDoklady() + std::string(100, 'x');
  dir.write("PZ01_.dta", soubor);
  const std::string obrazovky = hraj("dump\nEnter\nF4\ndump\nEnter\nEsc\n", rada("01", "EUR", 0));
  EXPECT_TRUE(otevreno);
  EXPECT_NE(obrazovky.find("je poškozen"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("100 bajtů navíc"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("P 00003 B-2"), std::string::npos) << obrazovky;
  EXPECT_EQ(dir.read("PZ01_.dta"), soubor);
}

TEST_F(CashWindowScript, NoNewDocumentPastTheLastNumberIdentHolds) {
  dir.write("PZ01_.dta", doklad(1, "P", "A-1", 1));
  std::filesystem::resize_file(dir / "PZ01_.dta", static_cast<std::uintmax_t>(tPzDoklad::kNejvic) * tPzDoklad::kVelikost);
  const std::string obrazovky = hraj("F4\ndump\nEnter\nEsc\n", rada("01", "EUR", 0));
  EXPECT_NE(obrazovky.find("další doklad do ní nelze založit"), std::string::npos) << obrazovky.substr(0, 3000);
  EXPECT_EQ(std::filesystem::file_size(dir / "PZ01_.dta"),
            static_cast<std::uintmax_t>(tPzDoklad::kNejvic) * tPzDoklad::kVelikost);
}

TEST_F(CashWindowScript, AltF2RecodesOldTextsOnlyAfterTheQuestionAndOnlyWhereTheyChange) {
  std::string stary = doklad(1, "P", "A-1", 10);
  const std::string dos = "Pokladn\xa1 doklad \x9f\x96";  // Kamenický í, ť, ů
  ASSERT_TRUE(storage::writeShortString(stary, tPzDoklad::kText, 50, dos));
  const std::string novy = doklad(2, "V", "A-2", 5);
  dir.write("PZ01_.dta", stary + novy);
  hraj("Alt+F2\ntype n\nEsc\n", rada("01", "EUR", 0));
  EXPECT_EQ(zaznam(1), stary);

  hraj("Alt+F2\ntype a\nEsc\n", rada("01", "EUR", 0));
  EXPECT_EQ(storage::readShortString(zaznam(1), tPzDoklad::kText, 50),
            cz("Pokladní doklad ťů"));
  EXPECT_EQ(zaznam(2), novy);
  std::string ocekavany = stary;
  ASSERT_TRUE(storage::writeShortString(ocekavany, tPzDoklad::kText, 50, storage::ZKamenickeho(dos)));
  EXPECT_EQ(zaznam(1), ocekavany);
}

TEST_F(CashWindowScript, CtrlSpaceShowsThePrintedVoucherOfTheCurrentDocument) {
  std::vector<std::string> ukazane;
  ui::NastavProhlizecSestav([&](const std::string& soubor) { ukazane.push_back(soubor); });
  dir.write("PZ01_.dta", triDoklady());
  dir.write("doklady/PZ01/00002.txt", "Pokladni doklad 00002\r\nPrijato 30 EUR\r\n");
  const std::string obrazovky = hraj("Up\nCtrl+Space\nDown\nCtrl+Space\ndump\nEnter\nEsc\n", rada("01", "EUR", 0));
  ui::NastavProhlizecSestav({});
  ASSERT_EQ(ukazane.size(), 1u);
  EXPECT_NE(ukazane[0].find("00002.txt"), std::string::npos) << ukazane[0];
  // Document 3 was never printed.
  EXPECT_NE(obrazovky.find("Prázdná tisková sestava"), std::string::npos) << obrazovky;
}

TEST_F(CashWindowScript, AReadingStationNeitherBlanksNorRecodes) {
  storage::PisJob("CTENI", "A");
  dir.write("pz_ra.dta", rada("01", "EUR", 500));
  dir.write("PZ01_.dta", triDoklady());
  const std::string puvodni = dir.read("PZ01_.dta");
  hraj("F8\ntype a\nAlt+F2\ntype a\nEsc\n", rada("01", "EUR", 500));
  EXPECT_EQ(dir.read("PZ01_.dta"), puvodni);
  EXPECT_EQ(storage::readReal48(dir.read("pz_ra.dta"), tPzRada::kStav), 500.0);
  storage::PisJob("CTENI", "");
}

TEST_F(CashWindowScript, DamagedDocumentsAreListedSortedAndNeverMoveTheBalanceByNonsense) {
  const std::string smeti(tPzDoklad::kVelikost, '\xff');
  std::string spatnaCastka = doklad(2, "P", "A-2", 0);
  spatnaCastka.replace(tPzDoklad::kPlacenoVal, 6, std::string(6, '\x7f'));
  spatnaCastka[tPzDoklad::kPlacenoVal] = '\xff';  // the largest exponent: far beyond any amount
  dir.write("pz_ra.dta", rada("01", "EUR", 500));
  dir.write("PZ01_.dta", smeti + spatnaCastka + doklad(3, "P", "A-3", 10));
  const std::string obrazovky =
      hraj("F6\nF7\ndump\nF7\nUp\nF8\ntype a\ndump\nEnter\nUp\nF8\ntype a\nEsc\n", rada("01", "EUR", 500));
  EXPECT_TRUE(otevreno);
  EXPECT_NE(obrazovky.find("je poškozená, doklad nelze zrušit"), std::string::npos) << obrazovky;
  EXPECT_EQ(zaznam(2), spatnaCastka);
  EXPECT_EQ(storage::readReal48(dir.read("pz_ra.dta"), tPzRada::kStav), 500.0);
  // The record of no kind is blanked; its first eight bytes (kind and ident) stay as they were.
  const std::string prvni = zaznam(1);
  EXPECT_EQ(prvni.substr(0, 8), smeti.substr(0, 8));
  EXPECT_EQ(storage::readShortString(prvni, tPzDoklad::kDphRozl, 6), "999   ");
}

// The bulk completion of the VAT supplements under every fault of the set at every call it makes:
// the supplement file is byte for byte the old one or the completed one, and the documents and
// the series are never touched.
TEST_F(CashWindowScript, TheBulkCompletionOfVatSupplementsIsWholeOrNothingUnderEveryFault) {
  const std::string radaZaznam = rada("01", "EUR", 500);
  const auto priprav = [&] {
    dir.write("pz_ra.dta", radaZaznam);
    dir.write("PZ01_.dta", triDoklady());
    std::filesystem::remove(dir / "PZA01_.dta");
  };
  const auto stavSouboru = [&] {
    std::string s = dir.read("PZ01_.dta") + "|" + dir.read("pz_ra.dta") + "|";
    // The window's open makes an empty supplement file where there was none: no supplements either way.
    const std::string dodatky = std::filesystem::exists(dir / "PZA01_.dta") ? dir.read("PZA01_.dta") : std::string();
    return s + (dodatky.empty() ? std::string("<none>") : dodatky);
  };
  const std::string skript = "type a\ndump\nEnter\nEsc\ndump\nEnter\nEsc\nEnter\nEsc\n";
  priprav();
  const std::string stary = stavSouboru();
  hraj(skript, radaZaznam, [&] { cashdesk::DoplnDodatkyPokladny(okno); });
  const std::string novy = stavSouboru();
  ASSERT_NE(novy, stary);
  int stare = 0, nove = 0;
  const int vypadky = test::sweepFaults(
      priprav,
      [&](const test::UnderFaults& poruchy) {
        hraj(skript, radaZaznam, [&] { poruchy([&] { cashdesk::DoplnDodatkyPokladny(okno); }); });
      },
      [&](const test::FaultCase&, const std::string& porucha, bool) {
        const std::string po = stavSouboru();
        if (po == novy) {
          ++nove;
          return;
        }
        EXPECT_EQ(po, stary) << porucha << ": neither the old files nor the new ones";
        ++stare;
      });
  std::cout << "VAT completion: " << vypadky << " faults fired, " << stare << " kept the old files, " << nove
            << " gave the new ones\n";
}

}  // namespace
}  // namespace pz
