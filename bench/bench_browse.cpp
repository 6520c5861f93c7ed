// The browse window over lists of 100 and 1,000,000 rows: a redraw reads only the rows in view,
// so it must cost the same on both; and a search for a text that is in no row, which reads and
// folds every row once, beside SQLite running LIKE '%text%' over the same texts in the same run.
//
// Rows are 64-character cp1250 texts of a partner list (number, name, town, date, amount), held
// in one block of memory as a record form's rows would come from its page-cached file.
//
// Then the search as the program runs it: a record form over a record file of 1,000,000 such
// records on disk (five text fields, 69 bytes a record), each row's text built by the form from
// its fields, F3 with a text in no row, so that the exact pass and the loose retry both find
// nothing; beside SQLite running LIKE over the same row texts in a database file, and beside the
// key search HledejKlic over the same file sorted by number, against SQLite by indexed key; and
// the same records sorted by name, then number (eight names, so the keys crowd in eight long runs
// that share their first characters), looked up by that key in both.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/params.h"
#include "ui/browse.h"
#include "ui/recordform.h"

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
      std::snprintf(buf, sizeof buf, "%06d %-20s %-17s %02u.%02u.24 %10u.%02u", n - 1, jmena[(x >> 8) % jmena.size()].c_str(),
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

// --- the search over a record file on disk ------------------------------------------------------

namespace fs = std::filesystem;

constexpr int kSirkaVety = 7 + 21 + 18 + 9 + 14;
const std::vector<pz::ui::PopisPole>& polePartnera() {
  static const std::vector<pz::ui::PopisPole> p = {
      {cz("Číslo"), 6, "X"}, {cz("Jméno"), 20, "X"}, {cz("Město"), 17, "X"}, {"Datum", 8, "X"}, {cz("Částka"), 13, "X"}};
  return p;
}

// The key of a row by name: the name without its trailing blanks, then the number.
std::string klicJmena(const char* radek) {
  std::string k(radek + 7, 20);
  while (!k.empty() && k.back() == ' ') k.pop_back();
  return k + std::string(radek, 6);
}

// The record files (by number, and by name) and the SQLite database, made once from the same rows.
struct Soubory {
  fs::path dir;
  std::string dta, dtaJmena, db;
  std::vector<std::pair<std::string, int>> podleJmena;  // (key by name, row by number), in key order
  Soubory() {
    dir = fs::temp_directory_path() / ("pzbench-browse-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    dta = (dir / "org.dta").string();
    dtaJmena = (dir / "orgj.dta").string();
    db = (dir / "org.db").string();
    const std::string& r = radky();
    std::string soubor;
    soubor.reserve(static_cast<size_t>(kMilion) * kSirkaVety);
    std::vector<std::uint8_t> veta(kSirkaVety);
    const int sirky[] = {6, 20, 17, 8, 13};
    const int zacatky[] = {0, 7, 28, 46, 50};  // where each field starts in the 64-byte text
    for (int n = 0; n < kMilion; ++n) {
      const std::string radek = r.substr(static_cast<size_t>(n) * kSirkaRadku, kSirkaRadku);
      size_t off = 0;
      for (int f = 0; f < 5; ++f) {
        std::string t = radek.substr(static_cast<size_t>(zacatky[f]), static_cast<size_t>(sirky[f]));
        while (!t.empty() && t.back() == ' ') t.pop_back();
        (void)pz::storage::writeShortString(veta, off, static_cast<size_t>(sirky[f]), t);
        off += static_cast<size_t>(sirky[f]) + 1;
      }
      soubor.append(reinterpret_cast<const char*>(veta.data()), veta.size());
    }
    std::FILE* f = std::fopen(dta.c_str(), "wb");
    std::fwrite(soubor.data(), 1, soubor.size(), f);
    std::fclose(f);
    podleJmena.reserve(kMilion);
    for (int n = 0; n < kMilion; ++n) podleJmena.emplace_back(klicJmena(r.data() + static_cast<size_t>(n) * kSirkaRadku), n + 1);
    std::sort(podleJmena.begin(), podleJmena.end());
    f = std::fopen(dtaJmena.c_str(), "wb");
    for (const auto& [k, n] : podleJmena) std::fwrite(soubor.data() + static_cast<size_t>(n - 1) * kSirkaVety, 1, kSirkaVety, f);
    std::fclose(f);

    sqlite3* d = nullptr;
    check(sqlite3_open(db.c_str(), &d), d);
    check(sqlite3_exec(d, "PRAGMA journal_mode=WAL; CREATE TABLE t(id INTEGER PRIMARY KEY, k TEXT, txt TEXT, j TEXT); BEGIN",
                       nullptr, nullptr, nullptr),
          d);
    sqlite3_stmt* ins = nullptr;
    check(sqlite3_prepare_v2(d, "INSERT INTO t VALUES(?,?,?,?)", -1, &ins, nullptr), d);
    for (int n = 0; n < kMilion; ++n) {
      const char* t = r.data() + static_cast<size_t>(n) * kSirkaRadku;
      sqlite3_bind_int(ins, 1, n + 1);
      sqlite3_bind_text(ins, 2, t, 6, SQLITE_STATIC);
      sqlite3_bind_text(ins, 3, t, kSirkaRadku, SQLITE_STATIC);
      const std::string j = klicJmena(t);
      sqlite3_bind_text(ins, 4, j.data(), static_cast<int>(j.size()), SQLITE_TRANSIENT);
      check(sqlite3_step(ins), d);
      sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    check(sqlite3_exec(d, "COMMIT; CREATE INDEX t_k ON t(k); CREATE INDEX t_j ON t(j)", nullptr, nullptr, nullptr), d);
    sqlite3_close(d);
  }
  ~Soubory() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Soubory& soubory() {
  static Soubory s;
  return s;
}

// A partner list as a record form: its rows are its fields joined, its key the number.
class SeznamSouboru : public pz::ui::TfSoub {
 public:
  SeznamSouboru() : TfSoub("fBenchOrg") {}
  bool Otevri(bool jmena = false) {
    podleJmena = jmena;
    return OtevriSoub({.soubor = "=" + (jmena ? soubory().dtaJmena : soubory().dta), .titulek = "Partneri", .velikost = kSirkaVety,
                       .pole = polePartnera()});
  }
  std::string KlicRadku(int n) override {
    CtiVetu(n);
    if (podleJmena) return pz::storage::readShortString(Veta(), 7, 20) + pz::storage::readShortString(Veta(), 0, 6);
    return pz::storage::readShortString(Veta(), 0, 6);
  }
  // Its rows are its fields and nothing else, as a plain register list's.
  bool HledaniZPoli() const override { return zPoli; }
  bool zPoli = true;
  bool podleJmena = false;
};

// Arg 1: the row texts built from the blocks' bytes (a list whose rows are its fields); arg 0: each
// row's text asked for through TextProHledani, as a list that shows more than its fields.
void BM_HledejVSouboru(benchmark::State& state) {
  soubory();
  SeznamSouboru w;
  w.zPoli = state.range(0) != 0;
  if (!w.Otevri() || w.Soubor().pocet() != kMilion) {
    state.SkipWithError("the record file did not open");
    return;
  }
  w.eHled.setValue(kNenalezeny);
  for (auto _ : state) {
    w.Radek = 1;
    w.Hledej();  // exact pass and loose retry, as F3 runs them
    if (w.Radek != 1) state.SkipWithError("found a row");
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kMilion, benchmark::Counter::kIsRate);
  pz::storage::ZahodParametry();
}
BENCHMARK(BM_HledejVSouboru)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_SqliteLikeVSouboru(benchmark::State& state) {
  soubory();
  sqlite3* db = nullptr;
  check(sqlite3_open_v2(soubory().db.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db);
  sqlite3_stmt* q = nullptr;
  check(sqlite3_prepare_v2(db, "SELECT count(*) FROM t WHERE txt LIKE ?", -1, &q, nullptr), db);
  const std::string vzor = std::string("%") + kNenalezeny + "%";
  sqlite3_bind_text(q, 1, vzor.c_str(), -1, SQLITE_STATIC);
  for (auto _ : state) {
    check(sqlite3_step(q), db);
    if (sqlite3_column_int(q, 0) != 0) state.SkipWithError("found a row");
    sqlite3_reset(q);
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kMilion, benchmark::Counter::kIsRate);
  sqlite3_finalize(q);
  sqlite3_close(db);
}
BENCHMARK(BM_SqliteLikeVSouboru)->Unit(benchmark::kMillisecond);

std::vector<int> nahodnaCisla() {
  std::mt19937 gen(42);
  std::uniform_int_distribution<int> pick(1, kMilion);
  std::vector<int> out(1 << 14);
  for (auto& n : out) n = pick(gen);
  return out;
}

// Arg 0: by number in the file sorted by number; arg 1: by name and number in the file sorted so.
// The key of the i-th lookup, the row it is at, and the row of the same record in SQLite's table.
struct Hledany {
  std::string klic;
  int radek = 0, id = 0;
};
Hledany hledany(bool podleJmena, size_t i) {
  static const auto cisla = nahodnaCisla();
  const int p = cisla[i & 0x3FFF];
  if (podleJmena) return {soubory().podleJmena[static_cast<size_t>(p - 1)].first, p, soubory().podleJmena[static_cast<size_t>(p - 1)].second};
  char klic[16];
  std::snprintf(klic, sizeof klic, "%06d", p - 1);  // row p holds number p - 1: six digits for all
  return {klic, p, p};
}

void BM_HledejKlicVSouboru(benchmark::State& state) {
  soubory();
  const bool podleJmena = state.range(0) != 0;
  SeznamSouboru w;
  if (!w.Otevri(podleJmena)) {
    state.SkipWithError("the record file did not open");
    return;
  }
  size_t i = 0;
  for (auto _ : state) {
    const Hledany h = hledany(podleJmena, i++);
    if (w.Soubor().HledejKlic(h.klic) != h.radek) state.SkipWithError("not found");
  }
  state.SetLabel(podleJmena ? "by name" : "by number");
  pz::storage::ZahodParametry();
}
BENCHMARK(BM_HledejKlicVSouboru)->Arg(0)->Arg(1);

void BM_SqliteKlicVSouboru(benchmark::State& state) {
  soubory();
  const bool podleJmena = state.range(0) != 0;
  sqlite3* db = nullptr;
  check(sqlite3_open_v2(soubory().db.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db);
  sqlite3_stmt* q = nullptr;
  check(sqlite3_prepare_v2(db, podleJmena ? "SELECT id, txt FROM t WHERE j = ?" : "SELECT id, txt FROM t WHERE k = ?", -1,
                           &q, nullptr),
        db);
  size_t i = 0;
  for (auto _ : state) {
    const Hledany h = hledany(podleJmena, i++);
    sqlite3_bind_text(q, 1, h.klic.data(), static_cast<int>(h.klic.size()), SQLITE_STATIC);
    if (sqlite3_step(q) != SQLITE_ROW || sqlite3_column_int(q, 0) != h.id) state.SkipWithError("not found");
    benchmark::DoNotOptimize(sqlite3_column_text(q, 1));
    sqlite3_reset(q);
  }
  state.SetLabel(podleJmena ? "by name" : "by number");
  sqlite3_finalize(q);
  sqlite3_close(db);
}
BENCHMARK(BM_SqliteKlicVSouboru)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
