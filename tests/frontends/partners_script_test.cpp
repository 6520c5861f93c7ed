// The partner register driven by key scripts of the headless presenter over a real "org.dta":
// numbers that stay with their records, the personal fields scrambled on disk, the checks'
// warnings and the register's web search.
#include <gtest/gtest.h>

#include <sstream>
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

}  // namespace
}  // namespace pz
