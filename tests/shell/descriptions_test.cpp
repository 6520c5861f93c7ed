// The field descriptions shipped in the program root's "dlib\" against the records the program
// reads and writes: the current descriptions must give exactly its record sizes and field
// offsets, and the older ones must bring a file of the earlier layout forward without losing a
// field.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "cashdesk/records.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "registers/company.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/layout.h"
#include "storage/roots.h"
#include "support/tempdir.h"

namespace pz {
namespace {

namespace fs = std::filesystem;
using cashdesk::tPzDoklad;
using registers::tFirma;

constexpr std::size_t kVelikostKurzu = 23;  // the rate record of "kursy.dta"

const fs::path kDlib = fs::path(PZ_SOURCE_DIR) / "demo/prog/dlib";

storage::toPol popis(const std::string& jmeno) {
  std::string text;
  {
    std::ifstream in(kDlib / jmeno, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::string chyba;
  auto p = storage::CtiPopis(text, &chyba);
  EXPECT_TRUE(p) << jmeno << ": " << chyba;
  return p ? *p : storage::toPol{};
}

std::map<std::string, std::size_t> offsety(const storage::toPol& p) {
  std::map<std::string, std::size_t> m;
  for (const auto& f : p.polozky) m[f.jmeno] = f.offset;
  return m;
}

TEST(ShippedDescriptions, CurrentLayoutsAreTheRecordsOfTheProgram) {
  const auto pz = popis("pz.pol");
  EXPECT_EQ(pz.velikost, static_cast<std::size_t>(tPzDoklad::kVelikost));
  const std::map<std::string, std::size_t> doklad = {
      {"DRUH", tPzDoklad::kDruh},         {"IDENT", tPzDoklad::kIdent},         {"CISLO", tPzDoklad::kCislo},
      {"CISLOORG", tPzDoklad::kCisloOrg}, {"DATUMDOD", tPzDoklad::kDatumDod},   {"DATUMZAPL", tPzDoklad::kDatumZapl},
      {"TEXT", tPzDoklad::kText},         {"CELKEMVAL", tPzDoklad::kCelkemVal}, {"PLACENOVAL", tPzDoklad::kPlacenoVal},
      {"KURZ", tPzDoklad::kKurz},         {"CELKEMKC", tPzDoklad::kCelkemKc},   {"PLACENOKC", tPzDoklad::kPlacenoKc},
      {"IND", tPzDoklad::kInd},           {"DPHROZL", tPzDoklad::kDphRozl},     {"ICO", tPzDoklad::kIco},
      {"DIC", tPzDoklad::kDic},           {"ADR1", tPzDoklad::kAdr1},           {"ADR2", tPzDoklad::kAdr2},
      {"ADR3", tPzDoklad::kAdr3},         {"ADR4", tPzDoklad::kAdr4},           {"PSC", tPzDoklad::kPsc},
      {"FINURAD", tPzDoklad::kFinUrad}};
  EXPECT_EQ(offsety(pz), doklad);

  const auto fma = popis("fma.pol");
  EXPECT_EQ(fma.velikost, static_cast<std::size_t>(tFirma::kVelikost));
  ASSERT_EQ(fma.polozky.size(), static_cast<std::size_t>(tFirma::kPoli));
  const std::size_t firma[] = {tFirma::kIco,         tFirma::kDic,          tFirma::kNazev,     tFirma::kAdr2,
                               tFirma::kUlice,       tFirma::kMesto,        tFirma::kPsc,       tFirma::kStat,
                               tFirma::kTelefon,     tFirma::kFax,          tFirma::kEmail,     tFirma::kNazevBanky,
                               tFirma::kCisloKonta,  tFirma::kKodBanky,     tFirma::kSwift,     tFirma::kDanUcet1,
                               tFirma::kDanUcet2,    tFirma::kDanUcet3,     tFirma::kBankovniUcet, tFirma::kFakturant,
                               tFirma::kZpusobUhrady, tFirma::kRegistrace,  tFirma::kIban,      tFirma::kPozn1,
                               tFirma::kPozn2};
  for (std::size_t i = 0; i < fma.polozky.size(); ++i) {
    SCOPED_TRACE(fma.polozky[i].jmeno);
    EXPECT_EQ(fma.polozky[i].offset, firma[i]);
    EXPECT_EQ(fma.polozky[i].delka, tFirma::kSirky[i]);
  }

  EXPECT_EQ(popis("kursy.pol").velikost, kVelikostKurzu);
}

TEST(ShippedDescriptions, EveryStepChangesTheRecordSize) {
  // Equal sizes could never tell an old file from a new one.
  const char* kroky[][2] = {{"fma2004.pol", "fma2014.pol"}, {"fma2014.pol", "fma.pol"}, {"pz2015.pol", "pz.pol"},
                            {"kursyold.pol", "kursy.pol"}};
  for (const auto& k : kroky) EXPECT_NE(popis(k[0]).velikost, popis(k[1]).velikost) << k[0];
}

// A record of `popis` from the fields' values, in the layout the description gives.
class Konverze : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    fs::create_directories(dir / "prog");
    fs::copy(kDlib, dir / "prog/dlib");
    dir.write("prog.adr", "prog\\\r\n");
    storage::ZapomenAdresy();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  bool preved(const std::string& soubor, const std::string& stary, const std::string& novy) {
    const std::string cesta = storage::DataCesta(soubor);
    return storage::PrevedSoubor(cesta, cesta, storage::ProgCesta("dlib\\" + stary), storage::ProgCesta("dlib\\" + novy));
  }
  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
};

std::string text(const std::string& t, std::size_t sirka) {
  std::string s = t;
  s.resize(sirka, ' ');
  return static_cast<char>(sirka) + s;
}

TEST_F(Konverze, DocumentOf2015KeepsEveryFieldAndGetsTheLongerNumber) {
  auto r48 = [](double v) {
    const auto b = storage::doubleToReal48(v);
    return std::string(b->begin(), b->end());
  };
  const std::string partner = text("12345678", 8) + text("CZ12345678", 16) + text("Alfa", 30) + text("", 30) +
                              text("Dlouha 1", 30) + text("Praha", 30) + text("11000", 5);
  const std::string stary = text("P", 1) + text("00001", 5) + text("PZ0100001", 30) + std::string("\x05\x00", 2) +
                            text("010524", 6) + text("020524", 6) + text("Prodej EUR", 50) + r48(100) + r48(100) +
                            r48(25.35) + r48(2535) + r48(2535) + text("U  ", 3) + text("999", 6) + partner;
  ASSERT_EQ(stary.size(), 303u);
  dir.write("PZ01_.dta", stary + stary);
  ASSERT_TRUE(preved("PZ01_.dta", "pz2015.pol", "pz.pol"));
  const std::string nove = dir.read("PZ01_.dta");
  ASSERT_EQ(nove.size(), 2u * tPzDoklad::kVelikost);
  const std::string d = nove.substr(tPzDoklad::kVelikost);
  EXPECT_EQ(d.substr(0, tPzDoklad::kCislo), stary.substr(0, 8));
  EXPECT_EQ(d.substr(tPzDoklad::kCislo, 61), text("PZ0100001", 60));
  EXPECT_EQ(d.substr(tPzDoklad::kCisloOrg, tPzDoklad::kFinUrad - tPzDoklad::kCisloOrg), stary.substr(39));
  EXPECT_EQ(d.substr(tPzDoklad::kFinUrad), text("", 3));
  EXPECT_EQ(storage::readReal48(d, tPzDoklad::kKurz), 25.35);
  EXPECT_TRUE(zpravy.messages.empty());
}

TEST_F(Konverze, OlderRateTableWidensItsUnitsAndGetsTheAnalyticCode000) {
  std::string r(18, '\0');
  ASSERT_TRUE(storage::writeShortString(r, 0, 3, "EUR"));
  ASSERT_TRUE(storage::writeReal48(r, 4, 2535.0));
  ASSERT_TRUE(storage::writeShortString(r, 10, 6, "010524"));
  r[17] = static_cast<char>(100);
  dir.write("kursy.dta", r);
  ASSERT_TRUE(preved("kursy.dta", "kursyold.pol", "kursy.pol"));
  const std::string k = dir.read("kursy.dta");
  ASSERT_EQ(k.size(), kVelikostKurzu);
  EXPECT_EQ(k.substr(0, 17), r.substr(0, 17));
  EXPECT_EQ(storage::readU16(k, 17), 100);
  EXPECT_EQ(storage::readShortString(k, 19, 3), "000");
}

}  // namespace
}  // namespace pz
