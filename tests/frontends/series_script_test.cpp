// The list of cash desk series driven by key scripts of the headless presenter over a real
// "pz_ra.dta": new series numbers and their checks, units, accounts, deleting a series with
// documents, the compaction at close, a read-only station, two stations at once, and the cash
// desk loop with its log lines (Esc in the list is run through the real program in tests/e2e).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "accounting/accounts.h"
#include "accounting/codelist.h"
#include "cashdesk/records.h"
#include "cashdesk/series.h"
#include "frontends/headless/headless.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "shell/pokladna.h"
#include "storage/eventlog.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "support/faults.h"
#include "support/stationtable.h"
#include "support/patientstation.h"
#include "support/script.h"
#include "support/tempdir.h"

namespace pz {
namespace {

using cashdesk::tPzRada;
using platform::cz;

std::string rada(const std::string& cislo, const std::string& mena, int mnozstvi = 1, double stav = 0) {
  std::string v(tPzRada::kVelikost, '\0');
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kRada, 2, cislo));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kMena, 3, mena));
  EXPECT_TRUE(storage::writeU16(v, tPzRada::kMnozstvi, static_cast<std::uint16_t>(mnozstvi)));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kStav, stav));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kUcet, 6, "000000"));
  return v;
}

std::string cisloRady(const std::string& v) { return storage::readShortString(v, tPzRada::kRada, 2); }

// The series numbers of a series file, in file order.
std::vector<std::string> cisla(const std::string& soubor) {
  std::vector<std::string> c;
  for (std::size_t o = 0; o + tPzRada::kVelikost <= soubor.size(); o += tPzRada::kVelikost)
    c.push_back(cisloRady(soubor.substr(o, tPzRada::kVelikost)));
  return c;
}

// The texts of the event log's lines, without their date, time and station prefix (the first
// record is the log's own title).
std::vector<std::string> protokol(const std::string& soubor) {
  std::vector<std::string> radky;
  for (std::size_t o = storage::kLogRecord; o + storage::kLogRecord <= soubor.size(); o += storage::kLogRecord) {
    const std::string r = storage::readShortString(soubor.substr(o, storage::kLogRecord), 0, 79);
    radky.push_back(r.substr(std::min(r.size(), storage::PrefixProtokolu().size())));
  }
  return radky;
}

std::size_t pocet(const std::string& text, const std::string& cast) {
  std::size_t n = 0;
  for (std::size_t p = text.find(cast); p != std::string::npos; p = text.find(cast, p + 1)) ++n;
  return n;
}

class SeriesScript : public ::testing::Test {
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
  std::string hraj(const std::string& skript, const std::function<void()>& program) {
    const test::ScriptRun r = test::runScript(dir, skript, program);
    EXPECT_EQ(r.rc, 0) << r.err << r.out;
    return r.out;
  }
  // The series list opened, shown and closed, as the cash desk loop does it once.
  std::string seznam(const std::string& skript) {
    return hraj(skript, [this] {
      okno.Otevri();
      okno.showModal();
      okno.Zavri();
    });
  }

  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  cashdesk::TfPZRady okno;
};

TEST_F(SeriesScript, NewNumbersAreUpperCasedWarnedAboutAndNeverDuplicated) {
  dir.write("pz_ra.dta", rada("01", "EUR"));
  const std::string obrazovky = seznam(
      // Two blanks: series 00, units never touched.
      "F4\ntype   \nTab\ntype USD\nF2\n"
      // a1: warned about, stored upper-cased; units left blank when passing the field.
      "F4\ntype a1\nTab\ndump\nEnter\ntype GBP\nTab\nTab\nTab\nF2\n"
      // s2: no warning.
      "F4\ntype s2\nTab\ndump\ntype CHF\nF2\n"
      // 01 exists: refused, the form left with Esc.
      "F4\ntype 01\nTab\ndump\nEnter\nEsc\n"
      "Esc\n");
  EXPECT_EQ(pocet(obrazovky, "Pokladní řada nesmí obsahovat písmeno."), 1u) << obrazovky;
  EXPECT_EQ(pocet(obrazovky, "Tato řada již existuje."), 1u) << obrazovky;
  // The close sorted the appended series into place.
  const std::string soubor = dir.read("pz_ra.dta");
  EXPECT_EQ(cisla(soubor), (std::vector<std::string>{"00", "01", "A1", "S2"}));
  for (std::size_t k = 0; k < 4; ++k)
    EXPECT_EQ(storage::readU16(soubor.substr(k * tPzRada::kVelikost), tPzRada::kMnozstvi), 1) << k;
  EXPECT_EQ(storage::readShortString(soubor.substr(2 * tPzRada::kVelikost), tPzRada::kMena, 3), "GBP");
}

TEST_F(SeriesScript, ANumberThatCannotNameAFileIsAFieldErrorAndAnExistingNumberCannotBeChanged) {
  dir.write("pz_ra.dta", rada("01", "EUR") + rada("02", "JPY", 100));
  const std::string obrazovky = seznam(
      "F4\ntype .1\nTab\ndump\nEnter\nBackspace\nBackspace\ntype 3:\nF2\ndump\nEnter\nEsc\n"
      // Editing series 02: the cursor starts in the currency, the number is not reachable.
      "Down\nSpace\ntype USD\nUp\nUp\ntype 05\nF2\n"
      "Esc\n");
  EXPECT_EQ(pocet(obrazovky, "Pokladní řada nesmí začínat tečkou"), 2u) << obrazovky;
  const std::string soubor = dir.read("pz_ra.dta");
  EXPECT_EQ(cisla(soubor), (std::vector<std::string>{"01", "02"}));
  EXPECT_EQ(storage::readShortString(soubor.substr(tPzRada::kVelikost), tPzRada::kMena, 3), "USD");
}

TEST_F(SeriesScript, UnitsOfZeroAreNeverStored) {
  dir.write("pz_ra.dta", rada("01", "EUR", 0));
  // The edit leaves the units of an older record at 1; a new series typed with 0 likewise.
  seznam("Space\nTab\nTab\nF2\nF4\ntype 02\nTab\ntype JPY\nTab\nTab\ntype 0\nTab\nF2\nEsc\n");
  const std::string soubor = dir.read("pz_ra.dta");
  ASSERT_EQ(cisla(soubor), (std::vector<std::string>{"01", "02"}));
  EXPECT_EQ(storage::readU16(soubor, tPzRada::kMnozstvi), 1);
  EXPECT_EQ(storage::readU16(soubor.substr(tPzRada::kVelikost), tPzRada::kMnozstvi), 1);
}

TEST_F(SeriesScript, DeletingASeriesKeepsItsDocumentsUnderAFreeArchiveNameAndTheCloseCompacts) {
  // Appended out of order; an archive of an earlier series 03 exists.
  dir.write("pz_ra.dta", rada("02", "JPY", 100) + rada("03", "GBP") + rada("01", "EUR"));
  const std::string doklady(2 * cashdesk::tPzDoklad::kVelikost, 'D');
  dir.write("PZ03_.dta", doklady);
  dir.write("pz03Z.old", "earlier series 03");
  // Series 02 has no documents: only its record goes.
  seznam("Down\nF8\ntype a\nUp\nF8\ntype n\nF8\ntype a\nEsc\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "PZ03_.dta"));
  EXPECT_EQ(dir.read("pz03Z.old"), "earlier series 03");
  EXPECT_EQ(dir.read("pz03Z2.old"), doklady);
  EXPECT_EQ(cisla(dir.read("pz_ra.dta")), (std::vector<std::string>{"01"}));
  const auto radky = protokol(dir.read("PROTOKOL.PRT"));
  ASSERT_EQ(radky.size(), 1u);
  EXPECT_EQ(radky[0], cz("         - Zrušení řady č:03"));
}

TEST_F(SeriesScript, AFailedCompactionSaysSoAndLosesNothing) {
  const std::string puvodni = rada("02", "JPY", 100) + rada("01", "EUR");
  dir.write("pz_ra.dta", puvodni);
  std::string obrazovky;
  {
    // A disk that is full from the first write on: the work file of the sort cannot be written.
    test::FaultInjector poruchy;
    poruchy.failNth(test::FaultOp::Write, 1, ENOSPC, true);
    obrazovky = seznam("Esc\ndump\nEnter\n");
  }
  EXPECT_NE(obrazovky.find("Chyba pri sortu"), std::string::npos) << obrazovky;
  EXPECT_EQ(dir.read("pz_ra.dta"), puvodni);
  EXPECT_FALSE(std::filesystem::exists(dir / "pz_ra.dt$"));
}

TEST_F(SeriesScript, AReadOnlyStationChoosesButNeitherAddsNorEditsNorDeletes) {
  dir.write("master.job", test::stationTable({{"CTENI", "A"}}));
  const std::string puvodni = rada("01", "EUR") + rada("02", "JPY", 100);
  dir.write("pz_ra.dta", puvodni);
  int radek = 0, klavesa = 0;
  hraj("F4\nSpace\nF8\ntype a\nDown\nEnter\n", [&] {
    okno.Otevri();
    okno.showModal();
    radek = okno.Radek;
    klavesa = okno.KoncovaKlavesa;
    okno.Zavri();
  });
  EXPECT_EQ(dir.read("pz_ra.dta"), puvodni);
  EXPECT_EQ(klavesa, 13);
  EXPECT_EQ(radek, 2);
}

using test::PatientStation;

TEST(SeriesTwoStations, TheSecondStationAddingTheSameNumberWaitsAndIsRefused) {
  test::TempDir dir;
  dir.write("DATA/.keep", "");
  for (const char* st : {"st1", "st2"}) dir.write(std::string(st) + "/data.adr", dir.str() + "/DATA/\r\n");
  // The first station holds "ZPORA4" while its form is open and lingers there.
  dir.write("st1/skript.txt", "F4\ntype 05\nTab\ntype EUR\nrun sleep 0.3\nF2\nEsc\n");
  // Once the second one has the lock, the first one's series is in the file.
  dir.write("st2/skript.txt", "F4\ntype 05\nF2\ndump\nEnter\nEsc\nEsc\n");
  std::vector<pid_t> deti;
  for (int s = 1; s <= 2; ++s) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      const std::string st = "st" + std::to_string(s);
      std::filesystem::current_path(dir.path() / st);
      platform::paths().setWorkDir((dir.path() / st).string());
      storage::ZapomenAdresy();
      static PatientStation stanice;
      storage::setInteraction(&stanice);
      storage::RegistrujSdileniZamku();
      storage::settings().user = "0" + std::to_string(s);
      if (s == 2) std::this_thread::sleep_for(std::chrono::milliseconds(80));
      cashdesk::TfPZRady okno;
      std::ostringstream out, err;
      const int rc = headless::runHeadless((dir.path() / st / "skript.txt").string(), platform::Date{2026, 12, 9},
                                           [&okno] {
                                             okno.Otevri();
                                             okno.showModal();
                                             okno.Zavri();
                                             return 0;
                                           },
                                           out, err);
      const bool odmitnuto = out.str().find("Tato řada již existuje.") != std::string::npos;
      _exit(rc == 0 && stanice.messages.empty() && odmitnuto == (s == 2) ? 0 : 1);
    }
    deti.push_back(pid);
  }
  for (std::size_t s = 0; s < deti.size(); ++s) {
    int status = 0;
    ASSERT_EQ(waitpid(deti[s], &status, 0), deti[s]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "station " << s + 1;
  }
  EXPECT_EQ(cisla(dir.read("DATA/pz_ra.dta")), (std::vector<std::string>{"05"}));
}

TEST_F(SeriesScript, AFileAnotherStationHoldsIsCompactedAtALaterClose) {
  dir.write("DATA/pz_ra.dta", rada("02", "JPY", 100) + rada("01", "EUR"));
  dir.write("data.adr", dir.str() + "/DATA/\r\n");
  storage::ZapomenAdresy();
  storage::RegistrujSdileniZamku();
  const std::string cesta = storage::DataCesta("pz_ra.dta");
  storage::settings().user = "02";
  ASSERT_EQ(storage::Zamkni(cesta), storage::Zamek::Drzen);
  storage::settings().user = "01";
  seznam("F8\ntype a\nEsc\n");
  EXPECT_EQ(cisla(dir.read("DATA/pz_ra.dta")), (std::vector<std::string>{".0", "01"}));
  storage::settings().user = "02";
  storage::Odemkni(cesta);
  storage::settings().user = "01";
  // Nothing added or deleted this time: the deleted record still goes.
  seznam("Esc\n");
  storage::ZrusSdileniZamku();
  EXPECT_EQ(cisla(dir.read("DATA/pz_ra.dta")), (std::vector<std::string>{"01"}));
}

TEST_F(SeriesScript, ASeriesAnotherStationIsChangingIsNotEdited) {
  dir.write("DATA/pz_ra.dta", rada("01", "EUR") + rada("02", "JPY", 100));
  dir.write("data.adr", dir.str() + "/DATA/\r\n");
  storage::ZapomenAdresy();
  // Another station rewrites the balance of series 02.
  storage::settings().user = "02";
  ASSERT_EQ(storage::Zamkni(cashdesk::ZamekStavu("02"), "W"), storage::Zamek::Drzen);
  storage::settings().user = "01";
  const std::string obrazovky = seznam("Down\nSpace\ndump\nEnter\nUp\nSpace\ntype USD\nF2\nEsc\n");
  storage::settings().user = "02";
  storage::Odemkni(cashdesk::ZamekStavu("02"));
  storage::settings().user = "01";
  EXPECT_NE(obrazovky.find("Opravy se neprovedly"), std::string::npos) << obrazovky;
  const std::string soubor = dir.read("DATA/pz_ra.dta");
  EXPECT_EQ(soubor.substr(tPzRada::kVelikost), rada("02", "JPY", 100));
  EXPECT_EQ(storage::readShortString(soubor, tPzRada::kMena, 3), "USD");
}

TEST_F(SeriesScript, AnAccountNotInTheChartIsChosenFromIt) {
  std::string osnova;
  for (const auto& [cislo, nazev] : std::vector<std::pair<std::string, std::string>>{{"211000", " Pokladna"},
                                                                                     {"211200", "Pokladna EUR"}}) {
    std::vector<std::uint8_t> v(accounting::ucet::kVelikost, 0);
    accounting::PisTextVety(v, accounting::ucet::kUcet, 6, cislo);
    accounting::PisTextVety(v, accounting::ucet::kNazev, 30, nazev);
    osnova.append(v.begin(), v.end());
  }
  dir.write("CI10.DTA", osnova);
  dir.write("pz_ra.dta", rada("01", "EUR"));
  // 211300 is not in the chart: the chart opens at the nearest account and Enter takes it.
  seznam("Space\nTab\nTab\nTab\nTab\ntype 211300\nTab\nEnter\nF2\nEsc\n");
  accounting::Osnova().ZavriSeznam();
  EXPECT_EQ(storage::readShortString(dir.read("pz_ra.dta"), tPzRada::kUcet, 6), "211200");
}

TEST_F(SeriesScript, InTheCashJournalTheKeyOfTheBoxIsChosenFromTheKeysAndShownWithItsName) {
  storage::settings().cashJournal = true;
  std::string klice;
  for (int k = 1; k <= 255; ++k) {
    std::string n = k == 5 ? "Pokladna EUR" : "";
    n.resize(27, ' ');
    klice += std::string(1, '\x1b') + n + std::string(3, '\0');
  }
  dir.write("klicew.dta", klice);
  dir.write("pz_ra.dta", rada("01", "EUR"));
  const std::string obrazovky = seznam("Space\nTab\nTab\nTab\nTab\nF1\nDown\nDown\nDown\nDown\nEnter\ndump\nF2\nEsc\n");
  storage::settings().cashJournal = false;
  // The field's picture aligns the number to the left when it is stored.
  EXPECT_EQ(storage::readShortString(dir.read("pz_ra.dta"), tPzRada::kUcet, 6), "5     ");
  EXPECT_NE(obrazovky.find("Klíč pokladny     5      Pokladna EUR"), std::string::npos) << obrazovky;
}

// A cash desk window that records what the loop hands it.
struct ZaznamPokladny : shell::OknoPokladny {
  void Otevri(const std::string& s, const std::vector<std::uint8_t>& r, const std::string& z) override {
    soubor = s;
    rada = r;
    zustatek = z;
  }
  int PocetDokladu() override { return ++pocitano * 10; }
  void Ukaz() override { ++ukazano; }
  void Zavri() override { ++zavreno; }
  std::string soubor, zustatek;
  std::vector<std::uint8_t> rada;
  int pocitano = 0, ukazano = 0, zavreno = 0;
};

TEST_F(SeriesScript, EnterOpensTheCashDeskOfTheSeriesAndBringsTheListBack) {
  const std::string druha = rada("02", "JPY", 100, -1234.5);
  dir.write("pz_ra.dta", rada("01", "EUR") + druha);
  cashdesk::TfPZRady rady;
  shell::PokladniSmycka smycka(rady);
  ZaznamPokladny pokladna;
  smycka.NastavPokladnu(&pokladna);
  hraj("Down\nEnter\nEsc\n", [&] { smycka.Spust(); });
  // The chosen series: its record, document file and balance caption; the window was opened on
  // them, shown, counted before and after, and closed.
  EXPECT_EQ(std::string(pokladna.rada.begin(), pokladna.rada.end()), druha);
  EXPECT_EQ(pokladna.soubor, "PZ02_.dta");
  EXPECT_EQ(pokladna.zustatek, "      1234.50-JPY");
  EXPECT_EQ(pokladna.ukazano, 1);
  EXPECT_EQ(pokladna.zavreno, 1);
  EXPECT_EQ(protokol(dir.read("PROTOKOL.PRT")),
            (std::vector<std::string>{cz("   Start - Řady valutové pokladny, n=  2"),
                                      cz("   Konec - Řady valutové pokladny, n=  2"),
                                      cz("   Start - Valutová pokladna č:02 ,n=   10"),
                                      cz("   Konec - Valutová pokladna č:02 ,n=   20"),
                                      cz("   Start - Řady valutové pokladny, n=  2"),
                                      cz("   Konec - Řady valutové pokladny, n=  2")}));
  // A series at zero shows blanks for its balance.
  hraj("Enter\nEsc\n", [&] { smycka.Spust(); });
  EXPECT_EQ(pokladna.zustatek, std::string(14, ' ') + "EUR");
}

}  // namespace
}  // namespace pz
