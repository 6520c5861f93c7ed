// The browse window driven by keys as a user types them, over a small list of text rows: what the
// cursor, the ending key, the marks, the search and the settings files show afterwards.
#include "ui/browse.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "support/tempdir.h"
#include "ui/app.h"

namespace pz::ui {
namespace {

using platform::cz;
using storage::CtiPar;
using storage::PisPar;

// Feeds keys to the topmost window; the clock moves `pace` ms before each key.
class KeyPresenter : public Presenter {
 public:
  explicit KeyPresenter(platform::VirtualClock& c) : clock(c) {}
  std::deque<KeyEvent> keys;
  int pace = 100;
  int beeps = 0;
  std::optional<Color> colour;  // the colour dialog's answer
  std::optional<FontChoice> font;  // the font dialog's answer
  void runModal(Form& f) override {
    while (!f.closeRequested() && !keys.empty()) {
      KeyEvent k = keys.front();
      keys.pop_front();
      clock.advance(pace);
      Application::instance().dispatchKey(k);
    }
  }
  void beep() override { ++beeps; }
  bool chooseColor(Color& c) override {
    if (colour) c = *colour;
    return colour.has_value();
  }
  bool chooseFont(FontChoice& f) override {
    if (font) f = *font;
    return font.has_value();
  }
  platform::VirtualClock& clock;
};

KeyEvent K(int vk) { return KeyEvent{vk}; }
KeyEvent Ctrl(int vk) { return KeyEvent{vk, true, false, false}; }
KeyEvent Alt(int vk) { return KeyEvent{vk, false, false, true}; }

// A list of numbered rows "radek 1", "radek 2", ... unless given its texts.
class TestRol : public TfRol {
 public:
  TestRol() : TfRol("fTest") {}
  std::vector<std::string> texty;
  int cteni = 0;  // TextRadku calls
  std::vector<std::string> kody;
  int opravy = 0;
  int titulek = -1;
  std::string TextRadku(int n) override {
    ++cteni;
    return n >= 1 && n <= static_cast<int>(texty.size()) ? texty[static_cast<size_t>(n - 1)]
                                                         : "radek " + std::to_string(n);
  }
  void KodZadan() override { kody.push_back(Kod); }
  void Oprav() override { ++opravy; }
  void NaTitulek(int c) override { titulek = c; }
};

// Orders held in memory: entries[i-1][k-1] = {record at row k, row of record k}.
class Poradi : public PoradiRadku {
 public:
  std::vector<std::vector<std::pair<int, int>>> entries{4};
  int aktivni = 0;
  int PocetVPoradi(int i) const override { return i >= 1 && i <= 4 ? static_cast<int>(entries[static_cast<size_t>(i - 1)].size()) : 0; }
  int AktivniPoradi() const override { return aktivni; }
  void NastavPoradi(int i) override { aktivni = i; }
  int CisloZPoradi(int n) const override { return field(n, true); }
  int CisloZPoradi2(int n) const override { return field(n, false); }
  int field(int n, bool first) const {
    if (aktivni == 0 || n < 1 || n > PocetVPoradi(aktivni)) return n;
    const auto& e = entries[static_cast<size_t>(aktivni - 1)][static_cast<size_t>(n - 1)];
    return first ? e.first : e.second;
  }
  // Order i as the reverse of rows 1..n.
  void obracene(int i, int n) {
    auto& e = entries[static_cast<size_t>(i - 1)];
    e.clear();
    for (int k = 1; k <= n; ++k) e.push_back({n + 1 - k, n + 1 - k});
  }
};

class Browse : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setClock(&clock);
    platform::paths().setWorkDir(dir.str());
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
    Application::instance().setPresenter(&p);
  }
  void TearDown() override {
    Application::instance().setPresenter(nullptr);
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
    platform::setClock(nullptr);
  }
  // Columns 1..60, rows 1..20 of the screen: 18 rows fit the grid.
  void otevri(int pocet, int radek = 0) { w.OtevriRol(1, 1, 60, 20, kWhite, kBlack, "Seznam", "F3-hledej", radek, pocet); }
  void pis(std::initializer_list<KeyEvent> keys) { p.keys.insert(p.keys.end(), keys); }
  void typuj(const std::string& t) {
    for (char c : t) p.keys.push_back(keyForChar(c));
  }
  int ukaz() {
    w.showModal();
    return w.KoncovaKlavesa;
  }

  platform::VirtualClock clock{{2026, 12, 9}, {8, 0, 0, 0}};
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  KeyPresenter p{clock};
  TestRol w;
};

TEST_F(Browse, OpensOnTheLastRowAndDrawsOnlyTheRowsItShows) {
  otevri(1000000);
  EXPECT_EQ(w.MaxViditelne, 18);
  EXPECT_EQ(w.Viditelne, 18);
  EXPECT_EQ(w.Radek, 1000000);
  EXPECT_EQ(w.Posun, 1000000 - 18);
  w.cteni = 0;
  w.Prekresli();
  EXPECT_EQ(w.cteni, 18);  // a million rows cost the rows in view, no more
  CellGrid g = render(w);
  EXPECT_NE(g.rowText(18).find("radek 1000000"), std::string::npos);
  EXPECT_EQ(w.lKolik.text, cz("1000000/1000000  Vybráno:      "));
}

TEST_F(Browse, ScrollingStopsAtBothEnds) {
  otevri(100, 1);
  EXPECT_EQ(w.Radek, 1);
  pis({K(kVkUp), K(kVkUp)});
  ukaz();
  EXPECT_EQ(w.Radek, 1);
  EXPECT_EQ(w.Posun, 0);
  pis({K(kVkNext)});
  ukaz();
  EXPECT_EQ(w.Posun, 18);
  EXPECT_EQ(w.Radek, 19);
  pis({K(kVkNext), K(kVkNext), K(kVkNext), K(kVkNext), K(kVkNext), K(kVkNext)});
  ukaz();
  EXPECT_EQ(w.Posun, 82);  // never beyond the last page
  pis({K(kVkEnd), K(kVkDown), K(kVkDown)});
  ukaz();
  EXPECT_EQ(w.Radek, 100);
  EXPECT_EQ(w.Posun, 82);
  pis({K(kVkPrior), K(kVkPrior), K(kVkPrior), K(kVkPrior), K(kVkPrior), K(kVkPrior)});
  ukaz();
  EXPECT_EQ(w.Posun, 0);
  pis({K(kVkHome)});
  ukaz();
  EXPECT_EQ(w.Radek, 1);
}

TEST_F(Browse, AShortListShowsItsRowsAndPgDnDoesNotScroll) {
  otevri(5, 1);
  EXPECT_EQ(w.Viditelne, 5);
  pis({K(kVkNext), K(kVkDown), K(kVkDown), K(kVkDown), K(kVkDown), K(kVkDown), K(kVkDown)});
  ukaz();
  EXPECT_EQ(w.Posun, 0);
  EXPECT_EQ(w.Radek, 5);
  CellGrid g = render(w);
  EXPECT_NE(g.rowText(5).find("radek 5"), std::string::npos);
  EXPECT_EQ(g.rowText(6).find("radek"), std::string::npos);
}

TEST_F(Browse, EnterChoosesTheRowAndEscGivesMinusOne) {
  otevri(30, 10);
  pis({K(kVkDown), K(kVkReturn)});
  EXPECT_EQ(ukaz(), 13);
  EXPECT_EQ(w.Radek, 11);
  pis({K(kVkEscape)});
  EXPECT_EQ(ukaz(), 27);
  EXPECT_EQ(w.Radek, -1);

  // An empty list cannot be chosen from; only Esc ends it.
  otevri(0);
  w.cteni = 0;
  pis({K(kVkReturn), K(kVkDown), K(kVkEscape)});
  EXPECT_EQ(ukaz(), 27);
  EXPECT_EQ(w.Radek, -1);
  EXPECT_EQ(w.cteni, 0);
}

TEST_F(Browse, SpaceAndEnterInEditModeEditWithoutClosing) {
  otevri(3, 1);
  w.EnterOpravuje = true;
  pis({K(kVkSpace), K(kVkReturn), K(kVkEscape)});
  ukaz();
  EXPECT_EQ(w.opravy, 2);
}

TEST_F(Browse, EnterWithAnOrderActiveReturnsTheRecordNumber) {
  Poradi o;
  o.obracene(2, 20);
  w.NastavZdrojPoradi(&o);
  otevri(20, 3);  // record 3
  pis({Alt(kVkF2)});
  ukaz();
  EXPECT_EQ(o.aktivni, 2);
  EXPECT_EQ(w.Radek, 18);  // record 3 stands at row 18 in the reversed order
  EXPECT_EQ(w.BarvaMrizky, TfRol::kBarvaPoradi);
  EXPECT_NE(render(w).rowText(w.sgRol.row).find("radek 18"), std::string::npos);  // rows are drawn by row
  pis({K(kVkUp), K(kVkReturn)});
  EXPECT_EQ(ukaz(), 13);
  EXPECT_EQ(w.Radek, 4);  // row 17 shows record 4
  EXPECT_EQ(o.aktivni, 0);
  EXPECT_EQ(w.BarvaMrizky, kWhite);

  // Alt+F10 goes back to the record in file order; an order without entries does nothing.
  pis({Alt(kVkF2), K(kVkHome), Alt(kVkF1), Alt(kVkF10), K(kVkEscape)});
  ukaz();
  EXPECT_EQ(o.aktivni, 0);
  EXPECT_EQ(w.Posun + w.sgRol.row, 20);
  EXPECT_EQ(w.BarvaMrizky, kWhite);
}

// Where the desktop takes Alt+F4, Ctrl+Shift+F4 chooses the fourth order, as the key line says.
TEST_F(Browse, CtrlShiftF4ChoosesTheFourthOrderAndTheKeyLineSaysSo) {
  Poradi o;
  o.obracene(4, 20);
  w.NastavZdrojPoradi(&o);
  otevri(20, 3);
  KeyEvent k = K(kVkF4);
  k.ctrl = k.shift = true;
  pis({k});
  ukaz();
  EXPECT_EQ(o.aktivni, 4);
  EXPECT_EQ(w.Radek, 18);
  EXPECT_NE(w.lHelp.text.find(platform::cz("Ctrl+Shift+F4=4.třídění")), std::string::npos) << w.lHelp.text;
  w.NastavZdrojPoradi(nullptr);
}

std::string int32(int v) {
  std::string b(4, '\0');
  for (int i = 0; i < 4; ++i) b[static_cast<size_t>(i)] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
  return b;
}

TEST_F(Browse, OrdersComeFromTheOrderFilesOfARecordFile) {
  // Five records "E".."A"; order 1 sorts them, and is one entry short of the file.
  std::string data, dt1;
  for (char c : std::string("EDCBA")) data += std::string(1, c) + std::string(9, ' ');
  for (int k = 1; k <= 4; ++k) dt1 += int32(6 - k) + int32(6 - k);
  dir.write("abc.dta", data);
  dir.write("abc.dt1", dt1);
  storage::RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("=abc.dta", 10 + storage::kSPoradim));
  PoradiSouboru o(f);
  w.NastavZdrojPoradi(&o);
  otevri(f.pocet(), 1);
  pis({Alt(kVkF1)});
  ukaz();
  EXPECT_EQ(f.poradi(), 1);
  EXPECT_EQ(w.Radek, 5);  // record 1 ("E") stands last in order 1
  pis({K(kVkHome), K(kVkReturn)});
  EXPECT_EQ(ukaz(), 13);
  EXPECT_EQ(w.Radek, 5);  // row 1 of order 1 is record 5 ("A")
  EXPECT_EQ(f.poradi(), 0);
  w.NastavZdrojPoradi(nullptr);
}

TEST_F(Browse, AnOrderNamingRecordsThatDoNotExistLeavesTheRow) {
  Poradi o;
  o.entries[0] = {{999, 1}, {0, 2}, {3, 3}};
  w.NastavZdrojPoradi(&o);
  otevri(3, 1);
  o.aktivni = 1;
  EXPECT_EQ(w.CisloZPoradi(1), 1);
  EXPECT_EQ(w.CisloZPoradi(2), 2);
  EXPECT_EQ(w.CisloZPoradi(3), 3);
}

TEST_F(Browse, InsertMarksAndMovesDownAndTheLastRowStays) {
  otevri(5, 4);
  pis({K(kVkInsert), K(kVkInsert), K(kVkInsert)});
  ukaz();
  EXPECT_TRUE(w.Znacky.je(4));
  EXPECT_FALSE(w.Znacky.je(5));  // marked, then unmarked on the last row
  EXPECT_EQ(w.Radek, 5);
  EXPECT_EQ(w.PocetOznacenych, 1);
  EXPECT_EQ(w.lKolik.text, cz("      5/      5  Vybráno:     1"));
  CellGrid g = render(w);
  EXPECT_EQ(g.rowText(4).substr(0, 3), "\u25C4");  // the mark column of row 4
}

TEST_F(Browse, RangesMarkEveryUnmarkedRowAndInsertInsideToggles) {
  otevri(10, 1);
  pis({K(kVkDown), K(kVkInsert)});  // row 2 marked, cursor on 3
  pis({K(kVkUp), Ctrl('Y'), K(kVkDown), K(kVkDown), K(kVkDown), Ctrl('K')});  // range 2..5
  ukaz();
  for (int r = 2; r <= 5; ++r) EXPECT_TRUE(w.Znacky.je(r)) << r;
  EXPECT_EQ(w.PocetOznacenych, 4);
  pis({K(kVkUp), K(kVkInsert)});  // inside the range: the whole range toggles
  ukaz();
  EXPECT_EQ(w.PocetOznacenych, 0);
  // An end before the start is no range.
  pis({K(kVkHome), Ctrl('K')});
  ukaz();
  EXPECT_EQ(w.PocetOznacenych, 0);
}

TEST_F(Browse, RecordsBeyondTheMarksLimitAreRefusedWithABeep) {
  otevri(400005);
  pis({K(kVkInsert)});
  ukaz();
  EXPECT_EQ(w.PocetOznacenych, 0);
  EXPECT_EQ(p.beeps, 1);
  w.JdiNa(400000);
  w.Oznac();
  EXPECT_TRUE(w.Znacky.je(400000));
  EXPECT_EQ(w.PocetOznacenych, 1);
}

TEST_F(Browse, MarksFileKeepsTheMarksBetweenUses) {
  w.SouborZnacek = "znacky.bin";
  otevri(400000, 1);
  w.Oznac();
  w.JdiNa(399999);
  w.Oznac();
  w.Oznac();
  w.Zavri();
  EXPECT_EQ(w.PocetOznacenych, 0);
  EXPECT_EQ(dir.read("znacky.bin").size(), 50001u);  // record 400000 needs the 50001st byte

  otevri(10, 1);  // only marks among the rows count
  EXPECT_TRUE(w.Znacky.je(1));
  EXPECT_EQ(w.PocetOznacenych, 1);
  otevri(400000, 1);
  EXPECT_EQ(w.PocetOznacenych, 3);

  dir.write("znacky.bin", std::string(2, '\xFF'));  // too short: ignored
  otevri(100, 1);
  EXPECT_EQ(w.PocetOznacenych, 0);
  dir.write("znacky.bin", std::string(70000, '\xFF'));  // too long: what fits
  otevri(100, 1);
  EXPECT_EQ(w.PocetOznacenych, 100);
}

TEST_F(Browse, DigitsTypedSlowlyJumpAndFastOnesCollect) {
  otevri(50, 30);
  p.pace = 200;
  typuj("1");
  ukaz();
  EXPECT_EQ(w.Radek, 1);
  typuj("2");
  ukaz();
  EXPECT_EQ(w.Radek, 12);

  otevri(50, 30);
  p.pace = 10;
  typuj("12");
  ukaz();
  EXPECT_EQ(w.Radek, 1);  // the first digit after a pause still jumps; the fast one does not
}

TEST_F(Browse, CodesComeFromCodeEntryOrFromAScanner) {
  otevri(50, 5);
  p.pace = 10;
  pis({Ctrl('B')});
  typuj("4711");
  pis({K(kVkReturn)});
  typuj("123456");
  pis({K(kVkReturn)});
  typuj("654321");
  pis({K(kVkReturn), K(kVkEscape)});
  EXPECT_EQ(ukaz(), 27);
  EXPECT_EQ(w.kody, (std::vector<std::string>{"4711", "123456", "654321"}));
}

TEST_F(Browse, SearchFoldsWrapsAndCanStopAtTheEnd) {
  w.texty = {"Praha", cz("Brno - Královo Pole"), "Ostrava", cz("Plzeň"), "Kolin"};
  otevri(5, 3);
  pis({K(kVkF3)});
  typuj("kralovo");
  pis({K(kVkReturn)});
  ukaz();
  EXPECT_EQ(w.Radek, 2);  // wrapped past the end, folded: "Královo" matches "kralovo"
  EXPECT_FALSE(w.Hleda());
  EXPECT_EQ(w.lHelp.text, "F3-hledej");

  w.HledatJenDoKonce = true;
  pis({K(kVkF3), K(kVkF3)});  // the field keeps its text
  ukaz();
  EXPECT_EQ(w.Radek, 2);  // "Brno" lies only above: not searched

  w.HledatJenDoKonce = false;
  pis({K(kVkF3)});
  for (int i = 0; i < 7; ++i) pis({K(kVkBack)});
  typuj("pole brno");  // loose: the words in any order
  pis({Ctrl(kVkF3)});
  w.JdiNa(5);
  ukaz();
  EXPECT_EQ(w.Radek, 2);

  pis({K(kVkF3)});
  for (int i = 0; i < 9; ++i) pis({K(kVkBack)});
  typuj("xyz");
  pis({K(kVkF3)});
  w.JdiNa(4);
  ukaz();
  EXPECT_EQ(w.Radek, 4);  // nothing found: nothing moves, the help line is back
  EXPECT_EQ(w.lHelp.text, "F3-hledej");
  EXPECT_TRUE(w.lHelp.visible);
}

TEST_F(Browse, SearchWithoutACurrentRowEnds) {
  otevri(3000, 1);
  for (int cur : {-1, 0}) {
    w.Radek = cur;
    w.cteni = 0;
    EXPECT_EQ(w.NajdiText("NIC TAKOVEHO"), -1);
    EXPECT_EQ(w.cteni, 3000);  // every row once, then the search gives up
  }
  w.Radek = 1;
  EXPECT_EQ(w.NajdiText("RADEK 1"), 10);  // from the row after the current one
  EXPECT_EQ(w.NajdiText(""), -1);
}

TEST_F(Browse, ColumnsFilledAfterEachReadAreDrawnAndSearchedJoined) {
  struct Sloupcovy : TfRol {
    Sloupcovy() : TfRol("fSloupce") {}
    int precteno = 0;
    void CtiPuvodni(int n) override { precteno = n; }
    void NaplnSloupce() override {
      Bunky[1] = "Kurz " + std::to_string(precteno);
      Bunky[2] = precteno == 7 ? "EUR" : "USD";
    }
  } s;
  s.Sloupce = {{"Nazev", 8, false}, {cz("Měna"), 3, false}};
  s.OtevriRol(1, 1, 60, 20, kWhite, kBlack, "", "", 1, 10);
  s.Prekresli();
  CellGrid g = render(s);
  EXPECT_EQ(g.rowText(0).substr(0, 15), " Nazev    Měna");  // UTF-8: "ě" takes two bytes
  EXPECT_EQ(g.rowText(2).substr(0, 14), " Kurz 2   USD ");
  EXPECT_EQ(s.TextRadku(7), "Kurz 7 EUR");
  EXPECT_EQ(s.NajdiText("7 EUR"), 7);
}

TEST_F(Browse, GridyGroupsFallBackToComputedWidths) {
  w.Sloupce = {{"A", 8, false}, {"Datum", 6, true}, {"C", 4, false}};
  dir.write("par/okna2.par", "fTest Gridy : 010080xyz\r\n");
  otevri(5);
  EXPECT_EQ(w.SirkySloupcu(), (std::vector<int>{10, 80, 200, 5 * 8}));
  storage::ZahodParametry();
  dir.write("par/okna2.par", "fTest Gridy : 01008\r\n");  // odd length: the partial group is no width
  otevri(5);
  EXPECT_EQ(w.SirkySloupcu(), (std::vector<int>{10, 9 * 8, 8 * 8, 5 * 8}));
}

TEST_F(Browse, SettingsAreWrittenOnCloseAndReadOnTheNextOpen) {
  w.Sloupce = {{"A", 8, false}, {"B", 4, false}};
  w.ObnovitPozici = true;
  otevri(40, 40);
  w.geometry.x = 240;
  w.geometry.h = 600;
  pis({K(kVkHome), K(kVkDown), K(kVkDown), K(kVkEscape)});
  ukaz();
  w.Zavri();
  ASSERT_TRUE(storage::UlozPar());
  const std::string par = dir.read("par/okna2.par");
  EXPECT_NE(par.find("fTest Left : 0240\r\n"), std::string::npos);
  EXPECT_NE(par.find("fTest Height : 0600\r\n"), std::string::npos);
  EXPECT_NE(par.find("fTest Index : 000003\r\n"), std::string::npos);
  EXPECT_NE(par.find("fTest Gridy : 010072040\r\n"), std::string::npos);

  TestRol znovu;
  znovu.Sloupce = w.Sloupce;
  znovu.ObnovitPozici = true;
  znovu.OtevriRol(1, 1, 60, 20, kWhite, kBlack, "", "", 40, 40);
  EXPECT_EQ(znovu.geometry.x, 240);
  EXPECT_EQ(znovu.geometry.h, 600);
  EXPECT_EQ(znovu.Radek, 3);
  EXPECT_EQ(znovu.MaxViditelne, 600 / 19 - 7);
}

TEST_F(Browse, NonsenseInTheSettingsFallsBackToComputedSizes) {
  dir.write("par/okna2.par",
            "fTest Left : -50\r\nfTest Top : abc\r\nfTest Width : 0\r\nfTest Height : 12\r\n"
            "fTest VyskaFontu : 900\r\nfTest SirkaFontu : x\r\nfTest Index : 99999\r\n");
  w.ObnovitPozici = true;
  otevri(10, 10);
  EXPECT_EQ(w.geometry.x, 0);
  EXPECT_EQ(w.geometry.y, 0);
  EXPECT_EQ(w.geometry.w, 60 * 8);
  EXPECT_EQ(w.geometry.h, 180);  // the smallest window
  EXPECT_EQ(w.Vzhled.vyskaZnaku, 18);
  EXPECT_EQ(w.Vzhled.sirkaZnaku, 8);
  EXPECT_EQ(w.Radek, 10);
  EXPECT_GE(w.MaxViditelne, 1);
}

TEST_F(Browse, TheStandardLookWinsAndKeysWithoutPrefixWinOverTheWindowsOwn) {
  dir.write("par/okna2.par", "FontName : Courier\r\nfTest FontName : Arial\r\nfTest FontPaper :  00000255\r\n");
  otevri(5);
  EXPECT_EQ(w.Vzhled.pismo, "Courier");
  EXPECT_EQ(w.BarvaMrizky, 255u);
  storage::ZahodParametry();
  dir.write("par/oknag.par", "FontName : Fixedsys\r\nVyskaFontu : 20\r\n");
  otevri(5);
  EXPECT_EQ(w.Vzhled.pismo, "Fixedsys");
  EXPECT_EQ(w.Vzhled.vyskaZnaku, 20);
  EXPECT_EQ(w.BarvaMrizky, kWhite);  // okna2.par is not read at all
}

TEST_F(Browse, LookMenuColourAndReturnToOwnLook) {
  std::vector<std::string> menu;
  sluzbyRolu().vyber = [&](const std::string& t, int, int, const std::vector<std::string>& items) {
    menu = items;
    menu.insert(menu.begin(), t);
    return 2;
  };
  dir.write("par/oknag.par", "Short\r\n");
  otevri(5);
  p.colour = 0x00FF00;
  pis({K(kVkF11), K(kVkEscape)});
  ukaz();
  sluzbyRolu().vyber = nullptr;
  ASSERT_EQ(menu.size(), 8u);
  EXPECT_EQ(menu[0], cz("Úprava vizáže"));
  EXPECT_EQ(menu[7], cz("Nastavení standardu TAMBRA"));
  EXPECT_EQ(w.BarvaMrizky, 0x00FF00u);
  EXPECT_EQ(CtiPar(kOkna2, "fTest FontPaper"), " 00000065280");
  EXPECT_FALSE(std::filesystem::exists(dir / "par/oknag.par"));

  // Item 5 forgets every window's settings, geometry included.
  PisPar(kOkna2, "fJiny Left", "0100");
  ASSERT_TRUE(storage::UlozPar());
  w.ProvedVizaz(5);
  EXPECT_EQ(CtiPar(kOkna2, "fJiny Left"), "");
  EXPECT_EQ(CtiPar(kOkna2, "fTest FontPaper"), "");
  EXPECT_FALSE(std::filesystem::exists(dir / "par/okna2.par"));
}

TEST_F(Browse, AFontForAllWindowsIsWrittenWithoutPrefixAndSizesAreLimited) {
  std::vector<std::string> otazky;
  sluzbyRolu().dotazy = [&](const std::string&, std::vector<PolozkaDotazu>& d) {
    for (auto& q : d) otazky.push_back(q.otazka);
    d[0].hodnota = "40";  // too high
    d[1].hodnota = "3";   // too narrow
    return true;
  };
  dir.write("par/oknag.par", "FontName : Arial\r\n");
  otevri(5);
  p.font = FontChoice{"Courier", 10, true, false, kBlack};
  w.ProvedVizaz(4);
  sluzbyRolu().dotazy = nullptr;
  EXPECT_EQ(otazky, (std::vector<std::string>{cz("Výška písmen"), cz("Šířka písmen")}));
  EXPECT_EQ(CtiPar(kOkna2, "FontName"), "Courier");
  EXPECT_EQ(CtiPar(kOkna2, "FontSizeA"), "0010 ");
  EXPECT_EQ(CtiPar(kOkna2, "FontStyle"), "Bold");
  EXPECT_EQ(CtiPar(kOkna2, "VyskaFontu"), " 30");
  EXPECT_EQ(CtiPar(kOkna2, "SirkaFontuA"), "  5");
  EXPECT_FALSE(std::filesystem::exists(dir / "par/oknag.par"));
  EXPECT_EQ(w.Vzhled.pismo, "Courier");  // the look is resolved again at once
  EXPECT_EQ(w.Vzhled.vyskaZnaku, 30);
  EXPECT_TRUE(w.look.fontBold);
}

TEST_F(Browse, FunctionKeysReachTheirHooksAndCtrlF2TheReportList) {
  struct Hooks : TestRol {
    std::vector<std::string> volano;
    void NaF2() override { volano.push_back("F2"); }
    void NaShiftF4() override { volano.push_back("ShiftF4"); }
    void NaAltF7() override { volano.push_back("AltF7"); }
    void NaCtrlF9() override { volano.push_back("CtrlF9"); }
    void NaPismeno(char c) override { volano.push_back(std::string(1, c)); }
    void NaF10() override {
      volano.push_back("F10");
      KoncovaKlavesa = 0;  // handled: no popup menu
    }
  } h;
  int sestavy = 0;
  sluzbyRolu().seznamSestav = [&] { ++sestavy; };
  h.OtevriRol(1, 1, 60, 20, kWhite, kBlack, "", "", 1, 5);
  p.keys = {K(kVkF2), KeyEvent{kVkF4, false, true, false}, Alt(kVkF7), Ctrl(kVkF9), keyForChar('q'), K(kVkF10),
            Ctrl(kVkF2), K(kVkEscape)};
  h.showModal();
  sluzbyRolu().seznamSestav = nullptr;
  EXPECT_EQ(h.volano, (std::vector<std::string>{"F2", "ShiftF4", "AltF7", "CtrlF9", "Q", "F10"}));
  EXPECT_EQ(sestavy, 1);
}

TEST_F(Browse, F10OpensThePopupMenuWithTheItemsASubclassFilled) {
  otevri(5, 1);
  int spusteno = 0;
  MenuItem* c = w.PopupMenu1.find("c");
  ASSERT_NE(c, nullptr);
  c->visible = true;
  c->caption = "Opis";
  c->onClick = [&] { ++spusteno; };
  pis({K(kVkF10), K(kVkReturn), K(kVkEscape)});
  EXPECT_EQ(ukaz(), 27);  // Enter went to the menu, not to the list
  EXPECT_EQ(spusteno, 1);
}

TEST_F(Browse, MouseClicksChooseRowsAndTitles) {
  w.Sloupce = {{"Nazev", 8, false}, {"Kod", 4, false}};
  otevri(10, 1);
  w.Prekresli();
  w.deliverMouse({MouseButton::Left, false, 3, 4});
  EXPECT_EQ(w.Radek, 4);
  w.deliverMouse({MouseButton::Left, false, 12, 0});
  EXPECT_EQ(w.titulek, 2);  // the second column's title
  w.deliverMouse({MouseButton::Left, true, 3, 6});
  EXPECT_TRUE(w.closeRequested());
  EXPECT_EQ(w.Radek, 6);
  EXPECT_EQ(w.KoncovaKlavesa, 13);
}

TEST_F(Browse, ThePicturePanelMovesAndSizesByDragAndKeepsItsPlaceForTheNextOpening) {
  otevri(10, 1);
  w.Image1.visible = true;
  w.Image1.geometry = {40 * w.look.cellWidth, 2 * w.look.cellHeight, 8 * w.look.cellWidth, 4 * w.look.cellHeight};
  const CellRect a = w.cellsOf(w.Image1);
  const auto tahni = [&](int c1, int r1, int c2, int r2) {
    MouseEvent ev;
    ev.drag = true;
    ev.fromCol = c1, ev.fromRow = r1, ev.col = c2, ev.row = r2;
    ev.fromX = c1 * w.look.cellWidth, ev.fromY = r1 * w.look.cellHeight;
    ev.x = c2 * w.look.cellWidth, ev.y = r2 * w.look.cellHeight;
    w.deliverMouse(ev);
  };
  // Grabbed inside: moved two cells left and one down; the size stays.
  tahni(a.col + 1, a.row + 1, a.col - 1, a.row + 2);
  EXPECT_EQ(w.Image1.geometry.x, 38 * w.look.cellWidth);
  EXPECT_EQ(w.Image1.geometry.y, 3 * w.look.cellHeight);
  EXPECT_EQ(w.Image1.geometry.w, 8 * w.look.cellWidth);
  // Grabbed at its lower right cell: three cells wider, the corner stays where it was put.
  const CellRect b = w.cellsOf(w.Image1);
  tahni(b.col + b.cols - 1, b.row + b.rows - 1, b.col + b.cols + 2, b.row + b.rows - 1);
  EXPECT_EQ(w.Image1.geometry.w, 11 * w.look.cellWidth);
  EXPECT_EQ(w.Image1.geometry.x, 38 * w.look.cellWidth);
  // A drag that starts on the grid changes no row.
  const int radek = w.Radek;
  tahni(3, 4, 3, 8);
  EXPECT_EQ(w.Radek, radek);

  const Rect g = w.Image1.geometry;
  w.Zavri();
  TestRol znovu;
  znovu.OtevriRol(1, 1, 60, 20, kWhite, kBlack, "Seznam", "F3-hledej", 0, 10);
  EXPECT_EQ(znovu.Image1.geometry.x, g.x);
  EXPECT_EQ(znovu.Image1.geometry.y, g.y);
  EXPECT_EQ(znovu.Image1.geometry.w, g.w);
  EXPECT_EQ(znovu.Image1.geometry.h, g.h);
}

TEST_F(Browse, TheRightButtonGivesThePanelItsPicturesProportionsWithinTheWindow) {
  otevri(10, 1);
  // A PNG header stating 400 x 200 pixels: wider than the panel has room for.
  std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x01\x90\0\0\0\xc8", 24);
  dir.write("obr.png", png);
  w.Image1.visible = true;
  w.Image1.picturePath = "obr.png";
  w.Image1.geometry = {w.geometry.w - 200, 0, 40, 40};
  const CellRect a = w.cellsOf(w.Image1);
  w.deliverMouse({MouseButton::Right, false, a.col, a.row});
  EXPECT_EQ(w.Image1.geometry.w, 200);  // the room to the window's right edge
  EXPECT_EQ(w.Image1.geometry.h, 100);  // and half of it, as the picture
  EXPECT_EQ(CtiPar("par\\okna2.par", "fTest ImgWidth"), "000200");
  // A file that is no picture leaves the panel alone.
  dir.write("obr.png", "nic");
  w.deliverMouse({MouseButton::Right, false, a.col, a.row});
  EXPECT_EQ(w.Image1.geometry.w, 200);
}

TEST_F(Browse, AResizedWindowShowsAsManyRowsAsItsNewHeightHolds) {
  otevri(100);
  const int predtim = w.MaxViditelne;
  const int radek = w.Radek;
  w.resizeTo(w.geometry.w, w.geometry.h + 10 * w.look.cellHeight);
  EXPECT_EQ(w.MaxViditelne, predtim + 10);
  EXPECT_EQ(w.Viditelne, predtim + 10);
  EXPECT_EQ(w.Radek, radek);  // the same record stays current
  w.resizeTo(w.geometry.w, 3 * w.look.cellHeight);
  EXPECT_EQ(w.MaxViditelne, 1);  // never less than one row
  EXPECT_EQ(w.Radek, radek);
}

}  // namespace
}  // namespace pz::ui
