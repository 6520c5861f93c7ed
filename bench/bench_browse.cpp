// The browse window over lists of 100 and 1,000,000 rows: a redraw reads only the rows in view,
// so it must cost the same on both; and a search for a text that is in no row, which reads and
// folds every row once, beside SQLite running LIKE '%text%' over the same texts in the same run.
//
// Rows are 64-character cp1250 texts of a partner list (number, name, town, date, amount), held
// in one block of memory as a record form's rows would come from its page-cached file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text.h"
#include "storage/czech.h"
#include "storage/params.h"
#include "ui/browse.h"

namespace {

using pz::platform::cz;

constexpr int kSirkaRadku = 64;
constexpr int kMilion = 1000000;
const char* const kNenalezeny = "Zxq Wvy";  // in no row

// The texts of rows 1..n, kSirkaRadku bytes each.
const std::string& radky() {
  static const std::string r = [] {
    const std::vector<std::string> jmena = {cz("Novák Jan"),       cz("Dvořáková Marie"), cz("Černý Petr"),
                                            cz("Procházka Tomáš"), cz("Kučerová Eva"),    cz("Veselý Josef"),
                                            cz("Horák Jiří"),      cz("Němcová Lenka")};
    const std::vector<std::string> mesta = {cz("Praha 4"), cz("Brno"), cz("Ostrava"), cz("Plzeň"),
                                            cz("České Budějovice"), cz("Hradec Králové"), cz("Liberec")};
    std::string s;
    s.reserve(static_cast<size_t>(kMilion) * kSirkaRadku);
    char buf[160];
    unsigned x = 12345;
    for (int n = 1; n <= kMilion; ++n) {
      x = x * 1103515245u + 12345u;
      std::snprintf(buf, sizeof buf, "%06d %-20s %-17s %02u.%02u.24 %10u.%02u", n, jmena[(x >> 8) % jmena.size()].c_str(),
                    mesta[(x >> 12) % mesta.size()].c_str(), 1 + (x >> 16) % 28, 1 + (x >> 20) % 12, (x >> 4) % 100000,
                    x % 100);
      std::string r(buf);
      r.resize(kSirkaRadku, ' ');
      s += r;
    }
    return s;
  }();
  return r;
}

class Seznam : public pz::ui::TfRol {
 public:
  Seznam() : TfRol("fBench") {}
  std::string TextRadku(int n) override {
    return radky().substr(static_cast<size_t>(n - 1) * kSirkaRadku, kSirkaRadku);
  }
};

void BM_Prekresli(benchmark::State& state) {
  const int pocet = static_cast<int>(state.range(0));
  radky();  // the texts are made once, outside every timing
  Seznam w;
  w.OtevriRol(1, 1, 80, 25, pz::ui::kWhite, pz::ui::kBlack, "Seznam", "", pocet / 2, pocet);
  for (auto _ : state) {
    w.Prekresli();
    benchmark::DoNotOptimize(w.sgRol.rows.data());
  }
  state.counters["rows_drawn"] = w.Viditelne;
  pz::storage::ZahodParametry();
}
BENCHMARK(BM_Prekresli)->Arg(100)->Arg(kMilion)->Unit(benchmark::kMicrosecond);

void BM_HledejNenalezeny(benchmark::State& state) {
  radky();
  Seznam w;
  w.OtevriRol(1, 1, 80, 25, pz::ui::kWhite, pz::ui::kBlack, "Seznam", "", 1, kMilion);
  const std::string hledany = pz::storage::HledaciTvar(kNenalezeny);
  for (auto _ : state) {
    w.Radek = 1;
    benchmark::DoNotOptimize(w.NajdiText(hledany));
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kMilion, benchmark::Counter::kIsRate);
  pz::storage::ZahodParametry();
}
BENCHMARK(BM_HledejNenalezeny)->Unit(benchmark::kMillisecond);

void check(int rc, sqlite3* db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    std::abort();
  }
}

// SQLite's LIKE folds ASCII letters only; it gets the same bytes the browse window searches.
void BM_SqliteLikeNenalezeny(benchmark::State& state) {
  sqlite3* db = nullptr;
  check(sqlite3_open(":memory:", &db), db);
  check(sqlite3_exec(db, "CREATE TABLE t(txt TEXT); BEGIN", nullptr, nullptr, nullptr), db);
  sqlite3_stmt* ins = nullptr;
  check(sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?)", -1, &ins, nullptr), db);
  const std::string& r = radky();
  for (int n = 0; n < kMilion; ++n) {
    sqlite3_bind_text(ins, 1, r.data() + static_cast<size_t>(n) * kSirkaRadku, kSirkaRadku, SQLITE_STATIC);
    check(sqlite3_step(ins), db);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
  check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
  sqlite3_stmt* q = nullptr;
  check(sqlite3_prepare_v2(db, "SELECT count(*) FROM t WHERE txt LIKE ?", -1, &q, nullptr), db);
  const std::string vzor = std::string("%") + kNenalezeny + "%";
  sqlite3_bind_text(q, 1, vzor.c_str(), -1, SQLITE_STATIC);
  for (auto _ : state) {
    check(sqlite3_step(q), db);
    benchmark::DoNotOptimize(sqlite3_column_int(q, 0));
    sqlite3_reset(q);
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kMilion, benchmark::Counter::kIsRate);
  sqlite3_finalize(q);
  sqlite3_close(db);
}
BENCHMARK(BM_SqliteLikeNenalezeny)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
