// The partner register driven by key scripts of the headless presenter over a real "org.dta":
// numbers that stay with their records, the personal fields scrambled on disk, the checks'
// warnings and the register's web search.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>
#include <string>

#include "frontends/headless/headless.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/text.h"
#include "registers/partners.h"
#include "registers/banks.h"
#include "reports/viewer.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "support/sharingtable.h"
#include "support/patientstation.h"
#include "support/script.h"
#include "support/tempdir.h"
#include "ui/app.h"
#include "ui/dialogs.h"

namespace pz {
namespace {

using platform::cz;
using registers::tOrganizace;

std::string partner(int cislo, const std::string& ico, const std::string& nazev, const std::string& mesto,
                    const std::string& dic = "") {
  std::string v(tOrganizace::kVelikost, '\0');
  EXPECT_TRUE(storage::writeU16(v, tOrganizace::kCislo, static_cast<std::uint16_t>(cislo)));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kIco, 8, ico));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kDic, 16, dic));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kNazev, 30, nazev));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kMesto, 30, mesto));
  return v;
}

// The sales code: a short string of 10 after the invoicing place.
constexpr std::size_t kKodProdeje = 385;

class PartnersScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
    // No test asks the real registers over the internet.
    storage::settings().registerLookup = false;
  }
  void TearDown() override {
    storage::settings().registerLookup = true;
    ui::NastavProhlizecSestav({});
    storage::settings().gdpr = false;
    platform::setUrlOpener(nullptr);
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
  }
  std::string hraj(const std::string& skript) {
    const test::ScriptRun r = test::runScript(dir, skript, [this] {
      // The web search goes to a list instead of a browser.
      platform::setUrlOpener([this](const std::string& u) {
        adresy.push_back(u);
        return true;
      });
      okno.Nastav();
      okno.showModal();
      schranka = ui::Application::instance().presenter()->clipboardText();
      okno.Zavri();
    });
    EXPECT_EQ(r.rc, 0) << r.err;
    return r.out;
  }
  std::string zaznam(int n) const {
    return dir.read("org.dta").substr(static_cast<size_t>((n - 1) * tOrganizace::kVelikost), tOrganizace::kVelikost);
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  std::vector<std::string> adresy;
  std::string schranka;
  registers::TfOrg okno;
  reports::TfPozri prohlizec{"fPozri"};
  reports::TfPozri prohlizec2{"fPozri2"};
};

// The rows of the last dump of the partner list, from its title line on.
std::string posledniSeznam(const std::string& obrazovky) {
  const std::size_t od = obrazovky.rfind("=== fOrg ");
  return od == std::string::npos ? std::string() : obrazovky.substr(od, obrazovky.find("Najdi", od) - od);
}

TEST_F(PartnersScript, ServiceItemsWorkOnlyAfterCtrlAndTheRightButtonAndRewriteOldDicsAfterYes) {
  const std::string org = partner(1, "1", "Alfa", "Praha", "123-45678901") + partner(2, "2", "Beta", "Brno", "710319/0006") +
                          partner(3, "3", "Gama", "Bratislava", "12345678/9") + partner(4, "4", "Delta", "Olomouc", "CZ12345678");
  dir.write("org.dta", org);
  // Disabled: Enter on the item does nothing and the menu stays until Esc.
  hraj("F10\nDown\nDown\nDown\nEnter\nEsc\nEsc\n");
  EXPECT_EQ(dir.read("org.dta"), org);
  // Ctrl with the right button: the items work; the question's default is no.
  hraj("rclick 10 3 Ctrl\nDown\nDown\nDown\nEnter\nEnter\nEsc\n");
  EXPECT_EQ(dir.read("org.dta"), org);
  const std::string obrazovky = hraj("rclick 10 3 Ctrl\nDown\nDown\nDown\nEnter\nLeft\nEnter\ndump\nEsc\n");
  EXPECT_EQ(storage::OrezZprava(storage::readShortString(zaznam(1), tOrganizace::kDic, 16)), "CZ45678901");
  // A birth number is a person's DIČ and stays; "/" otherwise marks an old Slovak number.
  EXPECT_EQ(zaznam(2), org.substr(tOrganizace::kVelikost, tOrganizace::kVelikost));
  EXPECT_EQ(storage::OrezZprava(storage::readShortString(zaznam(3), tOrganizace::kDic, 16)), "SK12345678");
  EXPECT_EQ(zaznam(4), org.substr(3 * tOrganizace::kVelikost));
  EXPECT_NE(posledniSeznam(obrazovky).find("CZ45678901"), std::string::npos) << obrazovky;
}

TEST_F(PartnersScript, TheRegisterLookupIsSwitchedFromThePopupMenu) {
  dir.write("org.dta", partner(1, "1", "Alfa", "Praha"));
  hraj("F10\nEnter\ntype n\nEsc\n");
  EXPECT_EQ(storage::OrezZprava(storage::CtiJob("ARES")), "N");
  hraj("F10\nEnter\ntype a\nEsc\n");
  EXPECT_EQ(storage::OrezZprava(storage::CtiJob("ARES")), "");
}

TEST_F(PartnersScript, NoServiceItemRewritesPartnersWhileAnotherStationUsesThem) {
  const std::string org = partner(1, "1", "Alfa", "Praha", "123-45678901");
  dir.write("data.adr", "DATA\\\r\n");
  dir.write("DATA/org.dta", org);
  dir.write("DATA/FOT.tab", test::sharingTable("ORG.DTA"));
  const std::string obrazovky = hraj("rclick 10 3 Ctrl\nDown\nDown\nDown\nEnter\nLeft\nEnter\ndump\nEnter\nEsc\n");
  EXPECT_NE(obrazovky.find("Se souborem se pracuje"), std::string::npos) << obrazovky;
  EXPECT_EQ(dir.read("DATA/org.dta"), org);
}

TEST_F(PartnersScript, RecodingTakesNamesAndAddressesFromTheKamenickyCodePage) {
  // "Škoda Plzeň, Říční 5, Plzeň" as the DOS programs wrote it; the note is left alone.
  std::string v = partner(1, "1", "\x9Bkoda Plze\xA4", "Plze\xA4");
  ASSERT_TRUE(storage::writeShortString(v, tOrganizace::kUlice, 30, "\x9E\xA1\x87n\xA1 5"));
  ASSERT_TRUE(storage::writeShortString(v, tOrganizace::kPozn1, 50, "\x9B"));
  dir.write("org.dta", v);
  const std::string obrazovky = hraj("rclick 10 3 Ctrl\nDown\nDown\nEnter\nLeft\nEnter\ndump\nEsc\n");
  const std::string z = zaznam(1);
  EXPECT_EQ(storage::OrezZprava(storage::readShortString(z, tOrganizace::kNazev, 30)), cz("Škoda Plzeň"));
  EXPECT_EQ(storage::OrezZprava(storage::readShortString(z, tOrganizace::kUlice, 30)), cz("Říční 5"));
  EXPECT_EQ(storage::OrezZprava(storage::readShortString(z, tOrganizace::kMesto, 30)), cz("Plzeň"));
  EXPECT_EQ(storage::readShortString(z, tOrganizace::kPozn1, 50).substr(0, 1), "\x9B");
  EXPECT_NE(posledniSeznam(obrazovky).find("Škoda Plzeň"), std::string::npos) << obrazovky;
}

TEST_F(PartnersScript, OnlyTheMarkedPartnersAreScrambledAndUnscrambled) {
  const std::string org = partner(1, "11111111", "Alfa", "Praha") + partner(2, "22222222", "Beta", "Brno") +
                          partner(3, "33333333", "Gama", "Zlin");
  dir.write("org.dta", org);
  // Insert marks row 2 and moves on.
  hraj("Down\nInsert\nrclick 10 3 Ctrl\nDown\nDown\nDown\nDown\nEnter\nLeft\nEnter\nEsc\n");
  std::string druhy = org.substr(tOrganizace::kVelikost, tOrganizace::kVelikost);
  registers::ZakodujOrg(std::span(reinterpret_cast<std::uint8_t*>(druhy.data()), druhy.size()));
  EXPECT_EQ(zaznam(2), druhy);
  EXPECT_EQ(zaznam(1), org.substr(0, tOrganizace::kVelikost));
  EXPECT_EQ(zaznam(3), org.substr(2 * tOrganizace::kVelikost));
  // In a GDPR installation the list shows the scrambled partner plainly; unscrambled, it reads
  // as the file held it before.
  storage::settings().gdpr = true;
  const std::string obrazovky =
      hraj("dump\nDown\nInsert\nrclick 10 3 Ctrl\nDown\nDown\nDown\nDown\nDown\nEnter\nLeft\nEnter\nEsc\n");
  storage::settings().gdpr = false;
  EXPECT_NE(obrazovky.find("00002 22222222                  Beta"), std::string::npos) << obrazovky;
  EXPECT_EQ(dir.read("org.dta"), org);
}

TEST_F(PartnersScript, TheSalesCodeTakesOnlyDigits) {
  dir.write("org.dta", partner(1, "1", "Alfa", "Praha"));
  const std::string tabulatory = "Tab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\n";
  const std::string obrazovky =
      hraj("F4\n" + tabulatory + "type 12A\nTab\ndump\nEnter\nF2\ndump\nEnter\ntype 123\nTab\nF2\nEsc\n");
  // The message at leaving the field and again at F2, which saves nothing; the corrected code is
  // stored.
  const std::string zprava = "Kód prodeje smí obsahovat jen znaky 1234567890";
  const std::size_t prvni = obrazovky.find(zprava);
  ASSERT_NE(prvni, std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find(zprava, prvni + 1), std::string::npos) << obrazovky;
  ASSERT_EQ(dir.read("org.dta").size(), 2u * tOrganizace::kVelikost);
  EXPECT_EQ(storage::readShortString(zaznam(2), kKodProdeje, 10), "123       ");
}

TEST_F(PartnersScript, TheBankComesFromTheBankCodesAndTheOwnAccountFromItsList) {
  dir.write("org.dta", partner(1, "1", "Alfa", "Praha"));
  const auto banka = [](const std::string& nazev, const std::string& kod) {
    std::string v(registers::tBanka::kVelikost, '\0');
    EXPECT_TRUE(storage::writeShortString(v, registers::tBanka::kBanka, 50, storage::NaSirku(nazev, 50)));
    EXPECT_TRUE(storage::writeShortString(v, registers::tBanka::kKod, 4, kod));
    EXPECT_TRUE(storage::writeShortString(v, registers::tBanka::kSwift, 35, storage::NaSirku("", 35)));
    return v;
  };
  dir.write("2/KodyBank.dta", banka("Komercni banka", "0100") + banka("Ceska sporitelna", "0800"));
  std::string ucet(registers::tBankovniUcet::kVelikost, '\0');
  EXPECT_TRUE(storage::writeShortString(ucet, registers::tBankovniUcet::kOznaceni, 1, "A"));
  EXPECT_TRUE(storage::writeShortString(ucet, registers::tBankovniUcet::kNazev, 20, storage::NaSirku("Moje banka", 20)));
  EXPECT_TRUE(storage::writeShortString(ucet, registers::tBankovniUcet::kKonto, 19, storage::NaSirku("19-123457", 19)));
  dir.write("bako.dta", ucet);
  // The bank name typed as a beginning, Enter: the list stands on that bank and Enter takes it.
  const std::string tabulatory = "Tab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\nTab\n";
  const std::string obrazovky = hraj("Space\n" + tabulatory + "type Ceska\nEnter\ndump\nEnter\n" + tabulatory +
                                     "Tab\nTab\nTab\nTab\nEnter\nEnter\ndump\nF2\nEsc\n");
  EXPECT_NE(obrazovky.find("=== fKodyBank"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find(">P.č.konta   1    Moje banka           19-123457"), std::string::npos) << obrazovky;
  EXPECT_EQ(storage::readShortString(zaznam(1), 210, 20), storage::NaSirku("Ceska sporitelna", 20));
  EXPECT_EQ(storage::readShortString(zaznam(1), 231, 4), "0800");
  EXPECT_EQ(storage::readU16(zaznam(1), 414), 1);
}

TEST_F(PartnersScript, F7OpensThePartnersNoteFileInTheViewerAndKeepsWhatItHolds) {
  reports::RegistrujProhlizec(prohlizec, prohlizec2);
  dir.write("org.dta", partner(1, "1", "Alfa", "Praha") + partner(2, "2", "Beta", "Brno"));
  std::string vlastni = "Volat po 14. hodine";
  vlastni.resize(100, ' ');
  dir.write("POZNAMKY/ORG00001.txt", vlastni + "\r\n" + std::string(100, ' ') + "\r\n");
  const std::string obrazovky = hraj("Down\nF7\ndump\nEsc\nUp\nF7\ndump\nEsc\nEsc\n");
  // A new note file starts with the partner's number and name.
  const std::string nova = dir.read("POZNAMKY/ORG00002.txt");
  EXPECT_EQ(nova.substr(0, 102), "    2 Beta" + std::string(90, ' ') + "\r\n");
  EXPECT_NE(nova.find("**********************************"), std::string::npos);
  const std::size_t prvni = obrazovky.find("=== fPozri ");
  const std::size_t druhy = obrazovky.find("=== fPozri ", prvni + 1);
  ASSERT_NE(druhy, std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.substr(prvni, druhy - prvni).find("    2 Beta"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.substr(druhy).find("Volat po 14. hodine"), std::string::npos) << obrazovky;
  EXPECT_EQ(dir.read("POZNAMKY/ORG00001.txt"), vlastni + "\r\n" + std::string(100, ' ') + "\r\n");
}

TEST_F(PartnersScript, AClickOnAColumnTitleSortsThroughTheIndexAndTheNumberGoesBackToFileOrder) {
  const std::string org = partner(1, "1", "Zeta", "Praha") + partner(2, "2", "Alfa", "Brno") +
                          partner(3, "3", "Chata", "Zlin") + partner(4, "4", "Hora", "Most");
  dir.write("org.dta", org);
  // The name column, the number column, the index again by its key, then the name column from
  // the service item that sorts by the column of the cell clicked.
  const std::string obrazovky =
      hraj("click 35 1\ndump\nclick 3 1\ndump\nAlt+F1\ndump\nclick 3 1\nrclick 35 3 Ctrl\nDown\nEnter\ndump\nEsc\n");
  std::vector<std::string> seznamy;
  for (std::size_t od = obrazovky.find("=== fOrg "); od != std::string::npos; od = obrazovky.find("=== fOrg ", od + 1))
    seznamy.push_back(posledniSeznam(obrazovky.substr(0, obrazovky.find("Najdi", od))));
  ASSERT_EQ(seznamy.size(), 4u) << obrazovky;
  for (const std::size_t i : {std::size_t{0}, std::size_t{2}, std::size_t{3}}) {
    const std::string& s = seznamy[i];
    // Czech order: CH after H; each name beside its own number.
    EXPECT_LT(s.find("00002 2"), s.find("00004 4")) << s;
    EXPECT_LT(s.find("00004 4"), s.find("00003 3")) << s;
    EXPECT_LT(s.find("00003 3"), s.find("00001 1")) << s;
    EXPECT_NE(s.find("Alfa"), std::string::npos);
  }
  EXPECT_LT(seznamy[1].find("00001 1"), seznamy[1].find("00002 2")) << seznamy[1];
  EXPECT_LT(seznamy[1].find("00003 3"), seznamy[1].find("00004 4")) << seznamy[1];
  EXPECT_EQ(dir.read("org.dt1").size() % 4, 0u);
  EXPECT_FALSE(dir.read("org.dt1").empty());
  EXPECT_EQ(dir.read("org.dta"), org);
}

TEST_F(PartnersScript, DeletingPartner5LeavesPartner6WithItsNumber) {
  std::string org;
  for (int i = 1; i <= 6; ++i) org += partner(i, std::to_string(10000000 + i), "Firma " + std::to_string(i), "Praha");
  dir.write("org.dta", org);
  const std::string obrazovky = hraj("Down\nDown\nDown\nDown\nF8\ntype a\ndump\nEsc\n");
  EXPECT_EQ(dir.read("org.dta").size(), 6u * tOrganizace::kVelikost);
  EXPECT_EQ(zaznam(6), partner(6, "10000006", "Firma 6", "Praha"));
  const std::string pata = zaznam(5);
  EXPECT_EQ(storage::readU16(pata, tOrganizace::kCislo), 5);
  EXPECT_EQ(storage::readShortString(pata, tOrganizace::kIco, 8), "        ");
  EXPECT_NE(obrazovky.find("00005"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("00006 10000006"), std::string::npos) << obrazovky;
  EXPECT_EQ(obrazovky.find("Firma 5"), std::string::npos) << obrazovky;
}

TEST_F(PartnersScript, ANewPartnerInAGdprInstallationIsStoredScrambledAndShownPlainly) {
  storage::settings().gdpr = true;
  std::string prvni = partner(1, "11111111", "Prvni", "Brno");
  registers::ZakodujOrg(std::span(reinterpret_cast<std::uint8_t*>(prvni.data()), prvni.size()));
  dir.write("org.dta", prvni);
  const std::string obrazovky = hraj(
      "F4\n"
      "type 12345678\nEnter\n"
      "type 710319/0041\nTab\n"
      "dump\nEnter\n"
      "type Alfa & syn\nEnter\n"
      "F2\n"
      "dump\n"
      "Esc\n");
  ASSERT_EQ(dir.read("org.dta").size(), 2u * tOrganizace::kVelikost) << obrazovky;
  std::string nova = zaznam(2);
  EXPECT_EQ(storage::readU16(nova, tOrganizace::kCislo), 2);
  EXPECT_NE(storage::readShortString(nova, tOrganizace::kIco, 8), "12345678");
  registers::DekodujOrg(std::span(reinterpret_cast<std::uint8_t*>(nova.data()), nova.size()));
  EXPECT_EQ(storage::readShortString(nova, tOrganizace::kIco, 8), "12345678");
  EXPECT_EQ(storage::OrezZprava(storage::readShortString(nova, tOrganizace::kNazev, 30)), "Alfa & syn");
  // The birth number failed its check, was warned about and kept.
  EXPECT_NE(obrazovky.find("Chybné rodné číslo"), std::string::npos) << obrazovky;
  EXPECT_EQ(storage::readShortString(nova, tOrganizace::kDic, 16).substr(0, 11), "710319/0041");
  EXPECT_NE(obrazovky.find("00001 11111111"), std::string::npos) << obrazovky;
  EXPECT_NE(obrazovky.find("00002 12345678"), std::string::npos) << obrazovky;
  // Enter in the IČO and the name: the clipboard and the register's web search.
  ASSERT_EQ(adresy.size(), 2u);
  EXPECT_EQ(adresy[0], "https://ares.gov.cz/ekonomicke-subjekty?ico=12345678");
  EXPECT_EQ(adresy[1], "https://ares.gov.cz/ekonomicke-subjekty?obchodniJmeno=Alfa%20%26%20syn");
  EXPECT_EQ(schranka, "Alfa & syn");
}

TEST_F(PartnersScript, NoNewPartnerPastTheLastNumberA16BitFieldHolds) {
  dir.write("org.dta", partner(1, "1", "Prvni", "Brno"));
  // 65535 partners, the rest of the file sparse.
  std::filesystem::resize_file(dir / "org.dta", static_cast<std::uintmax_t>(registers::kNejvicPartneru) * tOrganizace::kVelikost);
  const std::string obrazovky = hraj("F4\ndump\nEnter\nEsc\n");
  EXPECT_NE(obrazovky.find("Více partnerů nelze založit"), std::string::npos) << obrazovky.substr(0, 3000);
  EXPECT_EQ(std::filesystem::file_size(dir / "org.dta"),
            static_cast<std::uintmax_t>(registers::kNejvicPartneru) * tOrganizace::kVelikost);
}

using test::PatientStation;

TEST(PartnersTwoStations, AddingAtOnceGetDifferentNumbers) {
  pz::test::TempDir dir;
  dir.write("DATA/.keep", "");
  for (const char* st : {"st1", "st2"}) {
    dir.write(std::string(st) + "/data.adr", dir.str() + "/DATA/\r\n");
    // Each station holds the numbering lock while its form is open; the first one lingers.
    dir.write(std::string(st) + "/skript.txt", std::string("F4\nTab\nTab\n") + (st[2] == '1' ? "run sleep 0.3\n" : "") +
                                                   "type Stanice " + st + "\nF2\nEsc\n");
  }
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
      storage::settings().user = "0" + std::to_string(s);
      if (s == 2) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      registers::TfOrg okno;
      std::ostringstream out, err;
      const int rc = headless::runHeadless((dir.path() / st / "skript.txt").string(), platform::Date{2026, 12, 9},
                                           [&okno] {
                                             okno.Nastav();
                                             okno.showModal();
                                             okno.Zavri();
                                             return 0;
                                           },
                                           out, err);
      _exit(rc == 0 && stanice.messages.empty() ? 0 : 1);
    }
    deti.push_back(pid);
  }
  for (pid_t pid : deti) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  const std::string org = dir.read("DATA/org.dta");
  ASSERT_EQ(org.size(), 2u * tOrganizace::kVelikost);
  std::vector<std::string> nazvy;
  for (int n = 1; n <= 2; ++n) {
    const std::string v = org.substr(static_cast<size_t>((n - 1) * tOrganizace::kVelikost), tOrganizace::kVelikost);
    EXPECT_EQ(storage::readU16(v, tOrganizace::kCislo), n);
    nazvy.push_back(storage::OrezZprava(storage::readShortString(v, tOrganizace::kNazev, 30)));
  }
  std::sort(nazvy.begin(), nazvy.end());
  EXPECT_EQ(nazvy, (std::vector<std::string>{"Stanice st1", "Stanice st2"}));
}

// F3 over a list of several search blocks finds what the list shows: a number in a column whose
// rows before all hold another value (the search keeps each column's last text), a name in a
// column of fixed text, and the notes (no column of their own) without their blanks, folded for
// the loose comparison.
TEST_F(PartnersScript, F3FindsNumbersNamesAndNotesOfPartnersBeyondTheFirstBlock) {
  std::size_t penalizace = 0;
  {
    registers::TfOrg rozvrh;
    dir.write("org.dta", "");
    ASSERT_TRUE(rozvrh.Nastav());
    for (int i = 1; i <= rozvrh.PocetPoli(); ++i)
      if (rozvrh.Pole(i).popis == cz("%penalizace ")) penalizace = rozvrh.Pole(i).offset;
    rozvrh.Zavri();
  }
  ASSERT_GT(penalizace, 0u);
  std::string org;
  for (int n = 1; n <= 3000; ++n) {
    std::string v = partner(n, std::to_string(10000000 + n), "Firma " + std::to_string(n), "Praha");
    if (n == 1500) {
      ASSERT_TRUE(storage::writeReal48(v, penalizace, 12.5));
    }
    if (n == 2100) {
      ASSERT_TRUE(storage::writeShortString(v, tOrganizace::kJmeno, 30, cz("Jan Novák")));
    }
    if (n == 2700) {
      ASSERT_TRUE(storage::writeShortString(v, tOrganizace::kPozn2, 50, cz("platí jen v pátek")));
    }
    org += v;
  }
  dir.write("org.dta", org);
  // Each search from the row the one before found, the search line cleared first.
  std::string skript;
  for (const char* text : {"12.50", "Novák", "jenvpatek", "Zxq"})
    skript += "F3\n" + std::string(12, '\0') + "type " + text + "\nEnter\ndump\n";
  for (std::size_t i; (i = skript.find('\0')) != std::string::npos;) skript.replace(i, 1, "Backspace\n");
  const std::string o = hraj(skript + "Esc\n");
  std::vector<std::string> najdi;
  for (std::size_t i = 0; (i = o.find("Najdi [F3]", i)) != std::string::npos; i += 10)
    najdi.push_back(storage::Orez(o.substr(i, o.find('\n', i) - i)));
  ASSERT_GE(najdi.size(), 4u) << o;
  const std::size_t n = najdi.size();
  EXPECT_NE(najdi[n - 4].find("3000/   1500"), std::string::npos) << najdi[n - 4];
  EXPECT_NE(najdi[n - 3].find("3000/   2100"), std::string::npos) << najdi[n - 3];
  EXPECT_NE(najdi[n - 2].find("3000/   2700"), std::string::npos) << najdi[n - 2];
  EXPECT_NE(najdi[n - 1].find("3000/   2700"), std::string::npos) << najdi[n - 1];  // not found: stays
}

}  // namespace
}  // namespace pz
