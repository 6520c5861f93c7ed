// Cash documents entered through the real program from the main window: the crown amounts, the
// numbers and the balance stored, the partner question, the rate files, and two stations saving
// documents of one series at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "e2e/run.h"
#include "support/stationtable.h"
#include "support/recordbytes.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

constexpr size_t kDoklad = 337, kRada = 71;
// Offsets in the document record and the series record.
constexpr size_t kDruh = 0, kIdent = 2, kCislo = 8, kCisloOrg = 69, kDatumZapl = 78, kText = 85, kCelkemVal = 136,
                 kPlacenoVal = 142, kKurz = 148, kCelkemKc = 154, kPlacenoKc = 160, kAdr1 = 203;
constexpr size_t kRadaKurz = 7, kRadaMnozstvi = 13, kRadaStav = 15, kRadaUcet = 21, kRadaPocStav = 28;

// Real48 as the record layout defines it: exponent byte with bias 129, a 39-bit fraction
// little-endian, the sign in the top bit of byte 5.
std::string textAt(const std::string& rec, size_t o, size_t width) {
  std::string t = rec.substr(o + 1, std::min<size_t>(width, static_cast<unsigned char>(rec[o])));
  return t.substr(0, t.find_last_not_of(' ') + 1);
}

std::string series(const std::string& number, const std::string& currency, double rate, int units, double opening,
                   double balance) {
  std::string v(kRada, '\0');
  v.replace(0, 3, shortString(number, 2));
  v.replace(3, 4, shortString(currency, 3));
  v.replace(kRadaKurz, 6, real48(rate));
  v[kRadaMnozstvi] = static_cast<char>(units & 0xff);
  v[kRadaMnozstvi + 1] = static_cast<char>(units >> 8);
  v.replace(kRadaStav, 6, real48(balance));
  v.replace(kRadaUcet, 7, shortString("000000", 6));
  v.replace(kRadaPocStav, 6, real48(opening));
  return v;
}

std::string document(int n, const std::string& kind, double amount, int partner = 0, const std::string& name = "") {
  std::string v(kDoklad, '\0');
  v.replace(kDruh, 2, shortString(kind, 1));
  char ident[6];
  std::snprintf(ident, sizeof ident, "%05d", n);
  v.replace(kIdent, 6, shortString(ident, 5));
  v.replace(kCislo, 61, shortString("D" + std::to_string(n), 60));
  v[kCisloOrg] = static_cast<char>(partner);
  v.replace(kDatumZapl, 7, shortString("051226", 6));
  for (size_t o : {kCelkemVal, kPlacenoVal}) v.replace(o, 6, real48(amount));
  v.replace(kKurz, 6, real48(25.125));
  for (size_t o : {kCelkemKc, kPlacenoKc}) v.replace(o, 6, real48(amount * 25.125));
  v.replace(kAdr1, 31, shortString(name, 30));
  return v;
}

std::string partner(int n, const std::string& name) {
  std::string v(586, '\0');
  v[0] = static_cast<char>(n);
  v.replace(28, 31, shortString(name, 30));
  return v;
}

// A working directory with its data root and a program root with the shipped field layouts
// (the series list converts the document files through them).
void install(const TempDir& dir, const std::string& user = "01", const std::string& root = "data\\",
             const std::string& prog = "prog\\") {
  dir.write("master.job", stationTable({{"UZIVATEL", user}, {"POCITAC", user}, {"DAN2", "21"}}));
  dir.write("data.adr", root + "\r\n");
  dir.write("prog.adr", prog + "\r\n");
  if (prog != "prog\\") return;
  std::filesystem::create_directories(dir / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", dir / "prog/dlib");
}


// From the main window to the series list: the cash desk button, then Esc in the own company's
// form that the cash desk shows first.
constexpr const char* kCashDeskList = "Enter\nEsc\n";
// On to the cash desk of the first series.
const std::string kCashDesk = std::string(kCashDeskList) + "Enter\n";

// The keys of a new receipt or expenditure from the kind to the amount, without a partner (Esc in
// the partner list), with a delivery date (the payment date follows it) and a text.
std::string entry(const std::string& kind, const std::string& amount, const std::string& delivery = "",
                  const std::string& text = "") {
  return "F4\ntype " + kind + "\nEnter\nEnter\nEnter\nEsc\n" +
         (delivery.empty() ? std::string("Enter\n") : "type " + delivery + "\nEnter\n") + "Enter\n" +
         (text.empty() ? std::string("Enter\n") : "type " + text + "\nEnter\n") + "Esc\nEnter\n" + "type " + amount + "\nEnter\n";
}

TEST(CashEntryE2E, ReceiptsAtTheSeriesRateGetTheirNumbersAndMoveTheBalance) {
  TempDir dir;
  install(dir);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125, 1, 1000, 1000) + series("02", "JPY", 15.5, 100, 0, 0));
  std::string docs;
  for (int n = 1; n <= 11; ++n) docs += document(n, "P", 0);
  dir.write("data/PZ01_.dta", docs);
  const auto r = runPzpokl(dir, kCashDesk + entry("P", "100") + "dump\nF2\nEsc\n" + entry("P", "100") +
                                    "Enter\ntype 24.3333\nEnter\nF2\nEsc\ndump\nEsc\n"
                                    "Down\nEnter\n" + entry("P", "1000") + "F2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string pz01 = dir.read("data/PZ01_.dta");
  ASSERT_EQ(pz01.size(), 13 * kDoklad) << r.out;
  const std::string d12 = record(pz01, 12, kDoklad), d13 = record(pz01, 13, kDoklad);
  EXPECT_EQ(textAt(d12, kIdent, 5), "00012");
  EXPECT_EQ(textAt(d12, kCislo, 60), "PZ0100012");
  EXPECT_EQ(real48At(d12, kCelkemKc), 2512.5);
  EXPECT_EQ(real48At(d12, kPlacenoKc), 2512.5);
  EXPECT_NE(r.out.find("2512.50"), std::string::npos) << r.out;
  EXPECT_EQ(textAt(d13, kCislo, 60), "PZ0100013");
  EXPECT_NEAR(real48At(d13, kKurz), 24.3333, 1e-9);
  EXPECT_NEAR(real48At(d13, kPlacenoKc), 2433.33, 1e-7);
  EXPECT_EQ(real48At(record(dir.read("data/pz_ra.dta"), 1, kRada), kRadaStav), 1200.0);
  EXPECT_NE(r.out.find("1 200.00 EUR"), std::string::npos) << r.out;
  // JPY quoted per 100.
  const std::string pz02 = dir.read("data/PZ02_.dta");
  ASSERT_EQ(pz02.size(), kDoklad) << r.out;
  EXPECT_EQ(real48At(pz02, kPlacenoKc), 155.0);
  EXPECT_EQ(real48At(record(dir.read("data/pz_ra.dta"), 2, kRada), kRadaStav), 1000.0);
  // Both series have the account "000000": nothing is posted.
  EXPECT_FALSE(std::filesystem::exists(dir / "data" / "pzuc.dta"));
  EXPECT_FALSE(std::filesystem::exists(dir / "data" / "PZUC.DTA"));
}

TEST(CashEntryE2E, AnEditOfAReceiptIntoAnExpenditureAndNoToThePartnerQuestion) {
  TempDir dir;
  install(dir);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125, 1, 900, 1000));
  dir.write("data/PZ01_.dta", document(1, "P", 100, 1, "Alfa"));
  dir.write("data/org.dta", partner(1, "Alfa") + partner(2, "Beta"));
  const auto r = runPzpokl(dir,
                           kCashDesk +
                           "Space\ntype V\nEnter\nEnter\n"
                           "type 2\nEnter\ndump\ntype N\n"  // "Vyměnit údaje o organizaci ?"
                           "Enter\nEnter\nEnter\nEsc\nEnter\ntype 40\nEnter\nF2\nEsc\ndump\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Vyměnit údaje o organizaci ?"), std::string::npos) << r.out;
  const std::string d = dir.read("data/PZ01_.dta");
  ASSERT_EQ(d.size(), kDoklad);
  EXPECT_EQ(textAt(d, kDruh, 1), "V");
  EXPECT_EQ(real48At(d, kPlacenoVal), 40.0);
  EXPECT_EQ(real48At(d, kPlacenoKc), 1005.0);
  EXPECT_EQ(static_cast<unsigned char>(d[kCisloOrg]), 1);
  EXPECT_EQ(textAt(d, kAdr1, 30), "Alfa");
  EXPECT_EQ(real48At(dir.read("data/pz_ra.dta"), kRadaStav), 860.0);  // 1000 - 100 - 40
  EXPECT_NE(r.out.find("860.00 EUR"), std::string::npos) << r.out;
}

TEST(CashEntryE2E, RatesFromTheRateFileAndAFixedRateReadingItOnlyOnTheFieldHelp) {
  TempDir dir;
  install(dir);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125, 1, 0, 0) + series("03", "EUR", 0, 1, 0, 0));
  // The bank's export of one currency, with CR LF line ends; without a drive table the rate
  // files lie below the working directory.
  dir.write("TAMBRA3W/EUR.txt",
            "M\xC4\x9Bna: EUR|Mno\xC5\xBEstv\xC3\xAD: 1\r\nDatum|Kurz\r\n02.01.2024|24,725\r\n05.01.2024|24,660\r\n"
            "08.01.2024|24,580\r\n29.02.2024|25,305\r\n04.03.2024|25,270\r\n09.12.2026|24,300\r\n");
  const auto r = runPzpokl(dir, std::string(kCashDeskList) + "Down\nEnter\n" +
                                    entry("P", "100", "010124") + "F2\nEsc\n" +  // before the first line
                                    entry("P", "100", "060124") + "F2\nEsc\n" +  // Saturday
                                    entry("P", "100", "010324") + "F2\nEsc\n" +  // after 29 February
                                    "Esc\nUp\nEnter\n" + entry("P", "100") + "F2\nEsc\n" +
                                    entry("P", "100") + "Enter\nF1\nF2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string pz03 = dir.read("data/PZ03_.dta");
  ASSERT_EQ(pz03.size(), 3 * kDoklad) << r.out;
  const double rates[] = {24.725, 24.66, 25.305};
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    EXPECT_NEAR(real48At(record(pz03, n, kDoklad), kKurz), rates[n - 1], 1e-9);
    EXPECT_NEAR(real48At(record(pz03, n, kDoklad), kPlacenoKc), rates[n - 1] * 100, 1e-7);
  }
  const std::string pz01 = dir.read("data/PZ01_.dta");
  ASSERT_EQ(pz01.size(), 2 * kDoklad) << r.out;
  EXPECT_EQ(real48At(record(pz01, 1, kDoklad), kKurz), 25.125);  // today is quoted, but the rate is fixed
  EXPECT_NEAR(real48At(record(pz01, 2, kDoklad), kKurz), 24.3, 1e-9);
  EXPECT_NEAR(real48At(record(pz01, 2, kDoklad), kPlacenoKc), 2430.0, 1e-7);
}

// Two stations, each in its own working directory, save documents of series 01 of one data root
// while the other works: one adds a receipt while the other edits a document and then waits for
// the series' document lock to add its own. Every document is stored once under its own number,
// and the balance is the opening balance plus the receipts minus the expenditures.
TEST(CashEntryE2E, TwoStationsSavingDocumentsOfOneSeriesAtOnce) {
  TempDir root;
  std::filesystem::create_directories(root / "data");
  const std::string data = (root / "data").string() + "/";
  root.write("data/pz_ra.dta", series("01", "EUR", 25.125, 1, 900, 1000));
  root.write("data/PZ01_.dta", document(1, "P", 100));
  const std::string flag = root.str() + "/";
  const auto waitFor = [&](const std::string& name) {
    return "run while [ ! -f '" + flag + name + "' ]; do sleep 0.02; done\n";
  };
  const auto touch = [&](const std::string& name) { return "run touch '" + flag + name + "'\n"; };
  // Station A holds the document lock from its F4 until its first receipt is saved; its second
  // receipt waits until station B has ended, so that no step of the two meets the other's brief
  // hold of the sharing table (that would be a wait window of its own, not this test's subject).
  const std::string scriptA = kCashDesk + entry("P", "100", "", "A1") + touch("a-form") + waitFor("b-waiting") +
                              "F2\nEsc\n" + touch("a-saved") + waitFor("b-exited") + entry("P", "50", "", "A2") +
                              "F2\nEsc\nEsc\nEsc\nEsc\n";
  // Station B edits document 1 meanwhile (no document lock), then waits for the document lock.
  const std::string scriptB = waitFor("a-form") + kCashDesk + "Home\n"
                              "Space\ntype V\nEnter\nEnter\nEnter\nEsc\nEnter\nEnter\nEnter\nEsc\nEnter\ntype 40\nEnter\nF2\nEsc\n"
                              "F4\ndump\n" + touch("b-waiting") + waitFor("a-saved") + "wait 1500\n"
                              "type V\nEnter\nEnter\nEnter\nEsc\nEnter\nEnter\ntype B1\nEnter\nEsc\nEnter\ntype 30\nEnter\nF2\n"
                              "Esc\nEsc\nEsc\nEsc\n";
  std::filesystem::create_directories(root / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", root / "prog/dlib");
  const std::string prog = (root / "prog").string() + "/";
  TempDir a, b;
  install(a, "01", data, prog);
  install(b, "02", data, prog);
  RunResult ra, rb;
  std::thread ta([&] { ra = runPzpokl(a, scriptA); });
  rb = runPzpokl(b, scriptB);
  root.write("b-exited", "");
  ta.join();
  EXPECT_EQ(ra.exitCode, 0) << ra.err << ra.out;
  EXPECT_EQ(rb.exitCode, 0) << rb.err << rb.out;
  // B's F4 met A's lock and waited for it.
  EXPECT_NE(rb.out.find("=== TfErr"), std::string::npos) << rb.out;

  const std::string docs = root.read("data/PZ01_.dta");
  ASSERT_EQ(docs.size(), 4 * kDoklad) << ra.out << rb.out;
  const char* texts[] = {"", "A1", "B1", "A2"};
  const char* kinds[] = {"V", "P", "V", "P"};
  const double paid[] = {40, 100, 30, 50};
  double balance = 900;
  for (int n = 1; n <= 4; ++n) {
    SCOPED_TRACE(n);
    const std::string d = record(docs, n, kDoklad);
    char ident[6];
    std::snprintf(ident, sizeof ident, "%05d", n);
    EXPECT_EQ(textAt(d, kIdent, 5), ident);
    EXPECT_EQ(textAt(d, kText, 50), texts[n - 1]);
    EXPECT_EQ(textAt(d, kDruh, 1), kinds[n - 1]);
    EXPECT_EQ(real48At(d, kPlacenoVal), paid[n - 1]);
    balance += (kinds[n - 1][0] == 'P' ? 1 : -1) * paid[n - 1];
  }
  EXPECT_EQ(textAt(record(docs, 2, kDoklad), kCislo, 60), "PZ0100002");
  EXPECT_EQ(textAt(record(docs, 4, kDoklad), kCislo, 60), "PZ0100004");
  EXPECT_EQ(balance, 980.0);
  EXPECT_EQ(real48At(root.read("data/pz_ra.dta"), kRadaStav), balance);
}

// Runs the station under strace, killed at its nth write (pwrite64) of a file; 0 lets it run out.
// Answers the writes of the run, or nothing when it was killed.
std::optional<std::vector<std::string>> runKilledAt(const TempDir& dir, const std::string& script, int n) {
  dir.write("script.keys", script);
  const std::string inject = n > 0 ? " -e inject=pwrite64:signal=SIGKILL:when=" + std::to_string(n) : "";
  // The leak checker cannot run under ptrace; a sanitizer build keeps its other checks.
  const std::string cmd = "cd '" + dir.str() + "' && ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" strace -f -qq -o trace.txt -e trace=pwrite64" + inject + " '" PZPOKL_BIN
                          "' --headless script.keys --today 2026-12-09 >stdout.txt 2>stderr.txt";
  const int status = std::system(cmd.c_str());
  std::ifstream trace(dir / "trace.txt");
  std::vector<std::string> writes;
  for (std::string line; std::getline(trace, line);)
    if (line.find("pwrite64(") != std::string::npos) writes.push_back(line);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return writes;
}

// The balance the documents of the series account for: the opening balance, plus the receipts,
// minus the expenditures.
double balanceOfDocuments(const TempDir& dir, double opening) {
  const std::string docs = std::filesystem::exists(dir / "data/PZ01_.dta") ? dir.read("data/PZ01_.dta") : "";
  double b = opening;
  for (size_t o = 0; o + kDoklad <= docs.size(); o += kDoklad) {
    const std::string d = docs.substr(o, kDoklad);
    b += (textAt(d, kDruh, 1) == "P" ? 1 : -1) * real48At(d, kPlacenoVal);
  }
  return b;
}

// A station killed before each write of one save, and then at random moments of a run of several
// saves: after the next station has opened the series, its balance is the opening balance plus
// the receipts minus the expenditures it stores, and every document has its VAT supplement.
TEST(CashEntryE2E, AStationKilledAtAnyWriteOfASaveLeavesTheBalanceInStepWithItsDocuments) {
  if (std::system("strace -qq -o /dev/null true >/dev/null 2>&1") != 0) GTEST_SKIP() << "no strace or no ptrace";
  TempDir dir;
  install(dir);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125, 1, 1000, 1000));
  const std::string reopen = kCashDesk + "dump\nEsc\nEsc\nEsc\n";
  const std::string one = kCashDesk + entry("P", "10") + "F2\nEsc\nEsc\nEsc\nEsc\n";
  const auto check = [&](const std::string& where) {
    SCOPED_TRACE(where);
    // The killed station's entries in the sharing tables go with it, as a lock server drops the
    // locks of a link that died; what is left to see is the files.
    for (const char* table : {"FOT.tab", "data/FOT.tab"}) std::filesystem::remove(dir / table);
    const RunResult r = runPzpokl(dir, reopen);
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    const double stored = real48At(dir.read("data/pz_ra.dta"), kRadaStav);
    ASSERT_NEAR(stored, balanceOfDocuments(dir, 1000), 1e-6) << r.out;
    const auto size = [&](const char* f) {
      return std::filesystem::exists(dir / f) ? std::filesystem::file_size(dir / f) : 0;
    };
    ASSERT_EQ(size("data/PZA01_.dta") / 512, size("data/PZ01_.dta") / kDoklad);
    ASSERT_FALSE(std::filesystem::exists(dir / "data/PZ01_.jrn"));
  };
  // The writes of the save: from the intent record to the series record with the new balance.
  const auto writes = runKilledAt(dir, one, 0);
  ASSERT_TRUE(writes) << dir.read("stderr.txt");
  check("first");
  int first = 0, last = 0;
  for (int i = 1; i <= static_cast<int>(writes->size()); ++i) {
    const std::string& w = (*writes)[static_cast<size_t>(i - 1)];
    if (!first && w.find("\"PZJ1") != std::string::npos) first = i;
    if (first && !last && w.find(", 71, ") != std::string::npos) last = i;
  }
  ASSERT_GT(first, 1);
  ASSERT_GT(last, first + 2);  // the document and its supplement in between
  int undone = 0, kept = 0;
  for (int n = first - 1; n <= last + 2; ++n) {
    const auto count = [&] { return std::filesystem::file_size(dir / "data/PZ01_.dta") / kDoklad; };
    const auto docs = count();
    runKilledAt(dir, one, n);
    check("write " + std::to_string(n));
    ++(count() == docs ? undone : kept);
  }
  // Kills before the save and inside it leave no document; kills after it keep it.
  EXPECT_GE(undone, 4);
  EXPECT_GE(kept, 2);
  const std::string three = kCashDesk + entry("P", "10") + "F2\nEsc\n" + entry("V", "3") + "F2\nEsc\n" +
                            entry("P", "7") + "F2\nEsc\nEsc\nEsc\nEsc\n";
  const auto most = runKilledAt(dir, three, 0);
  ASSERT_TRUE(most);
  std::mt19937 random(23);
  for (int round = 0; round < 12; ++round) {
    const int n = std::uniform_int_distribution<int>(first - 1, static_cast<int>(most->size()))(random);
    runKilledAt(dir, three, n);
    check("random write " + std::to_string(n));
  }
}

// The walkthrough of the demo installation: its series 01 takes the rate of the delivery day from
// the demo's rate file, as the program finds it through the demo's drive table.
// The law's 270 000 Kč a day in cash with one partner, summed over series of two currencies: a
// receipt reaching exactly the limit passes, one crown-hundredth more asks first, No leaves nothing
// stored, and an edit counts with its new amount in place of its stored one.
TEST(CashEntryE2E, CashPaymentsWithOnePartnerInADayAreWarnedOfPastTheLegalLimit) {
  TempDir dir;
  install(dir);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25, 1, 0, 4000) + series("02", "JPY", 1, 100, 0, 0));
  std::string eur = document(1, "P", 4000, 1, "Alfa");
  eur.replace(kPlacenoKc, 6, real48(100000));
  // Partner 1's expenditure of the same day is the other direction of payment: not counted.
  std::string vydaj = document(2, "V", 1, 1, "Alfa");
  vydaj.replace(kPlacenoKc, 6, real48(250000));
  dir.write("data/PZ01_.dta", eur + vydaj);
  dir.write("data/org.dta", partner(1, "Alfa"));
  // A receipt of partner 1 paid on 5.12.26 in yen quoted per 100 at 1 Kč: the amount in yen is
  // a hundred times its crowns.
  const auto prijem = [](const std::string& jeny) {
    return "F4\ntype P\nEnter\nEnter\ntype 1\nEnter\ntype 051226\nEnter\nEnter\nEnter\nEsc\nEnter\ntype " + jeny +
           "\nEnter\nF2\n";
  };
  const std::string oprava = "Space\nEnter\nEnter\nEnter\nEnter\nEnter\nEnter\nEsc\nEnter\ntype ";
  const auto r = runPzpokl(dir, std::string(kCashDeskList) + "Down\nEnter\n" + prijem("27000001") +
                                    "dump\ntype N\ndump\nEsc\n" + prijem("17000001") + "dump\ntype N\nEsc\n" +
                                    prijem("17000000") + "Esc\ndump\n" + oprava + "17000001\nEnter\nF2\ndump\ntype A\nEsc\n" +
                                    oprava + "16999999\nEnter\nF2\nEsc\ndump\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string varovani = "Hotovostní příjmy od partnera 00001 dne 05.12.26 by tímto dokladem dosáhly ";
  EXPECT_NE(r.out.find(varovani + "370 000.01 Kč, zákonný limit je 270 000.00 Kč"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(varovani + "270 000.01 Kč, zákonný limit je 270 000.00 Kč"), std::string::npos) << r.out;
  size_t kolik = 0;
  for (size_t i = r.out.find(varovani); i != std::string::npos; i = r.out.find(varovani, i + 1)) ++kolik;
  EXPECT_EQ(kolik, 3u) << r.out;  // two new receipts and the edit upwards; not the edit down
  const std::string pz02 = dir.read("data/PZ02_.dta");
  ASSERT_EQ(pz02.size(), kDoklad) << r.out;
  EXPECT_NEAR(real48At(pz02, kPlacenoKc), 169999.99, 1e-6);
  EXPECT_EQ(real48At(record(dir.read("data/pz_ra.dta"), 2, kRada), kRadaStav), 16999999.0);
}

TEST(CashEntryE2E, TheDemoWalkthroughTakesTheRateOfItsDayFromTheDemoRateFile) {
  TempDir dir;
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo", dir.path(),
                        std::filesystem::copy_options::recursive);
  const std::string cmd = "cd '" + dir.str() + "/work' && '" PZPOKL_BIN "' --headless ../doklad.keys --today 2026-12-09"
                          " >../stdout.txt 2>../stderr.txt";
  const int status = std::system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << dir.read("stderr.txt") << dir.read("stdout.txt");
  const std::string docs = dir.read("data/PZ01_.dta");
  ASSERT_EQ(docs.size(), kDoklad) << dir.read("stdout.txt");
  EXPECT_NEAR(real48At(docs, kKurz), 24.82, 1e-9);
  EXPECT_EQ(real48At(docs, kPlacenoKc), 2482.0);
  EXPECT_EQ(textAt(docs, kCislo, 60), "PZ0100001");
  EXPECT_NE(textAt(docs, kAdr1, 30), "");
}

// A partner list whose stored column widths are all at their minimum (a list closed before it was
// laid out stored them so) opens readable and stores widths a cashier can read by.
TEST(CashEntryE2E, ThePartnerListHealsColumnWidthsStoredBeforeItWasLaidOut) {
  TempDir dir;
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo", dir.path(),
                        std::filesystem::copy_options::recursive);
  std::string minimum = "fOrg Gridy : 010";
  for (int c = 0; c < 31; ++c) minimum += "016";
  dir.write("work/par/okna2.par", minimum + "\r\n");
  std::string script = dir.read("doklad.keys");
  const std::string vyber = "Enter              # the first partner";
  ASSERT_NE(script.find(vyber), std::string::npos);
  script.insert(script.find(vyber), "dump\n");
  dir.write("partneri.keys", script);
  const std::string cmd = "cd '" + dir.str() + "/work' && '" PZPOKL_BIN "' --headless ../partneri.keys --today 2026-12-09"
                          " >../stdout.txt 2>../stderr.txt";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << dir.read("stderr.txt") << dir.read("stdout.txt");
  const std::string out = dir.read("stdout.txt");
  const size_t list = out.find("=== fOrg");
  ASSERT_NE(list, std::string::npos) << out;
  const std::string screen = out.substr(list, out.find("\n===", list) - list);
  EXPECT_NE(screen.find("Alza.cz a.s."), std::string::npos) << screen;
  EXPECT_NE(screen.find("27082440 CZ27082440"), std::string::npos) << screen;

  // Every list the walkthrough closed stores widths that are not all at the minimum.
  const std::string par = dir.read("work/par/okna2.par");
  size_t at = 0;
  int lists = 0;
  while ((at = par.find(" Gridy : ", at)) != std::string::npos) {
    const std::string value = par.substr(at + 9, par.find('\r', at) - at - 9);
    bool wide = value.size() <= 6;
    for (size_t g = 3; g + 3 <= value.size(); g += 3) wide = wide || std::stoi(value.substr(g, 3)) > 16;
    EXPECT_TRUE(wide) << value;
    ++lists;
    at += 9;
  }
  EXPECT_GE(lists, 2) << par;
  EXPECT_EQ(par.find(minimum), std::string::npos) << par;
}

// ---------------------------------------------------------------------------------------------
// Document items

void itemsInstall(const TempDir& dir, bool vatInclusive) {
  std::vector<std::pair<std::string, std::string>> t = {{"UZIVATEL", "01"}, {"POCITAC", "01"}, {"DAN2", "21"},
                                                        {"DAN1", "12"}};
  if (vatInclusive) t.push_back({"DAN_DOLU", "A"});
  dir.write("master.job", stationTable(t));
  dir.write("data.adr", "data\\\r\n");
  dir.write("prog.adr", "prog\\\r\n");
  std::filesystem::create_directories(dir / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", dir / "prog/dlib");

}

// A new receipt up to its text; the choice of items follows.
std::string toItems(const std::string& kind, const std::string& text) {
  return "F4\ntype " + kind + "\nEnter\nEnter\nEnter\nEsc\nEnter\nEnter\ntype " + text + "\nEnter\n";
}
std::string textItem(const std::string& text, const std::string& price, const std::string& rate) {
  return "F4\ntype " + text + "\nEnter\ntype " + price + "\nEnter\ntype " + rate + "\nEnter\nF2\n";
}

// Offsets of a text item in "pzvt.wrk" (113 bytes).
constexpr size_t kPolozkaT = 113, kTCena = 74, kTSazba = 80, kTDph = 86, kTOznaceni = 92;

TEST(CashEntryItemsE2E, TextItemsGiveTheCrownsTheTextAndTheCurrencyBack) {
  TempDir dir;
  itemsInstall(dir, false);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125, 1, 0, 0));
  // 100.00 at 21 % and 2.50 at 21 % (52.5 crown-percent: 0.53), then Enter uses them.
  const auto r = runPzpokl(dir, kCashDesk + toItems("P", "x") + "Enter\n" + textItem("oprava", "100", "21") +
                                    textItem("materiál", "2.50", "21") + "dump\nEnter\ndump\nF2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Celkem         124.03"), std::string::npos) << r.out;
  // The list shows each item with its price, rate and VAT.
  EXPECT_NE(r.out.find(" 21.0         21.00"), std::string::npos) << r.out;
  const std::string d = dir.read("data/PZ01_.dta");
  ASSERT_EQ(d.size(), kDoklad) << r.out;
  EXPECT_EQ(textAt(d, kText, 50), "oprava,materi\xE1l,");
  EXPECT_NEAR(real48At(d, kCelkemKc), 124.03, 1e-9);
  EXPECT_NEAR(real48At(d, kPlacenoKc), 124.03, 1e-9);
  // 124.03 / 25.125 = 4.9365...: the currency amounts come back from the crowns.
  EXPECT_NEAR(real48At(d, kCelkemVal), 4.94, 1e-9);
  EXPECT_NEAR(real48At(d, kPlacenoVal), 4.94, 1e-9);
  EXPECT_NEAR(real48At(record(dir.read("data/pz_ra.dta"), 1, kRada), kRadaStav), 4.94, 1e-9);
  // The saved document took its items along: no work file is left for the next one.
  EXPECT_FALSE(std::filesystem::exists(dir / "pzvt.wrk"));
}

// The voucher of a sale by text items lists each item with its price, VAT and total, and their sum.
TEST(CashEntryItemsE2E, TheVoucherOfASaleByTextItemsListsThemWithTheirSum) {
  TempDir dir;
  itemsInstall(dir, false);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125, 1, 0, 0));
  const auto r = runPzpokl(dir, kCashDesk + toItems("P", "x") + "Enter\n" + textItem("oprava", "100", "21") +
                                    textItem("materi\u00e1l", "2.50", "21") + "Enter\nF2\nEsc\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string v = dir.read("pz01a.TXT");
  EXPECT_NE(v.find("PRODEJ ZA HOTOV\xC9"), std::string::npos) << v;
  EXPECT_EQ(v.find("TEXT : "), std::string::npos) << v;
  EXPECT_NE(v.find("oprava" + std::string(51, ' ') + "100.00   21.0      21.00             121.00"), std::string::npos) << v;
  EXPECT_NE(v.find("S O U \xC8 E T       102.50             21.53             124.03"), std::string::npos) << v;
}

TEST(CashEntryItemsE2E, PricesWithVatAreSplitAndEscLeavesTheAmountsAsTyped) {
  TempDir dir;
  itemsInstall(dir, true);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125, 1, 0, 0));
  // 121.00 including 21 %: base 100.00 and VAT 21.00; the list is then left with Esc and the
  // amount typed as without items.
  const auto r = runPzpokl(dir, kCashDesk + toItems("P", "x") + "Enter\n" + textItem("oprava", "121", "21") +
                                    "Esc\nEnter\ntype 100\nEnter\nF2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string w = dir.read("pzvt.wrk");
  ASSERT_EQ(w.size(), kPolozkaT) << r.out;
  EXPECT_EQ(real48At(w, kTCena), 100.0);
  EXPECT_EQ(real48At(w, kTSazba), 21.0);
  EXPECT_EQ(real48At(w, kTDph), 21.0);
  EXPECT_EQ(w.substr(kTOznaceni, 9), shortString("001     ", 8));  // proposed for a receipt at DAN2
  const std::string d = dir.read("data/PZ01_.dta");
  ASSERT_EQ(d.size(), kDoklad) << r.out;
  EXPECT_EQ(textAt(d, kText, 50), "x");
  EXPECT_EQ(real48At(d, kCelkemVal), 100.0);
  EXPECT_EQ(real48At(d, kPlacenoKc), 2512.5);
}

// A subject of the register ("predmety.dta", 76 bytes): number, name, nomenclature, unit, price,
// rate, cost centre, revenue account.
std::string subject(const std::string& number, const std::string& name, double price, double rate) {
  return shortString(number, 4) + shortString(name, 30) + shortString("", 9) + shortString("ks", 4) + real48(price) +
         real48(rate) + shortString("S1", 5) + shortString("604000", 6);
}
constexpr size_t kPolozkaP = 123, kPCenaMj = 5, kPZaklad = 23, kPDph = 35, kPNazev = 41, kPMj = 82, kPUcet = 93;

TEST(CashEntryItemsE2E, ASubjectItemWithADiscountTakesOverItsSubjectAndGivesTheCrowns) {
  TempDir dir;
  itemsInstall(dir, false);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25.125, 1, 0, 0));
  dir.write("data/predmety.dta", subject("7", "\x8Aroub", 10, 21));
  std::string firm(582, '\0');
  firm.replace(332, 7, shortString("343000", 6));  // a tax account: a VAT payer
  dir.write("data/fmw01.dta", firm);
  // Item 7 at 10.00 with a discount of 10 % on 3 units: base 27.00, VAT 5.67, 32.67 Kč in all.
  const std::string items = kCashDesk + toItems("P", "x") + "Up\nEnter\n" +
                            "F4\ntype 7\nEnter\nEnter\ntype 10-\nEnter\ntype 3\nEnter\nF2\nEnter\n";
  // Left without saving first: the item stays in the work file.
  const auto r = runPzpokl(dir, items + "Esc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string w = dir.read("pzvp.wrk");
  ASSERT_EQ(w.size(), kPolozkaP) << r.out;
  EXPECT_EQ(real48At(w, kPCenaMj), 10.0);
  EXPECT_EQ(real48At(w, kPZaklad), 27.0);
  EXPECT_NEAR(real48At(w, kPDph), 5.67, 1e-9);
  EXPECT_EQ(textAt(w, kPNazev, 30), "\x8Aroub");
  EXPECT_EQ(textAt(w, kPMj, 4), "ks");
  EXPECT_EQ(textAt(w, kPUcet, 6), "604000");
  // The menu offers the type chosen last first; this run starts as the first did.
  std::filesystem::remove_all(dir / "par");
  const auto saved = runPzpokl(dir, items + "F2\nF2\nEsc\nEsc\nEsc\nEsc\n");  // the VAT supplement as filled
  EXPECT_EQ(saved.exitCode, 0) << saved.err << saved.out;
  const std::string d = dir.read("data/PZ01_.dta");
  ASSERT_EQ(d.size(), kDoklad) << saved.out;
  EXPECT_EQ(textAt(d, kText, 50), "\x8Aroub,");
  EXPECT_NEAR(real48At(d, kCelkemKc), 32.67, 1e-9);
  EXPECT_NEAR(real48At(d, kPlacenoVal), 1.30, 1e-9);  // 32.67 / 25.125 = 1.3003
}

// Series 01 at 25, two subjects (7 at 10.00, 8 at 4.00, both at 21 %) and a VAT payer.
void subjectsInstall(const TempDir& dir) {
  itemsInstall(dir, false);
  dir.write("data/pz_ra.dta", series("01", "EUR", 25, 1, 0, 0));
  dir.write("data/predmety.dta", subject("7", "\x8Aroub", 10, 21) + subject("8", "Matka", 4, 21));
  std::string firm(582, '\0');
  firm.replace(332, 7, shortString("343000", 6));
  dir.write("data/fmw01.dta", firm);
}

// A sale of subjects with a delivery date: a tax document whose voucher lists each subject with
// its unit price, quantity, base, VAT and total, and their sum.
TEST(CashEntryItemsE2E, TheVoucherOfASaleOfSubjectsIsATaxDocumentListingThemWithTheirSum) {
  TempDir dir;
  subjectsInstall(dir);
  // 3 x 10.00 = 30.00 + 6.30 VAT; 5 x 4.00 = 20.00 + 4.20 VAT.
  const auto r = runPzpokl(dir, kCashDesk + "F4\ntype P\nEnter\nEnter\nEnter\nEsc\ntype 091226\nEnter\nEnter\n"
                                    "type x\nEnter\nUp\nEnter\n" +
                                    "F4\ntype 7\nEnter\nEnter\nEnter\ntype 3\nEnter\nF2\n"
                                    "F4\ntype 8\nEnter\nEnter\nEnter\ntype 5\nEnter\nF2\n"
                                    "Enter\nF2\nF2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string v = dir.read("pz01a.TXT");
  EXPECT_NE(v.find("PRODEJ ZA HOTOV\xC9  ***                           \xC8\xEDslo : 0100001"), std::string::npos) << v;
  EXPECT_NE(v.find(std::string(40, ' ') + "Da\xF2ov\xFD doklad \xE8\xEDslo : PZ0100001"), std::string::npos) << v;
  EXPECT_EQ(v.find("TEXT : "), std::string::npos) << v;
  EXPECT_NE(v.find("P\xF8" "edm\xECt dod\xE1vky              Cena bez DPH/MJ    Mno\x9Estv\xED  %p\xF8/sl"), std::string::npos) << v;
  EXPECT_NE(v.find("\x8Aroub" + std::string(25, ' ') +
                   "        10.00        3.00                30.00  21.0        6.30          36.30"), std::string::npos) << v;
  EXPECT_NE(v.find("Matka" + std::string(25, ' ') +
                   "         4.00        5.00                20.00  21.0        4.20          24.20"), std::string::npos) << v;
  EXPECT_NE(v.find("S O U \xC8 E T" + std::string(60, ' ') + "50.00             10.50          60.50"), std::string::npos) << v;
}

TEST(CashEntryItemsE2E, AtARateOfZeroTheItemsGiveTheCrownsAndTheCurrencyStaysZero) {
  TempDir dir;
  itemsInstall(dir, false);
  dir.write("data/pz_ra.dta", series("01", "EUR", 0, 1, 0, 0));
  // The payment date finds no rate file: its message, then the text and the text items.
  const auto r = runPzpokl(dir, kCashDesk + "F4\ntype P\nEnter\nEnter\nEnter\nEsc\nEnter\nEnter\n"
                                    "Enter\ntype x\nEnter\nEnter\n" + textItem("oprava", "100", "21") +
                                    "Enter\ndump\nEnter\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  // Nothing is divided by the zero rate: the cashier is told and the currency amounts stay empty.
  EXPECT_NE(r.out.find("Kurz je 0, částky v měně zůstávají 0, zadejte kurz"), std::string::npos) << r.out;
  const size_t form = r.out.rfind("=== fPZPoklAkt");
  ASSERT_NE(form, std::string::npos) << r.out;
  const std::string screen = r.out.substr(form, r.out.find("\n===", form + 1) - form);
  EXPECT_NE(screen.find("Celkem v Kč             121.00"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Celkem valut                          EUR"), std::string::npos) << screen;
}

TEST(CashEntryItemsE2E, TwoStationsEnteringItemsAtOnceEachGetOnlyTheirOwn) {
  TempDir root;
  std::filesystem::create_directories(root / "data");
  const std::string data = (root / "data").string() + "/";
  root.write("data/pz_ra.dta", series("01", "EUR", 25, 1, 0, 0) + series("02", "EUR", 25, 1, 0, 0));
  const std::string flag = root.str() + "/";
  const auto waitFor = [&](const std::string& name) {
    return "run while [ ! -f '" + flag + name + "' ]; do sleep 0.02; done\n";
  };
  const auto touch = [&](const std::string& name) { return "run touch '" + flag + name + "'\n"; };
  // Both have an item in their list before either uses its items. The steps that take locks run
  // one station at a time (a lock met busy opens the wait window, which would take the keys);
  // station 02 leaves once 01 has had time to end.
  const std::string scriptA = kCashDesk + toItems("P", "x") + "Enter\n" + textItem("alfa", "100", "0") +
                              touch("a-item") + waitFor("b-item") + "Enter\nF2\nEsc\n" + touch("a-saved") +
                              waitFor("b-saved") + "Esc\nEsc\nEsc\n";
  const std::string scriptB = waitFor("a-item") + kCashDeskList + "Down\nEnter\n" + toItems("P", "y") + "Enter\n" +
                              textItem("beta", "50", "0") + touch("b-item") + waitFor("a-saved") +
                              "Enter\nF2\nEsc\n" + touch("b-saved") + "run sleep 2\nEsc\nEsc\nEsc\n";
  std::filesystem::create_directories(root / "prog");
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo/prog/dlib", root / "prog/dlib");
  const std::string prog = (root / "prog").string() + "/";
  TempDir a, b;
  install(a, "01", data, prog);
  install(b, "02", data, prog);
  const auto [ra, rb] = runTogether(a, scriptA, b, scriptB);
  EXPECT_EQ(ra.exitCode, 0) << ra.err << ra.out;
  EXPECT_EQ(rb.exitCode, 0) << rb.err << rb.out;
  const std::string d1 = root.read("data/PZ01_.dta"), d2 = root.read("data/PZ02_.dta");
  ASSERT_EQ(d1.size(), kDoklad) << ra.out;
  ASSERT_EQ(d2.size(), kDoklad) << rb.out;
  EXPECT_EQ(textAt(d1, kText, 50), "alfa,");
  EXPECT_EQ(real48At(d1, kCelkemKc), 100.0);
  EXPECT_EQ(textAt(d2, kText, 50), "beta,");
  EXPECT_EQ(real48At(d2, kCelkemKc), 50.0);
  EXPECT_EQ(real48At(d2, kCelkemVal), 2.0);
}

// Offsets of the tax office in the document record.
constexpr size_t kFinUrad = 333;

TEST(CashEntryItemsE2E, SubjectsChosenWithF1AndDiscountedWithF9ComeBackWhenTheDocumentIsEdited) {
  TempDir dir;
  subjectsInstall(dir);
  // F1 on the item number: the second subject; 5 units; then F9 gives every item 10 % off:
  // 4.00 x 5 less 10 % = 18.00, VAT 3.78. Enter uses the items and the form goes on at its last
  // field (the tax office), where "123" is typed.
  const auto r = runPzpokl(dir, kCashDesk + toItems("P", "x") + "Up\nEnter\n" +
                                    "F4\nF1\ndump\nDown\nEnter\nEnter\nEnter\nEnter\ntype 5\nEnter\nF2\n"
                                    "F9\ndump\nBackspace Backspace Backspace Backspace Backspace\ntype -10\nEnter\ndump\n"
                                    "Enter\ntype 123\nF2\nF2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Matka"), std::string::npos) << r.out;
  std::string d = dir.read("data/PZ01_.dta");
  ASSERT_EQ(d.size(), kDoklad) << r.out;
  EXPECT_EQ(textAt(d, kText, 50), "Matka,");
  EXPECT_NEAR(real48At(d, kCelkemKc), 21.78, 1e-9);
  EXPECT_EQ(textAt(d, kFinUrad, 3), "123");
  EXPECT_FALSE(std::filesystem::exists(dir / "pzvp.wrk"));

  // The edit brings the item back into the work file and its list; saved again, it stays.
  const auto edit = runPzpokl(dir, kCashDesk + "Space\nEnter\nEnter\nEnter\nEsc\nEnter\nEnter\nEnter\n"
                                      "Enter\ndump\nEnter\nF2\nF2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(edit.exitCode, 0) << edit.err << edit.out;
  const size_t list = edit.out.find(" Vstup typu P ");
  ASSERT_NE(list, std::string::npos) << edit.out;
  EXPECT_NE(edit.out.find("18.00", list), std::string::npos) << edit.out;
  EXPECT_NE(edit.out.find("21.78", list), std::string::npos) << edit.out;
  d = dir.read("data/PZ01_.dta");
  EXPECT_NEAR(real48At(d, kCelkemKc), 21.78, 1e-9);
  EXPECT_EQ(textAt(d, kText, 50), "Matka,");
  const auto again = runPzpokl(dir, kCashDesk + "Space\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(again.exitCode, 0) << again.err << again.out;
  const std::string w = dir.read("pzvp.wrk");
  ASSERT_EQ(w.size(), kPolozkaP) << again.out;
  EXPECT_EQ(textAt(w, kPNazev, 30), "Matka");
  EXPECT_EQ(real48At(w, kPZaklad), 18.0);

  // Esc at the choice keeps the cursor in the text: what is typed next replaces the text, and
  // the choice comes again only for a changed text.
  const auto esc = runPzpokl(dir, kCashDesk + "F4\ntype V\nEnter\nEnter\nEnter\nEsc\nEnter\nEnter\ntype x\nEnter\n"
                                     "Esc\ntype yy\nEnter\nEsc\nEnter\ntype 5\nEnter\nF2\nF2\nEsc\nEsc\nEsc\nEsc\n");
  EXPECT_EQ(esc.exitCode, 0) << esc.err << esc.out;
  d = dir.read("data/PZ01_.dta");
  ASSERT_EQ(d.size(), 2 * kDoklad) << esc.out;
  EXPECT_EQ(textAt(record(d, 2, kDoklad), kText, 50), "yy");
  EXPECT_EQ(real48At(record(d, 2, kDoklad), kCelkemVal), 5.0);
}
}  // namespace
}  // namespace pz::test
