// The cash desk entry of the main window through the real program: the series list, the cash
// desk of a chosen series and back, and what the event log holds afterwards.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/run.h"
#include "platform/text.h"
#include "support/installation.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

using platform::cz;

// A series record: number, currency and units; rate, balance, account and note stay zero.
std::string series(const std::string& number, const std::string& currency, int units) {
  std::string v(71, '\0');
  v[0] = static_cast<char>(number.size());
  v.replace(1, number.size(), number);
  v[3] = static_cast<char>(currency.size());
  v.replace(4, currency.size(), currency);
  v[13] = static_cast<char>(units & 0xff);
  v[14] = static_cast<char>(units >> 8);
  return v;
}

// A receipt of the layout used until 2015 (303 bytes): kind and five-digit ident, the rest zero.
std::string oldDocument(int ident) {
  std::string v(303, '\0');
  char id[8];
  std::snprintf(id, sizeof id, "%05d", ident);
  v.replace(0, 8, std::string("\x01P\x05") + id);
  return v;
}

// Enter presses the cash desk button; Esc leaves the own company form as it is stored.
const std::string kToSeriesList = "Enter\nEsc\n";

// The event log's lines: 80-byte records of a length byte and the text, after the log's title.
std::vector<std::string> logLines(const std::string& log) {
  std::vector<std::string> lines;
  for (size_t o = 80; o + 80 <= log.size(); o += 80)
    lines.push_back(log.substr(o + 1, std::min<size_t>(79, static_cast<unsigned char>(log[o]))));
  return lines;
}

// Whether some log line ends with `text`.
bool logged(const std::vector<std::string>& lines, const std::string& text) {
  for (const auto& l : lines)
    if (l.size() >= text.size() && l.compare(l.size() - text.size(), text.size(), text) == 0) return true;
  return false;
}

size_t countContaining(const std::vector<std::string>& lines, const std::string& part) {
  size_t n = 0;
  for (const auto& l : lines) n += l.find(part) != std::string::npos;
  return n;
}

TEST(CashDeskEntry, EscInTheSeriesListLogsTheListOnceAndNoCashDesk) {
  TempDir dir;
  install(dir, {.programRoot = true});
  dir.write("data/pz_ra.dta", series("01", "EUR", 1) + series("02", "JPY", 100));
  auto r = runPzpokl(dir, kToSeriesList + "dump\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Seznam valutových pokladen"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" 02    JPY"), std::string::npos) << r.out;
  const auto lines = logLines(dir.read("data/PROTOKOL.PRT"));
  EXPECT_TRUE(logged(lines, cz("* START - Valutová pokladna")));
  EXPECT_TRUE(logged(lines, cz("   Start - Řady valutové pokladny, n=  2")));
  EXPECT_TRUE(logged(lines, cz("   Konec - Řady valutové pokladny, n=  2")));
  EXPECT_EQ(countContaining(lines, cz("Řady valutové pokladny")), 2u);
  EXPECT_EQ(countContaining(lines, cz("Valutová pokladna č:")), 0u);
}

TEST(CashDeskEntry, OldSeriesAndDocumentFilesAreConvertedAndAChosenSeriesOpensItsCashDesk) {
  TempDir dir;
  install(dir, {.programRoot = true});
  dir.write("data/zporady.dta", series("01", "EUR", 1).substr(0, 34) + series("02", "JPY", 100).substr(0, 34));
  dir.write("data/PZ02_.dta", oldDocument(1) + oldDocument(2) + oldDocument(3));
  auto r = runPzpokl(dir, kToSeriesList + "Down\nEnter\ndump\nEsc\ndump\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(dir.read("data/pz_ra.dta").size(), 142u);
  // The documents were brought to the current 337-byte layout before the cash desk counted them.
  const std::string documents = dir.read("data/PZ02_.dta");
  ASSERT_EQ(documents.size(), 3u * 337);
  EXPECT_EQ(documents.substr(2 * 337, 8), std::string("\x01P\x05") + "00003");
  // The cash desk of series 02, then the series list again.
  const size_t cashDesk = r.out.find("Přehled pokladních dokladů z řady 02");
  ASSERT_NE(cashDesk, std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Seznam valutových pokladen", cashDesk), std::string::npos) << r.out;
  const auto lines = logLines(dir.read("data/PROTOKOL.PRT"));
  EXPECT_TRUE(logged(lines, cz("   Start - Valutová pokladna č:02 ,n=    3")));
  EXPECT_TRUE(logged(lines, cz("   Konec - Valutová pokladna č:02 ,n=    3")));
  EXPECT_EQ(countContaining(lines, cz("   Start - Řady valutové pokladny, n=  2")), 2u);
}

// A series without a currency ("XXX") with a balance of 500 and one receipt of 100 in it: the cash
// desk shows crowns and keeps its rate file as Kč.txt; F8 blanks the receipt and the balance
// becomes 400 in the series file and under the list.
TEST(CashDeskEntry, ASeriesWithoutCurrencyShowsCrownsAndBlankingAReceiptTakesItOffTheBalance) {
  TempDir dir;
  install(dir, {.programRoot = true});
  std::string rada = series("01", "XXX", 1);
  rada.replace(15, 6, std::string("\x89\0\0\0\0\x7a", 6));  // balance 500 (Real48)
  dir.write("data/pz_ra.dta", rada);
  std::string receipt(337, '\0');
  receipt.replace(0, 8, std::string("\x01P\x05") + "00001");
  receipt.replace(8, 5, std::string("\x04") + "A-01");
  receipt.replace(142, 6, std::string("\x87\0\0\0\0\x48", 6));  // paid 100 (Real48)
  dir.write("data/PZ01_.dta", receipt);
  auto r = runPzpokl(dir, kToSeriesList + "Enter\ndump\nF8\ntype a\ndump\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const size_t cashDesk = r.out.find("Přehled pokladních dokladů z řady 01");
  ASSERT_NE(cashDesk, std::string::npos) << r.out;
  EXPECT_NE(r.out.find("číslo : 01 - měna : Kč", cashDesk), std::string::npos) << r.out;
  const size_t before = r.out.find("500.00 Kč", cashDesk);
  ASSERT_NE(before, std::string::npos) << r.out;
  EXPECT_NE(r.out.find("400.00 Kč", before), std::string::npos) << r.out;
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "TAMBRA3W" / "Kč.txt"));
  EXPECT_EQ(dir.read("data/pz_ra.dta").substr(15, 6), std::string("\x89\0\0\0\0\x48", 6));  // 400
  const std::string blanked = dir.read("data/PZ01_.dta");
  ASSERT_EQ(blanked.size(), 337u);
  EXPECT_EQ(blanked.substr(0, 8), receipt.substr(0, 8));       // kind and ident stay
  EXPECT_EQ(blanked.substr(142, 6), std::string(6, '\0'));     // nothing paid any more
}

}  // namespace
}  // namespace pz::test
