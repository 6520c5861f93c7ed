// The report viewer over real report files: what the list shows, the page search, the rewrites
// of F7, F8 and Ctrl+F7, saved and translated sections, "doklad.txt", and the line editor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "reports/viewer.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/tempdir.h"
#include "ui/keys.h"
#include "ui/popup.h"

namespace pz {
namespace {

using platform::cz;
using reports::TfPozri;

std::string radky(const std::vector<std::string>& r, size_t w) {
  std::string s;
  for (std::string x : r) {
    x.resize(w, ' ');
    s += x + "\r\n";
  }
  return s;
}

class Viewer : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::settings().gdpr = false;
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
  }
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  TfPozri okno;
};

TEST_F(Viewer, LoadsWidthLinesAndCaptionAndRefusesAnAlmostEmptyFile) {
  dir.write("r.txt", radky({"abc", "\fdef", "x\x0ey"}, 10));
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  EXPECT_EQ(okno.Sirka(), 10);
  EXPECT_EQ(okno.Radku(), 3);
  EXPECT_EQ(okno.caption.rfind(cz(" Soubor: "), 0), 0u);
  EXPECT_NE(okno.caption.find("r.txt"), std::string::npos);
  EXPECT_EQ(okno.TextRadku(2), "@def      ");
  EXPECT_EQ(okno.TextRadku(3), "x#y       ");
  dir.write("e.txt", "\r\n");
  EXPECT_FALSE(okno.Nahraj("e.txt"));
  EXPECT_EQ(okno.Cesta(), "r.txt");
}

TEST_F(Viewer, AScrambledReportKeepsItsWidthEvenWhenAScrambledByteIsCrLf) {
  storage::settings().gdpr = true;
  // A line whose scrambled form begins with CR LF would give width 0 by the first CR LF.
  std::string w(20, ' ');
  std::string r = reports::Dekoduj("\r\n" + std::string(18, 'A'), reports::KlicSestav());
  std::string soubor = reports::Zakoduj(r, reports::KlicSestav()) + "\r\n" + reports::Zakoduj(w, reports::KlicSestav()) + "\r\n";
  dir.write("g.txt", soubor);
  ASSERT_TRUE(okno.Nahraj("g.txt"));
  EXPECT_EQ(okno.Sirka(), 20);
  EXPECT_EQ(okno.Radku(), 2);
  EXPECT_EQ(okno.CtiRadek(1), r);
}

TEST_F(Viewer, SearchTextIgnoresCaseAndAccents) {
  EXPECT_NE(reports::RadekProHledani(cz("Stav ÚČET: 123")).find("UCET"), std::string::npos);
  EXPECT_EQ(reports::RadekProHledani(cz("žluťoučký")), "ZLUTOUCKY");
}

TEST_F(Viewer, PageSearchFindsTheHeaderWrapsAndIgnoresANumberTooFarBelow) {
  std::vector<std::string> r;
  for (int list = 1; list <= 4; ++list) {
    r.push_back("\f");
    r.push_back("");
    if (list == 2) {
      r.push_back("");
      r.push_back("");
      r.push_back("");
      r.push_back("Firma    Seznam   List:  2");  // five lines below the form feed
    } else {
      r.push_back("Firma    Seznam   List:" + std::string(list < 10 ? "  " : " ") + std::to_string(list) + " Datum");
    }
    r.push_back("data");
  }
  dir.write("r.txt", radky(r, 40));
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  okno.Radek = 13;  // below page 3's form feed (line 12): the search wraps
  EXPECT_EQ(okno.NajdiList(3), 12);
  EXPECT_EQ(okno.NajdiList(1), 1);
  EXPECT_EQ(okno.NajdiList(2), 0);
  EXPECT_EQ(reports::CisloListu({"\f", "L :  7"}), 7);
  EXPECT_EQ(reports::CisloListu({"\f", "bez cisla"}), -1);
}

TEST_F(Viewer, InsertAndDeleteChangeTheLineCountAndKeepEveryOtherLine) {
  dir.write("r.txt", radky({"1", "2", "3", "4", "5", "6"}, 8));
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  okno.VlozPrazdny(3);
  EXPECT_EQ(dir.read("r.txt"), radky({"1", "2", "", "3", "4", "5", "6"}, 8));
  EXPECT_EQ(okno.Radku(), 7);
  // Three marked lines and the unmarked current one go.
  okno.Znacky.nastav(1, true);
  okno.Znacky.nastav(4, true);
  okno.Znacky.nastav(7, true);
  okno.ZrusRadky(3);
  EXPECT_EQ(dir.read("r.txt"), radky({"2", "4", "5"}, 8));
  EXPECT_EQ(okno.Radku(), 3);
  EXPECT_FALSE(okno.Znacky.je(1));
  EXPECT_FALSE(dir.read("r.txt").empty());
}

TEST_F(Viewer, DeleteLeavesAOneLineReportAlone) {
  dir.write("r.txt", radky({"only"}, 8));
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  EXPECT_EQ(okno.Sirka(), 8);
  okno.ZrusRadky(1);
  EXPECT_EQ(dir.read("r.txt"), radky({"only"}, 8));
}

TEST_F(Viewer, EditedAndInsertedLinesAreStoredScrambledInGdprModeAndReadBack) {
  storage::settings().gdpr = true;
  const std::string& k = reports::KlicSestav();
  std::string s;
  for (const char* r : {"prvni     ", "druhy     "}) s += reports::Zakoduj(r, k) + "\r\n";
  dir.write("r.txt", s);
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  okno.PisRadek(2, "opraveny");
  okno.VlozText(2, {"vlozeny text navic", "x"});
  EXPECT_EQ(okno.Radku(), 4);
  const std::string obsah = dir.read("r.txt");
  ASSERT_EQ(obsah.size(), 4u * 12);
  const std::vector<std::string> cekane = {"prvni     ", "vlozeny te", "x         ", "opraveny  "};
  for (size_t i = 0; i < cekane.size(); ++i) {
    EXPECT_EQ(reports::Dekoduj(obsah.substr(i * 12, 10), k), cekane[i]) << i;
    EXPECT_NE(obsah.substr(i * 12, 10), cekane[i]) << i;
    EXPECT_EQ(okno.CtiRadek(static_cast<int>(i + 1)), cekane[i]);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "tisk.wrk"));
}

TEST_F(Viewer, PageStartAndScramblingOfOneLine) {
  dir.write("r.txt", radky({"abc", "def"}, 6));
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  okno.ZacatekListu(2);
  EXPECT_EQ(dir.read("r.txt"), radky({"abc", "\fef"}, 6));
  okno.Radek = 1;
  okno.NaCtrlMezera();
  EXPECT_EQ(dir.read("r.txt").substr(0, 6), reports::Zakoduj("abc   ", reports::KlicSestav()));
  okno.NaAltMezera();
  EXPECT_EQ(dir.read("r.txt"), radky({"abc", "\fef"}, 6));
}

TEST_F(Viewer, RecodingFromKamenickyAndBackAndTheScramblingItemsWaitForCtrlRightClick) {
  dir.write("r.txt", radky({"\x80\x87\xA8 ok"}, 8));  // "Ččš ok" in Kamenický
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  okno.Prekoduj(true);
  EXPECT_EQ(okno.CtiRadek(1), cz("Ččš ok  "));
  okno.Prekoduj(false);
  EXPECT_EQ(dir.read("r.txt"), radky({"\x80\x87\xA8 ok"}, 8));
  const auto polozka = [this](const char* text) {
    for (const auto& m : okno.PopupMenu1.items)
      if (m.caption == cz(text)) return m;
    return ui::MenuItem{};
  };
  EXPECT_FALSE(polozka("Zasifruj").enabled);
  EXPECT_FALSE(polozka("Dešifruj").enabled);
  EXPECT_TRUE(polozka("Přidej text").enabled);
}

TEST_F(Viewer, SectionSavedFromTheMarkedBlockOrToTheEndAppendsOrOverwrites) {
  dir.write("r.txt", radky({"a", "b", "c", "d"}, 5));
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  okno.RozsahOd = 2;
  okno.RozsahDo = 3;
  ASSERT_TRUE(okno.ZapisUsek(1, "OUT.TXT", false, nullptr));
  EXPECT_EQ(dir.read("OUT.TXT"), radky({"b", "c"}, 250));
  okno.RozsahOd = okno.RozsahDo = 0;
  ASSERT_TRUE(okno.ZapisUsek(4, "OUT.TXT", true, nullptr));
  EXPECT_EQ(dir.read("OUT.TXT"), radky({"b", "c", "d"}, 250));
  ASSERT_TRUE(okno.ZapisUsek(3, "OUT.TXT", false, nullptr));
  EXPECT_EQ(dir.read("OUT.TXT"), radky({"c", "d"}, 250));
}

// A dictionary record: text and count fields with their length bytes.
std::string heslo(const std::string& cesky, int n1, const std::string& preklad, int n2) {
  const auto pole = [](std::string t, size_t w) {
    std::string p(1, static_cast<char>(t.size()));
    t.resize(w, ' ');
    return p + t;
  };
  const auto cislo = [](int n) { return std::string(1, '\2') + (n < 10 ? " " : "") + std::to_string(n); };
  return pole(cesky, 50) + cislo(n1) + pole(preklad, 50) + cislo(n2);
}

TEST_F(Viewer, TranslationKeepsTheWidthAndAnEntryThatContainsItsOwnTextEnds) {
  dir.write("data.adr", dir.str() + "/\r\n");
  storage::ZapomenAdresy();
  storage::NactiAdresy();
  dir.write("slov1.dta", heslo("Datum", 5, "Date ", 5) + heslo("A", 1, "BA", 2) + heslo(cz("Částka"), 6, "Amount", 6));
  const auto slovnik = reports::NactiSlovnik(reports::SouborSlovniku());
  ASSERT_EQ(slovnik.size(), 3u);
  EXPECT_EQ(reports::PrelozRadek(cz("Datum: 1.1.  Částka AAA"), slovnik), "Date : 1.1.  Amount BBB");

  dir.write("r.txt", radky({cz("Částka"), "Datum"}, 12));
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  ASSERT_TRUE(okno.ZapisUsek(1, "P.TXT", false, &slovnik));
  EXPECT_EQ(dir.read("P.TXT"), radky({"Amount", "Date"}, 250));
}

TEST_F(Viewer, DokladTakesLinesFromTheCurrentOneAndKeepsLaterLinesOfAnOlderOne) {
  dir.write("doklad.txt", radky({"s1", "s2", "s3", "s4"}, 6));
  dir.write("r.txt", radky({"1", "2", "3", "4", "5"}, 6));
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  EXPECT_TRUE(okno.Doklad(4, 3));  // the report ends after two lines
  EXPECT_EQ(dir.read("doklad.txt"), radky({"4", "5", "s3", "s4"}, 6));
  EXPECT_FALSE(okno.Doklad(1, 182));
  EXPECT_EQ(dir.read("doklad.txt"), radky({"4", "5", "s3", "s4"}, 6));
}

TEST_F(Viewer, OneLineDokladIsNotTruncatedByASecondCopy) {
  dir.write("r.txt", radky({"jedna"}, 6));
  ASSERT_TRUE(okno.Nahraj("r.txt"));
  EXPECT_TRUE(okno.Doklad(1, 1));
  EXPECT_TRUE(okno.Doklad(1, 1));
  EXPECT_EQ(dir.read("doklad.txt"), radky({"jedna"}, 132));
}

ui::KeyEvent klic(int vk) {
  ui::KeyEvent e;
  e.vk = vk;
  return e;
}

TEST(LineEditor, OverwritesFirstInsertsAfterInsertAndNeverGrows) {
  reports::EditorRadku ed("abcdef");
  EXPECT_TRUE(ed.klavesa(ui::keyForChar('X')));
  EXPECT_EQ(ed.text(), "Xbcdef");
  EXPECT_TRUE(ed.klavesa(klic(ui::kVkInsert)));
  EXPECT_TRUE(ed.klavesa(ui::keyForChar('Y')));
  EXPECT_EQ(ed.text(), "XYbcde");
  EXPECT_TRUE(ed.klavesa(klic(ui::kVkDelete)));
  EXPECT_EQ(ed.text(), "XYcde");
  EXPECT_TRUE(ed.klavesa(klic(ui::kVkBack)));
  EXPECT_EQ(ed.text(), "Xcde");
  for (int i = 0; i < 10; ++i) ed.klavesa(klic(ui::kVkRight));
  EXPECT_EQ(ed.kurzor(), 3);
  EXPECT_TRUE(ed.klavesa(klic(ui::kVkF8)));
  EXPECT_EQ(ed.text(), "    ");
  EXPECT_FALSE(ed.klavesa(klic(ui::kVkReturn)));
  EXPECT_FALSE(ed.klavesa(klic(ui::kVkEscape)));
}

}  // namespace
}  // namespace pz
