// The lists shipped with the demo installation, as tools/pzdata converted them: the searches
// find real towns typed without diacritics, and the cash desk finds a state's code by its name.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "platform/text.h"
#include "registers/postcodes.h"
#include "registers/states.h"
#include "storage/roots.h"
#include "support/tempdir.h"

namespace pz::registers {
namespace {

using platform::cz;

// Absolute: the tests change the working directory.
const std::filesystem::path kDemo = std::filesystem::path(PZ_SOURCE_DIR) / "demo";

TEST(ShippedPscList, IsOrderedForTheSearchesAndFindsTownsTypedPlainly) {
  const auto s = NactiPsc((kDemo / "prog" / "2" / "PSC.dta").string());
  ASSERT_GT(s.size(), 16000u);
  for (std::size_t i = 1; i < s.size(); ++i)
    ASSERT_LE(SlozPsc(s[i - 1].obec + s[i - 1].okres), SlozPsc(s[i].obec + s[i].okres)) << i;
  const int n = NajdiPsc(s, "Ceske Bud", "", false);
  ASSERT_GT(n, 0);
  EXPECT_EQ(s[static_cast<std::size_t>(n - 1)].psc.substr(0, 2), "37");
  EXPECT_EQ(s[static_cast<std::size_t>(NajdiPsc(s, "Abertamy", "Karlovy", false) - 1)].psc, "36235");
  EXPECT_EQ(s[static_cast<std::size_t>(NajdiPsc(s, "Adamov", "Trutnov", false) - 1)].posta, cz("Úpice"));
}

TEST(ShippedStates, TheCashDeskFindsAStatesCodeByItsName) {
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  platform::paths().setWorkDir(dir.str());
  storage::ZapomenAdresy();
  std::filesystem::copy_file(kDemo / "data" / "Staty.dta", dir.path() / "Staty.dta");
  EXPECT_EQ(KodStatu(cz("Česko")), "CZ   ");
  EXPECT_EQ(KodStatu(cz("Německo")), "DE   ");
  EXPECT_EQ(KodStatu("Nemecko"), "     ");
  storage::ZapomenAdresy();
  platform::paths().clear();
}

}  // namespace
}  // namespace pz::registers
