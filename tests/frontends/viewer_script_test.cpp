// The report viewer driven by key scripts of the headless presenter over real report files:
// what the user sees on the screens and what the report holds afterwards.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "frontends/headless/headless.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "reports/viewer.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "reportfiles/report.h"
#include "support/tempdir.h"
#include "ui/dialogs.h"

namespace pz {
namespace {

using platform::cz;

std::string radky(const std::vector<std::string>& r, size_t w) {
  std::string s;
  for (std::string x : r) {
    x.resize(w, ' ');
    s += x + "\r\n";
  }
  return s;
}

class ViewerScript : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    reports::RegistrujProhlizec(prvni, druhy);
  }
  void TearDown() override {
    ui::NastavProhlizecSestav({});
    reports::sluzbyProhlizece() = {};
    ui::sluzbySouboru().vyberSouboru = {};
    storage::settings().gdpr = false;
    storage::ZahodParametry();
    platform::paths().clear();
  }
  std::string hraj(const std::string& jmeno, const std::string& skript) {
    dir.write("skript.txt", skript);
    std::ostringstream out, err;
    const int rc = headless::runHeadless((dir / "skript.txt").string(), platform::Date{2026, 12, 9},
                                         [&] {
                                           ui::UkazSestavu(jmeno);
                                           return 0;
                                         },
                                         out, err);
    EXPECT_EQ(rc, 0) << err.str();
    return out.str();
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  reports::TfPozri prvni{"fPozri"};
  reports::TfPozri druhy{"fPozri2"};
};

TEST_F(ViewerScript, AnEmptyReportIsRefused) {
  dir.write("prazdna.txt", "\r\n");
  const std::string s = hraj("prazdna", "dump\nEnter\n");
  EXPECT_NE(s.find("Prázdná tisková sestava"), std::string::npos) << s;
  EXPECT_EQ(s.find("Soubor:"), std::string::npos) << s;
}

TEST_F(ViewerScript, ShowsControlCharactersAndFindsTextRegardlessOfCaseAndAccents) {
  dir.write("r.txt", radky({"prvni", cz("druhý řádek"), "\f", cz("Stav ÚČET: 12"), "konec"}, 20));
  const std::string s = hraj("r", "F3\ntype ucet\nEnter\ndump\nEsc\n");
  EXPECT_NE(s.find(" Soubor: " + dir.str() + "/r.txt"), std::string::npos) << s;
  EXPECT_NE(s.find("@"), std::string::npos) << s;
  EXPECT_NE(s.find("5/      4"), std::string::npos) << s;
}

TEST_F(ViewerScript, PageSearchWrapsFromTheLastLine) {
  std::vector<std::string> r;
  for (int list = 1; list <= 3; ++list) {
    r.push_back("\f");
    r.push_back("Firma   Titul   List:  " + std::to_string(list) + " Datum: 09.12.26");
    r.push_back("radek listu " + std::to_string(list));
  }
  dir.write("r.txt", radky(r, 50));
  const std::string s = hraj("r", "End\nF4\ntype 2\nEnter\ndump\nEsc\n");
  EXPECT_NE(s.find("9/      4"), std::string::npos) << s;
}

TEST_F(ViewerScript, AnEditedLineIsWrittenBackAndEscLeavesItAlone) {
  dir.write("r.txt", radky({"abcdef", "ghijkl"}, 8));
  hraj("r", "Down\nSpace\ntype XY\nEnter\nSpace\ntype Q\nEsc\nEsc\n");
  EXPECT_EQ(dir.read("r.txt"), radky({"abcdef", "XYijkl"}, 8));
}

TEST_F(ViewerScript, F7AndF8ChangeTheLineCount) {
  dir.write("r.txt", radky({"1", "2", "3", "4"}, 4));
  hraj("r", "Down\nF7\nEsc\n");  // a blank line before line 2
  EXPECT_EQ(dir.read("r.txt"), radky({"1", "", "2", "3", "4"}, 4));
  hraj("r", "Insert\nDown\nF8\nEsc\n");  // line 1 marked (Insert moves on), line 3 current
  EXPECT_EQ(dir.read("r.txt"), radky({"", "3", "4"}, 4));
}

// The line editor shows the whole line it edits, and F7 and F8 leave the cursor on its line and
// the lines on the screen where they were; help.txt (which restores its stored position) too.
TEST_F(ViewerScript, TheLineEditorIsAsWideAsTheListAndF7F8KeepTheCursorWhereItWas) {
  std::vector<std::string> r;
  for (int i = 1; i <= 60; ++i) r.push_back("radek " + std::to_string(i));
  dir.write("help.txt", radky(r, 30));
  dir.write("par/okna2.par", "fPozri Index : 000002\r\n");  // where the help was left last time
  std::string dolu;
  for (int i = 0; i < 35; ++i) dolu += "Down\n";
  const std::string s = hraj("help", dolu + "dump\nF7\ndump\nF8\ndump\nSpace\nEnd\ndump\nEsc\nEsc\n");
  std::vector<std::string> obrazovky;
  for (size_t i = s.find("==="); i != std::string::npos; i = s.find("\n===", i + 1)) obrazovky.push_back(s.substr(i + 1, s.find("\n===", i + 1) - i));
  ASSERT_EQ(obrazovky.size(), 5u) << s;  // the last dump shows the viewer under the editor
  const auto prvniRadek = [](const std::string& o) { return o.substr(o.find('\n') + 1, o.find('\n', o.find('\n') + 1) - o.find('\n') - 1); };
  EXPECT_NE(obrazovky[0].find("60/     37"), std::string::npos) << obrazovky[0];
  EXPECT_NE(obrazovky[1].find("61/     37"), std::string::npos) << obrazovky[1];
  EXPECT_NE(obrazovky[2].find("60/     37"), std::string::npos) << obrazovky[2];
  EXPECT_EQ(prvniRadek(obrazovky[1]), prvniRadek(obrazovky[0]));
  EXPECT_EQ(prvniRadek(obrazovky[2]), prvniRadek(obrazovky[0]));
  // The editor over line 37 shows its text up to the end of the line, not one cell of it.
  EXPECT_NE(obrazovky[4].find("=== TfEdituj"), std::string::npos) << obrazovky[4];
  EXPECT_NE(obrazovky[4].find("radek 37"), std::string::npos) << obrazovky[4];
}

TEST_F(ViewerScript, ASectionIsSavedAndAnExistingTargetAsksFirst) {
  dir.write("r.txt", radky({"a", "b", "c"}, 4));
  dir.write("OUT.TXT", radky({"stare"}, 250));
  // The report itself under another spelling of its path.
  std::vector<std::string> volby = {dir.str() + "/R.TXT", "out.txt"};
  ui::sluzbySouboru().vyberSouboru = [&](const std::string&, const std::string&, const std::string&) {
    if (volby.empty()) return std::string();
    std::string v = volby.front();
    volby.erase(volby.begin());
    return v;
  };
  const std::string s = hraj("r", "Down\nCtrl+F6\ndump\nEnter\ndump\nDown\nEnter\nEsc\n");
  EXPECT_NE(s.find("Určete jiný soubor, nemůžu přepsat sám sebe"), std::string::npos) << s;
  EXPECT_NE(s.find("již existuje"), std::string::npos) << s;
  EXPECT_EQ(dir.read("OUT.TXT"), radky({"stare", "b", "c"}, 250));
  EXPECT_EQ(storage::CtiPar("REGISTRY.DTA", "Vstupni soubor"), "OUT.TXT");
}

TEST_F(ViewerScript, InGdprModeAnEditedLineIsStoredScrambled) {
  storage::settings().gdpr = true;
  const std::string& k = reports::KlicSestav();
  dir.write("r.txt", reports::Zakoduj("jedna   ", k) + "\r\n" + reports::Zakoduj("dva     ", k) + "\r\n");
  const std::string s = hraj("r", "Insert\nSpace\ntype tri\nEnter\ndump\nEsc\n");
  EXPECT_NE(s.find("jedna    "), std::string::npos) << s;  // shown in the clear
  EXPECT_NE(s.find(" tri      "), std::string::npos) << s;
  const std::string obsah = dir.read("r.txt");
  ASSERT_EQ(obsah.size(), 20u);
  EXPECT_EQ(reports::Dekoduj(obsah.substr(10, 8), k), "tri     ");
  EXPECT_EQ(obsah.substr(18), "\r\n");
}

TEST_F(ViewerScript, ATranslatedSectionGoesThroughTheDictionaryOfTheDataRoot) {
  dir.write("data.adr", "data\\\r\n");
  storage::ZapomenAdresy();
  storage::NactiAdresy();
  const auto heslo = [](const std::string& cesky, const std::string& preklad) {
    const auto pole = [](std::string t) {
      std::string p(1, static_cast<char>(t.size()));
      t.resize(50, ' ');
      return p + t;
    };
    const auto cislo = [](size_t n) { return std::string(1, '\2') + (n < 10 ? " " : "") + std::to_string(n); };
    return pole(cesky) + cislo(cesky.size()) + pole(preklad) + cislo(preklad.size());
  };
  dir.write("data/slov1.dta", heslo("Celkem", "Total ") + heslo(cz("Příjem"), "Income"));
  dir.write("r.txt", radky({cz("Příjem 100"), "Celkem 100"}, 12));
  ui::sluzbySouboru().vyberSouboru = [](const std::string& jmeno, const std::string&, const std::string& titulek) {
    return titulek == cz("Urči, kam preložený úsek zapsat (.TXT)") && jmeno == "aaa" ? "prelozeno" : "";
  };
  hraj("r", "Alt+F6\nEsc\n");
  EXPECT_EQ(dir.read("PRELOZENO.TXT"), radky({"Income 100", "Total  100"}, 250));

  // The dictionary's own record form is kept from the viewer's popup menu (its last item) and
  // lists both texts.
  const std::string slovnik = hraj("r", "rclick 5 5\nEnd\nEnter\ndump\nEsc\nEsc\n");
  EXPECT_NE(slovnik.find("Slovník"), std::string::npos) << slovnik;
  EXPECT_NE(slovnik.find("Celkem"), std::string::npos) << slovnik;
  EXPECT_NE(slovnik.find("Total"), std::string::npos) << slovnik;
}

TEST_F(ViewerScript, TextBoxPageStartCopiesAndDoklad) {
  dir.write("r.txt", radky({"prvni", "druhy", "treti"}, 40));
  const std::string s = hraj("r",
                             "Down\nCtrl+F7\ntype Ahoj \nEsc\n"  // before line 2
                             "P\n"                                // the inserted line starts a page
                             "F5\ntype 3\nEnter\n"
                             "Alt+F9\nEnter\ndump\nEnter\nEsc\n");
  const std::string obsah = dir.read("r.txt");
  ASSERT_EQ(obsah.size(), 4u * 42) << obsah;
  const std::string vlozeny = obsah.substr(42, 40);
  EXPECT_EQ(vlozeny[0], '\f') << vlozeny;
  EXPECT_NE(vlozeny.find("09.12.26 "), std::string::npos) << vlozeny;
  EXPECT_NE(vlozeny.find("***"), std::string::npos) << vlozeny;
  EXPECT_EQ(obsah.substr(84, 5), "druhy");
  EXPECT_EQ(storage::CtiPar("REGISTRY.DTA", "OpakovatTisk").find('3') != std::string::npos, true);
  EXPECT_NE(s.find("Doklad je vytvořen v tiscích"), std::string::npos) << s;
  // A new "doklad.txt" is 132 characters wide.
  EXPECT_EQ(dir.read("doklad.txt"), vlozeny + std::string(92, ' ') + "\r\n");
}

TEST_F(ViewerScript, ASecondReportIsShownFromInsideTheFirst) {
  dir.write("r.txt", radky({"prvni sestava"}, 20));
  dir.write("s.txt", radky({"druha sestava"}, 20));
  reports::sluzbyProhlizece().tisk = [](reports::TfPozri&, int) { ui::UkazSestavu("s"); };
  const std::string s = hraj("r", "F9\ndump\nEsc\nEsc\n");
  EXPECT_NE(s.find("fPozri2"), std::string::npos) << s;
  EXPECT_NE(s.find("druha sestava"), std::string::npos) << s;
  EXPECT_NE(s.find("prvni sestava"), std::string::npos) << s;
}

}  // namespace
}  // namespace pz
