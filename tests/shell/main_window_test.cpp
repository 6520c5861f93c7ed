// The main window's first activation and its help entries, without a presenter: showModal then
// runs only the activation, as the first showing of the window does.
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/paths.h"
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

TEST_F(MainWindow, HelpPagesOfTheButtons) {
  TForm1 w;
  std::vector<std::pair<std::string, std::string>> shown;
  w.naNapovedu = [&](const std::string& f, const std::string& t) { shown.emplace_back(f, t); };
  w.showModal();
  ui::KeyEvent f1;
  f1.vk = ui::kVkF1;
  w.setFocus(&w.bUcetnictvi);
  w.deliverKey(f1);
  w.setFocus(&w.bKurzy);
  w.deliverKey(f1);
  ui::MouseEvent right;
  right.button = ui::MouseButton::Right;
  const auto at = [&](const ui::Control& c) {
    auto r = w.cellsOf(c);
    right.col = r.col + 1;
    right.row = r.row;
  };
  at(w.bTisky);
  w.deliverMouse(right);
  at(w.bKurzy);  // the rates button has help on F1 only
  w.deliverMouse(right);
  w.bprirucka.onClick();
  EXPECT_EQ(w.focused(), &w.bPZPokl);
  EXPECT_EQ(shown, (std::vector<std::pair<std::string, std::string>>{{"\\pz\\pz", cz("Účtování")},
                                                                     {"\\pz\\pz", cz("Kurzy měn ČNB")},
                                                                     {"\\2\\spool", "Tisky"},
                                                                     {"\\pz\\pz", cz("Valutová pokladna")}}));
}

TEST_F(MainWindow, GuidePagesComeFromTheProgramRoot) {
  dir.write("prog.adr", "C:\\TAMBRA\\\n");
  TForm1 w;
  std::string where, prefix;
  w.naPruvodce = [&](const std::string& d, const std::string& p) { where = d, prefix = p; };
  w.bpruvodce.onClick();
  EXPECT_EQ(where, "C:\\TAMBRA\\NAVODY\\");
  EXPECT_EQ(prefix, "PZ");
}

TEST_F(MainWindow, RatesAddressUsesTheConfiguredServer) {
  EXPECT_EQ(AdresaKurzuCnb(),
            "https://www.cnb.cz/cs/financni-trhy/devizovy-trh/kurzy-devizoveho-trhu/kurzy-devizoveho-trhu/"
            "vybrane_form.html");
  dir.write("PZPOKL.PAR", "WebCNB : http://mirror.local/\r\n");
  storage::ZahodParametry();
  EXPECT_EQ(AdresaKurzuCnb().rfind("http://mirror.local/cs/financni-trhy/", 0), 0u);
}

}  // namespace
}  // namespace pz::shell
