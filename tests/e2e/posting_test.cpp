// Documents saved through the real program in a posted series: the voucher number asked once,
// the entries in the cash desk's batch byte for byte, the listing after the voucher, and two
// stations posting one series one document after the other.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
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
  return b;
}
double fromReal48(const std::string& b) {
  const auto e = static_cast<unsigned char>(b[0]);
  if (e == 0) return 0;
  unsigned long long f = 0;
  for (int i = 5; i >= 1; --i) f = (f << 8) | static_cast<unsigned char>(b[static_cast<size_t>(i)]);
  const bool neg = f & (1ULL << 39);
  f &= (1ULL << 39) - 1;
  const double v = std::ldexp(1.0 + static_cast<double>(f) / 549755813888.0, e - 129);
  return neg ? -v : v;
}
std::string ss(const std::string& text, size_t width) {
  std::string s(width + 1, '\0');
  s[0] = static_cast<char>(text.size());
  s.replace(1, text.size(), text);
  return s;
}
std::string text(const std::string& rec, size_t o, size_t width) {
  return rec.substr(o + 1, std::min<size_t>(width, static_cast<unsigned char>(rec[o])));
}

std::string series(const std::string& number, double rate, const std::string& cash = "211001") {
  std::string v(71, '\0');
  v.replace(0, 3, ss(number, 2));
  v.replace(3, 4, ss("EUR", 3));
  v.replace(7, 6, real48(rate));
  v[13] = 1;
  v.replace(21, 7, ss(cash, 6));
  return v;
}
std::string account(const std::string& number, const std::string& name) {
  std::string v(79, '\0');
  v.replace(0, 7, ss(number, 6));
  v.replace(7, 31, ss(name, 30));
  return v;
}

// An entry of the batch as its 138 bytes would be written.
std::string entry(const std::string& up, const std::string& line, const std::string& md, const std::string& dal,
                  long long amount, const std::string& jobDal) {
  std::string v(138, '\0');
  v.replace(0, 3, ss("PZ", 2));
  v.replace(3, 7, ss(up, 6));
  v.replace(10, 3, ss(line, 2));
  v.replace(13, 31, ss("Zaloha" + std::string(24, ' '), 30));
  v.replace(44, 7, ss(md, 6));
  v.replace(51, 6, ss("00000", 5));
  v.replace(57, 21, ss(std::string(20, ' '), 20));
  v.replace(78, 7, ss(dal, 6));
  v.replace(85, 6, ss("00000", 5));
  v.replace(91, 21, ss(jobDal, 20));
  std::memcpy(v.data() + 112, &amount, 8);
  v.replace(120, 7, ss("091226", 6));
  v.replace(127, 11, ss("0000100001", 10));
  return v;
}

void install(const TempDir& dir, const std::string& station, const std::string& data, const std::string& prog) {
  dir.write("master.job", stationTable({{"UZIVATEL", station}, {"POCITAC", station}, {"DAN2", "21"}}));
  dir.write("data.adr", data + "\r\n");
  dir.write("prog.adr", prog + "\r\n");
}
void installData(const TempDir& root, const std::string& counter) {
  std::filesystem::create_directories(root / "data");
  std::filesystem::create_directories(root / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", root / "prog/dlib");
  root.write("data/pz_ra.dta", series("01", 25));
  root.write("data/CI10.DTA", account("211001", "Pokladna EUR") + account("518000", "Sluzby") +
                                  account("602000", "Trzby") + account("648000", "Zaokrouhleni"));
  root.write("data/master.job", stationTable({{"PZUP01", counter}}));
}

// A new document without a partner: kind, no delivery date, the text, the amount in the currency.
std::string document(const std::string& kind, const std::string& amount, const std::string& txt = "Zaloha") {
  return "F4\ntype " + kind + "\nEnter\nEnter\nEnter\nEsc\nEnter\nEnter\ntype " + txt + "\nEnter\nEsc\nEnter\ntype " +
         amount + "\nEnter\n";
}
// The review left with Esc and "Zapsat do účetnictví?" answered yes.
constexpr const char* kConfirm = "Esc\ntype a\n";
constexpr const char* kCashDesk = "Enter\nEsc\nEnter\n";

size_t count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

TEST(PostingE2E, AReceiptIsPostedAfterTheStoredCounterAndAZeroDocumentPostsNothing) {
  TempDir root;
  installData(root, "00012305");
  install(root, "01", "data\\", "prog\\");
  // The first receipt asks for the voucher number (proposed after the stored counter); the
  // second goes on without asking; a document of 0 EUR is saved without any posting.
  const auto r = runPzpokl(root, std::string(kCashDesk) + document("P", "100") + "F2\ndump\nEnter\n" + kConfirm +
                                     "Esc\n" + document("P", "0") + "F2\nEsc\ndump\n" + document("V", "4", "Vyplata") +
                                     "F2\n" + kConfirm + "Esc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const size_t dialog = r.out.find("=== TfDotazy \" ČÍSLO ÚČETNÍHO PŘEDPISU \"");
  ASSERT_NE(dialog, std::string::npos) << r.out;
  EXPECT_NE(r.out.find("číslo UP   :   000123", dialog), std::string::npos) << r.out.substr(dialog, 200);
  EXPECT_NE(r.out.find("číslo řádku :  06", dialog), std::string::npos) << r.out.substr(dialog, 200);
  EXPECT_EQ(count(r.out, "ČÍSLO ÚČETNÍHO PŘEDPISU"), 1u);

  const std::string batch = root.read("data/PZUC.dta");
  ASSERT_EQ(batch.size(), 4 * 138u) << r.out;
  EXPECT_EQ(batch.substr(0, 276), entry("000123", "06", "211001", "000000", 25000000, std::string(20, ' ')) +
                                      entry("000123", "07", "000000", "602000", 25000000, "00000" + std::string(15, ' ')));
  // The expenditure (document 3) follows on lines 08 and 09: cash on the credit side, 518000 debit.
  const std::string v1 = batch.substr(276, 138), v2 = batch.substr(414, 138);
  EXPECT_EQ(text(v1, 3, 6) + text(v1, 10, 2) + text(v1, 78, 6), "00012308211001");
  EXPECT_EQ(text(v2, 3, 6) + text(v2, 10, 2) + text(v2, 44, 6), "00012309518000");
  EXPECT_EQ(text(v2, 127, 10), "0000100003");
  EXPECT_NE(root.read("data/master.job").find(ss("PZUP01", 8) + ss("00012309", 8)), std::string::npos);

  // Posted documents carry the mark; the one of 0 Kč does not.
  const std::string docs = root.read("data/PZ01_.dta");
  ASSERT_EQ(docs.size(), 3 * 337u);
  EXPECT_EQ(text(docs, 166, 3).substr(0, 1), "U");
  EXPECT_NE(text(docs.substr(337), 166, 3).substr(0, 1), "U");
  EXPECT_EQ(text(docs.substr(674), 166, 3).substr(0, 1), "U");
  // The listing follows each posted voucher in the series' archive of vouchers with listings.
  const std::string archive = root.read("data/pzar01K.txt");
  EXPECT_EQ(count(archive, "000123/07 Zaloha"), 1u) << archive;
  EXPECT_EQ(count(archive, "000123/09 Vyplata"), 1u) << archive;
  EXPECT_EQ(count(archive, "\xFA\xE8tovac\xED p\xF8" "edpis"), 2u);
  EXPECT_EQ(count(root.read("data/pzkontar.txt"), "000123/0"), 4u);
}

// An expenditure of 100.00 EUR at a rate of 1 of which 99.99 is paid: the cash entry of the paid
// crowns, the expense of the whole, and the haléř between them on 648000 on the side that
// balances the voucher.
TEST(PostingE2E, AnExpenditurePaidAHalerLessIsBalancedByItsRoundingEntry) {
  TempDir root;
  installData(root, "00012305");
  root.write("data/pz_ra.dta", series("01", 1));
  install(root, "01", "data\\", "prog\\");
  const std::string clear = "End\nBackspace Backspace Backspace Backspace Backspace Backspace Backspace\n";
  const auto r = runPzpokl(root, std::string(kCashDesk) + document("V", "100") + clear + "type 99.99\nEnter\ndump\n" +
                                     "F2\nEnter\n" + kConfirm + "Esc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string batch = root.read("data/PZUC.dta");
  ASSERT_EQ(batch.size(), 3 * 138u) << r.out;
  EXPECT_EQ(batch.substr(0, 138), entry("000123", "06", "000000", "211001", 999900, std::string(20, ' ')));
  EXPECT_EQ(text(batch, 138 + 44, 6), "518000");
  EXPECT_EQ(text(batch, 276 + 78, 6), "648000");
  long long md = 0, dal = 0;
  for (size_t o = 0; o < batch.size(); o += 138) {
    long long amount = 0;
    std::memcpy(&amount, batch.data() + o + 112, 8);
    if (text(batch, o + 44, 6) != "000000") md += amount;
    if (text(batch, o + 78, 6) != "000000") dal += amount;
    if (o == 276) {
      EXPECT_EQ(amount, 100);  // 0.01 Kč
    }
  }
  EXPECT_EQ(md, 1000000);
  EXPECT_EQ(dal, md);
}

TEST(PostingE2E, TwoStationsPostingOneSeriesInTurnNeverShareALineAndLoseNoEntry) {
  TempDir root;
  installData(root, "00050090");
  const std::string flag = root.str() + "/";
  const auto waitFor = [&](const std::string& name) {
    return "run while [ ! -f '" + flag + name + "' ]; do sleep 0.02; done\n";
  };
  const auto touch = [&](const std::string& name) { return "run touch '" + flag + name + "'\n"; };
  // Both windows are open (one after the other) before either saves; then they save in turn, each after the other's
  // document is stored. Each asked for the voucher number at its first document only.
  constexpr int kEach = 20;
  std::string a = std::string(kCashDesk) + touch("a-open") + waitFor("b-open");
  std::string b = waitFor("a-open") + kCashDesk + touch("b-open");
  for (int i = 0; i < kEach; ++i) {
    const std::string n = std::to_string(i);
    const std::string amount = std::to_string(i + 1);
    if (i > 0) a += waitFor("b" + std::to_string(i - 1));
    a += document(i % 3 == 2 ? "V" : "P", amount) + "F2\n" + (i == 0 ? "Enter\n" : "") + kConfirm + "Esc\n" + touch("a" + n);
    b += waitFor("a" + n) + document("P", amount + ".5") + "F2\n" + (i == 0 ? "Enter\n" : "") + kConfirm + "Esc\n" + touch("b" + n);
  }
  a += waitFor("b" + std::to_string(kEach - 1)) + "Esc\nEsc\nEsc\n";
  b += "Esc\nEsc\nEsc\n";
  const auto [ra, rb] = runTwoStations(root, a, b);
  ASSERT_EQ(ra.exitCode, 0) << ra.err << ra.out.substr(ra.out.size() > 4000 ? ra.out.size() - 4000 : 0);
  ASSERT_EQ(rb.exitCode, 0) << rb.err << rb.out.substr(rb.out.size() > 4000 ? rb.out.size() - 4000 : 0);
  EXPECT_EQ(count(ra.out + rb.out, "Nazapome"), 0u);

  const std::string docs = root.read("data/PZ01_.dta");
  ASSERT_EQ(docs.size(), 2 * kEach * 337u) << ra.out.substr(0, 6000);
  const std::string batch = root.read("data/PZUC.dta");
  ASSERT_EQ(batch.size(), 2 * 2 * kEach * 138u);
  std::set<std::string> pairs;
  std::map<std::string, long long> perUp;
  std::map<std::string, std::string> upOfDocument;
  long long cashDebit = 0, cashCredit = 0;
  for (size_t o = 0; o < batch.size(); o += 138) {
    const std::string e = batch.substr(o, 138);
    const std::string up = text(e, 3, 6), line = text(e, 10, 2), ref = text(e, 127, 10);
    EXPECT_TRUE(pairs.insert(up + line).second) << "twice: " << up << "/" << line;
    EXPECT_GE(line, "01");
    EXPECT_LE(line, "99");
    long long amount = 0;
    std::memcpy(&amount, e.data() + 112, 8);
    const bool md = text(e, 44, 6) != "000000", dal = text(e, 78, 6) != "000000";
    perUp[up] += (md ? amount : 0) - (dal ? amount : 0);
    if (text(e, 44, 6) == "211001") cashDebit += amount;
    if (text(e, 78, 6) == "211001") cashCredit += amount;
    // A document's entries stay in one voucher number.
    auto [it, fresh] = upOfDocument.emplace(ref, up);
    EXPECT_TRUE(fresh || it->second == up) << ref;
  }
  EXPECT_EQ(upOfDocument.size(), 2u * kEach);
  for (const auto& [up, diff] : perUp) EXPECT_EQ(diff, 0) << up;
  // Lines 91 to 99 of UP 000500, then UP 000501 and on.
  EXPECT_TRUE(pairs.count("00050091"));
  EXPECT_TRUE(pairs.count("00050101"));

  // The balance of the series, the sum of its documents and the batch's cash account agree.
  double receipts = 0, expenditures = 0;
  long long paidKc = 0;
  for (size_t o = 0; o < docs.size(); o += 337) {
    const std::string d = docs.substr(o, 337);
    const double val = fromReal48(d.substr(142, 6));
    const long long kc = std::llround(fromReal48(d.substr(160, 6)) * 10000);
    (text(d, 0, 1) == "V" ? expenditures : receipts) += val;
    paidKc += text(d, 0, 1) == "V" ? -kc : kc;
    EXPECT_EQ(text(d, 166, 3).substr(0, 1), "U");
  }
  const double balance = fromReal48(root.read("data/pz_ra.dta").substr(15, 6));
  EXPECT_NEAR(balance, receipts - expenditures, 1e-6);
  EXPECT_EQ(cashDebit - cashCredit, paidKc);
  EXPECT_EQ(paidKc, std::llround((receipts - expenditures) * 25 * 10000));
}

// Two stations that open and close their cash desks at the same moment meet at the sharing table
// now and then, each holding it only while it reads and writes it: neither may get the wait
// window "Je blokován přístup k tabulce sdílení souborů" for that (in a script it would take the
// next keys).
TEST(PostingE2E, TwoStationsOpeningAndClosingTheCashDeskAtOnceGetNoWaitWindow) {
  TempDir root;
  installData(root, "00012305");
  std::string script;
  for (int i = 0; i < 25; ++i) script += std::string(kCashDesk) + "dump\nEsc\nEsc\n";
  script += "Esc\n";
  const auto [ra, rb] = runTwoStations(root, script, script);
  for (const RunResult* r : {&ra, &rb}) {
    EXPECT_EQ(r->exitCode, 0) << r->err;
    EXPECT_EQ(r->err, "");
    EXPECT_EQ(count(r->out, "=== TfErr"), 0u);
    EXPECT_EQ(count(r->out, "=== fPZPokl "), 25u);
  }
}

TEST(PostingE2E, AnAccountMissingFromTheChartIsAskedAboutAndNoPostsNothing) {
  TempDir root;
  installData(root, "00012305");
  root.write("data/CI10.DTA", account("211001", "Pokladna EUR"));
  install(root, "01", "data\\", "prog\\");
  // Yes goes back to the entries window, on the entry; the second time No gives up the posting.
  const auto r = runPzpokl(root, std::string(kCashDesk) + document("P", "100") + "F2\nEnter\n" + kConfirm +
                                     "dump\ntype a\n" + kConfirm + "type n\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(count(r.out, "600000 není v účetní osnově!   OPRAVIT ?"), 1u) << r.out;
  EXPECT_FALSE(std::filesystem::exists(root / "data/PZUC.dta"));
  EXPECT_NE(root.read("data/master.job").find(ss("PZUP01", 8) + ss("00012305", 8)), std::string::npos);
  const std::string docs = root.read("data/PZ01_.dta");
  ASSERT_EQ(docs.size(), 337u);
  EXPECT_NE(text(docs, 166, 3).substr(0, 1), "U");
}

// The off-balance entries of the batch: those with an account on both sides.
std::vector<std::string> twoSided(const std::string& batch) {
  std::vector<std::string> r;
  for (size_t o = 0; o + 138 <= batch.size(); o += 138)
    if (text(batch, o + 44, 6) != "000000" && text(batch, o + 78, 6) != "000000") r.push_back(batch.substr(o, 138));
  return r;
}

TEST(PostingE2E, TheOffBalanceEntryInTheCurrencyFollowsTheSwitchAndTheChosenSet) {
  TempDir root;
  installData(root, "00012305");
  root.write("data/pz_ra.dta", series("01", 25, "211005"));
  root.write("data/CI10.DTA", account("211005", "Pokladna EUR") + account("321005", "Podrozvaha pokladna") +
                                  account("518000", "Sluzby") + account("602000", "Trzby") +
                                  account("701005", "Podrozvaha trzby"));
  // A set: suppliers, customers, costs, revenues, bank, cash.
  root.write("data/devu.dta", ss("000", 3) + ss("000", 3) + ss("000", 3) + ss("701", 3) + ss("000", 3) + ss("321", 3));
  root.write("PZPOKL.PAR", "PODROZVAHA : ANO\r\n");
  install(root, "01", "data\\", "prog\\");
  // The set is chosen as the window opens; then the switch is turned off in the main window and
  // the cash desk opened again for the second receipt.
  const auto r = runPzpokl(root, std::string(kCashDesk) + "dump\nEnter\n" + document("P", "100") + "F2\nEnter\n" +
                                     kConfirm + "Esc\nEsc\nEsc\nclick 6 8\n" + kCashDesk + document("P", "2") +
                                     "F2\nEnter\n" + kConfirm + "Esc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Devizové účtování na podrozvahové účty"), std::string::npos) << r.out;

  const std::string batch = root.read("data/PZUC.dta");
  ASSERT_EQ(batch.size(), 5 * 138u) << r.out;
  // 100 EUR at 25: the crown entries of 2500.00, then the currency amount, 100.00, on the
  // off-balance accounts, as line 08 of the same voucher with the document's date and reference.
  EXPECT_EQ(batch.substr(0, 138), entry("000123", "06", "211005", "000000", 25000000, std::string(20, ' ')));
  EXPECT_EQ(batch.substr(276, 138), entry("000123", "08", "321005", "701005", 1000000, std::string(20, ' ')));
  // Only the first receipt has one.
  EXPECT_EQ(twoSided(batch).size(), 1u);
  EXPECT_EQ(text(batch, 3 * 138 + 3, 6) + text(batch, 3 * 138 + 10, 2), "00012309");
  long long md = 0, dal = 0;
  for (size_t o = 0; o < 3 * 138; o += 138) {
    long long amount = 0;
    std::memcpy(&amount, batch.data() + o + 112, 8);
    if (text(batch, o + 44, 6) != "000000") md += amount;
    if (text(batch, o + 78, 6) != "000000") dal += amount;
  }
  EXPECT_EQ(md, dal);
  EXPECT_EQ(md, 25000000 + 1000000);
  const std::string archive = root.read("data/pzar01K.txt");
  EXPECT_EQ(count(archive, "000123/08 Zaloha                         321005 00000  701005 00000       100.00"), 1u)
      << archive;
}

TEST(PostingE2E, EscAtTheChoiceOfTheSetPostsNothingOffBalance) {
  TempDir root;
  installData(root, "00012305");
  root.write("PZPOKL.PAR", "PODROZVAHA : ANO\r\n");
  install(root, "01", "data\\", "prog\\");
  // Space on the empty register writes a set of defaults and edits it; Esc leaves the form, then
  // the register without a choice.
  const auto r = runPzpokl(root, std::string(kCashDesk) + "Space\ndump\nEsc\nEsc\n" + document("P", "100") +
                                     "F2\nEnter\ndump\n" + kConfirm + "Esc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const size_t form = r.out.find("Syntetiky podrozv.deviz.účtů");
  ASSERT_NE(form, std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Pokladna   :   000", form), std::string::npos) << r.out.substr(form, 1500);
  EXPECT_EQ(root.read("data/devu.dta"), ss("000", 3) + ss("000", 3) + ss("000", 3) + ss("000", 3) + ss("000", 3) +
                                            ss("000", 3));
  // Neither the entries window, nor the batch, nor the listing has an entry in the currency.
  const size_t review = r.out.find("=== fUp");
  ASSERT_NE(review, std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("100.00", review), std::string::npos) << r.out.substr(review, 3000);
  const std::string batch = root.read("data/PZUC.dta");
  EXPECT_EQ(batch.size(), 2 * 138u);
  EXPECT_TRUE(twoSided(batch).empty());
  EXPECT_EQ(count(root.read("data/pzkontar.txt"), "000123/0"), 2u);
}

TEST(PostingE2E, InCashJournalModeADocumentBecomesOneJournalLineAndNoEntry) {
  TempDir root;
  installData(root, "00012305");
  root.write("data/master.job", stationTable({{"FJ", "A"}}));
  root.write("data/pz_ra.dta", series("01", 25, "012"));
  // The off-balance switch left on from before counts for nothing in this mode.
  root.write("PZPOKL.PAR", "PODROZVAHA : ANO\r\n");
  install(root, "01", "data\\", "prog\\");
  const auto r = runPzpokl(root, std::string(kCashDesk) + document("P", "100") + "F2\nEsc\n" +
                                     document("V", "4", "Vyplata") + "F2\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(r.out.find("ČÍSLO ÚČETNÍHO PŘEDPISU"), std::string::npos);
  EXPECT_EQ(r.out.find("Devizové účtování"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(root / "data/PZUC.dta"));
  const std::string journal = root.read("data/PZPD.dta");
  ASSERT_EQ(journal.size(), 2 * 96u) << r.out;
  std::string line(96, '\0');
  line.replace(0, 7, ss("261209", 6));
  line.replace(7, 8, ss("010001", 7));
  line[15] = 12;
  line.replace(17, 31, ss("Zaloha", 30));
  const long long receipt = 25000000;
  std::memcpy(line.data() + 48, &receipt, 8);
  line.replace(66, 6, ss("00000", 5));
  EXPECT_EQ(journal.substr(0, 96), line);
  long long paid = 0;
  std::memcpy(&paid, journal.data() + 96 + 56, 8);
  EXPECT_EQ(paid, 1000000);  // the expenditure in its column
  EXPECT_EQ(text(journal.substr(96), 17, 30), "Vyplata");
  const std::string docs = root.read("data/PZ01_.dta");
  ASSERT_EQ(docs.size(), 2 * 337u);
  EXPECT_EQ(text(docs, 166, 3).substr(0, 1), "U");
}

}  // namespace
}  // namespace pz::test
