// An invoice entered in its register window from the main window and paid from the cash desk in
// two expenditures: the document filled from the invoice, the partial payment asked about, the
// invoice and its payment file as stored, and a later edit of a paying document that pays nothing.
// In a posted series: the receivable or payable entry, the exchange difference and the rounding
// of the last payment, each document balancing; two stations paying one invoice at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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

// ---- Paid in a posted series (cash account 211001, counter PZUP at 000123/05).

std::string deskSeries(const std::string& number, const std::string& currency, double rate, int units) {
  std::string s(71, '\0');
  s.replace(0, 3, shortString(number, 2));
  s.replace(3, 4, shortString(currency, 3));
  s.replace(7, 6, real48(rate));
  s[13] = static_cast<char>(units);
  s.replace(15, 6, real48(5000));
  s.replace(21, 7, shortString("211001", 6));
  s.replace(28, 6, real48(5000));
  return s;
}
std::string invoiceSeries(const std::string& code, const std::string& first = "") {
  std::string r(48, '\0');
  r.replace(0, 5, shortString(code, 4));
  r.replace(36, 11, shortString(first, 10));
  return r;
}
// An invoice of partner 12 delivered 01.12.26, nothing paid; a foreign one with its currency,
// rate for `units` and total in the currency.
std::string invoice(const std::string& number, double totalKc, const std::string& account, const std::string& currency = "",
                    double rate = 0, int units = 0, double totalVal = 0) {
  std::string f(kFaktura, '\0');
  f.replace(0, 11, shortString(number, 10));
  f[22] = 12;
  f.replace(31, 7, shortString("011226", 6));
  f.replace(52, 6, real48(totalKc));
  f.replace(64, 4, shortString(currency, 3));
  f.replace(68, 6, real48(rate));
  f[74] = static_cast<char>(units & 0xff);
  f[75] = static_cast<char>(units >> 8);
  f.replace(76, 6, real48(totalVal));
  f.replace(94, 7, shortString(account, 6));
  f.replace(133, 31, shortString("Alfa s.r.o.", 30));
  return f;
}
void station(const TempDir& dir, const std::string& number, const std::string& data, const std::string& prog) {
  dir.write("master.job", stationTable({{"UZIVATEL", number}, {"POCITAC", number}, {"DAN2", "21"}}));
  dir.write("data.adr", data + "\r\n");
  dir.write("prog.adr", prog + "\r\n");
}
void installPosted(const TempDir& root, const std::string& desks) {
  std::filesystem::create_directories(root / "data");
  std::filesystem::create_directories(root / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", root / "prog/dlib");
  root.write("data/pz_ra.dta", desks);
  std::string chart;
  for (const char* a : {"211001", "311000", "321000", "563000", "648000", "663000"}) {
    std::string v(79, '\0');
    v.replace(0, 7, shortString(a, 6));
    chart += v;
  }
  root.write("data/CI10.DTA", chart);
  root.write("data/master.job", stationTable({{"PZUP01", "00012305"}, {"PZUP02", "00020005"}}));
  station(root, "01", "data\\", "prog\\");
}

struct Entry {
  std::string line, md, dal, ref;
  long long amount = 0;
};
std::vector<Entry> batch(const TempDir& root) {
  const std::string b = root.read("data/PZUC.dta");
  std::vector<Entry> r;
  for (size_t o = 0; o + 138 <= b.size(); o += 138) {
    const std::string e = b.substr(o, 138);
    Entry x{textAt(e, 3, 6) + "/" + textAt(e, 10, 2), textAt(e, 44, 6), textAt(e, 78, 6), textAt(e, 127, 10)};
    std::memcpy(&x.amount, e.data() + 112, 8);
    r.push_back(x);
  }
  return r;
}
// Debit less credit of the entries [from, to).
long long balance(const std::vector<Entry>& e, size_t from, size_t to) {
  long long d = 0;
  for (size_t i = from; i < to && i < e.size(); ++i)
    d += (e[i].md != "000000" ? e[i].amount : 0) - (e[i].dal != "000000" ? e[i].amount : 0);
  return d;
}
std::string show(const std::vector<Entry>& e) {
  std::string s;
  for (const Entry& x : e) s += x.line + " " + x.md + " " + x.dal + " " + std::to_string(x.amount) + " " + x.ref + "\n";
  return s;
}

constexpr long long K = 10000;
constexpr const char* kPostIt = "Esc\ntype a\nEsc\n";  // the entries window left, "Zapsat do účetnictví?" yes, the voucher seen

TEST(InvoicePaymentE2E, AnIssuedInvoiceInCrownsPaidInTwoPartsIsPostedOnItsReceivableAndAnEditPaysNothingAgain) {
  TempDir root;
  installPosted(root, deskSeries("01", "EUR", 25, 1));
  root.write("data/RADYOF.dta", invoiceSeries("A1", "20260001"));
  root.write("data/OFA1.dta", invoice("20260001", 24999.95, "311000"));
  // 400 EUR of the 1 000 proposed (not the last payment), then the rest as proposed (1 000 EUR
  // less 400 is 15 000.00 Kč for the 14 999.95 left), then the first document edited and posted
  // again.
  const std::string pay = "F4\ntype O\nEnter\nEnter\nEnter\nEnter\n";
  const auto r = runPzpokl(root, "Enter\nEsc\nEnter\n" + pay + "Enter\nEnter\nEnter\ntype 400\nEnter\nF2\nEnter\nEnter\n" +
                                     "Enter\n" + kPostIt + pay + "F2\n" + kPostIt + "Up\nSpace\nDown\ntype X\nF2\ntype a\n" +
                                     kPostIt + "Esc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  // Looking at the empty foreign register created nothing.
  EXPECT_FALSE(std::filesystem::exists(root / "data/RADYZF.dta"));
  const std::string f = root.read("data/OFA1.dta");
  EXPECT_EQ(real48At(f, 58), 25000.0);
  EXPECT_EQ(f.substr(88, 2), shortString("Z", 1));
  EXPECT_EQ(root.read("data/OfUA1.dta").size(), 2 * kVelikostPlatby);

  const auto e = batch(root);
  ASSERT_EQ(e.size(), 7u) << show(e);
  // The partial payment: its crowns on the receivable.
  EXPECT_EQ(e[0].line + e[0].md + e[1].dal, "000123/06211001311000");
  EXPECT_EQ(e[0].amount, 10000 * K);
  EXPECT_EQ(e[1].amount, 10000 * K);
  EXPECT_EQ(e[1].ref, "0020260001");
  EXPECT_EQ(balance(e, 0, 2), 0);
  // The last payment: the receivable settles the rest of the invoice, 648000 the 0.05 paid over.
  EXPECT_EQ(e[2].amount, 15000 * K);
  EXPECT_EQ(e[3].dal + std::to_string(e[3].amount), "311000" + std::to_string(1499995 * 100));
  EXPECT_EQ(e[4].dal + std::to_string(e[4].amount), "648000" + std::to_string(5 * 100));
  EXPECT_EQ(balance(e, 2, 5), 0);
  // The edit paid nothing (the invoice and its payments as after the second payment); posted
  // again, the document's crowns go to the receivable this window last paid.
  EXPECT_EQ(e[5].md + e[6].dal + e[6].ref, "211001311000000000000X");
  EXPECT_EQ(balance(e, 5, 7), 0);
}

TEST(InvoicePaymentE2E, AForeignInvoicePaidAtAnotherRateTypedPer100UnitsPostsItsExchangeLossAndNoRounding) {
  TempDir root;
  installPosted(root, deskSeries("01", "HUF", 7.4, 100));
  root.write("data/RADYZF.dta", invoiceSeries("H1", "20260001"));
  // 100 000 HUF invoiced at 7.50 per 100 (7 500.00 Kč), paid at 7.30 typed per 100 over the
  // offered rate (which the first character typed replaces).
  root.write("data/ZFH1.dta", invoice("20260001", 7500, "311000", "HUF", 7.5, 100, 100000));
  const auto r = runPzpokl(root, std::string("Enter\nEsc\nEnter\nF4\ntype O\nEnter\nEnter\nEnter\n")
                                 + "type 7.3\nEnter\nF2\nEnter\n" + kPostIt + "Esc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string pz = root.read("data/PZ01_.dta");
  ASSERT_EQ(pz.size(), kDoklad) << r.out;
  EXPECT_EQ(real48At(pz, kPlacenoKc), 7300.0);
  EXPECT_EQ(textAt(pz, kText, 50), "Platba ZF \xE8.20260001, pu\x9Eit\xFD kurz:  0.0730000 K\xE8/1");
  const std::string f = root.read("data/ZFH1.dta");
  EXPECT_EQ(real48At(f, 82), 100000.0);  // paid in the currency
  EXPECT_EQ(f.substr(88, 2), shortString("Z", 1));
  // The receivable at the invoice's rate, the 200.00 Kč lost on 563000, nothing on 648000.
  const auto e = batch(root);
  ASSERT_EQ(e.size(), 3u) << show(e);
  EXPECT_EQ(e[0].md + std::to_string(e[0].amount), "211001" + std::to_string(7300 * K));
  EXPECT_EQ(e[1].dal + std::to_string(e[1].amount), "311000" + std::to_string(7500 * K));
  EXPECT_EQ(e[2].md + std::to_string(e[2].amount), "563000" + std::to_string(200 * K));
  EXPECT_EQ(balance(e, 0, 3), 0);
}

// Two cash desks (series 01 and 02, one process each) pay one received invoice at once: each
// chose it unpaid, both save in the same moment; the second commit books on what the first stored.
TEST(InvoicePaymentE2E, TwoStationsPayingOneInvoiceAtOnceBookBothPayments) {
  TempDir root;
  installPosted(root, deskSeries("01", "EUR", 25, 1) + deskSeries("02", "EUR", 25, 1));
  root.write("data/RADYDF.dta", invoiceSeries("S1"));
  root.write("data/DFDS1.dta", invoice("FP-88", 30000, "321000"));
  const std::string flag = root.str() + "/";
  // The wait windows of locks the other station holds retry in real time.
  const auto script = [&](const std::string& series, const std::string& eur, const std::string& me,
                          const std::string& other) {
    return "waits real\nEnter\nEsc\n" + series + "Enter\nF4\ntype D\nEnter\nEnter\nEnter\nEnter\nEnter\nEnter\nEnter\ntype " +
           eur + "\nEnter\nF2\nEnter\nEnter\nEnter\nEsc\nrun touch '" + flag + me + "'\nrun while [ ! -f '" + flag + other +
           "' ]; do sleep 0.01; done\ntype a\nEsc\nEsc\nEsc\nEsc\n";
  };
  const auto [ra, rb] = runTwoStations(root, script("", "400", "a", "b"), script("Down\n", "300", "b", "a"));
  ASSERT_EQ(ra.exitCode, 0) << ra.err << ra.out;
  ASSERT_EQ(rb.exitCode, 0) << rb.err << rb.out;
  // Both payments are in the invoice and in its payment file.
  const std::string f = root.read("data/DFDS1.dta");
  EXPECT_EQ(real48At(f, 58), 17500.0);
  EXPECT_EQ(f.substr(88, 2), shortString("C", 1));
  const std::string payments = root.read("data/DFUS1.dta");
  ASSERT_EQ(payments.size(), 2 * kVelikostPlatby);
  std::vector<std::string> by;
  for (int n = 1; n <= 2; ++n) by.push_back(textAt(record(payments, n, kVelikostPlatby), 18, 12) + "=" +
                                            std::to_string(real48At(record(payments, n, kVelikostPlatby), 31)));
  std::sort(by.begin(), by.end());
  EXPECT_EQ(by, (std::vector<std::string>{"   0100001=10000.000000", "   0200001=7500.000000"}));
  // Each document's entries (cash and payable) balance in its own voucher number.
  const auto e = batch(root);
  ASSERT_EQ(e.size(), 4u) << show(e);
  EXPECT_EQ(balance(e, 0, 2), 0) << show(e);
  EXPECT_EQ(balance(e, 2, 4), 0) << show(e);
}

}  // namespace
}  // namespace pz::test
