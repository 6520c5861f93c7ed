// The system parameters window's effect on the settings in memory, and its look kept between
// openings: what the next report and the next document see right after the window closes.
#include "shell/system_params.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/paths.h"
#include "shell/settings_loader.h"
#include "storage/interaction.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/stationtable.h"
#include "support/tempdir.h"
#include "ui/controls.h"
#include "ui/picture.h"

namespace pz::shell {
namespace {

using storage::settings;

class SystemParametersWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    reset();
    storage::setInteraction(&rec);
    dir.write("data.adr", "data\\\n");
    dir.write("data/master.job", test::stationTable({}));
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    reset();
    platform::paths().clear();
  }
  static void reset() {
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::KonecStartuJob();
    settings() = storage::GlobalSettings{};
  }
  void key(int vk) { okno.deliverKey(ui::KeyEvent{vk}); }
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction rec;
  TfParSys okno;
};

TEST_F(SystemParametersWindow, AcceptedRatesAndPageLengthHoldForTheNextDocumentAndReport) {
  dir.write("master.job", test::stationTable({{"UZIVATEL", "01"}, {"DAN2", "21"}, {"DAN1", "12"}, {"LIMRAD", "60"}}));
  ASSERT_TRUE(storage::NactiAdresy());
  ASSERT_TRUE(NactiNastaveni(96));
  ASSERT_DOUBLE_EQ(settings().vatBasicCoef, 0.173553719008);

  okno.Otevri();
  okno.PolePro(4)->setValue("10,5");  // read as a whole number: 10
  okno.PolePro(7)->setValue("50");
  key(ui::kVkF2);
  ASSERT_FALSE(okno.zruseno);
  okno.UlozParametry();

  EXPECT_EQ(storage::CtiJob("DAN2"), "10,5");
  EXPECT_EQ(storage::CtiJob("LIMRAD"), "50");
  EXPECT_EQ(settings().pageLength, 50);
  EXPECT_EQ(settings().vatBasic, 10);
  EXPECT_EQ(settings().vatBasicText, "10");
  // The VAT part of a price follows the new rate at once, as the rate itself does.
  EXPECT_DOUBLE_EQ(settings().vatBasicCoef, 0.090909090909);
  EXPECT_DOUBLE_EQ(settings().vatReducedCoef, 0.107142857143);
  EXPECT_EQ(settings().homeCurrency, "CZK");

  // Esc with a page length of 0 stores 64, and reports use 64 from then on.
  storage::PisJob("LIMRAD", "0");
  okno.Otevri();
  okno.PolePro(4)->setValue("99");  // typed, then left with Esc: not stored
  key(ui::kVkEscape);
  okno.UlozParametry();
  EXPECT_EQ(storage::CtiJob("LIMRAD"), "64");
  EXPECT_EQ(settings().pageLength, 64);
  EXPECT_EQ(storage::CtiJob("DAN2"), "10,5");
}

TEST_F(SystemParametersWindow, AWindowSetToBoldItalicOpensBoldItalicAgainWhereItWasLeft) {
  dir.write("master.job", test::stationTable({{"UZIVATEL", "01"}}));
  ASSERT_TRUE(storage::NactiAdresy());
  dir.write("par/okna2.par", "fParSys FontStyleA : BoldItalic\r\nfParSys OknoLeft : 0123\r\n");
  okno.Otevri();
  EXPECT_TRUE(okno.look.fontBold);
  EXPECT_TRUE(okno.look.fontItalic);
  EXPECT_EQ(okno.geometry.x, 123);
  okno.geometry.y = 77;  // moved by the user
  key(ui::kVkEscape);
  okno.UlozParametry();
  EXPECT_EQ(storage::CtiPar("par\\okna2.par", "fParSys FontStyleA"), "BoldItalic");
  EXPECT_EQ(storage::CtiPar("par\\okna2.par", "fParSys OknoTop"), "0077");
  okno.Otevri();
  EXPECT_TRUE(okno.look.fontBold && okno.look.fontItalic);
  EXPECT_EQ(okno.geometry.y, 77);
  okno.UlozParametry();
}

}  // namespace
}  // namespace pz::shell
