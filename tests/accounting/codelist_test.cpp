// The binary search of the code lists and the centre codes taken from old code-list keys, over
// real record files in a data root.
#include <gtest/gtest.h>

#include <string>

#include "accounting/accounts.h"
#include "accounting/centres.h"
#include "platform/paths.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "support/tempdir.h"

namespace pz::accounting {
namespace {

std::string kratky(const std::string& text, size_t sirka) {
  std::string t = text.substr(0, sirka);
  t.resize(sirka, ' ');
  return std::string(1, static_cast<char>(sirka)) + t;
}

std::string ucetVeta(const std::string& cislo, const std::string& nazev) {
  std::string v = kratky(cislo, 6) + kratky(nazev, 30);
  v.resize(79, '\0');
  return v;
}

TEST(CentreCodeFromKey, TheLevelKeepsThatManyCharactersAfterTheFirst) {
  EXPECT_EQ(KodZKlice("123456", "5"), "23456");
  EXPECT_EQ(KodZKlice("123456", "4"), "2345.");
  EXPECT_EQ(KodZKlice("123456", "3"), "234..");
  EXPECT_EQ(KodZKlice("123456", "1"), "2....");
  EXPECT_EQ(KodZKlice("123456", "0"), ".....");
  EXPECT_EQ(KodZKlice("123456", " "), ".....");
  EXPECT_EQ(KodZKlice("123456", "9"), "23456");
}

class AccountSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("prog.adr", "PROG\\\r\n");
    dir.write("DATA/CI10.DTA", ucetVeta("      ", "") + ucetVeta("211000", "Pokladna") +
                                   ucetVeta("221000", "Banka") + ucetVeta("311000", "Odberatele"));
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::ZapomenOtevrenaOkna();
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  TfCis10 osnova;
};

TEST_F(AccountSearch, FoundAccountsGiveTheirRecordAndMissingOnesWhereTheSearchEnded) {
  EXPECT_EQ(HledejUcet("221000"), 3);
  EXPECT_EQ(HledejUcet("311000"), 4);
  EXPECT_EQ(HledejUcet("215000"), -3);
  // Before the first and after the last account.
  EXPECT_EQ(HledejUcet("100000"), -1);
  EXPECT_EQ(HledejUcet("999999"), -1);
  // The blank number of a deleted record is never an account.
  EXPECT_LT(HledejUcet("      "), 0);
  EXPECT_EQ(NazevUctu("211000"), "Pokladna" + std::string(22, ' '));
  osnova.ZavriSeznam();
}

}  // namespace
}  // namespace pz::accounting
