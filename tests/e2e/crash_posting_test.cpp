// A station killed (SIGKILL) at random moments while it saves posted documents, every fourth with
// an item at 21 % VAT: after the next station has opened the series (which undoes a save cut off),
// the series balance is the sum of its documents, every document is posted with both its entries
// and has its VAT supplement and its items, every entry and every items block names a document,
// and the batch balances.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "e2e/run.h"
#include "support/recordbytes.h"
#include "support/stationtable.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

namespace fs = std::filesystem;

std::string text(const std::string& rec, size_t o, size_t width) {
  return rec.substr(o + 1, std::min<size_t>(width, static_cast<unsigned char>(rec[o])));
}

TEST(CrashE2E, AStationKilledWhileSavingPostedDocumentsLeavesTheSeriesTheDocumentsAndTheBatchAgreeing) {
  TempDir root;
  fs::create_directories(root / "data");
  fs::create_directories(root / "prog");
  fs::copy(fs::path(PZ_SOURCE_DIR) / "demo/prog/dlib", root / "prog/dlib");
  std::string series(71, '\0');
  series.replace(0, 3, shortString("01", 2));
  series.replace(3, 4, shortString("EUR", 3));
  series.replace(7, 6, real48(25));
  series[13] = 1;
  series.replace(21, 7, shortString("211001", 6));
  root.write("data/pz_ra.dta", series);
  std::string chart;
  for (const char* u : {"211001", "518000", "602000", "648000"}) {
    std::string v(79, '\0');
    v.replace(0, 7, shortString(u, 6));
    v.replace(7, 31, shortString(std::string("Ucet ") + u, 30));
    chart += v;
  }
  root.write("data/CI10.DTA", chart);
  root.write("data/master.job", stationTable({{"PZUP01", "00000101"}}));
  root.write("master.job", stationTable({{"UZIVATEL", "01"}, {"POCITAC", "01"}, {"DAN2", "21"}}));
  root.write("data.adr", "data\\\r\n");
  root.write("prog.adr", "prog\\\r\n");

  // The cash desk opened on series 01; documents of whole euros (no rounding entry), the voucher
  // number asked at the first, each review confirmed.
  const std::string open = "Enter\nEsc\nEnter\n";
  std::string saving = open;
  // More documents than any build saves before the latest kill, so that every round is cut off.
  for (int i = 0; i < 200; ++i)
    saving += "F4\ntype " + std::string(i % 4 == 3 ? "V" : "P") + "\nEnter\nEnter\nEnter\nEsc\nEnter\nEnter\ntype Zaloha\n"
              "Enter\n" + (i % 4 == 1 ? "Enter\nF4\ntype oprava\nEnter\ntype 100\nEnter\ntype 21\nEnter\nF2\nEnter\nF2\n"
                                      : "Esc\nEnter\ntype " + std::to_string(i + 1) + "\nEnter\nF2\n") +
              (i == 0 ? "Enter\n" : "") + "Esc\ntype a\nEsc\n";  // the entries confirmed, the voucher's viewer closed
  saving += "Esc\nEsc\nEsc\n";

  std::mt19937 rng(20261210);
  std::uniform_int_distribution<int> moment(10, 450);
  constexpr int kRounds = 8;
  int kills = 0, cutOff = 0, withItems = 0;
  for (int round = 0; round < kRounds; ++round) {
    const pid_t pid = startPzpokl(root, saving);
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(moment(rng)));
    int status = 0;
    if (kill(pid, SIGKILL) == 0) waitpid(pid, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) ++kills;
    // The killed station's entries in the sharing tables would hold the files for ever: an
    // administrator clears them after a crash.
    for (const auto& e : fs::recursive_directory_iterator(root.path()))
      if (e.path().filename() == "FOT.tab") fs::remove(e.path());
    // The next start of the station opens the series, which undoes a save cut off.
    if (fs::exists(root / "data/PZ01_.jrn")) ++cutOff;
    const RunResult r = runPzpokl(root, open + "Esc\nEsc\nEsc\n");
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    ASSERT_FALSE(fs::exists(root / "data/PZ01_.jrn")) << "round " << round;

    const std::string docs = fs::exists(root / "data/PZ01_.dta") ? root.read("data/PZ01_.dta") : std::string();
    const std::string batch = fs::exists(root / "data/PZUC.dta") ? root.read("data/PZUC.dta") : std::string();
    ASSERT_EQ(docs.size() % 337, 0u) << "round " << round;
    ASSERT_EQ(batch.size() % 138, 0u) << "round " << round;
    // Every document keeps its VAT supplement, and the items of those that have them: the last
    // block of a document in "PZ01_.pol" (u32 record, type, 0, u16 count, 8 zero bytes, the items),
    // and no block of a document that is not there.
    const auto size = [&](const char* f) { return fs::exists(root / f) ? fs::file_size(root / f) : 0; };
    ASSERT_EQ(size("data/PZA01_.dta") / 512, docs.size() / 337) << "round " << round;
    const std::string pol = fs::exists(root / "data/PZ01_.pol") ? root.read("data/PZ01_.pol") : std::string();
    std::map<std::uint32_t, std::string> itemsOf;
    for (size_t o = 0; o + 16 <= pol.size();) {
      std::uint32_t rec = 0;
      std::uint16_t count = 0;
      std::memcpy(&rec, pol.data() + o, 4);
      std::memcpy(&count, pol.data() + o + 6, 2);
      const size_t length = 16 + count * (pol[o + 4] == 'P' ? 123u : 113u);
      ASSERT_LE(o + length, pol.size()) << "round " << round << ": a cut items block";
      ASSERT_LE(rec, docs.size() / 337) << "round " << round << ": items of a document not stored";
      itemsOf[rec] = pol.substr(o + 16, length - 16);
      o += length;
    }
    double receipts = 0, expenditures = 0;
    long long paidKc = 0;
    for (size_t o = 0; o < docs.size(); o += 337) {
      const std::string d = docs.substr(o, 337);
      if (text(d, 85, 50).rfind("oprava, ", 0) == 0) {
        ++withItems;
        EXPECT_EQ(std::llround(real48At(d, 160) * 100), 12100) << "round " << round;
        const auto items = itemsOf.find(static_cast<std::uint32_t>(o / 337 + 1));
        ASSERT_NE(items, itemsOf.end()) << "round " << round << ": document " << o / 337 + 1 << " without its items";
        EXPECT_EQ(items->second.size(), 113u) << "round " << round;
        EXPECT_EQ(text(items->second, 0, 6), "oprava") << "round " << round;
      }
      const double val = real48At(d, 142);
      const long long kc = std::llround(real48At(d, 160) * 10000);
      (text(d, 0, 1) == "V" ? expenditures : receipts) += val;
      paidKc += text(d, 0, 1) == "V" ? -kc : kc;
      EXPECT_EQ(text(d, 166, 3).substr(0, 1), "U") << "round " << round << ": document " << o / 337 + 1 << " not posted";
    }
    std::map<std::string, int> entriesOf;
    long long debit = 0, credit = 0, cash = 0;
    for (size_t o = 0; o < batch.size(); o += 138) {
      const std::string e = batch.substr(o, 138);
      long long amount = 0;
      std::memcpy(&amount, e.data() + 112, 8);
      if (text(e, 44, 6) != "000000") debit += amount;
      if (text(e, 78, 6) != "000000") credit += amount;
      if (text(e, 44, 6) == "211001") cash += amount;
      if (text(e, 78, 6) == "211001") cash -= amount;
      ++entriesOf[text(e, 127, 10)];
    }
    // Each document (all of them posted) has its two entries, and no entry is without one.
    EXPECT_EQ(entriesOf.size(), docs.size() / 337) << "round " << round;
    for (const auto& [ref, n] : entriesOf) EXPECT_EQ(n, 2) << "round " << round << ": " << ref;
    EXPECT_EQ(debit, credit) << "round " << round;
    EXPECT_EQ(cash, paidKc) << "round " << round;
    EXPECT_NEAR(real48At(root.read("data/pz_ra.dta"), 15), receipts - expenditures, 1e-6) << "round " << round;
  }
  std::cout << kills << " kills of " << kRounds << " rounds survived, " << cutOff << " of them in a save's commit; "
            << withItems << " checks of a document with items; "
            << (fs::exists(root / "data/PZ01_.dta") ? fs::file_size(root / "data/PZ01_.dta") / 337 : 0)
            << " documents stored\n";
  EXPECT_GT(kills, kRounds / 2);
  // The second document has an item: checked whenever a run got that far (a slow build may not).
  const auto stored = fs::exists(root / "data/PZ01_.dta") ? fs::file_size(root / "data/PZ01_.dta") / 337 : 0;
  if (stored >= 2) EXPECT_GT(withItems, 0);
}

}  // namespace
}  // namespace pz::test
