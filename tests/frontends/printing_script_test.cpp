// The print font window driven by a key script: what reaches the font files.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "reports/fontsizes.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "support/script.h"
#include "support/tempdir.h"

namespace pz {
namespace {

TEST(PrintFonts, SizesFrom9To100AndTheFaceGoIntoTheSelectedLinesFontFile) {
  test::TempDir dir;
  platform::paths().setWorkDir(dir.str());
  storage::ZahodParametry();
  dir.write("12zn.fnt", "Height : 40\r\nWidth : 24\r\nFaceName : Courier New\r\n");
  // The second line; a height of 33 is taken, a width of 5 refused, the face replaced; then the
  // first line gets a height.
  auto r = test::runScript(dir,
                           "Down Tab\nBackspace Backspace\ntype 33\nTab\nBackspace Backspace\ntype 5\nTab\n"
                           "type x\nShift+Tab Shift+Tab Shift+Tab Up\nTab\ntype 20\ndump\nEsc\n",
                           [] { reports::UpravFontyTisku(); });
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Nastavení velikosti fontů pro tisky"), std::string::npos) << r.out;
  storage::ZahodParametry();
  EXPECT_EQ(storage::CtiPar("12zn.fnt", "Height"), "33") << r.out;
  EXPECT_EQ(storage::CtiPar("12zn.fnt", "Width"), "24") << r.out;
  EXPECT_EQ(storage::CtiPar("norm.fnt", "Height"), "20") << r.out;
  EXPECT_FALSE(storage::CtiPar("12zn.fnt", "FaceName").empty());
  storage::ZahodParametry();
  platform::paths().clear();
}

}  // namespace
}  // namespace pz
