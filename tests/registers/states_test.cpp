// The state code the cash desk takes for a partner's state name, read from "Staty.dta".
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/text.h"
#include "registers/states.h"
#include "storage/fields.h"
#include "storage/roots.h"
#include "support/tempdir.h"

namespace pz::registers {
namespace {

using platform::cz;

std::string stat(const std::string& kod, const std::string& nazev, const std::string& eu) {
  std::string v(tStat::kVelikost, '\0');
  EXPECT_TRUE(storage::writeShortString(v, tStat::kKodZeme, 5, kod));
  EXPECT_TRUE(storage::writeShortString(v, tStat::kNazev, 30, nazev));
  EXPECT_TRUE(storage::writeShortString(v, tStat::kEu, 2, eu));
  return v;
}

class StateCode : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
  }
  void TearDown() override {
    storage::ZapomenAdresy();
    platform::paths().clear();
  }
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
};

TEST_F(StateCode, FoundByItsExactNameSkippingDeletedRecords) {
  dir.write("Staty.dta", stat("....", "", "") + stat("DE", cz("Německo"), "A") + stat("CZ", cz("Česko"), "A") +
                             stat("XX", cz("Česko"), "") + stat("GR", cz("Řecko"), "A"));
  EXPECT_EQ(KodStatu(cz("Česko")), "CZ   ");   // the first of two records with that name
  EXPECT_EQ(KodStatu(cz("Řecko")), "GR   ");
  EXPECT_EQ(KodStatu(cz("ČESKO")), "     ");   // the comparison is exact
  EXPECT_EQ(KodStatu(cz("Česko") + std::string(25, ' ')), "CZ   ");  // as a partner's field holds it
  EXPECT_EQ(KodStatu(cz(" Česko")), "     ");
  EXPECT_EQ(KodStatu("Atlantida"), "     ");
  // A partner without a state never gets the deleted record's "..".
  EXPECT_EQ(KodStatu(""), "     ");
  EXPECT_EQ(KodStatu("   "), "     ");
}

TEST_F(StateCode, NoFileGivesBlanks) { EXPECT_EQ(KodStatu(cz("Česko")), "     "); }

}  // namespace
}  // namespace pz::registers
