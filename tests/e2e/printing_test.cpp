// Printing from the report viewer in the running program: the report is the print help page
// (F1 twice from the main window), so that its bytes, control characters included, are the
// test's own. What the printer would get is read back from the trace, the port file and the spool
// folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/run.h"
#include "support/installation.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

// Lines of one width, each with CR LF, as the viewer reads reports.
std::string report(const std::vector<std::string>& lines, size_t width = 30) {
  std::string r;
  for (std::string l : lines) {
    l.resize(width, ' ');
    r += l + "\r\n";
  }
  return r;
}

// An installation whose print help page is `lines` (cp1250) and whose drive table is `drives`.
void setUp(const TempDir& dir, const Installation& inst, const std::vector<std::string>& lines,
           const std::string& drives = "C: = .\n") {
  install(dir, inst);
  dir.write("drives.txt", drives);
  dir.write("prog.adr", "prog\\\r\n");
  dir.write("prog/pz/pz.hlp", "$Obsah\r\nnapoveda\r\n");
  dir.write("prog/2/spool.hhh", report(lines));
}

// Opens the report and presses `keys` in the viewer, then leaves.
RunResult printWith(const TempDir& dir, const std::string& keys) {
  return runPzpokl(dir, "F1\nF1\n" + keys + "\nEsc\nEsc\nEsc\n");
}

TEST(Printing, TheSystemPrinterPrintsEveryPageWithItsCopiesInTheDensityFont) {
  TempDir dir;
  setUp(dir, {.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DIAKTISK", "N"}, {"TAB", "2"}, {"TOPLIST", "1"}}},
        {"Strana 1 \xC8" "esk\xE1", "dva;tri", "\fStrana 2", "\x0f" "male\x12velke"});
  dir.write("REGISTRY.DTA", "OpakovatTisk : 2\r\n");
  dir.write("sys.par", "stredniky : Ano\r\n");
  // The working directory has no font files: the ones of the program root are taken over; the
  // condensed one has no height and falls back to the built-in size.
  dir.write("prog/2/norm.fnt", "Height : 50\r\nWidth : 30\r\nWeight : 700\r\nFaceName : DejaVu Sans Mono\r\n");
  dir.write("prog/2/12zn.fnt", "Height : 40\r\nWidth : 24\r\nFaceName : DejaVu Sans Mono\r\n");
  dir.write("prog/2/cond.fnt", "Height : 0\r\nWidth : x\r\nFaceName : Mono\r\n");
  auto r = printWith(dir, "F10");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string page1 = "TEXT 60 50 \"Strana 1 Ceska\"\nTEXT 60 100 \"dva tri\"\n";
  const std::string page2 = "TEXT 60 50 \"Strana 2\"\nFONT Mono 31 18 400 0\nTEXT 60 100 \"male\"\n"
                            "FONT DejaVu Sans Mono 50 30 700 0\nTEXT 132 100 \"velke\"\n";
  EXPECT_EQ(dir.read("print.trace"), "BEGIN Tisková sestava\nFONT DejaVu Sans Mono 50 30 700 0\n" + page1 +
                                         "PAGE 2\n" + page1 + "PAGE 3\n" + page1 + "PAGE 4\n" + page2 + "PAGE 5\n" +
                                         page2 + "PAGE 6\n" + page2 + "END\n");
  EXPECT_EQ(dir.read("norm.fnt").substr(0, 11), "Height : 50");
}

TEST(Printing, CharacterModeSendsThePrinterSequencesMarginsAndCodePageToTheMappedPort) {
  for (const std::string code : {"K", "L"}) {
    TempDir dir;
    setUp(dir,
          {.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"LPT", "2"}, {"TAB", "4"}, {"TOPLIST", "1"},
                       {"DIAKTISK", code}, {"F10FF", "A"}, {"TISKARNA", "epson"}}},
          {"\xC8\x61s \xF8\xEDzek", "\x0e" "elit\x0fkond\x07", "\fdruha"});
    dir.write("drives.txt", "C: = .\nLPT2 = port2.out\n");
    dir.write("REGISTRY.DTA", "Hustota :  3\r\n");
    dir.write("suple.txt", "\x1bp0");
    dir.write("prog/2/epson.dst",
              "INIT 27,64 {reset}\r\nNORM $12\r\nELIT 27 \"M\" 300 {a number above 255 is skipped}\r\n"
              "COND 27#$0F\r\n");
    auto r = printWith(dir, "F9");
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    const std::string cas = code == "K" ? "\x80" "as \xA9\xA1zek" : "\xAC" "as \xFD\xA1zek";
    // INIT, COND for density 3, one line of top margin; the margin is 8 blanks while condensed, 2
    // while elite; after the page's first line the top margin follows; a form feed at the end.
    EXPECT_EQ(dir.read("port2.out"), "\x1b@\x1b\x0f\r\n        " + cas + "\r\n        \x1bMelit\x1b\x0f" "kond\x1bp0\r\n"
                                     "\f        druha\r\n\r\n\f")
        << code;
  }
}

TEST(Printing, AnUnmappedPortIsAnErrorAndCreatesNoFile) {
  TempDir dir;
  setUp(dir, {}, {"radek"});
  auto r = printWith(dir, "F9\ndump\nEnter");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("I/O error 3"), std::string::npos) << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir / "LPT1"));
  EXPECT_FALSE(std::filesystem::exists(dir / "lpt1"));
}

TEST(Printing, TheFastPrintWrapsItsNumberAndNeverTouchesAnUntakenSpoolFile) {
  TempDir dir;
  setUp(dir, {.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"SPEEDPRN", "999"}}}, {"\xC8\x61stka", "konec"});
  dir.write("printer/print001.txt", "earlier print\r\n");
  auto r = printWith(dir, "Alt+F10\nAlt+F10\ndump\nEnter");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(dir.read("printer/print000.txt"), report({"\x80" "astka", "konec"}));
  EXPECT_EQ(dir.read("printer/print001.txt"), "earlier print\r\n");
  EXPECT_NE(r.out.find("Predešlý tisk není hotový"), std::string::npos) << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir / "printer/print001.$$$"));
  // The number stays at the file that was written, so the next print tries 001 again.
  auto again = printWith(dir, "Alt+F10\ndump\nEnter");
  EXPECT_NE(again.out.find("Predešlý tisk není hotový"), std::string::npos) << again.out;
}

TEST(Printing, TheStampPagePlacesTheSignatureBelowTheMark) {
  TempDir dir;
  setUp(dir, {}, {"Doklad", "Podpis ..... raz\xEDtko .....", "\x0fmale"});
  // A BMP header of a 40 x 20 picture.
  std::string bmp = "BM" + std::string(16, '\0');
  bmp += std::string("\x28\0\0\0\x14\0\0\0", 8) + std::string("\x01\0\x18\0", 4) + std::string(40, '\0');
  dir.write("podpis.bmp", bmp);
  auto r = printWith(dir, "Shift+F10");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  // 300 dots an inch: one form pixel is 3 dots, and everything is shifted by one dot.
  EXPECT_EQ(dir.read("print.trace"),
            "BEGIN Tisk s razítkem\nFONT Courier 42 0 700 0\nFONT Georgia 42 0 400 0\n"
            "TEXT 61 1 \"Doklad\"\nTEXT 61 37 \"Podpis\"\nFONT Georgia 29 0 400 0\nTEXT 61 73 \"male\"\n"
            "IMAGE 169 73 289 133 podpis.bmp\nEND\n");
}

TEST(Printing, TheDensityChoicePrintsItselfOnF10AndThePortKeysReachTheirPorts) {
  TempDir dir;
  setUp(dir, {.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"OB_PORT", "3"}}}, {"radek"},
        "C: = .\nLPT1 = p1.out\nLPT3 = p3.out\n");
  auto r = printWith(dir, "F2\nDown\nF10\nEnter\nCtrl+F5\nAlt+F5\nF12");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(dir.read("REGISTRY.DTA").find("Hustota :  2"), std::string::npos) << dir.read("REGISTRY.DTA");
  const std::string trace = dir.read("print.trace");
  EXPECT_NE(trace.find("BEGIN Počet znaků na řádku"), std::string::npos) << trace;
  EXPECT_NE(trace.find("\"100"), std::string::npos) << trace;
  EXPECT_EQ(dir.read("p1.out"), "\f\r\n");
  EXPECT_EQ(dir.read("p3.out"), "\x07");  // no "suple.txt": the bell code opens the drawer
}

// Reports that start every page with a form feed print no blank first page.
TEST(Printing, AReportThatStartsWithAFormFeedBeginsOnTheFirstPage) {
  TempDir dir;
  setUp(dir, {}, {"\fList 1", "\fList 2"});
  auto r = printWith(dir, "F10");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(dir.read("print.trace"), "BEGIN Tisková sestava\nFONT Courier New 50 30 400 0\nTEXT 0 0 \"List 1\"\n"
                                     "PAGE 2\nTEXT 0 0 \"List 2\"\nEND\n");
}

// Where the desktop presenter is built, a headless run prints into a PDF file mapped as "PRN".
TEST(Printing, AHeadlessRunPrintsIntoAPdfFileMappedAsThePrinter) {
#ifndef PZ_HAVE_QT
  GTEST_SKIP() << "built without Qt";
#endif
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
  TempDir dir;
  setUp(dir, {}, {"Pokladn\xED kniha", "EUR   100,00", "K\xE8  2 345,67"}, "C: = .\nPRN = tisk.pdf\n");
  dir.write("prog/2/norm.fnt", "Height : 50\r\nWidth : 30\r\nFaceName : DejaVu Sans Mono\r\n");
  auto r = printWith(dir, "F10");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  ASSERT_EQ(std::system(("pdftotext -layout '" + dir.str() + "/tisk.pdf' '" + dir.str() + "/tisk.txt'").c_str()), 0);
  const std::string text = dir.read("tisk.txt");
  EXPECT_NE(text.find("Pokladní kniha"), std::string::npos) << text;
  EXPECT_NE(text.find("EUR   100,00"), std::string::npos) << text;
  // (The blanks that pdftotext guesses between glyphs are not exact; the desktop test checks the
  // columns.)
  const size_t kc = text.find("Kč");
  ASSERT_NE(kc, std::string::npos) << text;
  EXPECT_NE(text.substr(kc, text.find('\n', kc) - kc).find("345,67"), std::string::npos) << text;
  EXPECT_FALSE(std::filesystem::exists(dir / "print.trace"));
}

}  // namespace
}  // namespace pz::test
