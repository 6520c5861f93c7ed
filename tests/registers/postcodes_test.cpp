// The postal code searches by town and by post office, as the partner form's PSČ chooser runs
// them over the shipped list.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "registers/postcodes.h"

namespace pz::registers {
namespace {

using platform::cz;

// Ordered by folded town and district, as the shipped file is.
std::vector<ZaznamPsc> seznam() {
  return {{"37001", cz("České Budějovice 1"), cz("České Budějovice 1"), cz("České Budějovice")},
          {"37004", cz("České Budějovice 4"), cz("České Budějovice 4"), cz("České Budějovice")},
          {".....", "", "", ""},
          {"25167", cz("Babice (část)"), cz("Pyšely"), cz("Praha-východ")},
          {"78501", cz("Šternberk"), cz("Šternberk 1"), "Olomouc"},
          {"67401", cz("Třebíč"), cz("Třebíč 1"), cz("Třebíč")},
          {"37501", cz("Týn nad Vltavou"), cz("Týn nad Vltavou"), cz("České Budějovice")}};
}

TEST(PscSearch, ByTownFoldsDiacriticsCaseAndBlanksAndMatchesAPrefix) {
  const auto s = seznam();
  EXPECT_EQ(NajdiPsc(s, "Ceske Bud", "", false), 1);
  EXPECT_EQ(NajdiPsc(s, "ceskebudejovice4", "", false), 2);
  EXPECT_EQ(NajdiPsc(s, "sternberk", "", false), 5);
  EXPECT_EQ(NajdiPsc(s, cz("TŘEBÍČ"), cz("třebíč"), false), 6);
  EXPECT_EQ(NajdiPsc(s, "Praha", "", false), 0);
}

TEST(PscSearch, ADistrictMatchesOnlyRecordsWhoseDistrictBeginsWithIt) {
  const auto s = seznam();
  EXPECT_EQ(NajdiPsc(s, "Tyn", "Ceske", false), 7);
  EXPECT_EQ(NajdiPsc(s, "Tyn", "Olomouc", false), 0);
  EXPECT_EQ(NajdiPsc(s, "Babice", "Praha-v", false), 4);
}

TEST(PscSearch, ByPostOfficeComparesTheWholeName) {
  const auto s = seznam();
  EXPECT_EQ(NajdiPsc(s, "Pysely", "", true), 4);
  EXPECT_EQ(NajdiPsc(s, "Sternberk 1", "Olomouc", true), 5);
  EXPECT_EQ(NajdiPsc(s, "Sternberk", "", true), 0);
}

TEST(PscSearch, NothingEnteredNeverGivesTheFirstOrADeletedRecord) {
  const auto s = seznam();
  EXPECT_EQ(NajdiPsc(s, "", "", false), 0);
  EXPECT_EQ(NajdiPsc(s, "   ", "  ", true), 0);
  EXPECT_EQ(NajdiPsc({{".....", "", "", ""}, {".....", "A", "A", "B"}}, "A", "", false), 0);
}

}  // namespace
}  // namespace pz::registers
