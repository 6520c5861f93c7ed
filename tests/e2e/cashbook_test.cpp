// The cash book of a series through the real program: Ctrl+O in the cash desk, the period and the
// order, then the report and its spreadsheet side file as they are stored.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "e2e/run.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "support/installation.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

using platform::cz;

std::string seriesWithBalances(double opening, double openingKc, double balance) {
  std::vector<std::uint8_t> v(71, 0);
  EXPECT_TRUE(storage::writeShortString(v, 0, 2, "01"));
  EXPECT_TRUE(storage::writeShortString(v, 3, 3, "EUR"));
  storage::writeU16(v, 13, 1);
  EXPECT_TRUE(storage::writeReal48(v, 15, balance));
  EXPECT_TRUE(storage::writeReal48(v, 28, opening));
  EXPECT_TRUE(storage::writeReal48(v, 34, openingKc));
  return std::string(v.begin(), v.end());
}

std::string document(const std::string& kind, int ident, const std::string& number, const std::string& paid,
                     double amount, double crowns, int partner = 0, const std::string& name = "") {
  std::vector<std::uint8_t> v(337, 0);
  char id[8];
  std::snprintf(id, sizeof id, "%05d", ident);
  EXPECT_TRUE(storage::writeShortString(v, 0, 1, kind));
  EXPECT_TRUE(storage::writeShortString(v, 2, 5, id));
  EXPECT_TRUE(storage::writeShortString(v, 8, 60, number));
  EXPECT_TRUE(storage::writeShortString(v, 78, 6, paid));
  EXPECT_TRUE(storage::writeShortString(v, 85, 50, "doklad " + number));
  EXPECT_TRUE(storage::writeReal48(v, 142, amount));
  EXPECT_TRUE(storage::writeReal48(v, 160, crowns));
  storage::writeU16(v, 69, static_cast<std::uint16_t>(partner));
  EXPECT_TRUE(storage::writeShortString(v, 203, 30, name));
  return std::string(v.begin(), v.end());
}

std::vector<std::string> reportLines(const std::string& file) {
  std::vector<std::string> out;
  for (size_t o = 0; o + 134 <= file.size(); o += 134) {
    std::string l = file.substr(o, 132);
    while (!l.empty() && l.back() == ' ') l.pop_back();
    out.push_back(l);
  }
  return out;
}

bool has(const std::vector<std::string>& lines, const std::string& part) {
  for (const auto& l : lines)
    if (l.find(part) != std::string::npos) return true;
  return false;
}

const std::string* lineWith(const std::vector<std::string>& lines, const std::string& part) {
  for (const auto& l : lines)
    if (l.find(part) != std::string::npos) return &l;
  return nullptr;
}

// Opening balance 100 EUR (2 500 Kč); documents before, within and after February 2020, one of
// them of 1998, which lies before the period although "98" sorts after "20" as text.
struct CashBookInstall {
  TempDir dir;
  CashBookInstall() {
    install(dir, {.programRoot = true});
    dir.write("data/pz_ra.dta", seriesWithBalances(100, 2500, 1157.15));
    dir.write("data/PZ01_.dta", document("P", 1, "A-1", "100120", 50, 1250) +
                                    document("V", 2, "B-1", "150120", 20, 500) +
                                    document("P", 3, "A-2", "010220", 30.25, 756.25) +
                                    document("V", 4, "B-2", "280220", 10.10, 252.53) +
                                    document("P", 5, "A-3", "010320", 1000, 25000) +
                                    document("P", 6, "A-4", "150698", 7, 250));
  }
  // Ctrl+O in the cash desk of series 01, the period typed over the offered dates, an order.
  RunResult book(const std::string& from, const std::string& to, const std::string& order = "Enter") {
    const std::string clear = "End\nBackspace Backspace Backspace Backspace Backspace Backspace\n";
    return runPzpokl(dir, "Enter\nEsc\nEnter\nctrl+o\n" + clear + "type " + from + "\nDown\n" + clear + "type " + to +
                              "\nEnter\ndump\n" + order + "\ndump\nEsc\nEsc\nEsc\nEsc\n");
  }
};

TEST(CashBook, ThePeriodStartsFromTheMovementsBeforeItAndEndsOnTheBalanceAtTo) {
  CashBookInstall in;
  auto r = in.book("010220", "290220");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("PZ10"), std::string::npos) << r.out;  // shown in the viewer
  const auto lines = reportLines(in.dir.read("PZ10.TXT"));
  ASSERT_FALSE(lines.empty()) << r.out;
  EXPECT_TRUE(has(lines, cz("OBDOBÍ: 01.02.2020 - 29.02.2020")));
  EXPECT_TRUE(has(lines, cz("V A L U T O V Á  P O K L A D N A - 01 měna : EUR")));
  // The balance at From is 100 + 50 − 20 + 7 (the receipt of 1998), in crowns 2500 + 1250 − 500 +
  // 250; then the two documents of the period with the running balance (the one paid after To is
  // missing), and the turnover of the period and in total, both ending on the balance at To.
  const std::vector<std::string> body = {
      "01.02.2020                                     137.00         3 500.00",
      "           57.00            20.00           137.00",
      " 01.02.2020 00003 A-2        doklad A-2                                       30.25           167.25           756.25",
      " 28.02.2020 00004 B-2        doklad B-2                                       10.10-          157.15           252.53-",
      std::string(132, '-'),
      " S O U Č T Y   O B R A T Ů   Z A   V Y B R A N É   O B D O B Í                  30.25",
      " S O U Č T Y   O B R A T Ů   Z A   V Y B R A N É   O B D O B Í                  10.10-          157.15",
      " S O U Č T Y   O B R A T Ů   C E L K E M                                        87.25",
      " S O U Č T Y   O B R A T Ů   C E L K E M                                        30.10-          157.15",
      "SOUČTY  OBRATŮ  ZA  VYBRANÉ  OBDOBÍ  V  CZK                                                                     756.25",
      "SOUČTY  OBRATŮ  ZA  VYBRANÉ  OBDOBÍ  V  CZK                                                                     252.53-"};
  ASSERT_EQ(lines.size(), 7 + body.size()) << in.dir.read("PZ10.TXT");
  for (size_t i = 0; i < body.size(); ++i) EXPECT_EQ(lines[7 + i], cz(body[i])) << i;
  // The side file: the column line and one line a document, ";" between, decimal commas.
  const std::string csv = in.dir.read("XLS/PZ10.CSV");
  EXPECT_EQ(csv.substr(0, csv.find('\r')),
            cz("   Datum  ; Č.d.;Č.daň.dok.;Text") + std::string(46, ' ') +
                cz(";       Příjmy ;       Výdaje ;   Zůstatek "));
  EXPECT_NE(csv.find("01.02.2020;00003;A-2;doklad A-2" + std::string(40, ' ') +
                     ";        30,25 ;              ;       167,25 "),
            std::string::npos)
      << csv;
  EXPECT_NE(csv.find(";              ;        10,10 ;       157,15 "), std::string::npos) << csv;
}

TEST(CashBook, ToOverEveryDocumentEndsOnTheSeriesBalanceAndFromAfterToListsNothing) {
  CashBookInstall in;
  auto r = in.book("010190", "311226", "Down Enter");  // by document number
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto lines = reportLines(in.dir.read("PZ10.TXT"));
  // Every document, in ident order: the last line's running balance is the series balance.
  const std::string* last = lineWith(lines, "00006 A-4");
  ASSERT_TRUE(last) << r.out;
  EXPECT_EQ(last->substr(0, 12), " 15.06.1998 ");
  EXPECT_NE(last->find("           7.00         1 157.15"), std::string::npos) << *last;
  EXPECT_TRUE(has(lines, cz(" S O U Č T Y   O B R A T Ů   C E L K E M                                        "
                             "30.10-        1 157.15")));

  r = in.book("010320", "010220");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  lines = reportLines(in.dir.read("PZ10.TXT"));
  for (const char* doc : {"A-1", "B-1", "A-2", "B-2", "A-3", "A-4"}) EXPECT_FALSE(has(lines, doc)) << doc;
  // No document and no turnover: everything paid up to To lies before From, and the balance at
  // From (100 + 50 − 20 + 30.25 + 7) is the balance at To.
  const std::vector<std::string> end = {
      "01.03.2020                                     167.25         4 256.25",
      "           87.25            20.00           167.25",
      std::string(132, '-'),
      " S O U Č T Y   O B R A T Ů   Z A   V Y B R A N É   O B D O B Í",
      " S O U Č T Y   O B R A T Ů   Z A   V Y B R A N É   O B D O B Í                                  167.25",
      " S O U Č T Y   O B R A T Ů   C E L K E M                                        87.25",
      " S O U Č T Y   O B R A T Ů   C E L K E M                                        20.00-          167.25"};
  ASSERT_EQ(lines.size(), 7 + end.size() + 2) << in.dir.read("PZ10.TXT");
  for (size_t i = 0; i < end.size(); ++i) EXPECT_EQ(lines[7 + i], cz(end[i])) << i;
}

// Partner 5 has three documents in the period (one of 1998 outside it), partner 7 two; the
// overview by partner lists them in two groups with their control sums and the total.
TEST(Overview, ByPartnerEachGroupEndsWithItsControlSumAndTheTotalCountsAll) {
  TempDir dir;
  install(dir, {.programRoot = true});
  dir.write("data/pz_ra.dta", seriesWithBalances(0, 0, 0));
  dir.write("data/PZ01_.dta", document("P", 1, "A-1", "100120", 50, 1250, 7, cz("Novák a syn")) +
                                  document("V", 2, "B-1", "150120", 20, 500, 5, cz("NOVOTNÝ")) +
                                  document("P", 3, "A-2", "010220", 30.25, 756.25, 5, cz("NOVOTNÝ")) +
                                  document("P", 4, "A-3", "150698", 99, 2500, 5, cz("NOVOTNÝ")) +
                                  document("V", 5, "B-2", "280220", 10.10, 252.53, 7, cz("Novák a syn")) +
                                  document("P", 6, "A-4", "290220", 1, 25, 5, cz("NOVOTNÝ")));
  const std::string clear = "End\nBackspace Backspace Backspace Backspace Backspace Backspace\n";
  const std::string period = clear + "type 010120\nDown\n" + clear + "type 290220\nEnter\n";
  auto r = runPzpokl(dir, "Enter\nEsc\nEnter\nctrl+p\nDown Down Down Enter\n" + period +
                              "Down Down Down Down Enter\nEnter\ndump\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("PZ08"), std::string::npos) << r.out;
  const auto lines = reportLines(dir.read("PZ08.TXT"));
  ASSERT_GE(lines.size(), 20u) << dir.read("PZ08.TXT");
  EXPECT_NE(lines[0].find(cz("    VALUTOVÁ POKLADNA DLE  ORGANIZACÍ      ")), std::string::npos);
  EXPECT_EQ(lines[1], cz("Vybrané řady : 01"));
  std::vector<std::string> body(lines.begin() + 5, lines.end());
  const std::string blank(62, ' ');
  const std::vector<std::string> expected = {
      "V 0100002 B-1        0005        150120 doklad B-1" + blank + "20.00",
      std::string(40, ' ') + "NOVOTNÝ                  -DIČ:",
      "P 0100003 A-2        0005        010220 doklad A-2" + blank + "30.25",
      std::string(40, ' ') + "NOVOTNÝ                  -DIČ:",
      "P 0100006 A-4        0005        290220 doklad A-4" + blank + " 1.00",
      std::string(40, ' ') + "NOVOTNÝ                  -DIČ:",
      "Počet dokladů :      3                                Kontrolní soucet :    P,O :             31.25  V,D :             20.00",
      "",
      "P 0100001 A-1        0007        100120 doklad A-1" + blank + "50.00",
      std::string(40, ' ') + "Novák a syn              -DIČ:",
      "V 0100005 B-2        0007        280220 doklad B-2" + blank + "10.10",
      std::string(40, ' ') + "Novák a syn              -DIČ:",
      "Počet dokladů :      2                                Kontrolní soucet :    P,O :             50.00  V,D :             10.10",
      "",
      std::string(132, '-'),
      "Počet dokladů :      5                                Kontrolní soucet :    P,O :             81.25  V,D :             30.10",
      ""};
  ASSERT_EQ(body.size(), expected.size()) << dir.read("PZ08.TXT");
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(body[i], cz(expected[i])) << i;
  const std::string csv = dir.read("XLS/PZ08.CSV");
  EXPECT_NE(csv.find("\r\nP;01;00003;A-2;0005;" + cz("NOVOTNÝ") + ";;;010220;doklad A-2;" + std::string(14, ' ') +
                     ";       30,25 ;" + std::string(14, ' ') + "\r\n"),
            std::string::npos)
      << csv;
}

// The period 01.01.1995 to 31.12.2026 by payment date: a document of 1998 lies inside it and sorts
// before those of the 2020s (as YYMMDD text "980615" is after "261231"); one paid on To is listed,
// one paid the day before From and one the day after To are not. Without groups the total shows
// twice: as the group line and after the "-" line.
TEST(Overview, ByPaymentDateTheRealYearSelectsAndOrdersAndTheTotalShowsTwice) {
  TempDir dir;
  install(dir, {.programRoot = true});
  dir.write("data/pz_ra.dta", seriesWithBalances(0, 0, 0));
  dir.write("data/PZ01_.dta", document("P", 1, "A-1", "100120", 50, 1250, 5, "Firma") +
                                  document("V", 2, "B-1", "150698", 20, 500, 5, "Firma") +
                                  document("P", 3, "A-2", "311226", 30.25, 756.25, 5, "Firma") +
                                  document("P", 4, "A-3", "010127", 1000, 25000, 5, "Firma") +
                                  document("P", 5, "A-4", "311294", 7, 175, 5, "Firma"));
  const std::string clear = "End\nBackspace Backspace Backspace Backspace Backspace Backspace\n";
  auto r = runPzpokl(dir, "Enter\nEsc\nEnter\nctrl+p\nDown Down Down Enter\n" + clear + "type 010195\nDown\n" + clear +
                              "type 311226\nEnter\nDown Down Enter\ndump\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto lines = reportLines(dir.read("PZ08.TXT"));
  ASSERT_GE(lines.size(), 5u) << r.out;
  EXPECT_NE(lines[0].find(cz("    VALUTOVÁ POKLADNA DLE DATA ZAPLACENÍ   ")), std::string::npos) << lines[0];
  const std::string blank(62, ' '), partner = std::string(40, ' ') + "Firma                    -DIČ:";
  const std::string total =
      "Počet dokladů :      3                                Kontrolní soucet :    P,O :             80.25  V,D :             20.00";
  const std::vector<std::string> expected = {
      "V 0100002 B-1        0005        150698 doklad B-1" + blank + "20.00", partner,
      "P 0100001 A-1        0005        100120 doklad A-1" + blank + "50.00", partner,
      "P 0100003 A-2        0005        311226 doklad A-2" + blank + "30.25", partner,
      total, "", std::string(132, '-'), total, ""};
  const std::vector<std::string> body(lines.begin() + 5, lines.end());
  ASSERT_EQ(body.size(), expected.size()) << dir.read("PZ08.TXT");
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(body[i], cz(expected[i])) << i;
}

// From the series list over the marked series: a name prefix matches in upper case; a period
// without documents gives the one line that says so.
TEST(Overview, FromTheSeriesListANamePrefixSelectsAcrossMarkedSeries) {
  TempDir dir;
  install(dir, {.programRoot = true});
  std::string s2 = seriesWithBalances(0, 0, 0);
  s2[1] = '0';
  s2[2] = '2';
  dir.write("data/pz_ra.dta", seriesWithBalances(0, 0, 0) + s2);
  dir.write("data/PZ01_.dta", document("P", 1, "A-1", "100126", 50, 1250, 7, cz("Novák a syn")) +
                                  document("V", 2, "B-1", "150126", 20, 500, 5, cz("Dvořák")));
  dir.write("data/PZ02_.dta", document("P", 1, "C-1", "010226", 30, 750, 5, cz("NOVOTNÝ")));
  auto r = runPzpokl(dir, "Enter\nEsc\nInsert\nInsert\nctrl+p\nEnter\ntype nov\nEnter\nEnter\nDown Enter\n"
                          "dump\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto lines = reportLines(dir.read("PZ08.TXT"));
  ASSERT_GE(lines.size(), 5u) << r.out;
  EXPECT_NE(lines[0].find("  LIST:   1"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[1], cz("Vybrané řady : 01 02"));
  EXPECT_TRUE(has(lines, "P 0100001 A-1"));
  EXPECT_TRUE(has(lines, "P 0200001 C-1"));
  EXPECT_FALSE(has(lines, "B-1"));
  EXPECT_TRUE(has(lines, cz("Počet dokladů :      2")));

  r = runPzpokl(dir, "Enter\nEsc\nInsert\nctrl+p\nDown Down Down Enter\n" + std::string("End\nBackspace Backspace Backspace Backspace Backspace Backspace\ntype 010125\nDown\nEnd\nBackspace Backspace Backspace Backspace Backspace Backspace\ntype 311225\nEnter\n") +
                     "Enter\ndump\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  lines = reportLines(dir.read("PZ08.TXT"));
  ASSERT_EQ(lines.size(), 1u) << r.out;
  EXPECT_EQ(lines[0], cz("Dle zadaného výběru se nic nevybralo"));
}

// Partners 3 and 9 marked in the partner list, which is left with Esc: the documents of both, not
// those of partner 5.
TEST(Overview, PartnersMarkedInTheListAreTakenWhenItIsLeftWithEsc) {
  TempDir dir;
  install(dir, {.programRoot = true});
  dir.write("data/pz_ra.dta", seriesWithBalances(0, 0, 0));
  std::string org;
  for (int n = 1; n <= 9; ++n) {
    std::vector<std::uint8_t> v(586, 0);
    storage::writeU16(v, 0, static_cast<std::uint16_t>(n));
    EXPECT_TRUE(storage::writeShortString(v, 28, 30, "Firma " + std::to_string(n)));
    org += std::string(v.begin(), v.end());
  }
  dir.write("data/org.dta", org);
  dir.write("data/PZ01_.dta", document("P", 1, "A-1", "100120", 50, 1250, 3, "Firma 3") +
                                  document("V", 2, "B-1", "150120", 20, 500, 5, "Firma 5") +
                                  document("P", 3, "A-2", "010220", 30, 750, 9, "Firma 9"));
  const std::string clear = "End\nBackspace Backspace Backspace Backspace Backspace Backspace\n";
  auto r = runPzpokl(dir, "Enter\nEsc\nEnter\nctrl+p\nDown Down Enter\nHome\nDown Down\nInsert\ndump\n"
                          "End\nInsert\ndump\nEsc\n" + clear + "type 010120\nDown\n" + clear +
                          "type 290220\nEnter\nDown Enter\ndump\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto lines = reportLines(dir.read("PZ08.TXT"));
  EXPECT_TRUE(has(lines, "P 0100001 A-1")) << r.out;
  EXPECT_TRUE(has(lines, "P 0100003 A-2"));
  EXPECT_FALSE(has(lines, "B-1"));
  EXPECT_TRUE(has(lines, cz("Počet dokladů :      2")));
}

}  // namespace
}  // namespace pz::test
