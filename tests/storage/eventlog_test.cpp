#include "storage/eventlog.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <set>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

using platform::cz;

class EventLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().clear();
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("DATA/.keep", "");
    ZapomenAdresy();
    platform::setClock(&clock);
    setInteraction(&recorder);
    settings().user = "07";
    settings().workstation = "PC3";
  }
  void TearDown() override {
    platform::setClock(nullptr);
    setInteraction(nullptr);
    settings() = GlobalSettings{};
    ZapomenAdresy();
  }
  std::string line(const std::string& log, size_t n) {
    const std::string rec = log.substr(n * kLogRecord, kLogRecord);
    return rec.substr(1, static_cast<unsigned char>(rec[0]));
  }
  test::TempDir dir;
  platform::VirtualClock clock{{2026, 12, 9}, {9, 5, 3, 0}};
  RecordingInteraction recorder;
};

TEST_F(EventLogTest, FirstEventCreatesTheLogWithItsEmptyLine) {
  ASSERT_TRUE(Zapis(cz("* START - Valutová pokladna")));
  const std::string log = dir.read("DATA/PROTOKOL.PRT");
  ASSERT_EQ(log.size(), 160u);
  EXPECT_EQ(line(log, 0), cz("09.12.26  9:05:03 PC3 07  Prázdný protokol"));
  EXPECT_EQ(line(log, 1), cz("09.12.26  9:05:03 PC3 07 * START - Valutová pokladna"));
}

TEST_F(EventLogTest, LongMessagesAreCutAndMissingFieldsKeepTheirSeparators) {
  settings().workstation = "";
  settings().user = "";
  clock.advance(3600 * 1000 * 3);  // 12:05:03: a two-digit hour takes the blank's place
  ASSERT_TRUE(Zapis(std::string(100, 'x')));
  const std::string l = line(dir.read("DATA/PROTOKOL.PRT"), 1);
  EXPECT_EQ(l.size(), 79u);
  // date, time, then an empty workstation and a blank user between their separators
  EXPECT_EQ(l.substr(0, 23), "09.12.26 12:05:03     x");
}

TEST_F(EventLogTest, AnUnreadableLogIsNeverRecreated) {
  ASSERT_TRUE(Zapis("one"));
  const std::string before = dir.read("DATA/PROTOKOL.PRT");
  platform::File holder;  // another program holds the log exclusively
  ASSERT_EQ(holder.open("DATA\\PROTOKOL.PRT", platform::Access::ReadWrite, platform::Share::DenyReadWrite), 0);
  EXPECT_FALSE(Zapis("two"));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0], "Uz: 07 otvira protokol: - err     32");
  holder.close();
  EXPECT_EQ(dir.read("DATA/PROTOKOL.PRT"), before);
}

TEST_F(EventLogTest, TornLastRecordIsOverwrittenNotBuiltOn) {
  ASSERT_TRUE(Zapis("one"));
  std::string log = dir.read("DATA/PROTOKOL.PRT");
  dir.write("DATA/PROTOKOL.PRT", log + "half a rec");
  ASSERT_TRUE(Zapis("two"));
  log = dir.read("DATA/PROTOKOL.PRT");
  ASSERT_EQ(log.size(), 240u);
  EXPECT_EQ(line(log, 2).substr(25), "two");
}

TEST_F(EventLogTest, StationsLoggingAtOnceLoseNoLine) {
  constexpr int kStations = 4, kLines = 50;
  std::vector<pid_t> kids;
  for (int s = 0; s < kStations; ++s) {
    pid_t pid = fork();
    if (pid == 0) {
      for (int i = 0; i < kLines; ++i)
        if (!Zapis("st" + std::to_string(s) + " n" + std::to_string(i))) _exit(1);
      _exit(0);
    }
    kids.push_back(pid);
  }
  for (pid_t pid : kids) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  const std::string log = dir.read("DATA/PROTOKOL.PRT");
  ASSERT_EQ(log.size() % kLogRecord, 0u);
  std::set<std::string> seen;
  size_t empties = 0;
  for (size_t n = 0; n < log.size() / kLogRecord; ++n) {
    std::string l = line(log, n);
    if (l.find(cz("Prázdný")) != std::string::npos) ++empties;
    else seen.insert(l.substr(25));
  }
  EXPECT_EQ(empties, 1u);
  EXPECT_EQ(seen.size(), static_cast<size_t>(kStations * kLines));
}

}  // namespace
}  // namespace pz::storage
