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
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/paths.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "support/tempdir.h"
#include "ui/app.h"

namespace pz {
namespace {

using platform::cz;
using registers::tOrganizace;

std::string partner(int cislo, const std::string& ico, const std::string& nazev, const std::string& mesto) {
  std::string v(tOrganizace::kVelikost, '\0');
  EXPECT_TRUE(storage::writeU16(v, tOrganizace::kCislo, static_cast<std::uint16_t>(cislo)));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kIco, 8, ico));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kNazev, 30, nazev));
  EXPECT_TRUE(storage::writeShortString(v, tOrganizace::kMesto, 30, mesto));
  return v;
}

class PartnersScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::settings().gdpr = false;
    platform::setUrlOpener(nullptr);
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
  }
  std::string hraj(const std::string& skript) {
    dir.write("skript.txt", skript);
    std::ostringstream out, err;
    const int rc = headless::runHeadless((dir / "skript.txt").string(), platform::Date{2026, 12, 9},
                                         [this] {
                                           // The web search goes to a list instead of a browser.
                                           platform::setUrlOpener([this](const std::string& u) {
                                             adresy.push_back(u);
                                             return true;
                                           });
                                           okno.Nastav();
                                           okno.showModal();
                                           schranka = ui::Application::instance().presenter()->clipboardText();
                                           okno.Zavri();
                                           return 0;
                                         },
                                         out, err);
    EXPECT_EQ(rc, 0) << err.str();
    return out.str();
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
};

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

// A station that waits for a held lock by sleeping between tries, for a bounded time.
class PatientStation : public storage::RecordingInteraction {
 public:
  bool waitFor(const std::string&, int, const std::function<bool()>& attempt) override {
    for (int i = 0; i < 20000; ++i) {
      if (attempt()) return true;
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return false;
  }
};

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

}  // namespace
}  // namespace pz
