// VAT supplements of cash documents and the VAT listing, through the real program: the lines a
// saved receipt or expenditure gets, their corrections in the supplement form, the bulk
// completion, and the listing of a period with its difference line.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/run.h"
#include "support/stationtable.h"
#include "support/recordbytes.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

constexpr size_t kDoklad = 337, kDodatek = 512;
constexpr size_t kDruh = 0, kIdent = 2, kCislo = 8, kDatumDod = 71, kDatumZapl = 78, kCelkemVal = 136,
                 kPlacenoVal = 142, kKurz = 148, kCelkemKc = 154, kPlacenoKc = 160, kDic = 186, kAdr1 = 203;
// The supplement: key, state, total, the lines (mark, base, tax, reduced-deduction mark), DIČ.
constexpr size_t kKlic = 0, kStat = 11, kCelkem = 17, kRadky = 23, kRadek = 22, kSDic = 245;

std::string textAt(const std::string& rec, size_t o, size_t width) {
  return rec.substr(o + 1, std::min<size_t>(width, static_cast<unsigned char>(rec[o])));
}

struct Line {
  std::string mark;
  double base, tax;
  std::string reduced;
};
Line lineAt(const std::string& sup, int i) {
  const size_t o = kRadky + kRadek * static_cast<size_t>(i - 1);
  return {textAt(sup, o, 3), real48At(sup, o + 4), real48At(sup, o + 10), textAt(sup, o + 16, 5)};
}
void expectLine(const std::string& sup, int i, const std::string& mark, double base, double tax,
                const std::string& reduced = "     ") {
  const Line l = lineAt(sup, i);
  EXPECT_EQ(l.mark, mark) << "line " << i;
  EXPECT_NEAR(l.base, base, 1e-9) << "line " << i;
  EXPECT_NEAR(l.tax, tax, 1e-9) << "line " << i;
  EXPECT_EQ(l.reduced, reduced) << "line " << i;
}

std::string series(const std::string& number, double rate) {
  std::string v(71, '\0');
  v.replace(0, 3, shortString(number, 2));
  v.replace(3, 4, shortString("EUR", 3));
  v.replace(7, 6, real48(rate));
  v[13] = 1;
  v.replace(21, 7, shortString("000000", 6));
  return v;
}

std::string document(int n, const std::string& kind, const std::string& delivery, const std::string& paid,
                     double crowns, double paidCrowns) {
  std::string v(kDoklad, '\0');
  v.replace(kDruh, 2, shortString(kind, 1));
  char ident[6];
  std::snprintf(ident, sizeof ident, "%05d", n);
  v.replace(kIdent, 6, shortString(ident, 5));
  v.replace(kCislo, 61, shortString("FA" + std::to_string(n), 60));
  v.replace(kDatumDod, 7, shortString(delivery, 6));
  v.replace(kDatumZapl, 7, shortString(paid, 6));
  for (size_t o : {kCelkemVal, kPlacenoVal}) v.replace(o, 6, real48(crowns / 25));
  v.replace(kKurz, 6, real48(25));
  v.replace(kCelkemKc, 6, real48(crowns));
  v.replace(kPlacenoKc, 6, real48(paidCrowns));
  v.replace(kDic, 17, shortString("DE123456789", 16));
  v.replace(kAdr1, 31, shortString("Firma " + std::to_string(n), 30));
  return v;
}

std::string supplement(const std::string& key, double total, const std::vector<Line>& lines) {
  std::string v(kDodatek, '\0');
  v.replace(kKlic, 11, shortString(key, 10));
  v.replace(kStat, 6, shortString("DE   ", 5));
  v.replace(kCelkem, 6, real48(total));
  for (size_t i = 0; i < 10; ++i) {
    const size_t o = kRadky + kRadek * i;
    const Line l = i < lines.size() ? lines[i] : Line{"   ", 0, 0, "     "};
    v.replace(o, 4, shortString(l.mark, 3));
    v.replace(o + 4, 6, real48(l.base));
    v.replace(o + 10, 6, real48(l.tax));
    v.replace(o + 16, 6, shortString(l.reduced, 5));
  }
  v.replace(kSDic, 17, shortString("DE123456789     ", 16));
  return v;
}

// A VAT payer (a tax account for the basic rate) with the rates 21 and 12.
void install(const TempDir& dir) {
  dir.write("master.job", stationTable({{"UZIVATEL", "01"}, {"POCITAC", "01"}, {"DAN2", "21"}, {"DAN1", "12"},
                                        {"MENA", "CZK"}}));
  dir.write("data.adr", "data\\\r\n");
  dir.write("prog.adr", "prog\\\r\n");
  std::filesystem::create_directories(dir / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", dir / "prog/dlib");
  std::string firm(582, '\0');
  firm.replace(332, 7, shortString("343021", 6));
  dir.write("data/fmw01.dta", firm);
  dir.write("data/pz_ra.dta", series("01", 25));
}

const std::string kCashDesk = "Enter\nEsc\nEnter\n";
// A new document of `kind` delivered and paid on `delivery`, text "x" without items, `amount`
// EUR at 25 Kč: the form then stands in the paid amount.
std::string entry(const std::string& kind, const std::string& delivery, const std::string& amount) {
  return "F4\ntype " + kind + "\nEnter\nEnter\nEnter\nEsc\ntype " + delivery + "\nEnter\nEnter\ntype x\nEnter\nEsc\nEnter\ntype " +
         amount + "\nEnter\n";
}

TEST(VatSupplementE2E, ReceiptsAndExpendituresOfEachRuleSetGetTheLinesOfTheirChoice) {
  TempDir dir;
  install(dir);
  // 2010: an expenditure at choice 3 of the input lines (proposed); a receipt of 1210 Kč at line
  // 001 (choice 2 of the output lines; the proposal is 1), its form left with Esc. 2008: an
  // expenditure at choice 2 (042, the choice the shared list remembers), a receipt at choice 1 of
  // the zero-rate lines (020) whose lines F6 then builds again by the rules from 2009 (line 001).
  const auto r = runPzpokl(dir, kCashDesk + entry("V", "150110", "40") + "F2\ndump\nEnter\ndump\nF2\nEsc\n" +
                                    entry("P", "150110", "48.40") + "F2\nDown\nEnter\nEsc\nEsc\n" +
                                    entry("V", "150108", "40") + "F2\nEnter\nF2\nEsc\n" +
                                    entry("P", "150108", "40") + "F2\nHome\nEnter\nF6\nDown\nEnter\nF2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string s = dir.read("data/PZA01_.dta");
  ASSERT_EQ(s.size(), 4 * kDodatek) << r.out;
  const std::string v10 = record(s, 1, kDodatek);
  EXPECT_EQ(textAt(v10, kKlic, 10), "0000100001");
  EXPECT_NEAR(real48At(v10, kCelkem), 1000, 1e-9);
  expectLine(v10, 1, "043", 1000, 210);
  expectLine(v10, 2, "044", 0, 0);
  expectLine(v10, 3, "003", 1000, 210);
  expectLine(v10, 4, "004", 0, 0);
  expectLine(v10, 5, "   ", 0, 0);
  // 1210 × 0.1736 = 210.056: tax 210.06, base 999.94.
  expectLine(record(s, 2, kDodatek), 1, "001", 999.94, 210.06);
  // Before 2009 the even choices are those under reduced deduction.
  expectLine(record(s, 3, kDodatek), 1, "042", 1000, 0, "K    ");
  // 1000 × 0.1736 = 173.60.
  expectLine(record(s, 4, kDodatek), 1, "001", 826.40, 173.60);
  expectLine(record(s, 4, kDodatek), 2, "   ", 0, 0);
}

std::string textItem(const std::string& text, const std::string& price, const std::string& rate,
                     const std::string& then = "") {
  return "F4\ntype " + text + "\nEnter\ntype " + price + "\nEnter\ntype " + rate + "\nEnter\n" + then + "F2\n";
}

TEST(VatSupplementE2E, TheItemsGiveTheLinesByTheirMarksAndF5SplitsALineOutsideTheReturn) {
  TempDir dir;
  install(dir);
  // An expenditure of four text items at 21 %: 100 and 10 marked 040, 50 marked 040 under reduced
  // deduction, 200 with its VAT typed as 0 (the mark becomes 044 003).
  const std::string items = textItem("a", "100", "21") + textItem("b", "50", "21", "Enter\ntype 040K\n") +
                            textItem("c", "200", "21", "type 0\nEnter\n") + textItem("d", "10", "21");
  std::string toLine5;
  for (int k = 0; k < 20; ++k) toLine5 += "Enter\n";
  // In the supplement form line 5 becomes 999 with a base of 100, and F5 on its mark splits it.
  const auto r = runPzpokl(dir, kCashDesk + "F4\ntype V\nEnter\nEnter\nEnter\nEsc\ntype 150110\nEnter\nEnter\n"
                                    "type x\nEnter\nEnter\n" + items + "Enter\nF2\ndump\n" + toLine5 +
                                    "type 999\nEnter\ntype 100\nEnter\nUp\nUp\nF5\ndump\nF2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string s = dir.read("data/PZA01_.dta");
  ASSERT_EQ(s.size(), kDodatek) << r.out;
  EXPECT_NEAR(real48At(s, kCelkem), 121 + 60.5 + 200 + 12.1, 1e-9);
  expectLine(s, 1, "040", 110, 23.10);
  expectLine(s, 2, "040", 50, 10.50, "K    ");
  // The item's VAT of 0 is computed for the lines of an expenditure.
  expectLine(s, 3, "044", 200, 42);
  expectLine(s, 4, "003", 200, 42);
  expectLine(s, 5, "   ", 0, 0);
  expectLine(s, 6, "007", 100, 21);
  expectLine(s, 7, "043", 100, 21);
  const std::string d = dir.read("data/PZ01_.dta");
  ASSERT_EQ(d.size(), kDoklad);
  EXPECT_NEAR(real48At(d, kPlacenoKc), 393.6, 1e-9);
}

TEST(VatSupplementE2E, TheCompletionAnsweredEachWayTouchesOnlyEmptySupplementsOfDeliveredReceiptsAndExpenditures) {
  // 1 a receipt of 2007 and 2 an expenditure of 2010, both with empty supplements; 3 a receipt
  // with a corrected supplement; 4 an invoice payment; 5 an expenditure without a delivery date;
  // 6 a receipt delivered before May 2004. The supplement file ends after 4.
  const std::string docs = document(1, "P", "150607", "150607", 1000, 1000) +
                           document(2, "V", "150610", "150610", 800, 800) +
                           document(3, "P", "150610", "150610", 500, 500) +
                           document(4, "O", "150610", "150610", 300, 300) +
                           document(5, "V", "      ", "150610", 200, 200) +
                           document(6, "P", "150303", "150303", 100, 100);
  const std::string corrected = supplement("0000100003", 500, {{"001", 413.22, 86.78, "     "}});
  const std::string o = supplement("0000100004", 0, {{"999", 7, 0, "     "}});
  const std::string before = std::string(kDodatek, '\0') + std::string(kDodatek, '\0') + corrected + o;
  const auto complete = [&](const std::string& answers) {
    TempDir dir;
    install(dir);
    dir.write("data/PZ01_.dta", docs);
    dir.write("data/PZA01_.dta", before);
    const auto r = runPzpokl(dir, kCashDesk + "Ctrl+F6\n" + answers + "Esc\nEsc\nEsc\n");
    EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
    return std::make_pair(r.out, dir.read("data/PZA01_.dta"));
  };
  // Declined at the second question, whatever the first: nothing is deleted.
  EXPECT_EQ(complete("type N\ntype N\n").second, before);
  EXPECT_EQ(complete("type A\ntype N\n").second, before);

  auto [out, s] = complete("type N\ntype A\ndump\nEnter\n");
  EXPECT_NE(out.find("Doplnění provedeno.Proveďte si optickou kontrolu"), std::string::npos) << out;
  ASSERT_EQ(s.size(), 6 * kDodatek);
  const std::string r1 = record(s, 1, kDodatek), r2 = record(s, 2, kDodatek);
  EXPECT_EQ(textAt(r1, kKlic, 10), "0000100001");
  EXPECT_NEAR(real48At(r1, kCelkem), 1000, 1e-9);
  EXPECT_EQ(textAt(r1, kSDic, 16), "DE123456789     ");
  EXPECT_EQ(textAt(r1, kStat, 5), "DE   ");
  expectLine(r1, 1, "410", 1000, 0);
  expectLine(r1, 2, "   ", 0, 0);
  expectLine(r2, 1, "044", 800, 0);
  expectLine(r2, 2, "003", 800, 0);
  EXPECT_EQ(record(s, 3, kDodatek), corrected);
  EXPECT_EQ(record(s, 4, kDodatek), o);
  EXPECT_EQ(record(s, 5, kDodatek), std::string(kDodatek, '\0'));
  EXPECT_EQ(record(s, 6, kDodatek), std::string(kDodatek, '\0'));

  // With the old file deleted the corrected supplement is filled anew, the payment's is blank.
  std::tie(out, s) = complete("type A\ntype A\nEnter\n");
  ASSERT_EQ(s.size(), 6 * kDodatek) << out;
  EXPECT_EQ(record(s, 1, kDodatek), r1);
  expectLine(record(s, 3, kDodatek), 1, "020", 500, 0);
  EXPECT_EQ(record(s, 4, kDodatek), std::string(kDodatek, '\0'));
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

TEST(VatSupplementE2E, TheListingOfAPeriodSumsTheLinesIntoTheirColumnsAndSaysWhereASupplementDisagrees) {
  TempDir dir;
  install(dir);
  // 1 delivered in January with lines of the standard (210), the reduced (215) and the zero rate
  // (410); 2 an expenditure whose supplement is 100 short; 3 paid in January, delivered in February.
  dir.write("data/PZ01_.dta", document(1, "P", "150110", "150110", 1370, 1370) +
                                  document(2, "V", "200110", "200110", 500, 500) +
                                  document(3, "P", "150210", "150110", 90, 90));
  dir.write("data/PZA01_.dta", supplement("0000100001", 1370, {{"210", 1000, 210, "     "}, {"215", 100, 10, "     "},
                                                               {"410", 50, 0, "     "}}) +
                                   supplement("0000100002", 400, {{"040", 400, 0, "     "}}) +
                                   supplement("0000100003", 90, {{"410", 90, 0, "     "}}));
  const std::string clear = "End\nBackspace Backspace Backspace Backspace Backspace Backspace\n";
  const std::string period = clear + "type 010110\nDown\n" + clear + "type 310110\nEnter\n";
  const auto all = runPzpokl(dir, kCashDesk + "Ctrl+A\n" + period + "Enter\ndump\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(all.exitCode, 0) << all.err << all.out;
  const auto lines = reportLines(dir.read("PZ_DPH.TXT"));
  ASSERT_EQ(lines.size(), 7u + 4 + 3) << dir.read("PZ_DPH.TXT");
  EXPECT_EQ(lines[2], "OBDOB\xCD: 01.01.2010 - 31.01.2010  ( Vyj\xE1" "d\xF8" "eno v CZK )");
  // Amounts of 0 show as their picture shows them: blank.
  const std::string zero(11, ' ');
  EXPECT_EQ(lines[7], "     150110 0100001 FA1        Firma 1                        " + zero + zero + zero + zero + zero +
                          "     1370.00");
  EXPECT_EQ(lines[8], std::string(56, ' ') + "210: " + zero + zero + zero + "    1000.00     210.00");
  EXPECT_EQ(lines[9], std::string(56, ' ') + "215: " + zero + "     100.00      10.00");
  EXPECT_EQ(lines[10], std::string(56, ' ') + "410:       50.00");
  EXPECT_EQ(lines[12], std::string(56, ' ') + "040:      400.00");
  EXPECT_EQ(lines[13], std::string(46, ' ') + "POZOR ROZD\xCDL CELKEM:      100.00 CZK");
  // Only the differences: the second document alone.
  const auto diff = runPzpokl(dir, kCashDesk + "Ctrl+A\n" + period + "Down\nEnter\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(diff.exitCode, 0) << diff.err << diff.out;
  const auto d = reportLines(dir.read("PZ_DPH.TXT"));
  ASSERT_EQ(d.size(), 7u + 3) << dir.read("PZ_DPH.TXT");
  EXPECT_NE(d[7].find("0100002 FA2"), std::string::npos) << d[7];
}

TEST(VatSupplementE2E, AnEditedDocumentsItemsRefillItsSupplementAndMarksBeyondTenLinesAreSaid) {
  TempDir dir;
  install(dir);
  dir.write("data/PZ01_.dta", document(1, "P", "150110", "150110", 133.1, 133.1));
  // The document was saved with eleven text items of 10.00 at 21 %, each of its own VAT line.
  std::string block(16, '\0');
  block[0] = 1;
  block[4] = 'T';
  block[6] = 11;
  for (int k = 1; k <= 11; ++k) {
    std::string item(113, '\0');
    item.replace(0, 74, shortString("i", 73));
    item.replace(74, 6, real48(10));
    item.replace(80, 6, real48(21));
    item.replace(86, 6, real48(2.1));
    item.replace(92, 9, shortString(std::to_string(300 + k) + "     ", 8));
    block += item;
  }
  dir.write("data/PZ01_.pol", block);
  const auto r = runPzpokl(dir, kCashDesk + "Space\nF2\ndump\nEnter\nF2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Dodatek k DPH nemá volný řádek, částky řádků 311 se nevešly"), std::string::npos) << r.out;
  const std::string s = dir.read("data/PZA01_.dta");
  ASSERT_EQ(s.size(), kDodatek) << r.out;
  for (int i = 1; i <= 10; ++i) expectLine(s, i, std::to_string(300 + i), 10, 2.1);
  EXPECT_NEAR(real48At(s, kCelkem), 133.1, 1e-9);
}

}  // namespace
}  // namespace pz::test
