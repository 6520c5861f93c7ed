// Record files as a stored file and a user see them: the bytes on disk, the count, appends from
// two stations, the order files, the counter of appended records, the key searches, the change
// check, the hooks of the GDPR switch and the fixed messages.
#include "storage/recordfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/syscalls.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/masterjob.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

constexpr std::int32_t kSize = 12;  // key as a short string of 8 (9 bytes), then 3 bytes

// A record of the test layout: the key at offset 0, a 16-bit number at 9, a marker byte at 11.
std::string record(const std::string& key, std::int16_t number = 0, char marker = 'x') {
  std::string r(kSize, '\0');
  EXPECT_TRUE(writeShortString(r, 0, 8, key));
  writeI16(r, 9, number);
  r[11] = marker;
  return r;
}

std::string entries(const std::vector<std::pair<std::int32_t, std::int32_t>>& list) {
  std::string out(list.size() * 8, '\0');
  for (size_t i = 0; i < list.size(); ++i) {
    writeI32(out, i * 8, list[i].first);
    writeI32(out, i * 8 + 4, list[i].second);
  }
  return out;
}

void setBuffer(RecordFile& f, const std::string& bytes) {
  std::memcpy(f.veta().data(), bytes.data(), std::min<size_t>(bytes.size(), f.veta().size()));
}

// A table whose key is its first field; remembers which rows the searches looked at.
class KeyedFile : public RecordFile {
 public:
  std::string KlicRadku(std::int32_t n) override {
    examined.push_back(n);
    CtiVetu(n);
    return readShortString(veta(), 0, 8);
  }
  std::vector<std::int32_t> examined;
};

class RecordFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    ZapomenAdresy();
    setInteraction(&rec);
    settings().user = "01";
  }
  void TearDown() override {
    platform::sys() = platform::realSysCalls();
    setInteraction(nullptr);
    setSharing(nullptr);
    ZapomenAdresy();
    settings() = GlobalSettings{};
    platform::paths().clear();
  }
  void writeRecords(const std::string& name, const std::vector<std::string>& keys) {
    std::string bytes;
    for (size_t i = 0; i < keys.size(); ++i) bytes += record(keys[i], static_cast<std::int16_t>(i + 1));
    dir.write(name, bytes);
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  RecordingInteraction rec;
};

// --- opening and counting ---------------------------------------------------------------------

TEST_F(RecordFileTest, MissingFileIsCreatedEmptyAndAStrayByteIsDropped) {
  RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("kursy.dta", kSize));
  EXPECT_EQ(f.pocet(), 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "kursy.dta"));

  dir.write("one.dta", "Z");
  RecordFile g;
  ASSERT_TRUE(g.OtevriSoubor("one.dta", kSize));
  EXPECT_EQ(dir.read("one.dta"), "");
  EXPECT_TRUE(rec.messages.empty());
}

TEST_F(RecordFileTest, PartialLastRecordIsNotCountedAndTheNextAppendReplacesIt) {
  dir.write("kursy.dta", record("A") + record("B") + "half");
  RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("kursy.dta", kSize));
  EXPECT_EQ(f.pocet(), 2);
  EXPECT_FALSE(f.CtiVetu(3));
  setBuffer(f, record("C"));
  ASSERT_TRUE(f.PridejVetu());
  EXPECT_EQ(f.pocet(), 3);
  EXPECT_EQ(dir.read("kursy.dta"), record("A") + record("B") + record("C"));
}

TEST_F(RecordFileTest, LiteralPathAndDataRootAreHonoured) {
  dir.write("data.adr", (dir / "DATA").string() + "\n");
  std::filesystem::create_directories(dir / "DATA");
  RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("kursy.dta", kSize));
  EXPECT_TRUE(std::filesystem::exists(dir / "DATA" / "kursy.dta"));
  RecordFile g;
  ASSERT_TRUE(g.OtevriSoubor("=" + (dir / "lit.dta").string(), kSize));
  EXPECT_TRUE(std::filesystem::exists(dir / "lit.dta"));
}

// An existing file whose size cannot be read is never started anew: the records stay.
int failOpenOfKursy(const char* path, int flags, mode_t mode) {
  if (std::strstr(path, "kursy")) {
    errno = EACCES;
    return -1;
  }
  return platform::realSysCalls().open(path, flags, mode);
}

TEST_F(RecordFileTest, FileThatCannotBeOpenedIsReportedAndNeverTruncated) {
  writeRecords("kursy.dta", {"A", "B", "C"});
  const std::string before = dir.read("kursy.dta");
  platform::sys().open = failOpenOfKursy;
  RecordFile f;
  EXPECT_FALSE(f.OtevriSoubor("kursy.dta", kSize));
  platform::sys() = platform::realSysCalls();
  ASSERT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(rec.messages[0], "Uz: 01 otvira soubor: kursy.dta err      5");
  EXPECT_EQ(dir.read("kursy.dta"), before);

  // A reopen that fails keeps the file as it was open, records still readable.
  ASSERT_TRUE(f.OtevriSoubor("kursy.dta", kSize));
  platform::sys().open = failOpenOfKursy;
  EXPECT_FALSE(f.ObnovSoubor());
  platform::sys() = platform::realSysCalls();
  EXPECT_EQ(rec.messages.back(), "Uz: 01 Soub: kursy.dta err      5");
  ASSERT_TRUE(f.CtiVetu(3));
  EXPECT_EQ(readShortString(f.veta(), 0, 8), "C");
  EXPECT_EQ(dir.read("kursy.dta"), before);
}

TEST_F(RecordFileTest, ReopenSeesOtherStationsAppendsAndNewOrderFiles) {
  writeRecords("kursy.dta", {"A", "B"});
  RecordFile mine, theirs;
  ASSERT_TRUE(mine.OtevriSoubor("kursy.dta", kSize + kSPoradim));
  ASSERT_TRUE(theirs.OtevriSoubor("kursy.dta", kSize));
  setBuffer(theirs, record("C"));
  ASSERT_TRUE(theirs.PridejVetu());
  EXPECT_EQ(mine.pocet(), 2);
  mine.rows.top = 9;
  mine.rows.visible = 2;
  dir.write("kursy.dt1", entries({{3, 2}, {1, 3}, {2, 1}}));  // a sort on another station
  ASSERT_TRUE(mine.ObnovSoubor());
  EXPECT_EQ(mine.pocet(), 3);
  EXPECT_EQ(mine.rows.top, 1);
  ASSERT_TRUE(mine.NastavPoradi(1));
  EXPECT_EQ(mine.CisloZPoradi(1), 3);
}

TEST_F(RecordFileTest, MessagesAreFixedTextsWithTheirLengthLimits) {
  EXPECT_EQ(ZpravaCteni("kursy.dta", 5), "Uz: 01 cte soubor: kursy.dta err      5");
  EXPECT_EQ(ZpravaZapisu("kursy.dta", 101), "Uz: 01 pise soubor: kursy.dta err    101");
  EXPECT_EQ(ZpravaSouboru("F:\\DATA\\kursy.dta", 32), "Uz: 01 Soub: F:\\DATA\\kursy.dta err     32");
  // A name is cut so that the text before " err " holds at most 122 characters.
  const std::string longName(150, 'n');
  EXPECT_EQ(ZpravaOtevreni(longName, 2), "Uz: 01 otvira soubor: " + std::string(100, 'n') + " err      2");
  EXPECT_EQ(ZpravaCteni(longName, 2), "Uz: 01 cte soubor: " + std::string(100, 'n') + " err      2");
}

// --- reading and writing ----------------------------------------------------------------------

TEST_F(RecordFileTest, RecordsAreWrittenAtTheirOffsetsByteForByte) {
  RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("kursy.dta", kSize));
  for (auto [key, rate] : {std::pair{"EUR", 25.35}, {"USD", 21.125}}) {
    std::fill(f.veta().begin(), f.veta().end(), 0);
    ASSERT_TRUE(writeShortString(f.veta(), 0, 3, key));
    ASSERT_TRUE(writeReal48(f.veta(), 4, rate));
    ASSERT_TRUE(writeI16(f.veta(), 10, -2));
    ASSERT_TRUE(f.PridejVetu());
  }
  const std::string bytes = dir.read("kursy.dta");
  ASSERT_EQ(bytes.size(), 24u);
  // Record 2 at offset 12: length byte 3, "USD", Real48 of 21.125 (= 1.3203125 x 2^4), -2.
  const std::string second = bytes.substr(12);
  EXPECT_EQ(second.substr(0, 4), std::string("\x03USD", 4));
  EXPECT_EQ(second.substr(4, 6), std::string("\x85\x00\x00\x00\x00\x29", 6));
  EXPECT_EQ(second.substr(10, 2), std::string("\xFE\xFF", 2));

  // Rewrite record 1 in place; record 2 is untouched.
  ASSERT_TRUE(f.CtiVetu(1));
  EXPECT_EQ(readReal48(f.veta(), 4), 25.35);
  ASSERT_TRUE(writeI16(f.veta(), 10, 7));
  ASSERT_TRUE(f.PisVetu(1));
  EXPECT_EQ(dir.read("kursy.dta").substr(12), second);
  EXPECT_EQ(readI16(dir.read("kursy.dta"), 10), 7);

  // Outside 1..count nothing happens and nothing is reported.
  EXPECT_FALSE(f.PisVetu(3));
  EXPECT_FALSE(f.CtiVetu(0));
  EXPECT_EQ(dir.read("kursy.dta").size(), 24u);
  EXPECT_TRUE(rec.messages.empty());
}

TEST_F(RecordFileTest, TwoStationsAppendingNeverOverwriteEachOther) {
  RecordFile a, b;
  ASSERT_TRUE(a.OtevriSoubor("kody.dta", kSize));
  ASSERT_TRUE(b.OtevriSoubor("kody.dta", kSize));  // both counted 0 records
  setBuffer(a, record("A"));
  setBuffer(b, record("B"));
  ASSERT_TRUE(a.PridejVetu());
  ASSERT_TRUE(b.PridejVetu());
  EXPECT_EQ(a.pocet(), 1);
  EXPECT_EQ(b.pocet(), 2);
  EXPECT_EQ(b.rows.current, 2);
  EXPECT_EQ(dir.read("kody.dta"), record("A") + record("B"));
}

int g_writes = 0;
ssize_t failSecondWrite(int fd, const void* buf, size_t n, off_t off) {
  if (++g_writes == 2) {
    errno = ENOSPC;
    return -1;
  }
  return platform::realSysCalls().pwrite(fd, buf, n, off);
}

TEST_F(RecordFileTest, FailingWriteIsReportedAndLeavesTheOtherRecordsIntact) {
  writeRecords("kursy.dta", {"A", "B", "C"});
  const std::string before = dir.read("kursy.dta");
  RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("kursy.dta", kSize));
  setBuffer(f, record("D"));
  g_writes = 1;  // the next write fails
  platform::sys().pwrite = failSecondWrite;
  EXPECT_FALSE(f.PridejVetu());
  g_writes = 1;
  EXPECT_FALSE(f.PisVetu(2));
  platform::sys() = platform::realSysCalls();
  EXPECT_EQ(f.pocet(), 3);
  EXPECT_EQ(dir.read("kursy.dta"), before);
  ASSERT_EQ(rec.messages.size(), 2u);
  EXPECT_EQ(rec.messages[0], "Uz: 01 pise soubor: kursy.dta err    101");
}

// --- order files ------------------------------------------------------------------------------

TEST_F(RecordFileTest, OrderFilesMapRowsToRecordsAndBack) {
  writeRecords("kursy.dta", {"C", "A", "B"});
  dir.write("kursy.dt2", entries({{2, 3}, {3, 1}, {1, 2}}));  // alphabetical: A, B, C
  RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("kursy.dta", kSize + kSPoradim));
  EXPECT_EQ(f.velikost(), kSize);
  EXPECT_EQ(f.pocetPoradi(2), 3);
  EXPECT_FALSE(f.NastavPoradi(1));  // no such order file
  ASSERT_TRUE(f.NastavPoradi(2));
  std::string shown;
  for (int row = 1; row <= 3; ++row) {
    ASSERT_TRUE(f.CtiVetu(row));
    shown += readShortString(f.veta(), 0, 8);
  }
  EXPECT_EQ(shown, "ABC");
  for (int r = 1; r <= 3; ++r) EXPECT_EQ(f.CisloZPoradi(f.CisloZPoradi2(r)), r);
  // Writing row 1 writes record 2.
  setBuffer(f, record("AA"));
  ASSERT_TRUE(f.PisVetu(1));
  EXPECT_EQ(readShortString(dir.read("kursy.dta").substr(kSize), 0, 8), "AA");
  ASSERT_TRUE(f.NastavPoradi(0));
  EXPECT_EQ(f.CisloZPoradi(1), 1);
}

TEST_F(RecordFileTest, RowsBeyondAShortOrderFileShowTheirOwnRecord) {
  std::vector<std::string> keys;
  for (int i = 1; i <= 12; ++i) keys.push_back("K" + std::to_string(i));
  writeRecords("kursy.dta", keys);
  std::vector<std::pair<std::int32_t, std::int32_t>> order;
  for (int k = 1; k <= 10; ++k) order.push_back({11 - k, 11 - k});  // reversed; its own inverse
  dir.write("kursy.dt2", entries(order));
  RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("kursy.dta", kSize + kSPoradim));
  ASSERT_TRUE(f.NastavPoradi(2));
  EXPECT_EQ(f.CisloZPoradi(1), 10);
  EXPECT_EQ(f.CisloZPoradi(11), 11);
  EXPECT_EQ(f.CisloZPoradi(13), 13);  // outside the file: the row itself

  // An append fills the gap with rows that show themselves, then adds (13, 13) at entry 13.
  setBuffer(f, record("K13"));
  ASSERT_TRUE(f.PridejVetu());
  order.push_back({11, 11});
  order.push_back({12, 12});
  order.push_back({13, 13});
  EXPECT_EQ(dir.read("kursy.dt2"), entries(order));
  EXPECT_EQ(f.pocetPoradi(2), 13);
  EXPECT_EQ(f.CisloZPoradi(13), 13);
}

TEST_F(RecordFileTest, DamagedOrderEntryIsNeverWrittenThrough) {
  writeRecords("kursy.dta", {"A", "B", "C"});
  dir.write("kursy.dt1", entries({{3, 3}, {999, 1}, {0, 2}}));
  const std::string before = dir.read("kursy.dta");
  RecordFile f;
  ASSERT_TRUE(f.OtevriSoubor("kursy.dta", kSize + kSPoradim));
  ASSERT_TRUE(f.NastavPoradi(1));
  // Reading shows the row's own record instead of garbage or an error.
  ASSERT_TRUE(f.CtiVetu(2));
  EXPECT_EQ(readShortString(f.veta(), 0, 8), "B");
  // Writing is refused with a message; the file does not grow and no record changes.
  setBuffer(f, record("X"));
  EXPECT_FALSE(f.PisVetu(2));
  EXPECT_FALSE(f.PisVetu(3));
  EXPECT_EQ(dir.read("kursy.dta"), before);
  ASSERT_EQ(rec.messages.size(), 2u);
  EXPECT_NE(rec.messages[0].find("kursy.dt1"), std::string::npos);
  // A sound entry still writes.
  EXPECT_TRUE(f.PisVetu(1));
  EXPECT_EQ(readShortString(dir.read("kursy.dta").substr(2 * kSize), 0, 8), "X");
}

// --- counter key and key searches -------------------------------------------------------------

TEST_F(RecordFileTest, CounterKeyCountsAppendsInTheDataRootTable) {
  ASSERT_TRUE(PisJobV("", "KODY", "7"));  // left over from an earlier file of that name
  KeyedFile f;
  f.PozadujPocitadlo();
  ASSERT_TRUE(f.OtevriSoubor("kody.dta", kSize));
  EXPECT_EQ(f.klicPocitadla(), "KODY");
  EXPECT_EQ(CtiJobV("", "KODY"), "");  // a new file starts its counter afresh
  for (const char* k : {"B", "A"}) {
    setBuffer(f, record(k));
    ASSERT_TRUE(f.PridejVetu());
  }
  EXPECT_EQ(CtiJobV("", "KODY"), "2");
  EXPECT_EQ(f.serazeno(), 0);

  // The request applies to one open only.
  KeyedFile g;
  ASSERT_TRUE(g.OtevriSoubor("kody.dta", kSize));
  EXPECT_EQ(g.klicPocitadla(), "");
  EXPECT_EQ(g.serazeno(), 2);
}

TEST_F(RecordFileTest, CounterPastFiveDigitsIsNotCut) {
  writeRecords("kody.dta", {"A"});
  ASSERT_TRUE(PisJobV("", "KODY", "99999"));
  RecordFile f;
  f.PozadujPocitadlo();
  ASSERT_TRUE(f.OtevriSoubor("kody.dta", kSize));
  ASSERT_TRUE(f.PridejVetu());
  EXPECT_EQ(CtiJobV("", "KODY"), "100000");
}

TEST_F(RecordFileTest, SearchBisectsTheSortedPartAndScansTheAppendedRecords) {
  std::vector<std::string> keys;
  for (int i = 1; i <= 17; ++i) keys.push_back("K" + std::string(i < 10 ? "0" : "") + std::to_string(i));
  for (const char* k : {"A9", "K05X", "Z1"}) keys.push_back(k);  // appended since the sort
  writeRecords("kody.dta", keys);
  ASSERT_TRUE(PisJobV("", "KODY", "    3"));  // as older programs wrote it
  KeyedFile f;
  f.PozadujPocitadlo();
  ASSERT_TRUE(f.OtevriSoubor("kody.dta", kSize));
  ASSERT_EQ(f.pocet(), 20);
  ASSERT_EQ(f.serazeno(), 17);

  EXPECT_EQ(f.HledejKlic("K01"), 1);
  EXPECT_EQ(f.HledejKlic("K17"), 17);
  f.examined.clear();
  EXPECT_EQ(f.HledejKlic("K12"), 12);
  for (auto n : f.examined) EXPECT_LE(n, 17);
  EXPECT_LT(f.examined.size(), 7u);  // a bisection, not a scan

  f.examined.clear();
  EXPECT_EQ(f.HledejKlic("K05X"), 19);  // not in the sorted part: found among the appended
  ASSERT_GE(f.examined.size(), 3u);
  EXPECT_EQ(std::vector<std::int32_t>(f.examined.end() - 2, f.examined.end()), (std::vector<std::int32_t>{18, 19}));
  EXPECT_EQ(f.HledejKlic("A9"), 18);
  EXPECT_EQ(f.HledejKlic("Z1"), 20);
  EXPECT_EQ(f.HledejKlic("K99"), -20);  // the last position examined, negated

  // Prefix search: the sorted part only.
  const std::int32_t p = f.HledejZacatek("K1");
  ASSERT_GT(p, 0);
  EXPECT_EQ(keys[static_cast<size_t>(p - 1)].substr(0, 2), "K1");
  EXPECT_LT(f.HledejZacatek("Z"), 0);
  EXPECT_LT(f.HledejZacatek("K05X"), 0);
  EXPECT_EQ(f.HledejZacatek("A"), -1);
}

TEST_F(RecordFileTest, SearchOfAWhollySortedFile) {
  writeRecords("kody.dta", {"ALFA", "BETA", "DELTA", "GAMA", "OMEGA"});
  KeyedFile f;
  ASSERT_TRUE(f.OtevriSoubor("kody.dta", kSize));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(f.HledejKlic(std::vector<std::string>{"ALFA", "BETA", "DELTA", "GAMA", "OMEGA"}[i]), i + 1);
  EXPECT_EQ(f.HledejKlic("AAA"), -1);
  EXPECT_EQ(f.HledejKlic("ZZZ"), -5);
  EXPECT_LT(f.HledejKlic("CHI"), 0);
  EXPECT_EQ(f.HledejZacatek("GA"), 4);
  EXPECT_EQ(f.HledejZacatek("OM"), 5);
  // Keys compare as unsigned cp1250 bytes: "Š" (0x8A) sorts after "Z".
  EXPECT_EQ(f.HledejKlic("\x8A"), -5);
  KeyedFile none;
  ASSERT_TRUE(none.OtevriSoubor("none.dta", kSize));
  EXPECT_EQ(none.HledejKlic("X"), 0);
}

// The key searches read a few blocks instead of one record per probe; their answers must be
// those of the plain bisection over the keys held in memory: the same row found among equal keys,
// the same last midpoint for a key that is missing. Key files of several shapes, each asked for
// keys it holds (sorted part and appended tail), keys it lacks and prefixes of both.
std::int32_t bisectionInMemory(const std::vector<std::string>& keys, std::int32_t sorted, std::string_view key,
                               size_t cut) {
  std::int32_t last = 0;
  auto at = [&](std::int32_t n) {
    last = n;
    return keys[static_cast<size_t>(n - 1)].substr(0, cut);
  };
  const bool prefix = cut != std::string::npos;
  if (sorted > 0) {
    const std::string first = at(1);
    if (key == first) return 1;
    const std::string end = key > first ? at(sorted) : first;
    if (key > first && key == end) return sorted;
    for (std::int32_t lo = 1, hi = sorted; key > first && key < end && hi - lo > 1;) {
      const std::int32_t mid = lo + (hi - lo) / 2;
      const std::string k = at(mid);
      if (k == key) return mid;
      (key < k ? hi : lo) = mid;
    }
  }
  if (prefix) return sorted > 0 ? -last : 0;
  for (std::int32_t n = sorted + 1; n <= static_cast<std::int32_t>(keys.size()); ++n)
    if (at(n) == key) return n;
  return -last;
}

TEST_F(RecordFileTest, KeySearchesAnswerAsTheBisectionOverTheKeysInMemory) {
  constexpr std::int32_t kKeyed = 24;  // the key as a short string of 20, then 3 bytes
  class LongKeys : public RecordFile {
   public:
    std::string KlicRadku(std::int32_t n) override {
      CtiVetu(n);
      return readShortString(veta(), 0, 20);
    }
  };
  std::mt19937 gen(7);
  auto pick = [&](size_t upTo) { return std::uniform_int_distribution<size_t>(0, upTo - 1)(gen); };
  auto number = [](std::uint64_t v) {
    char b[24];
    std::snprintf(b, sizeof b, "%09llu", static_cast<unsigned long long>(v % 1000000000ULL));
    return std::string(b);
  };
  const std::vector<std::string> surnames = {"NOVAK", "NOVOTNY", "DVORAK", "\x8A" "TEFAN", "\xC8" "ERNY", "N", "NOVA"};
  const std::string letters = "AEKLNORZ \x8A\xC8\xE1\xED";
  auto name = [&] {  // most are NOVAK, the rest ever rarer; suffixes of 0 to 6 letters
    std::string s = surnames[std::min(pick(surnames.size()), pick(surnames.size()))];
    for (size_t i = pick(7); i > 0; --i) s += letters[pick(letters.size())];
    return s;
  };
  struct Shape {
    std::string what;
    std::vector<std::string> keys;
    std::int32_t appended = 0;  // records behind the sorted part, in arrival order
    bool throughOrder = false;  // the file unsorted, an order file giving the sorted rows
  };
  std::vector<Shape> shapes;
  auto made = [&](std::string what, size_t count, auto make, std::int32_t appended = 0, bool order = false) {
    Shape s{std::move(what), {}, appended, order};
    for (size_t i = 0; i < count; ++i) s.keys.push_back(make());
    std::sort(s.keys.begin(), s.keys.end() - appended);
    shapes.push_back(std::move(s));
  };
  made("uniform numbers", 12000, [&] { return number(gen()); });
  made("numbers crowded at the low end", 12000, [&] { return number(static_cast<std::uint64_t>(std::exp(std::uniform_real_distribution<>(0, 20)(gen)))); });
  made("clustered names", 12000, name);
  made("thirty keys, long runs", 12000, [&] { return "KEY" + std::to_string(pick(30)); });
  made("one key", 3000, [] { return std::string("SAME"); });
  made("sorted part and an unsorted tail", 8000, name, 700);
  made("names through an order file", 4000, name, 0, true);
  for (size_t n : {0, 1, 2, 3}) made("tiny", n, name);

  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.what + ", " + std::to_string(s.keys.size()) + " records");
    const std::int32_t count = static_cast<std::int32_t>(s.keys.size());
    // The records lie in key order, or shuffled with the order file giving the key order.
    std::vector<std::int32_t> recordOfRow(s.keys.size());
    std::iota(recordOfRow.begin(), recordOfRow.end(), 1);
    if (s.throughOrder) std::shuffle(recordOfRow.begin(), recordOfRow.end(), gen);
    std::string bytes(s.keys.size() * kKeyed, '\0'), order(s.keys.size() * 8, '\0');
    for (size_t row = 0; row < s.keys.size(); ++row) {
      const size_t record = static_cast<size_t>(recordOfRow[row] - 1);
      ASSERT_TRUE(writeShortString(bytes, record * kKeyed, 20, s.keys[row]));
      writeI32(order, row * 8, recordOfRow[row]);
      writeI32(order, record * 8 + 4, static_cast<std::int32_t>(row + 1));
    }
    dir.write("klice.dta", bytes);
    std::filesystem::remove(dir / "klice.dt1");
    if (s.throughOrder) dir.write("klice.dt1", order);
    ASSERT_TRUE(PisJobV("", "KLICE", std::to_string(s.appended)));
    LongKeys f;
    f.PozadujPocitadlo();
    ASSERT_TRUE(f.OtevriSoubor("klice.dta", kKeyed + (s.throughOrder ? kSPoradim : 0)));
    ASSERT_EQ(f.pocet(), count);
    ASSERT_EQ(f.serazeno(), count - s.appended);
    if (s.throughOrder) {
      ASSERT_TRUE(f.NastavPoradi(1));
    }

    auto askAll = [&](const std::vector<std::string>& keys) {
      std::vector<std::string> asked = {"", "\x01", "\xFF\xFF", "NOVAK", "KEY15", "SAME", "SAMF", "000000000"};
      for (int i = 0; i < 150 && count > 0; ++i) {
        const std::string& key = keys[pick(keys.size())];
        asked.push_back(key);
        asked.push_back(key.substr(0, pick(key.size() + 1)));  // a prefix, or a shorter key
        std::string near = key;
        if (!near.empty() && pick(2))
          near.back() = static_cast<char>(near.back() + (pick(2) ? 1 : -1));
        else
          near += letters[pick(letters.size())];
        asked.push_back(near);  // a neighbour, mostly missing
      }
      const std::set<std::string> held(keys.begin(), keys.end());
      for (const std::string& key : asked) {
        const std::int32_t got = f.HledejKlic(key);
        ASSERT_EQ(got, bisectionInMemory(keys, count - s.appended, key, std::string::npos)) << "key " << key;
        // Whatever the bisection, a key in the file is found and a found row holds the key.
        ASSERT_EQ(got > 0, held.count(key) == 1) << "key " << key;
        if (got > 0) {
          ASSERT_EQ(keys[static_cast<size_t>(got - 1)], key);
        }
        const std::string prefix = key.substr(0, 80);
        ASSERT_EQ(f.HledejZacatek(key), bisectionInMemory(keys, count - s.appended, prefix, prefix.size())) << "text " << key;
      }
    };
    askAll(s.keys);
    if (s.appended == 0 && !s.throughOrder) {
      // Another station rewrites the records with other keys: what earlier searches saw no longer
      // holds, and the answers follow the file.
      std::vector<std::string> other(s.keys.size());
      for (auto& k : other) k = name();
      std::sort(other.begin(), other.end());
      std::string rewritten(bytes.size(), '\0');
      for (size_t row = 0; row < other.size(); ++row) ASSERT_TRUE(writeShortString(rewritten, row * kKeyed, 20, other[row]));
      dir.write("klice.dta", rewritten);
      askAll(other);
    }
    EXPECT_TRUE(rec.messages.empty());
  }
}

// --- change check and hooks -------------------------------------------------------------------

TEST_F(RecordFileTest, ChangeByAnotherStationIsSeenBeforeWriting) {
  writeRecords("org.dta", {"Porici12"});
  RecordFile mine, theirs;
  ASSERT_TRUE(mine.OtevriSoubor("org.dta", kSize));
  ASSERT_TRUE(theirs.OtevriSoubor("org.dta", kSize));
  ASSERT_TRUE(mine.CtiVetu(1));
  const std::int32_t sum = mine.KontrolniSoucet();

  // Another station changes the number: the sum differs.
  ASSERT_TRUE(theirs.CtiVetu(1));
  writeI16(theirs.veta(), 9, 5);
  ASSERT_TRUE(theirs.PisVetu(1));
  ASSERT_TRUE(mine.CtiPuvodni(1));
  std::vector<std::uint8_t> keep = mine.veta();
  mine.veta() = mine.puvodni();
  EXPECT_NE(mine.KontrolniSoucet(), sum);
  mine.veta() = keep;

  // "12" becoming "21" keeps the byte sum; the byte comparison still sees it.
  ASSERT_TRUE(mine.CtiVetu(1));
  ASSERT_TRUE(theirs.CtiVetu(1));
  ASSERT_TRUE(writeShortString(theirs.veta(), 0, 8, "Porici21"));
  ASSERT_TRUE(theirs.PisVetu(1));
  const std::int32_t before = mine.KontrolniSoucet();
  ASSERT_TRUE(mine.CtiPuvodni(1));
  EXPECT_FALSE(mine.ShodaSPuvodni());
  mine.veta() = mine.puvodni();
  EXPECT_EQ(mine.KontrolniSoucet(), before);
}

// Scrambles every byte with 0x55 on the way to the disk and back.
class ScrambledFile : public RecordFile {
 public:
  void PoCteni(std::span<std::uint8_t> b, Buffer which) override {
    reads.push_back(which);
    for (auto& c : b) c ^= 0x55;
  }
  void PredZapisem(std::span<std::uint8_t> b) override {
    ++writes;
    for (auto& c : b) c ^= 0x55;
  }
  std::vector<Buffer> reads;
  int writes = 0;
};

TEST_F(RecordFileTest, GdprHooksScrambleTheStoredBytesOnly) {
  settings().gdpr = true;
  ScrambledFile f;
  ASSERT_TRUE(f.OtevriSoubor("org.dta", kSize));
  setBuffer(f, record("Novak"));
  ASSERT_TRUE(f.PridejVetu());
  ASSERT_TRUE(f.PisVetu(1));  // a second write must not scramble twice
  EXPECT_EQ(f.writes, 2);
  const std::string plain = record("Novak");
  EXPECT_EQ(f.veta(), std::vector<std::uint8_t>(plain.begin(), plain.end()));
  const std::string stored = dir.read("org.dta");
  ASSERT_EQ(stored.size(), static_cast<size_t>(kSize));
  EXPECT_EQ(static_cast<std::uint8_t>(stored[1]), 'N' ^ 0x55);

  ASSERT_TRUE(f.CtiVetu(1));
  ASSERT_TRUE(f.CtiPuvodni(1));
  EXPECT_EQ(f.reads, (std::vector<Buffer>{Buffer::Record, Buffer::Compare}));
  EXPECT_EQ(readShortString(f.puvodni(), 0, 8), "Novak");

  // Without the switch the hooks stay silent.
  settings().gdpr = false;
  ASSERT_TRUE(f.CtiVetu(1));
  EXPECT_EQ(f.reads.size(), 2u);
}

// --- sharing table ----------------------------------------------------------------------------

class RecordingSharing : public Sharing {
 public:
  bool Zamkni(const std::string& path, char mode) override {
    calls.push_back("lock " + path + (mode ? std::string(1, mode) : ""));
    return true;
  }
  void Odemkni(const std::string& path) override { calls.push_back("unlock " + path); }
  std::vector<std::string> calls;
};

TEST_F(RecordFileTest, OpenRegistersTheFileAndCloseReleasesIt) {
  RecordingSharing s;
  setSharing(&s);
  {
    RecordFile f;
    ASSERT_TRUE(f.OtevriSoubor("kursy.dta", kSize));
  }
  EXPECT_EQ(s.calls, (std::vector<std::string>{"lock kursy.dta", "unlock kursy.dta"}));
}

}  // namespace
}  // namespace pz::storage

namespace pz::storage {
namespace {

// Counts the locks a record file takes and frees.
class CountingSharing : public Sharing {
 public:
  bool Zamkni(const std::string&, char) override { return ++locks, true; }
  void Odemkni(const std::string&) override { ++unlocks; }
  int locks = 0, unlocks = 0;
};

TEST_F(RecordFileTest, AStationsOwnFileCanBeOpenedWithoutALockForThatOpenOnly) {
  CountingSharing counting;
  setSharing(&counting);
  dir.write("r.txt", "abc\r\n");
  RecordFile f;
  f.BezZamku();
  ASSERT_TRUE(f.OtevriSoubor("=r.txt", 5));
  f.ZavriSoubor();
  EXPECT_EQ(counting.locks, 0);
  EXPECT_EQ(counting.unlocks, 0);
  ASSERT_TRUE(f.OtevriSoubor("=r.txt", 5));  // the next open locks as usual
  f.ZavriSoubor();
  EXPECT_EQ(counting.locks, 1);
  EXPECT_EQ(counting.unlocks, 1);
}

}  // namespace
}  // namespace pz::storage
