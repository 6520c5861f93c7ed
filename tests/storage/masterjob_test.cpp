// The station settings table: its bytes, which file is used, the earlier size, and that a table
// that cannot be opened is never replaced.
#include "storage/masterjob.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/stationtable.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

using platform::cz;
using test::stationTable;


class StationTable : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    ZapomenAdresy();
    KonecStartuJob();
    setInteraction(&rec);
    settings().user = "01";
  }
  void TearDown() override {
    setInteraction(nullptr);
    KonecStartuJob();
    ZapomenAdresy();
    settings() = GlobalSettings{};
    platform::paths().clear();
  }
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  RecordingInteraction rec;
};

TEST_F(StationTable, KeysAreExactAndValuesComeBackWithoutTrailingBlanks) {
  dir.write("master.job", stationTable({{"LPT", "2   "}, {"MENA", "EUR"}}));
  EXPECT_EQ(CtiJob("LPT"), "2");
  EXPECT_EQ(CtiJob("lpt"), "");
  EXPECT_EQ(CtiJob("MENA"), "EUR");
  EXPECT_EQ(CtiJob("DAN2"), "");
}

TEST_F(StationTable, WritingAddsReplacesAndFreesEntriesInPlace) {
  dir.write("master.job", stationTable({{"LPT", "2"}, {"MENA", "EUR"}}));
  EXPECT_TRUE(PisJob("DAN2", "21"));
  EXPECT_TRUE(PisJob("MENA", "USD  "));
  EXPECT_TRUE(PisJob("LPT", "   "));  // all blanks: the entry is freed
  EXPECT_EQ(CtiJob("LPT"), "");
  // The freed first entry is the first free one and takes the next new key.
  EXPECT_TRUE(PisJob("ZAK1", "Firma123456"));
  EXPECT_EQ(dir.read("master.job"), stationTable({{"ZAK1", "Firma123"}, {"MENA", "USD"}, {"DAN2", "21"}}));
  // Not there and empty: nothing changes.
  EXPECT_TRUE(PisJob("TAB", ""));
  EXPECT_EQ(dir.read("master.job").size(), 3600u);
}

TEST_F(StationTable, ALongKeyIsCutAndFoundAgainRatherThanAddedTwice) {
  dir.write("master.job", stationTable({}));
  PisJob("TOOLONGKEY", "1");
  PisJob("TOOLONGKEY", "2");
  EXPECT_EQ(dir.read("master.job"), stationTable({{"TOOLONGK", "2"}}));
  EXPECT_EQ(CtiJob("TOOLONGKEY"), "2");
}

TEST_F(StationTable, TheEarlierSizeIsPaddedOnFirstReadAndByAWrite) {
  std::string old = stationTable({{"MENA", "EUR"}}, 1818);
  old[1817] = 'z';  // the last byte of the 101st entry survives the conversion
  dir.write("master.job", old);
  EXPECT_EQ(CtiJob("MENA"), "EUR");
  std::string now = dir.read("master.job");
  ASSERT_EQ(now.size(), 3600u);
  EXPECT_EQ(now.substr(0, 1818), old);
  EXPECT_EQ(now.substr(1818), std::string(1782, '\0'));

  dir.write("data/master.job", stationTable({{"FJ", "A"}}, 1818));
  dir.write("w/master.job", old);
  ASSERT_TRUE(PisJobV("w\\", "TAB", "5"));
  EXPECT_EQ(dir.read("w/master.job").size(), 3600u);
  EXPECT_EQ(CtiJobV("w\\", "MENA"), "EUR");
  EXPECT_EQ(CtiJobV("data\\", "FJ"), "A");
  EXPECT_EQ(dir.read("data/master.job").size(), 3600u);
}

TEST_F(StationTable, WithoutItsOwnTableTheStationUsesTheDataRootsTable) {
  dir.write("data.adr", "data\\\n");
  dir.write("data/master.job", stationTable({{"MENA", "EUR"}}));
  EXPECT_EQ(SouborJob(), "data\\master.job");
  EXPECT_EQ(CtiJob("MENA"), "EUR");
  dir.write("master.job", "x");  // shorter than 2 bytes: not a table
  EXPECT_EQ(CtiJob("MENA"), "EUR");
  dir.write("master.job", stationTable({{"MENA", "CZK"}}));
  EXPECT_EQ(CtiJob("MENA"), "CZK");
}

TEST_F(StationTable, DamagedTablesReadAsFarAsTheyGo) {
  std::string t = stationTable({{"MENA", "EUR"}}, 40);
  t[18] = '\x7F';  // a key length beyond 8 is read as 8
  dir.write("master.job", t);
  EXPECT_EQ(CtiJob("MENA"), "EUR");
  EXPECT_EQ(CtiJobV("", "MENA"), "EUR");
  ASSERT_TRUE(PisJob("TAB", "3"));  // the short table grows to its full size, nothing lost
  EXPECT_EQ(dir.read("master.job").substr(0, 18), t.substr(0, 18));
  EXPECT_EQ(CtiJob("TAB"), "3");
}

TEST_F(StationTable, AFullTableSaysSoAndChangesNothing) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < 200; ++i) entries.emplace_back("K" + std::to_string(i), "v");
  dir.write("master.job", stationTable(entries));
  EXPECT_FALSE(PisJob("NEW", "1"));
  ASSERT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(rec.messages[0], cz("Tabulka master.job je plná"));
  EXPECT_EQ(dir.read("master.job"), stationTable(entries));
  EXPECT_TRUE(PisJob("K5", "w"));  // an existing key can still change
}

TEST_F(StationTable, ABusyTableIsWaitedForThenLeftAsItWas) {
  const std::string shared = stationTable({{"SERVER1", "10.0.0.1"}, {"FJ", "A"}, {"UCROK", "26"}});
  dir.write("data/master.job", shared);
  platform::File holder;
  ASSERT_EQ(holder.open("data\\master.job", platform::Access::ReadWrite, platform::Share::DenyReadWrite), 0);
  EXPECT_FALSE(PisJobV("data\\", "GDPR", "A"));
  EXPECT_EQ(rec.waits.size(), 1u);
  ASSERT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(rec.messages[0], "Uz: 01 Soub: Master.job err    32");
  holder.close();
  EXPECT_EQ(dir.read("data/master.job"), shared);
}

TEST_F(StationTable, OnlyAMissingTableIsCreated) {
  EXPECT_FALSE(PisJobV("data\\", "FJ", "A"));  // the directory does not exist: not created
  EXPECT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(rec.messages[0], "Uz: 01 Soub: Master.job err     3");
  std::filesystem::create_directory(dir / "data");
  EXPECT_TRUE(PisJobV("data\\", "FJ", "A"));
  EXPECT_EQ(dir.read("data/master.job"), stationTable({{"FJ", "A"}}));
  EXPECT_EQ(CtiJobV("data\\", "FJ"), "A");
  EXPECT_EQ(CtiJobV("none\\", "FJ"), "");
}

TEST_F(StationTable, DuringStartTheTableIsReadOnceAndWritesKeepTheCopyCurrent) {
  dir.write("master.job", stationTable({{"MENA", "EUR"}}));
  ZacatekStartuJob();
  EXPECT_EQ(CtiJob("MENA"), "EUR");
  dir.write("master.job", stationTable({{"MENA", "USD"}}));  // another process changes it
  EXPECT_EQ(CtiJob("MENA"), "EUR");
  ASSERT_TRUE(PisJob("UZIVATEL", "01"));
  EXPECT_EQ(CtiJob("UZIVATEL"), "01");  // the own write is seen at once
  EXPECT_EQ(CtiJob("MENA"), "USD");     // and the copy now is the file as written
  KonecStartuJob();
  dir.write("master.job", stationTable({{"MENA", "GBP"}}));
  EXPECT_EQ(CtiJob("MENA"), "GBP");
}

}  // namespace
}  // namespace pz::storage
