// The printed cash voucher of documents saved through the real program: its report, the series'
// voucher archive and the document's own copy in the folder of printed documents.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/run.h"
#include "support/stationtable.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

std::string real48(double v) {
  std::string b(6, '\0');
  if (v == 0) return b;
  int e = 0;
  const double m = std::frexp(std::fabs(v), &e);
  auto f = static_cast<unsigned long long>(std::llround((m * 2 - 1) * 549755813888.0));
  if (f >> 39) { f = 0; ++e; }
  b[0] = static_cast<char>(e - 1 + 129);
  for (int i = 1; i <= 5; ++i) b[static_cast<size_t>(i)] = static_cast<char>((f >> (8 * (i - 1))) & 0xff);
  if (v < 0) b[5] = static_cast<char>(static_cast<unsigned char>(b[5]) | 0x80);
  return b;
}
std::string shortString(const std::string& text, size_t width) {
  std::string s(width + 1, '\0');
  s[0] = static_cast<char>(text.size());
  s.replace(1, text.size(), text);
  return s;
}

std::string series(const std::string& number, const std::string& currency, double rate) {
  std::string v(71, '\0');
  v.replace(0, 3, shortString(number, 2));
  v.replace(3, 4, shortString(currency, 3));
  v.replace(7, 6, real48(rate));
  v[13] = 1;
  v.replace(21, 7, shortString("000000", 6));
  return v;
}

void install(const TempDir& dir) {
  dir.write("master.job", stationTable({{"UZIVATEL", "01"}, {"POCITAC", "01"}, {"DAN2", "21"}}));
  dir.write("data.adr", "data\\\r\n");
  dir.write("prog.adr", "prog\\\r\n");
  std::filesystem::create_directories(dir / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", dir / "prog/dlib");
}

// A new document without a partner, from the kind to the amount, with a delivery date and a text.
std::string entry(const std::string& kind, const std::string& amount, const std::string& delivery,
                  const std::string& text) {
  return "F4\ntype " + kind + "\nEnter\nEnter\nEnter\nEsc\n" +
         (delivery.empty() ? std::string("Enter\n") : "type " + delivery + "\nEnter\n") + "Enter\ntype " + text +
         "\nEnter\nEsc\nEnter\ntype " + amount + "\nEnter\n";
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

constexpr const char* kCashDesk = "Enter\nEsc\nEnter\n";

TEST(VoucherE2E, ReceiptsAndExpendituresArePrintedArchivedAndKeptOnePerDocument) {
  TempDir dir;
  install(dir);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125));
  // A receipt with a delivery date (a tax document), an expenditure, then the receipt saved again.
  const auto r = runPzpokl(dir, std::string(kCashDesk) + entry("P", "100", "091226", "Zaloha") + "F2\nEsc\n" +
                                    entry("V", "40", "", "Vyplata") + "F2\nEsc\n" + "Up\nSpace\nF2\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  // The report holds the voucher printed last: the receipt, a tax document with its number.
  const std::string posledni = dir.read("pz01a.TXT");
  EXPECT_NE(posledni.find("POKLADN\xCD DOKLAD - P\xD8\xCDJMOV\xDD"), std::string::npos) << posledni;
  EXPECT_NE(posledni.find("\xC8\xEDslo : 0100001"), std::string::npos) << posledni;
  EXPECT_NE(posledni.find("Da\xF2ov\xFD doklad \xE8\xEDslo : PZ0100001"), std::string::npos) << posledni;
  EXPECT_NE(posledni.find("TEXT : Zaloha"), std::string::npos) << posledni;
  EXPECT_NE(posledni.find("Dne 09.12.2026 zaplaceno      : 100.00 EUR"), std::string::npos) << posledni;
  // Every line of a report has its width and CR LF.
  EXPECT_EQ(posledni.size() % 133, 0u);
  // Three saves, three vouchers in the archive; the expenditure has the own company as the customer.
  const std::string archiv = dir.read("data/pzar01a.txt");
  EXPECT_EQ(count(archiv, "\xC8\xEDslo : 0100001"), 2u) << archiv;
  EXPECT_EQ(count(archiv, "V\xDD" "DAJOV\xDD  ***                   \xC8\xEDslo : 0100002"), 1u) << archiv;
  EXPECT_NE(archiv.find("ODB\xCCRATEL :                          DODAVATEL :"), std::string::npos);
  EXPECT_NE(archiv.find("P\xF8ijal :                            Vydal :"), std::string::npos);
  EXPECT_EQ(count(archiv, "Da\xF2ov\xFD doklad"), 2u);
  // One copy per document, the last one saved.
  const std::string kopie = dir.read("data/doklady/PZ01/00001.txt");
  EXPECT_EQ(count(kopie, "\xC8\xEDslo : 0100001"), 1u) << kopie;
  EXPECT_NE(dir.read("data/doklady/PZ01/00002.txt").find("Vyplata"), std::string::npos);
}

// A folder of printed documents that cannot be made is said, and the document is saved all the same.
TEST(VoucherE2E, AnUnwritableFolderOfPrintedDocumentsIsSaidAndTheDocumentStaysSaved) {
  TempDir dir;
  install(dir);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125));
  dir.write("data/doklady", "not a folder");
  const auto r = runPzpokl(dir, std::string(kCashDesk) + entry("P", "100", "", "Zaloha") + "F2\ndump\nEnter\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Doklad nelze ulo\u017eit do "), std::string::npos) << r.out;
  EXPECT_EQ(dir.read("data/PZ01_.dta").size(), 337u);
  EXPECT_EQ(count(dir.read("data/pzar01a.txt"), "TEXT : Zaloha"), 1u);
}

// The report's lines as a user reads them: without the padding to the report's width.
std::vector<std::string> lines(const std::string& report) {
  std::vector<std::string> r;
  for (size_t at = 0; at < report.size();) {
    size_t end = report.find("\r\n", at);
    if (end == std::string::npos) end = report.size();
    std::string line = report.substr(at, end - at);
    line.erase(line.find_last_not_of(' ') + 1);
    r.push_back(line);
    at = end + 2;
  }
  return r;
}

// A receipt without items or delivery date: the voucher line by line, shown in the viewer once the
// document is stored; saved again, it replaces its own copy and is archived a second time.
TEST(VoucherE2E, AReceiptWithoutItemsIsShownLineByLineAndSavedAgainReplacesItsCopy) {
  TempDir dir;
  install(dir);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125));
  const auto r = runPzpokl(dir, std::string(kCashDesk) + entry("P", "100", "", "Zaloha") + "F2\ndump\nEsc\n" +
                                    "Space\nF2\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::vector<std::string> expected = {
      "\f",
      " ***  POKLADN\xCD DOKLAD - P\xD8\xCDJMOV\xDD  ***                 \xC8\xEDslo : 0100001",
      std::string(73, '-'),
      "DODAVATEL :                          ODB\xCCRATEL :",
      "",
      "",
      "",
      "",
      // The own values at the width of their fields: the partner's labels under "ODBĚRATEL".
      "I\xC8O :" + std::string(32, ' ') + "I\xC8O :",
      "DI\xC8 :" + std::string(32, ' ') + "DI\xC8 :",
      std::string(73, '-'),
      "TEXT : Zaloha",
      "",
      "Pou\x9Eit\xFD kurz : 1 EUR = 25.1250000000 CZK",
      "******     C e l k e m    z a    d o d \xE1 v k u : 100.00 EUR",
      "",
      "Dne 09.12.2026 zaplaceno      : 100.00 EUR",
      "                          =======================",
      "",
      "                                    Raz\xEDtko a podpis :",
      "",
      "",
      std::string(73, '='),
  };
  EXPECT_EQ(lines(dir.read("pz01a.TXT")), expected);
  // The viewer showed it over the list, after the document was stored.
  const size_t viewer = r.out.find("=== fPozri \" Soubor: ");
  ASSERT_NE(viewer, std::string::npos) << r.out;
  EXPECT_NE(r.out.find("TEXT : Zaloha", viewer), std::string::npos) << r.out.substr(viewer);
  EXPECT_NE(r.out.find("Pou\u017eit\u00fd kurz : 1 EUR = 25.1250000000 CZK", viewer), std::string::npos);
  // One copy of the document (put in place whole, no work file left), two vouchers archived.
  std::vector<std::string> copies;
  for (const auto& e : std::filesystem::directory_iterator(dir / "data/doklady/PZ01")) copies.push_back(e.path().filename());
  EXPECT_EQ(copies, std::vector<std::string>{"00001.txt"});
  EXPECT_EQ(lines(dir.read("data/doklady/PZ01/00001.txt")), expected);
  EXPECT_EQ(count(dir.read("data/pzar01a.txt"), "TEXT : Zaloha"), 2u);
}

// The viewer waits on the cashier with no lock of the save held: meanwhile another station
// numbers and saves a document of the same series.
TEST(VoucherE2E, WhileOneStationViewsItsVoucherAnotherSavesInTheSameSeries) {
  TempDir root;
  std::filesystem::create_directories(root / "data");
  root.write("data/pz_ra.dta", series("01", "EUR", 25.125));
  const std::string flag = root.str() + "/";
  const auto waitFor = [&](const std::string& name) {
    return "run while [ ! -f '" + flag + name + "' ]; do sleep 0.02; done\n";
  };
  const auto touch = [&](const std::string& name) { return "run touch '" + flag + name + "'\n"; };
  const std::string scriptA = std::string(kCashDesk) + entry("P", "100", "", "A") + "F2\n" + touch("a-viewer") +
                              waitFor("b-saved") + "dump\nEsc\nEsc\nEsc\nEsc\n";
  const std::string scriptB = waitFor("a-viewer") + kCashDesk + entry("V", "40", "", "B") + "F2\nEsc\n" +
                              touch("b-saved") + "Esc\nEsc\nEsc\n";
  std::filesystem::create_directories(root / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", root / "prog/dlib");
  const std::string data = (root / "data").string() + "/", prog = (root / "prog").string() + "/";
  // Two stations of the one data root and program root.
  TempDir a, b;
  for (const auto& [dir, user] : {std::pair<const TempDir&, std::string>{a, "01"}, {b, "02"}}) {
    dir.write("master.job", stationTable({{"UZIVATEL", user}, {"POCITAC", user}}));
    dir.write("data.adr", data + "\r\n");
    dir.write("prog.adr", prog + "\r\n");
  }
  const auto [ra, rb] = runTogether(a, scriptA, b, scriptB);
  ASSERT_EQ(ra.exitCode, 0) << ra.err << ra.out;
  ASSERT_EQ(rb.exitCode, 0) << rb.err << rb.out;
  EXPECT_EQ(root.read("data/PZ01_.dta").size(), 2 * 337u) << rb.out;
  EXPECT_NE(ra.out.find("=== fPozri"), std::string::npos) << ra.out;
  EXPECT_EQ(count(root.read("data/pzar01a.txt"), "TEXT : "), 2u);
}

// With scrambled reports the document's copy is the report as it is on disk, scrambled once:
// Ctrl+Space in the list shows it in clear.
TEST(VoucherE2E, UnderGdprTheCopyIsScrambledOnceAndCtrlSpaceShowsItInClear) {
  TempDir dir;
  install(dir);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125));
  dir.write("data/master.job", stationTable({{"GDPR", "ANO"}}));
  const auto r = runPzpokl(dir, std::string(kCashDesk) + entry("P", "100", "", "Zaloha") + "F2\nEsc\n" +
                                    "Ctrl+Space\ndump\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string kopie = dir.read("data/doklady/PZ01/00001.txt");
  EXPECT_EQ(kopie, dir.read("pz01a.TXT"));
  EXPECT_EQ(kopie.find("Zaloha"), std::string::npos);
  const size_t viewer = r.out.rfind("=== fPozri");
  ASSERT_NE(viewer, std::string::npos) << r.out;
  EXPECT_NE(r.out.find("00001.txt", viewer), std::string::npos) << r.out.substr(viewer);
  EXPECT_NE(r.out.find("TEXT : Zaloha", viewer), std::string::npos) << r.out.substr(viewer);
}

}  // namespace
}  // namespace pz::test
