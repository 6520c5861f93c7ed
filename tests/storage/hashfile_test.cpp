// The hashed keyed file: the stored slots, lookups and inserts, growth past three quarters, a
// full table, and the rebuild of a missing or damaged table from the data records.
#include "storage/hashfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/roots.h"
#include "storage/recordfile.h"
#include "storage/settings.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

constexpr int kKey = 11;     // a short string of 10 characters
constexpr int kRecord = 16;  // the key, then 5 bytes of data
constexpr size_t kSlot = kKey + 5;

std::string record(const std::string& key, char fill = '.') {
  std::string r(kRecord, fill);
  EXPECT_TRUE(writeShortString(r, 0, kKey - 1, key));
  return r;
}

std::string keyOf(int i) { return "K" + std::to_string(i); }

std::int32_t header(const std::string& dti, int field) { return readI32(dti, static_cast<size_t>(field) * 4); }

class HashFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    ZapomenAdresy();
    setInteraction(&rec);
    settings().user = "01";
  }
  void TearDown() override {
    setInteraction(nullptr);
    setSharing(nullptr);
    ZapomenAdresy();
    settings() = GlobalSettings{};
    platform::paths().clear();
  }
  void writeData(int n) {
    std::string bytes;
    for (int i = 1; i <= n; ++i) bytes += record(keyOf(i));
    dir.write("plat.dta", bytes);
  }
  void expectAllFound(HashFile& h, int n) {
    for (int i = 1; i <= n; ++i) {
      SCOPED_TRACE(keyOf(i));
      EXPECT_EQ(h.NajdiHash(keyOf(i)), i);
      EXPECT_EQ(readShortString(h.veta(), 0, kKey - 1), keyOf(i));
    }
  }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  RecordingInteraction rec;
};

TEST(Hash, WeightsAndUnsignedCharacters) {
  EXPECT_EQ(HashFile::Hash(""), 0);
  EXPECT_EQ(HashFile::Hash("A"), 65);
  EXPECT_EQ(HashFile::Hash("AB"), 10 * 3 * 65 + 100 * 1 * 66);  // 8550
  // Š and Č are cp1250 bytes above 127: their codes count as 138 and 200, never negative.
  EXPECT_EQ(HashFile::Hash("\x8A"), 138);
  EXPECT_EQ(HashFile::Hash("\x8A\xC8"), 10 * 3 * 138 + 100 * 200);
  // A long key stays below a million after each step.
  const std::int32_t h = HashFile::Hash(std::string(30, '\xFF'));
  EXPECT_GE(h, 0);
  EXPECT_LE(h, 1000000 + 10000 * 3 * 255);
}

TEST_F(HashFileTest, NewTableIsWrittenAsTheLayoutSays) {
  HashFile h;
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 10));
  EXPECT_EQ(h.VlozHash("AB", record("AB")), 1);
  h.ZavriHash();

  const std::string dti = dir.read("plat.dti");
  ASSERT_EQ(dti.size(), 11 * kSlot);
  EXPECT_EQ(header(dti, 0), 10);
  EXPECT_EQ(header(dti, 1), 1);
  // "AB" hashes to 8550, slot 8550 mod 10 = 0, stored as slot record 1.
  const std::string slot = dti.substr(kSlot, kSlot);
  EXPECT_EQ(slot[0], 1);
  EXPECT_EQ(readI32(slot, 1), 1);
  EXPECT_EQ(slot.substr(5), std::string("\x02" "AB\0\0\0\0\0\0\0\0", 11));
  EXPECT_EQ(dir.read("plat.dta"), record("AB"));
}

TEST_F(HashFileTest, InsertsAndLookupsSurviveCollisionsAndReopen) {
  HashFile h;
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 40));
  for (int i = 1; i <= 20; ++i) ASSERT_EQ(h.VlozHash(keyOf(i), record(keyOf(i))), 1);
  expectAllFound(h, 20);
  EXPECT_EQ(h.NajdiHash("K21"), -1);
  EXPECT_EQ(h.NajdiHash(""), -1);
  h.ZavriHash();
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 40));
  EXPECT_EQ(h.obsazeno(), 20);
  expectAllFound(h, 20);
}

TEST_F(HashFileTest, TableGrowsAfterThreeQuartersAndIsRebuiltTwiceAsLarge) {
  HashFile h;
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 8));
  for (int i = 1; i <= 7; ++i) ASSERT_EQ(h.VlozHash(keyOf(i), record(keyOf(i))), 1) << i;
  EXPECT_EQ(h.VlozHash(keyOf(8), record(keyOf(8))), 0);  // 7 of 8 used before it
  EXPECT_TRUE(h.roste());
  expectAllFound(h, 8);
  h.ZavriHash();
  EXPECT_FALSE(std::filesystem::exists(dir / "plat.dti"));

  rec.waits.clear();
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 8));
  EXPECT_EQ(rec.waits, std::vector<std::string>{platform::cz("Moment, rozšiřuji soubor")});
  EXPECT_EQ(h.velikostTabulky(), 16);
  EXPECT_EQ(h.obsazeno(), 8);
  expectAllFound(h, 8);
  EXPECT_EQ(dir.read("plat.dta").size(), 8u * kRecord);  // the build never rewrote the data
}

TEST_F(HashFileTest, FullTableIsRebuiltOnTheSpotWhenNobodyElseHasIt) {
  HashFile h;
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 4));
  for (int i = 1; i <= 4; ++i) ASSERT_GE(h.VlozHash(keyOf(i), record(keyOf(i))), 0);
  EXPECT_EQ(h.VlozHash(keyOf(5), record(keyOf(5))), 1);
  EXPECT_GE(h.velikostTabulky(), 8);
  expectAllFound(h, 5);
}

class BusySharing : public Sharing {
 public:
  std::string IfVolny(const std::string&) override { return "02"; }
};

TEST_F(HashFileTest, FullTableHeldByAnotherStationRefusesTheInsertAndStoresNothing) {
  HashFile h;
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 4));
  for (int i = 1; i <= 4; ++i) ASSERT_GE(h.VlozHash(keyOf(i), record(keyOf(i))), 0);
  BusySharing busy;
  setSharing(&busy);
  const std::string before = dir.read("plat.dta");
  EXPECT_EQ(h.VlozHash(keyOf(5), record(keyOf(5))), -1);
  EXPECT_EQ(dir.read("plat.dta"), before);
  expectAllFound(h, 4);
  // Not deleted at close either: the other station still uses it.
  h.ZavriHash();
  EXPECT_TRUE(std::filesystem::exists(dir / "plat.dti"));
}

TEST_F(HashFileTest, MissingOrDamagedTableIsBuiltFromTheData) {
  writeData(30);
  HashFile h;
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 100));
  EXPECT_EQ(h.velikostTabulky(), 100);
  expectAllFound(h, 30);
  h.ZavriHash();

  // A header of size 0 would divide by zero; a header larger than the file reads past its end.
  for (std::int32_t bad : {0, -5, 5000}) {
    SCOPED_TRACE(bad);
    std::string dti = dir.read("plat.dti");
    writeI32(dti, 0, bad);
    dir.write("plat.dti", dti);
    ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 100));
    expectAllFound(h, 30);
    h.ZavriHash();
  }
  dir.write("plat.dti", "xy");  // shorter than a header
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 100));
  expectAllFound(h, 30);
}

TEST_F(HashFileTest, FillFunctionChoosesTheKeysAndCanLeaveRecordsOut) {
  writeData(10);
  HashFile h;
  auto fill = [](std::int32_t n, ConstBytes rec) -> std::optional<std::string> {
    if (n % 2 == 0) return std::nullopt;  // records marked deleted, say
    return "X" + readShortString(rec, 0, kKey - 1);
  };
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 20, fill));
  EXPECT_EQ(h.obsazeno(), 5);
  EXPECT_EQ(h.NajdiHash("XK3"), 3);
  EXPECT_EQ(h.NajdiHash("XK4"), -1);
  EXPECT_EQ(h.NajdiHash("K3"), -1);
}

TEST_F(HashFileTest, LongKeysAreStoredCutAndFoundAgain) {
  constexpr int kLongKey = 41;
  HashFile h;
  ASSERT_TRUE(h.OtevriHash("dlouhe", kLongKey, 60, 10));
  const std::string key = std::string(35, 'a');
  std::string r(60, '\0');
  ASSERT_TRUE(writeShortString(r, 0, kLongKey - 1, key));
  EXPECT_EQ(h.VlozHash(key, r), 1);
  EXPECT_EQ(h.NajdiHash(key), 1);
  const std::string dti = dir.read("dlouhe.dti");
  EXPECT_EQ(static_cast<int>(dti.find('\x1E')) % (kLongKey + 5), 5);  // a length byte of 30
}

TEST_F(HashFileTest, DeletedSlotGivesItsRecordBack) {
  HashFile h;
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 10));
  ASSERT_EQ(h.VlozHash("A", record("A")), 1);
  ASSERT_EQ(h.VlozHash("B", record("B")), 1);
  h.ZavriHash();
  // Mark the slot of "A" (65 mod 10 = 5, stored as slot record 6) deleted.
  std::string dti = dir.read("plat.dti");
  ASSERT_EQ(readShortString(dti, 6 * kSlot + 5, kKey - 1), "A");
  dti[6 * kSlot] = 2;
  dir.write("plat.dti", dti);

  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 10));
  EXPECT_EQ(h.NajdiHash("A"), -1);
  // "K" (75 mod 10 = 5) lands on that slot and reuses record 1.
  EXPECT_EQ(h.VlozHash("K", record("K", '#')), 1);
  EXPECT_EQ(h.NajdiHash("K"), 1);
  EXPECT_EQ(dir.read("plat.dta"), record("K", '#') + record("B"));
}

}  // namespace
}  // namespace pz::storage
