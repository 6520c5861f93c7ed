// Record files and the hashed keyed file on a table of 1,000,000 records of 300 bytes, beside
// the same work done by SQLite on a table with the same rows (rowid = record number, an index on
// the key) and beside one bare pread of the same bytes. Both stores are warm in the page cache;
// neither syncs a single insert.
//
// Record layout: the key as a short string of 20 at offset 0 ("K" and nine digits, so the file
// is sorted by key), then filler. The hashed file holds 100,000 records keyed by ten-digit
// payment symbols: its hash values stay below about 1,000,255 whatever the table size, so a
// table of 1,000,000 keys fills that range and every probe runs through long clusters.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "storage/fields.h"
#include "storage/hashfile.h"
#include "storage/interaction.h"
#include "storage/roots.h"
#include "storage/recordfile.h"
#include "storage/settings.h"

namespace {

namespace fs = std::filesystem;
using namespace pz::storage;

constexpr std::int32_t kRecords = 1000000;
constexpr std::int32_t kSize = 300;
constexpr int kKeyWidth = 20;
constexpr std::int32_t kHashed = 100000;

// A ten-digit payment symbol, different for every n (the multiplier is prime to 10^10).
std::string symbolOf(std::int32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%010llu",
                static_cast<unsigned long long>((static_cast<std::uint64_t>(n) * 2654435761ULL) % 10000000000ULL));
  return buf;
}

std::string keyOf(std::int32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "K%09d", n);
  return buf;
}

void fillRecord(std::vector<std::uint8_t>& rec, std::int32_t n, const std::string& key) {
  std::fill(rec.begin(), rec.end(), static_cast<std::uint8_t>('a' + n % 26));
  (void)writeShortString(rec, 0, kKeyWidth, key);
  writeI32(rec, kKeyWidth + 1, n);
}
void fillRecord(std::vector<std::uint8_t>& rec, std::int32_t n) { fillRecord(rec, n, keyOf(n)); }

void check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite %s: %s\n", what, sqlite3_errmsg(db));
    std::abort();
  }
}

void exec(sqlite3* db, const char* sql) { check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql); }

// The generated files, made once per run in a directory of their own.
struct Data {
  fs::path dir;
  std::string table;   // "=" + native path of the record file
  std::string native;  // native path of the record file
  std::string sqlite;  // native path of the SQLite database
  RecordingInteraction quiet;

  Data() {
    dir = fs::temp_directory_path() / ("pzbench-rec-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
    pz::platform::paths().setWorkDir(dir.string());
    ZapomenAdresy();
    setInteraction(&quiet);
    settings().user = "01";

    native = (dir / "tab.dta").string();
    table = "=" + native;
    sqlite = (dir / "tab.db").string();

    std::vector<std::uint8_t> rec(kSize);
    auto generate = [&](const std::string& path, std::int32_t count, std::string (*key)(std::int32_t)) {
      std::vector<std::uint8_t> block;
      std::FILE* out = std::fopen(path.c_str(), "wb");
      for (std::int32_t n = 1; n <= count; ++n) {
        fillRecord(rec, n, key(n));
        block.insert(block.end(), rec.begin(), rec.end());
        if (block.size() >= static_cast<size_t>(kSize) * 10000 || n == count) {
          std::fwrite(block.data(), 1, block.size(), out);
          block.clear();
        }
      }
      std::fclose(out);
    };
    generate(native, kRecords, keyOf);
    generate((dir / "plat.dta").string(), kHashed, symbolOf);  // the data of the hashed file

    sqlite3* db = nullptr;
    check(sqlite3_open(sqlite.c_str(), &db), db, "open");
    exec(db, "PRAGMA journal_mode=WAL");
    exec(db, "CREATE TABLE t(id INTEGER PRIMARY KEY, k TEXT NOT NULL, data BLOB NOT NULL)");
    exec(db, "CREATE TABLE ins(id INTEGER PRIMARY KEY, k TEXT NOT NULL, data BLOB NOT NULL)");
    exec(db, "CREATE INDEX ins_k ON ins(k)");
    exec(db, "CREATE TABLE plat(id INTEGER PRIMARY KEY, k TEXT NOT NULL, data BLOB NOT NULL)");
    exec(db, "BEGIN");
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?,?,?)", -1, &st, nullptr), db, "prepare");
    for (std::int32_t n = 1; n <= kRecords; ++n) {
      fillRecord(rec, n);
      const std::string k = keyOf(n);
      sqlite3_bind_int(st, 1, n);
      sqlite3_bind_text(st, 2, k.data(), static_cast<int>(k.size()), SQLITE_TRANSIENT);
      sqlite3_bind_blob(st, 3, rec.data(), kSize, SQLITE_TRANSIENT);
      check(sqlite3_step(st), db, "insert");
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_prepare_v2(db, "INSERT INTO plat VALUES(?,?,?)", -1, &st, nullptr), db, "prepare");
    for (std::int32_t n = 1; n <= kHashed; ++n) {
      const std::string k = symbolOf(n);
      fillRecord(rec, n, k);
      sqlite3_bind_int(st, 1, n);
      sqlite3_bind_text(st, 2, k.data(), static_cast<int>(k.size()), SQLITE_TRANSIENT);
      sqlite3_bind_blob(st, 3, rec.data(), kSize, SQLITE_TRANSIENT);
      check(sqlite3_step(st), db, "insert");
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    exec(db, "COMMIT");
    exec(db, "CREATE INDEX t_k ON t(k)");
    exec(db, "CREATE INDEX plat_k ON plat(k)");
    sqlite3_close(db);
  }
  ~Data() {
    setInteraction(nullptr);
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(dir, ec);
  }
};

Data& data() {
  static Data d;
  return d;
}

// A record file whose key is the short string at offset 0.
class Table : public RecordFile {
 public:
  std::string KlicRadku(std::int32_t n) override {
    CtiVetu(n);
    return readShortString(veta(), 0, kKeyWidth);
  }
};

std::vector<std::int32_t> randomNumbers(size_t count, std::int32_t upTo = kRecords) {
  std::mt19937 gen(42);
  std::uniform_int_distribution<std::int32_t> pick(1, upTo);
  std::vector<std::int32_t> out(count);
  for (auto& n : out) n = pick(gen);
  return out;
}

sqlite3* openDb() {
  sqlite3* db = nullptr;
  check(sqlite3_open_v2(data().sqlite.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db, "open");
  return db;
}

// --- open and count ---------------------------------------------------------------------------

void BM_RecordFile_OpenAndCount(benchmark::State& state) {
  const std::string& name = data().table;
  for (auto _ : state) {
    Table t;
    t.OtevriSoubor(name, kSize);
    if (t.pocet() != kRecords) state.SkipWithError("wrong count");
  }
}
BENCHMARK(BM_RecordFile_OpenAndCount);

void BM_Sqlite_OpenAndCount(benchmark::State& state) {
  const bool exact = state.range(0) == 1;
  for (auto _ : state) {
    sqlite3* db = openDb();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, exact ? "SELECT count(*) FROM t" : "SELECT max(rowid) FROM t", -1, &st, nullptr);
    sqlite3_step(st);
    if (sqlite3_column_int(st, 0) != kRecords) state.SkipWithError("wrong count");
    sqlite3_finalize(st);
    sqlite3_close(db);
  }
  state.SetLabel(exact ? "count(*)" : "max(rowid)");
}
BENCHMARK(BM_Sqlite_OpenAndCount)->Arg(0)->Arg(1);

// --- read by number ---------------------------------------------------------------------------

void BM_RecordFile_ReadByNumber(benchmark::State& state) {
  Table t;
  t.OtevriSoubor(data().table, kSize);
  const auto numbers = randomNumbers(1 << 16);
  size_t i = 0;
  for (auto _ : state) {
    t.CtiVetu(numbers[i++ & 0xFFFF]);
    benchmark::DoNotOptimize(t.veta().data());
  }
}
BENCHMARK(BM_RecordFile_ReadByNumber);

void BM_Pread_SameBytes(benchmark::State& state) {
  const int fd = ::open(data().native.c_str(), O_RDONLY);
  const auto numbers = randomNumbers(1 << 16);
  std::vector<std::uint8_t> buf(kSize);
  size_t i = 0;
  for (auto _ : state) {
    const off_t at = static_cast<off_t>(numbers[i++ & 0xFFFF] - 1) * kSize;
    benchmark::DoNotOptimize(::pread(fd, buf.data(), buf.size(), at));
  }
  ::close(fd);
}
BENCHMARK(BM_Pread_SameBytes);

void BM_Sqlite_ReadByRowid(benchmark::State& state) {
  sqlite3* db = openDb();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT data FROM t WHERE rowid = ?", -1, &st, nullptr);
  const auto numbers = randomNumbers(1 << 16);
  std::vector<std::uint8_t> buf(kSize);
  size_t i = 0;
  for (auto _ : state) {
    sqlite3_bind_int(st, 1, numbers[i++ & 0xFFFF]);
    if (sqlite3_step(st) == SQLITE_ROW) std::memcpy(buf.data(), sqlite3_column_blob(st, 0), kSize);
    sqlite3_reset(st);
    benchmark::DoNotOptimize(buf.data());
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
}
BENCHMARK(BM_Sqlite_ReadByRowid);

// --- key search -------------------------------------------------------------------------------

void BM_RecordFile_HledejKlic(benchmark::State& state) {
  Table t;
  t.OtevriSoubor(data().table, kSize);
  const auto numbers = randomNumbers(1 << 16);
  size_t i = 0;
  for (auto _ : state) {
    const std::int32_t n = numbers[i++ & 0xFFFF];
    if (t.HledejKlic(keyOf(n)) != n) state.SkipWithError("not found");
  }
}
BENCHMARK(BM_RecordFile_HledejKlic);

// Arg 0: the 1,000,000-row table; arg 1: the 100,000 rows of the hashed file.
void BM_Sqlite_ReadByIndexedKey(benchmark::State& state) {
  const bool small = state.range(0) == 1;
  sqlite3* db = openDb();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, small ? "SELECT id, data FROM plat WHERE k = ?" : "SELECT id, data FROM t WHERE k = ?", -1,
                     &st, nullptr);
  const auto numbers = randomNumbers(1 << 16, small ? kHashed : kRecords);
  std::vector<std::uint8_t> buf(kSize);
  size_t i = 0;
  for (auto _ : state) {
    const std::int32_t n = numbers[i++ & 0xFFFF];
    const std::string k = small ? symbolOf(n) : keyOf(n);
    sqlite3_bind_text(st, 1, k.data(), static_cast<int>(k.size()), SQLITE_STATIC);
    if (sqlite3_step(st) != SQLITE_ROW || sqlite3_column_int(st, 0) != n) state.SkipWithError("not found");
    std::memcpy(buf.data(), sqlite3_column_blob(st, 1), kSize);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  state.SetLabel(small ? "100,000 rows" : "1,000,000 rows");
}
BENCHMARK(BM_Sqlite_ReadByIndexedKey)->Arg(0)->Arg(1);

// --- appends and inserts ----------------------------------------------------------------------

void BM_RecordFile_Append(benchmark::State& state) {
  const std::string path = (data().dir / "app.dta").string();
  fs::remove(path);
  Table t;
  t.OtevriSoubor("=" + path, kSize);
  std::int32_t n = 0;
  for (auto _ : state) {
    fillRecord(t.veta(), ++n);
    if (!t.PridejVetu()) state.SkipWithError("append failed");
  }
  t.ZavriSoubor();
  fs::remove(path);
}
BENCHMARK(BM_RecordFile_Append);

void BM_Sqlite_InsertInOneTransaction(benchmark::State& state) {
  sqlite3* db = openDb();
  exec(db, "DELETE FROM ins");
  exec(db, "BEGIN");
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO ins(k, data) VALUES(?, ?)", -1, &st, nullptr);
  std::vector<std::uint8_t> rec(kSize);
  std::int32_t n = 0;
  for (auto _ : state) {
    fillRecord(rec, ++n);
    const std::string k = keyOf(n);
    sqlite3_bind_text(st, 1, k.data(), static_cast<int>(k.size()), SQLITE_STATIC);
    sqlite3_bind_blob(st, 2, rec.data(), kSize, SQLITE_STATIC);
    if (sqlite3_step(st) != SQLITE_DONE) state.SkipWithError("insert failed");
    sqlite3_reset(st);
  }
  exec(db, "COMMIT");  // inside the timing: the transaction is part of the work
  sqlite3_finalize(st);
  exec(db, "DELETE FROM ins");
  sqlite3_close(db);
}
BENCHMARK(BM_Sqlite_InsertInOneTransaction);

// Each insert its own transaction (WAL, synchronous NORMAL: no sync per commit), so that, like an
// append to a record file, every row is visible to the other stations at once.
void BM_Sqlite_InsertEachCommitted(benchmark::State& state) {
  sqlite3* db = openDb();
  exec(db, "PRAGMA synchronous=NORMAL");
  exec(db, "DELETE FROM ins");
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO ins(k, data) VALUES(?, ?)", -1, &st, nullptr);
  std::vector<std::uint8_t> rec(kSize);
  std::int32_t n = 0;
  for (auto _ : state) {
    fillRecord(rec, ++n);
    const std::string k = keyOf(n);
    sqlite3_bind_text(st, 1, k.data(), static_cast<int>(k.size()), SQLITE_STATIC);
    sqlite3_bind_blob(st, 2, rec.data(), kSize, SQLITE_STATIC);
    if (sqlite3_step(st) != SQLITE_DONE) state.SkipWithError("insert failed");
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  exec(db, "DELETE FROM ins");
  sqlite3_close(db);
}
BENCHMARK(BM_Sqlite_InsertEachCommitted);

// --- hashed keyed file ------------------------------------------------------------------------

// Building the ".dti" of the 100,000 data records from nothing.
void BM_HashFile_Build(benchmark::State& state) {
  (void)data();
  for (auto _ : state) {
    fs::remove(data().dir / "plat.dti");
    HashFile h;
    if (!h.OtevriHash("plat", kKeyWidth + 1, kSize, 2 * kHashed)) state.SkipWithError("open failed");
  }
}
BENCHMARK(BM_HashFile_Build)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HashFile_Lookup(benchmark::State& state) {
  (void)data();
  HashFile h;
  h.OtevriHash("plat", kKeyWidth + 1, kSize, 2 * kHashed);
  const auto numbers = randomNumbers(1 << 16, kHashed);
  size_t i = 0;
  for (auto _ : state) {
    const std::int32_t n = numbers[i++ & 0xFFFF];
    if (h.NajdiHash(symbolOf(n)) != n) state.SkipWithError("not found");
  }
}
BENCHMARK(BM_HashFile_Lookup);

void BM_HashFile_Insert(benchmark::State& state) {
  (void)data();
  fs::remove(data().dir / "novy.dta");
  fs::remove(data().dir / "novy.dti");
  HashFile h;
  h.OtevriHash("novy", kKeyWidth + 1, kSize, 2 * kHashed);
  std::vector<std::uint8_t> rec(kSize);
  std::int32_t n = 0;
  for (auto _ : state) {
    const std::string k = symbolOf(++n);
    fillRecord(rec, n, k);
    if (h.VlozHash(k, rec) < 0) state.SkipWithError("insert failed");
  }
  h.ZavriHash();
  fs::remove(data().dir / "novy.dta");
  fs::remove(data().dir / "novy.dti");
}
BENCHMARK(BM_HashFile_Insert)->Iterations(kHashed);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
