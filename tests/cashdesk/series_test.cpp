// The series file without screens: finding a series by number in a file that appends left out
// of order, the numbers that cannot name a document file, and the conversion of the older
// 34-byte series file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cashdesk/documents.h"
#include "cashdesk/records.h"
#include "cashdesk/series.h"
#include "platform/paths.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/roots.h"
#include "storage/recordfile.h"
#include "support/tempdir.h"

namespace pz {
namespace {

using cashdesk::tPzRada;

std::string rada(const std::string& cislo, const std::string& mena, double kurz = 0, int mnozstvi = 1,
                 double stav = 0, const std::string& ucet = "211200") {
  std::string v(tPzRada::kVelikost, '\0');
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kRada, 2, cislo));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kMena, 3, mena));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kKurz, kurz));
  EXPECT_TRUE(storage::writeU16(v, tPzRada::kMnozstvi, static_cast<std::uint16_t>(mnozstvi)));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kStav, stav));
  EXPECT_TRUE(storage::writeShortString(v, tPzRada::kUcet, 6, ucet));
  EXPECT_TRUE(storage::writeReal48(v, tPzRada::kPocStav, 100));
  return v;
}

class SeriesFile : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    platform::paths().clear();
  }
  int najdi(const std::vector<std::string>& cisla, const std::string& hledane) {
    std::string obsah;
    for (const auto& c : cisla) obsah += rada(c, "EUR");
    dir.write("pz_ra.dta", obsah);
    storage::RecordFile f;
    EXPECT_TRUE(f.OtevriSoubor("pz_ra.dta", tPzRada::kVelikost));
    f.veta().assign(tPzRada::kVelikost, 7);
    const int n = cashdesk::NajdiRadu(f, hledane);
    EXPECT_EQ(f.veta(), std::vector<std::uint8_t>(tPzRada::kVelikost, 7)) << "the caller's record buffer stays";
    return n;
  }

  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
};

TEST_F(SeriesFile, FindsEverySeriesOfASortedFileAndNothingElse) {
  const std::vector<std::string> cisla = {"00", "01", "02", "07", "09", "10", "S1"};
  for (std::size_t k = 0; k < cisla.size(); ++k) EXPECT_EQ(najdi(cisla, cisla[k]), static_cast<int>(k + 1)) << cisla[k];
  EXPECT_LT(najdi(cisla, "05"), 1);
  EXPECT_LT(najdi(cisla, "99"), 1);
  EXPECT_LT(najdi({}, "01"), 1);
  // Numbers compare upper-cased.
  EXPECT_EQ(najdi({"01", "a2"}, "A2"), 2);
}

TEST_F(SeriesFile, FindsSeriesAppendedWhileTheFileCouldNotBeSorted) {
  // Added at the end while another station held the file: the bisection alone misses 00.
  EXPECT_EQ(najdi({"01", "02", "00", "09"}, "00"), 3);
  EXPECT_EQ(najdi({"01", "05", "03", "09"}, "03"), 3);
  EXPECT_EQ(najdi({"01", ".0", "03"}, "03"), 3);
}

TEST_F(SeriesFile, TheBalanceOfASeriesAppendedOutOfOrderIsFoundForItsRewrite) {
  dir.write("pz_ra.dta", rada("01", "EUR", 0, 1, 10) + rada("02", "USD", 0, 1, 20) + rada("00", "GBP", 0, 1, 7.5) +
                             rada("09", "JPY", 0, 100, 90));
  cashdesk::StavRady stav;
  ASSERT_TRUE(stav.Otevri("00"));
  EXPECT_EQ(stav.Stav(), 7.5);
  EXPECT_TRUE(zpravy.messages.empty());
}

TEST(SeriesNumber, NumbersThatWouldBreakTheDocumentFileNameAreRefused) {
  for (const std::string ok : {"01", "00", "S2", "A1", "99"}) EXPECT_EQ(cashdesk::ChybaCislaRady(ok), "") << ok;
  const std::vector<std::string> spatne = {".1", "..", "1\\", "/1", "1:", "*1", "1?", "\"1", "<1", "1>", "1|", "1\t",
                                          std::string(1, '\0') + "1"};
  for (const std::string& cislo : spatne)
    EXPECT_NE(cashdesk::ChybaCislaRady(cislo), "") << cislo;
}

TEST_F(SeriesFile, TheOlderFileIsConvertedOnceWithABlankNoteAndNoCrownOpeningBalance) {
  const std::vector<std::string> vety = {rada("01", "EUR", 24.93, 1, 1500.5), rada("02", "JPY", 15.305, 100, -3),
                                         rada("S3", "USD", 0, 1, 0)};
  std::string stary;
  for (const auto& v : vety) stary += v.substr(0, tPzRada::kStaraVelikost);
  dir.write("zporady.dta", stary);
  EXPECT_TRUE(cashdesk::PrevedStareRady());
  const std::string novy = dir.read("pz_ra.dta");
  ASSERT_EQ(novy.size(), 213u);
  for (std::size_t k = 0; k < vety.size(); ++k) {
    const std::string v = novy.substr(k * tPzRada::kVelikost, tPzRada::kVelikost);
    EXPECT_EQ(v.substr(0, tPzRada::kStaraVelikost), vety[k].substr(0, tPzRada::kStaraVelikost));
    EXPECT_EQ(storage::readReal48(v, tPzRada::kPocStavKc), 0.0);
    EXPECT_EQ(storage::readShortString(v, tPzRada::kPoznamka, 30), std::string(30, ' '));
  }
  EXPECT_EQ(dir.read("zporady.dta"), stary) << "the older file stays";
  // Series kept in the new file are never overwritten by a second conversion.
  dir.write("zporady.dta", stary + stary);
  EXPECT_FALSE(cashdesk::PrevedStareRady());
  EXPECT_EQ(dir.read("pz_ra.dta"), novy);
}

}  // namespace
}  // namespace pz
