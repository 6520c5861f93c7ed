// An invoice entered in its register window from the main window and paid from the cash desk in
// two expenditures: the document filled from the invoice, the partial payment asked about, the
// invoice and its payment file as stored, and a later edit of a paying document that pays nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/run.h"
#include "support/recordbytes.h"
#include "support/stationtable.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

constexpr size_t kDoklad = 337, kFaktura = 300, kVelikostPlatby = 84;
constexpr size_t kCislo = 8, kText = 85, kPlacenoVal = 142, kPlacenoKc = 160;

std::string textAt(const std::string& rec, size_t o, size_t width) {
  std::string t = rec.substr(o + 1, std::min<size_t>(width, static_cast<unsigned char>(rec[o])));
  return t.substr(0, t.find_last_not_of(' ') + 1);
}

void install(const TempDir& dir) {
  dir.write("master.job", stationTable({{"UZIVATEL", "01"}, {"POCITAC", "01"}, {"DAN2", "21"}}));
  dir.write("data.adr", "data\\\r\n");
  dir.write("prog.adr", "prog\\\r\n");
  std::filesystem::create_directories(dir / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", dir / "prog/dlib");
  // A EUR desk at 25 with 5 000.00 EUR; one series of received invoices in crowns.
  std::string s(71, '\0');
  s.replace(0, 3, shortString("01", 2));
  s.replace(3, 4, shortString("EUR", 3));
  s.replace(7, 6, real48(25));
  s[13] = 1;
  s.replace(15, 6, real48(5000));
  s.replace(21, 7, shortString("000000", 6));
  s.replace(28, 6, real48(5000));
  dir.write("data/pz_ra.dta", s);
  std::string r(48, '\0');
  r.replace(0, 5, shortString("S1", 4));
  dir.write("data/RADYDF.dta", r);
}

// From the cash desk's series list to the form of a new expenditure paying the first invoice of
// the series at the series rate; the form then stands on the payment date.
const std::string kPlatba = "Enter\nEsc\nEnter\nF4\ntype D\nEnter\nEnter\nEnter\nEnter\n";

TEST(InvoicePaymentE2E, AnInvoiceEnteredInItsWindowIsPaidFromTheCashDeskInTwoParts) {
  TempDir dir;
  install(dir);
  // The accounting menu's invoices, received in crowns, series S1: one invoice of 30 000.00.
  auto r = runPzpokl(dir,
                     "Tab\nEnter\nDown\nDown\nDown\nEnter\nDown\nDown\nEnter\nEnter\n"
                     "F4\ntype FP-88\nDown\ntype 12\nDown\nDown\nDown\ntype 30000\n"
                     "Down\nDown\nDown\nDown\nDown\nDown\nDown\ntype 321000\nF2\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  ASSERT_EQ(dir.read("data/DFDS1.dta").size(), kFaktura) << r.out;

  // 400 EUR of the 1 200 the form proposes; not the last payment.
  r = runPzpokl(dir, kPlatba + "Enter\nEnter\nEnter\ntype 400\nEnter\nF2\ndump\nEnter\nEnter\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("20000.00 CZK"), std::string::npos) << r.out;
  // Its voucher: an expenditure with the invoice's rate and the invoice's total.
  const std::string v = dir.read("pz01a.TXT");
  EXPECT_NE(v.find("V\xDD" "DAJOV\xDD  ***                   \xC8\xEDslo : 0100001"), std::string::npos) << v;
  EXPECT_NE(v.find("\r\n" + std::string(40, ' ') + "25.0000000CZK/1EUR "), std::string::npos) << v;
  EXPECT_NE(v.find("******     C e l k e m    z a    d o d \xE1 v k u : 30 000.00 CZK "), std::string::npos) << v;
  EXPECT_NE(v.find("P\xF8ijal :                            Vydal : "), std::string::npos) << v;
  std::string pz = dir.read("data/PZ01_.dta");
  ASSERT_EQ(pz.size(), kDoklad) << r.out;
  EXPECT_EQ(textAt(pz, kCislo, 60), "S1  0001");
  EXPECT_EQ(textAt(pz, kText, 50), "\xDAhr.DF \xE8.S1FP-88,VS:, 25.0000000K\xE8/1EUR");
  EXPECT_EQ(real48At(pz, kPlacenoVal), 400.0);
  EXPECT_EQ(real48At(pz, kPlacenoKc), 10000.0);
  std::string f = dir.read("data/DFDS1.dta");
  EXPECT_EQ(real48At(f, 58), 10000.0);                        // paid in crowns
  EXPECT_EQ(f.substr(45, 7), shortString("091226", 6));       // paid on
  EXPECT_EQ(f.substr(88, 2), shortString("C", 1));            // partly paid
  EXPECT_EQ(f.substr(92, 2), shortString("P", 1));            // in cash
  const std::string platba1 = dir.read("data/DFUS1.dta");
  ASSERT_EQ(platba1.size(), kVelikostPlatby) << r.out;
  EXPECT_EQ(platba1.substr(0, 31), shortString("  S1  0001", 10) + shortString("091226", 6) + shortString("   0100001", 12));
  EXPECT_EQ(real48At(platba1, 31), 10000.0);
  EXPECT_EQ(platba1.substr(37, 4), shortString("K\xE8 ", 3));
  EXPECT_EQ(real48At(platba1, 41), 1.0);
  EXPECT_EQ(real48At(platba1, 47), 400.0);
  EXPECT_EQ(platba1.substr(53, 4), shortString("EUR", 3));
  EXPECT_EQ(real48At(platba1, 57), 25.0);
  EXPECT_EQ(platba1.substr(63, 6), shortString("POKL.", 5));

  // The rest, as proposed: the invoice is settled without a question.
  r = runPzpokl(dir, kPlatba + "F2\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(r.out.find("Je to u"), std::string::npos) << r.out;
  pz = dir.read("data/PZ01_.dta");
  ASSERT_EQ(pz.size(), 2 * kDoklad) << r.out;
  EXPECT_EQ(real48At(record(pz, 2, kDoklad), kPlacenoKc), 20000.0);
  f = dir.read("data/DFDS1.dta");
  EXPECT_EQ(real48At(f, 58), 30000.0);
  EXPECT_EQ(f.substr(88, 2), shortString("U", 1));
  ASSERT_EQ(dir.read("data/DFUS1.dta").size(), 2 * kVelikostPlatby);
  EXPECT_EQ(real48At(record(dir.read("data/DFUS1.dta"), 2, kVelikostPlatby), 31), 20000.0);

  // The first document edited (its text): the invoice and its payments stay as they are; the
  // settled invoice cannot be chosen again.
  const std::string fakturaPred = dir.read("data/DFDS1.dta"), platbyPred = dir.read("data/DFUS1.dta");
  r = runPzpokl(dir, "Enter\nEsc\nEnter\nUp\nSpace\nDown\ntype X\ndump\nF2\nEsc\n"
                     "F4\ntype D\nEnter\nEnter\nEnter\ndump\nEnter\nEsc\nEsc\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(dir.read("data/PZ01_.dta").size(), 2 * kDoklad) << r.out;
  EXPECT_EQ(textAt(dir.read("data/PZ01_.dta"), kCislo, 60), "X") << r.out;
  EXPECT_NE(r.out.find("Vybraná faktura má již identifikaci, že byla uhrazena."), std::string::npos)
      << r.out;
  EXPECT_EQ(dir.read("data/DFDS1.dta"), fakturaPred);
  EXPECT_EQ(dir.read("data/DFUS1.dta"), platbyPred);
}

}  // namespace
}  // namespace pz::test
