// Faults injected into the file layer under the storage operations that write: every failure is
// reported, the program goes on, and every file is either as before or as after, never half
// written; records other than the one being written stay byte for byte.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/paths.h"
#include "storage/eventlog.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/recordfile.h"
#include "storage/settings.h"
#include "support/faults.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

using test::FaultInjector;
using test::FaultOp;

constexpr int kSize = 20;

std::string record(char c) { return std::string(kSize, c); }

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().clear();
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("DATA/KURSY.DTA", record('a') + record('b') + record('c'));
    ZapomenAdresy();
    ZahodParametry();
    setInteraction(&rec);
    settings().user = "01";
  }
  void TearDown() override {
    setInteraction(nullptr);
    ZahodParametry();
    ZapomenAdresy();
    settings() = GlobalSettings{};
  }
  test::TempDir dir;
  RecordingInteraction rec;
};

// Each write, sync and lock call in turn fails once; a full disk that stays full too.
struct Fault {
  FaultOp op;
  int err;
  bool sticky;
};
const Fault kFaults[] = {{FaultOp::Write, ENOSPC, false}, {FaultOp::Write, EIO, true},
                         {FaultOp::Lock, EIO, false},     {FaultOp::Open, EACCES, false},
                         {FaultOp::Read, EIO, false}};

TEST_F(FaultTest, RecordWriteLeavesOtherRecordsAndWholeRecords) {
  for (const Fault& f : kFaults) {
    for (int nth = 1; nth <= 4; ++nth) {
      dir.write("DATA/KURSY.DTA", record('a') + record('b') + record('c'));
      RecordFile file;
      ASSERT_TRUE(file.OtevriSoubor("KURSY.DTA", kSize));
      ASSERT_TRUE(file.CtiVetu(2));
      std::fill(file.veta().begin(), file.veta().end(), 'X');
      {
        FaultInjector inject;
        inject.failNth(f.op, nth, f.err, f.sticky);
        file.PisVetu(2);
      }
      const std::string after = dir.read("DATA/KURSY.DTA");
      ASSERT_EQ(after.size(), 3u * kSize) << "fault " << static_cast<int>(f.op) << " at " << nth;
      EXPECT_EQ(after.substr(0, kSize), record('a'));
      EXPECT_EQ(after.substr(2 * kSize), record('c'));
      const std::string mid = after.substr(kSize, kSize);
      EXPECT_TRUE(mid == record('b') || mid == record('X')) << mid;
    }
  }
}

TEST_F(FaultTest, FailedAppendIsReportedAndLeavesNoTornRecordBehindTheNext) {
  for (const Fault& f : kFaults) {
    for (int nth = 1; nth <= 4; ++nth) {
      dir.write("DATA/KURSY.DTA", record('a') + record('b') + record('c'));
      rec.messages.clear();
      RecordFile file;
      ASSERT_TRUE(file.OtevriSoubor("KURSY.DTA", kSize));
      std::fill(file.veta().begin(), file.veta().end(), 'N');
      bool ok;
      {
        FaultInjector inject;
        inject.failNth(f.op, nth, f.err, f.sticky);
        ok = file.PridejVetu();
      }
      std::string after = dir.read("DATA/KURSY.DTA");
      EXPECT_EQ(after.substr(0, 3 * kSize), record('a') + record('b') + record('c'));
      if (!ok) {
        EXPECT_FALSE(rec.messages.empty()) << "a failed append must say so";
      }
      // Whatever a failure left behind, the next append lands on a whole-record boundary.
      std::fill(file.veta().begin(), file.veta().end(), 'M');
      ASSERT_TRUE(file.PridejVetu());
      after = dir.read("DATA/KURSY.DTA");
      ASSERT_EQ(after.size() % kSize, 0u) << after.size();
      EXPECT_EQ(after.substr(after.size() - kSize), record('M'));
    }
  }
}

TEST_F(FaultTest, SettingsFileIsOldOrNewNeverHalfWritten) {
  const std::string old = "Pozadi2 : 12632256\r\nStary : 1\r\n";
  for (FaultOp op : {FaultOp::Write, FaultOp::Sync, FaultOp::Rename, FaultOp::Open, FaultOp::Delete}) {
    for (int nth = 1; nth <= 3; ++nth) {
      dir.write("par/sys.par", old);
      ZahodParametry();
      ASSERT_EQ(CtiPar("par\\sys.par", "Stary"), "1");
      PisPar("par\\sys.par", "Novy", "2");
      bool saved;
      {
        FaultInjector inject;
        inject.failNth(op, nth, ENOSPC);
        saved = UlozPar();
      }
      const std::string now = dir.read("par/sys.par");
      const bool isOld = now == old;
      const bool isNew = now.find("Novy : 2") != std::string::npos && now.find("Stary : 1") != std::string::npos;
      EXPECT_TRUE(isOld || isNew) << now;
      if (!saved) {
        EXPECT_TRUE(isOld);
        EXPECT_TRUE(UlozPar());  // the change waited in the cache and goes out now
        EXPECT_NE(dir.read("par/sys.par").find("Novy : 2"), std::string::npos);
      }
    }
  }
}

TEST_F(FaultTest, EventLogKeepsWholeRecordsWhenAWriteFails) {
  ASSERT_TRUE(Zapis("jedna"));
  for (int nth = 1; nth <= 2; ++nth) {
    FaultInjector inject;
    inject.failNth(FaultOp::Write, nth, ENOSPC);
    Zapis("ztracena?");
  }
  ASSERT_TRUE(Zapis("dva"));
  const std::string log = dir.read("DATA/PROTOKOL.PRT");
  EXPECT_EQ(log.size() % kLogRecord, 0u);
  EXPECT_NE(log.find("dva"), std::string::npos);
  EXPECT_GE(rec.messages.size(), 1u);
}

}  // namespace
}  // namespace pz::storage
