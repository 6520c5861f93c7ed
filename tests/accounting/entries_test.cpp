// The entry record as the ledger stores it, the voucher counters, and the appends and rewrites of
// a batch over real files in a data root: what another program of the suite reading "PZUC.dta"
// would find, and that a refused step leaves the batch as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accounting/entries.h"
#include "platform/paths.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "support/faults.h"
#include "support/tempdir.h"

namespace pz::accounting {
namespace {

std::string kratky(const std::string& text, size_t sirka) {
  std::string t = text.substr(0, sirka);
  t.resize(sirka, '\0');
  return std::string(1, static_cast<char>(text.size() < sirka ? text.size() : sirka)) + t;
}

tUcZapis zapis(const std::string& up, const std::string& radek, const std::string& md, const std::string& dal,
               std::int64_t castka, const std::string& text = "Prijem EUR") {
  tUcZapis z;
  z.agenda = "PZ";
  z.cisloUP = up;
  z.radek = radek;
  z.text = text;
  z.ucetMD = md;
  z.ucetDal = dal;
  z.castka = castka;
  z.datum = "030122";
  return z;
}

TEST(EntryRecord, TheFieldsLieAtTheirOffsetsAndANegativeAmountIsTwosComplementLittleEndian) {
  tUcZapis z = zapis("000123", "02", "211000", "000000", -1234500, "Vydej");
  z.strMD = "00100";
  z.zakMD = "ZAK-7";
  z.parUdaj = "0000000042";
  const auto v = SlozZapis(z);
  ASSERT_EQ(v.size(), 138u);
  const std::string b(v.begin(), v.end());
  const std::string cekane = kratky("PZ", 2) + kratky("000123", 6) + kratky("02", 2) + kratky("Vydej", 30) +
                             kratky("211000", 6) + kratky("00100", 5) + kratky("ZAK-7", 20) + kratky("000000", 6) +
                             kratky("00000", 5) + kratky("", 20) +
                             // -1234500 = 0xFFFFFFFFFFED29BC
                             std::string("\xBC\x29\xED\xFF\xFF\xFF\xFF\xFF", 8) + kratky("030122", 6) +
                             kratky("0000000042", 10);
  EXPECT_EQ(b, cekane);
  EXPECT_EQ(RozeberZapis(v), z);
  // A damaged length byte reads as the field's width.
  std::vector<std::uint8_t> poskozeny = v;
  poskozeny[ucZapis::kRadek] = 200;
  EXPECT_EQ(RozeberZapis(poskozeny).radek.size(), 2u);
}

TEST(VoucherCounters, LinesCarryIntoTheNextVoucherAndTheEndIsRefusedNotLengthened) {
  EXPECT_EQ(DalsiRadekUP("12340105"), "12340106");
  EXPECT_EQ(DalsiRadekUP("12340199"), "12340201");
  EXPECT_EQ(DalsiRadekUP("12349899"), "12349901");
  EXPECT_EQ(DalsiRadekUP("12349999"), std::nullopt);
  EXPECT_EQ(DalsiZapisUP("00000101"), "00000102");
  EXPECT_EQ(DalsiZapisUP("PZ001299"), "PZ001301");
  EXPECT_EQ(DalsiZapisUP("PZ999998"), "PZ999999");
  EXPECT_EQ(DalsiZapisUP("PZ999999"), std::nullopt);
}

TEST(BalanceSums, TwoSidedEntriesCountOnBothSidesAndTheJournalLeavesOut701000) {
  std::vector<tUcZapis> z = {zapis("000001", "01", "211000", "311000", 1000000),
                             zapis("000001", "02", "211000", "000000", 5000000),
                             zapis("000001", "03", "000000", "701000", 5000000)};
  z.push_back(zapis("000001", "04", "211000", "000000", 70000));
  z.back().agenda = "SA";
  const Strany s = SoucetStran(z, false);
  EXPECT_EQ(s.md, 6000000);
  EXPECT_EQ(s.dal, 6000000);
  EXPECT_EQ(s.rozdil(), 0);
  const Strany j = SoucetStran(z, true);
  EXPECT_EQ(j.rozdil(), 5000000);
}

class Batch : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("prog.adr", "PROG\\\r\n");
    dir.write("DATA/CI10.DTA", "");  // the data root exists
    storage::ZapomenAdresy();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
};

TEST_F(Batch, AVoucherIsAppendedWithoutItsEmptyEntriesRenumberedFromItsFirstLine) {
  const tUcZapis stary = zapis("000007", "01", "211000", "311000", 10000);
  dir.write("DATA/PZUC.dta", std::string(reinterpret_cast<const char*>(SlozZapis(stary).data()), 138));
  // The zero entry and the one without accounts are skipped; the rest renumbered 05, 06.
  const std::vector<tUcZapis> predpis = {zapis("000008", "05", "211000", "000000", 2000000),
                                         zapis("000008", "06", "211000", "311000", 0),
                                         zapis("000008", "07", "000000", "000000", 300),
                                         zapis("000008", "09", "000000", "602000", 2000000, "Trzba za zbozi a sluzby 12345")};
  const auto citac = PridejDoDavky(predpis, "PZUC.dta", "42");
  ASSERT_TRUE(citac) << (zpravy.messages.empty() ? "" : zpravy.messages.back());
  EXPECT_EQ(*citac, "00000807");
  std::vector<tUcZapis> davka;
  ASSERT_TRUE(CtiDavku("PZUC.dta", davka));
  ASSERT_EQ(davka.size(), 3u);
  EXPECT_EQ(davka[0], stary);
  EXPECT_EQ(davka[1].cisloUP + davka[1].radek, "00000805");
  EXPECT_EQ(davka[2].cisloUP + davka[2].radek, "00000806");
  EXPECT_EQ(davka[1].text, "Prijem EUR" + std::string(18, ' ') + "42");
  EXPECT_EQ(davka[2].text, "Trzba za zbozi a sluzby 123442");
  EXPECT_EQ(dir.read("DATA/PZUC.dta").size(), 3u * 138);

  // A voucher of zero amounts appends nothing and gives the empty counter.
  const std::string pred = dir.read("DATA/PZUC.dta");
  EXPECT_EQ(PridejDoDavky({zapis("000009", "01", "211000", "311000", 0)}, "PZUC.dta"), "");
  EXPECT_EQ(dir.read("DATA/PZUC.dta"), pred);
  // A last line above 90 points the counter to line 01 of the next voucher.
  EXPECT_EQ(PridejDoDavky({zapis("000010", "91", "211000", "311000", 100)}, "PZUC.dta"), "00001101");
}

TEST_F(Batch, ABatchThatIsNoWholeNumberOfEntriesIsRefusedAndKeptByteForByte) {
  const tUcZapis stary = zapis("000007", "01", "211000", "311000", 10000);
  const std::string obsah = std::string(reinterpret_cast<const char*>(SlozZapis(stary).data()), 138) + "xyz";
  dir.write("DATA/PZUC.dta", obsah);
  EXPECT_EQ(PridejDoDavky({zapis("000008", "01", "211000", "311000", 100)}, "PZUC.dta"), std::nullopt);
  EXPECT_EQ(dir.read("DATA/PZUC.dta"), obsah);
  ASSERT_FALSE(zpravy.messages.empty());
  EXPECT_NE(zpravy.messages.back().find("141"), std::string::npos);
  // A voucher whose lines would run past the last counter is refused the same way.
  dir.write("DATA/PZUC.dta", "");
  EXPECT_EQ(PridejDoDavky({zapis("999999", "99", "211000", "311000", 100),
                           zapis("999999", "99", "211000", "311000", 100)},
                          "PZUC.dta"),
            std::nullopt);
  EXPECT_EQ(dir.read("DATA/PZUC.dta"), "");
}

TEST_F(Batch, AnyFailingStepOfAnAppendLeavesTheBatchByteForByte) {
  const std::string obsah =
      std::string(reinterpret_cast<const char*>(SlozZapis(zapis("000007", "01", "211000", "311000", 10000)).data()), 138);
  for (const test::FaultCase& f : test::everyFault()) {
    if (f.op == test::FaultOp::Read && !f.sticky) continue;  // a retried read may succeed
    for (int n = 1; n <= 3; ++n) {
      dir.write("DATA/PZUC.dta", obsah);
      std::optional<std::string> citac;
      {
        test::FaultInjector poruchy;
        poruchy.plan(f, n);
        citac = PridejDoDavky({zapis("000008", "01", "211000", "311000", 500)}, "PZUC.dta");
      }
      const std::string po = dir.read("DATA/PZUC.dta");
      // Either the voucher is there whole after the old entries, or the batch is as it was.
      if (citac) EXPECT_EQ(po.size(), 2u * 138) << f.name << " #" << n;
      else EXPECT_EQ(po, obsah) << f.name << " #" << n;
      EXPECT_TRUE(po == obsah || po.substr(0, 138) == obsah) << f.name << " #" << n;
    }
  }
}

}  // namespace
}  // namespace pz::accounting
