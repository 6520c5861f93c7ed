// The main window's first activation without a presenter: showModal then runs only the
// activation, as the first showing of the window does.
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/stationtable.h"
#include "support/tempdir.h"

namespace pz::shell {
namespace {

using platform::cz;

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    reset();
    storage::setInteraction(&rec);
    storage::settings().user = "07";
    storage::settings().vatBasicText = "21";
    storage::settings().vatReducedText = "15";
    storage::settings().vatReduced2Text = "10";
  }
  void TearDown() override {
    storage::setInteraction(nullptr);
    reset();
    platform::paths().clear();
  }
  static void reset() {
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::settings() = storage::GlobalSettings{};
  }
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction rec;
};

TEST_F(MainWindow, FirstActivationShowsTheSettingsOnce) {
  dir.write("par/sys.par", "Pozadi2 : 12632256\r\n");
  dir.write("PZPOKL.PAR", "PODROZVAHA : ANO\r\n");
  TForm1 w;
  w.showModal();
  EXPECT_EQ(w.caption, "TAMBRA 07");
  EXPECT_EQ(w.Label3.text, cz("Nastavené sazby DPH : 10 , 15 , 21"));
  EXPECT_EQ(w.color, 0xC0C0C0u);
  EXPECT_TRUE(w.CheckBox1.checked);
  EXPECT_TRUE(w.bUcetnictvi.visible);
  w.showModal();  // later activations change nothing
  EXPECT_EQ(w.Label3.text, cz("Nastavené sazby DPH : 10 , 15 , 21"));
}

TEST_F(MainWindow, WithoutABackgroundSettingTheWindowIsBlack) {
  TForm1 w;
  w.showModal();
  EXPECT_EQ(w.color, ui::kBlack);
  EXPECT_FALSE(w.CheckBox1.checked);
}

TEST_F(MainWindow, SettingsThatCannotBeSavedOnCloseAreOfferedAgain) {
  dir.write("blocked", "");  // a file where the directory of the settings should be
  TForm1 w;
  w.showModal();
  storage::PisPar("blocked\\okna2.par", "K", "1");
  int asked = 0;
  rec.answer = [&](const std::string&) {
    if (++asked == 2) std::filesystem::remove(dir / "blocked");  // the user frees the path
    return true;
  };
  w.close();
  ASSERT_EQ(asked, 2);
  EXPECT_EQ(rec.questions[0], cz("Nastavení se nepodařilo uložit do souboru blocked\\okna2.par. Zkusit znovu?"));
  EXPECT_EQ(dir.read("blocked/okna2.par"), "K : 1\r\n");
}

}  // namespace
}  // namespace pz::shell
