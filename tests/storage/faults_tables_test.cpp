// Faults injected under the files that index and coordinate the record files: the hashed file's
// table, the order files, the station settings table and the sharing table. After every failure
// the program has said so and goes on; every file is as before or as after, other entries byte
// for byte; and whatever a failure left behind, the next fault-free use finds every record.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "storage/fields.h"
#include "storage/hashfile.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/masterjob.h"
#include "storage/roots.h"
#include "storage/recordfile.h"
#include "storage/settings.h"
#include "support/faults.h"
#include "support/sharingtable.h"
#include "support/stationtable.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

using test::everyFault;
using test::sharingEntry;
using test::FaultInjector;

class TableFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().clear();
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("DATA/.keep", "");
    ZapomenAdresy();
    KonecStartuJob();
    setInteraction(&rec);
    settings().user = "01";
  }
  void TearDown() override {
    setInteraction(nullptr);
    ZrusSdileniZamku();
    KonecStartuJob();
    ZapomenAdresy();
    settings() = GlobalSettings{};
    platform::paths().clear();
  }
  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  RecordingInteraction rec;
};

// ---------------------------------------------------------------------------------------------
// Hashed file

constexpr int kKey = 11;     // a short string of 10 characters
constexpr int kRecord = 16;  // the key, then 5 bytes of data

std::string hashRecord(const std::string& key) {
  std::string r(kRecord, '.');
  (void)writeShortString(r, 0, kKey - 1, key);
  return r;
}
std::string keyOf(int i) { return "K" + std::to_string(i); }

// Every key of the data records whole in "plat.dta" is found with its own record, after a
// fault-free open that builds the table again where a failure left it unusable.
void expectEveryStoredKeyFound(const std::string& dta, const std::string& why) {
  HashFile h;
  ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 8)) << why;
  for (size_t n = 1; n * kRecord <= dta.size(); ++n) {
    const std::string key = readShortString(dta.substr((n - 1) * kRecord, kRecord), 0, kKey - 1);
    EXPECT_EQ(h.NajdiHash(key), static_cast<std::int32_t>(n)) << why << ": " << key;
  }
}

TEST_F(TableFaults, HashedInsertKeepsTheDataAndEveryStoredKeyIsFoundAfterwards) {
  std::string data;
  for (int i = 1; i <= 5; ++i) data += hashRecord(keyOf(i));
  for (const auto& f : everyFault()) {
    for (int nth = 1; nth <= 4; ++nth) {
      const std::string why = std::string(f.name) + " at " + std::to_string(nth);
      dir.write("DATA/plat.dta", data);
      std::filesystem::remove(dir / "DATA/plat.dti");
      rec.messages.clear();
      int result;
      {
        HashFile h;
        ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 20)) << why;
        {
          FaultInjector inject;
          inject.plan(f, nth);
          result = h.VlozHash("NOVY", hashRecord("NOVY"));
        }
        if (result >= 0) {
          EXPECT_EQ(h.NajdiHash("NOVY"), 6) << why;
        } else {
          EXPECT_FALSE(rec.messages.empty()) << why << ": a failed insert must say so";
        }
        EXPECT_EQ(h.NajdiHash(keyOf(3)), 3) << why;
      }
      const std::string after = dir.read("DATA/plat.dta");
      ASSERT_GE(after.size(), data.size()) << why;
      EXPECT_EQ(after.substr(0, data.size()), data) << why;
      if (result >= 0) {
        EXPECT_EQ(after.substr(data.size()), hashRecord("NOVY")) << why;
      }
      expectEveryStoredKeyFound(after, why);
    }
  }
}

TEST_F(TableFaults, HashedTableBuiltUnderAFaultIsWholeOrNotThere) {
  std::string data;
  for (int i = 1; i <= 40; ++i) data += hashRecord(keyOf(i));
  dir.write("DATA/plat.dta", data);
  for (const auto& f : everyFault()) {
    for (int nth = 1; nth <= 3; ++nth) {
      const std::string why = std::string(f.name) + " at " + std::to_string(nth);
      std::filesystem::remove(dir / "DATA/plat.dti");
      rec.messages.clear();
      {
        HashFile h;
        bool opened;
        {
          FaultInjector inject;
          inject.plan(f, nth);
          opened = h.OtevriHash("plat", kKey, kRecord, 8);
        }
        // An open that answers true has a table that knows every record.
        if (opened) {
          for (int i = 1; i <= 40; ++i) EXPECT_EQ(h.NajdiHash(keyOf(i)), i) << why;
        } else {
          EXPECT_FALSE(rec.messages.empty()) << why;
        }
      }
      EXPECT_EQ(dir.read("DATA/plat.dta"), data) << why;
      expectEveryStoredKeyFound(data, why);
    }
  }
}

TEST_F(TableFaults, HashedTableGrowingWhenFullLosesNoKey) {
  std::string data;
  for (int i = 1; i <= 3; ++i) data += hashRecord(keyOf(i));
  for (const auto& f : everyFault()) {
    for (int nth = 1; nth <= 4; ++nth) {
      const std::string why = std::string(f.name) + " at " + std::to_string(nth);
      dir.write("DATA/plat.dta", data);
      std::filesystem::remove(dir / "DATA/plat.dti");
      rec.messages.clear();
      int result;
      {
        HashFile h;
        ASSERT_TRUE(h.OtevriHash("plat", kKey, kRecord, 4)) << why;
        ASSERT_EQ(h.VlozHash(keyOf(4), hashRecord(keyOf(4))), 1) << why;
        ASSERT_EQ(h.obsazeno(), h.velikostTabulky()) << why;  // the next insert builds it again
        {
          FaultInjector inject;
          inject.plan(f, nth);
          result = h.VlozHash(keyOf(5), hashRecord(keyOf(5)));
        }
        // A table that could not be opened again has said so; one that is open knows every key.
        if (!h.otevren()) {
          EXPECT_FALSE(rec.messages.empty()) << why;
        }
        for (int i = 1; h.otevren() && i <= (result >= 0 ? 5 : 4); ++i) EXPECT_EQ(h.NajdiHash(keyOf(i)), i) << why;
      }
      const std::string after = dir.read("DATA/plat.dta");
      EXPECT_EQ(after.substr(0, 4 * kRecord), data + hashRecord(keyOf(4))) << why;
      expectEveryStoredKeyFound(after, why);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Order files

constexpr int kSize = 12;

std::string entry(std::int32_t record, std::int32_t row) {
  std::string e(8, '\0');
  (void)writeI32(e, 0, record);
  (void)writeI32(e, 4, row);
  return e;
}

TEST_F(TableFaults, OrderEntryOfAnAppendedRecordIsWholeOrMissingAndTheNextAppendIsShown) {
  const std::string records = std::string(kSize, 'a') + std::string(kSize, 'b') + std::string(kSize, 'c');
  // Order 1 shows the records backwards; order 2 in file order.
  const std::string backwards = entry(3, 3) + entry(2, 2) + entry(1, 1);
  const std::string forwards = entry(1, 1) + entry(2, 2) + entry(3, 3);
  for (const auto& f : everyFault()) {
    for (int nth = 1; nth <= 4; ++nth) {
      const std::string why = std::string(f.name) + " at " + std::to_string(nth);
      dir.write("DATA/KURSY.DTA", records);
      dir.write("DATA/KURSY.DT1", backwards);
      dir.write("DATA/KURSY.DT2", forwards);
      rec.messages.clear();
      RecordFile file;
      ASSERT_TRUE(file.OtevriSoubor("KURSY.DTA", kSize + kSPoradim)) << why;
      ASSERT_TRUE(file.NastavPoradi(1));
      std::fill(file.veta().begin(), file.veta().end(), 'N');
      bool ok;
      {
        FaultInjector inject;
        inject.plan(f, nth);
        ok = file.PridejVetu();
      }
      if (!ok) {
        EXPECT_FALSE(rec.messages.empty()) << why;
      }
      for (const char* order : {"DATA/KURSY.DT1", "DATA/KURSY.DT2"}) {
        const std::string o = dir.read(order);
        EXPECT_EQ(o.substr(0, 24), std::string(order).back() == '1' ? backwards : forwards) << why;
      }
      // The next append is shown at its own row in every order, whatever the failure left.
      std::fill(file.veta().begin(), file.veta().end(), 'M');
      ASSERT_TRUE(file.PridejVetu()) << why;
      RecordFile again;
      ASSERT_TRUE(again.OtevriSoubor("KURSY.DTA", kSize + kSPoradim)) << why;
      const std::int32_t last = again.pocet();
      for (int order = 1; order <= 2; ++order) {
        ASSERT_TRUE(again.NastavPoradi(order)) << why;
        EXPECT_EQ(again.CisloZPoradi(1), order == 1 ? 3 : 1) << why;
        ASSERT_TRUE(again.CtiVetu(last)) << why;
        EXPECT_EQ(std::string(again.veta().begin(), again.veta().end()), std::string(kSize, 'M')) << why;
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Station settings table "master.job"

TEST_F(TableFaults, StationTableIsOldOrNewAndAFailedWriteSaysSo) {
  const std::string old = test::stationTable({{"UZIVATEL", "01"}, {"LPT", "2"}, {"ZPRD", "41"}});
  struct Write {
    const char* name;
    std::function<bool()> run;
    std::string expected;  // the table after the write
  };
  const std::vector<Write> writes = {
      {"PisJob", [] { return PisJob("LPT", "3"); },
       test::stationTable({{"UZIVATEL", "01"}, {"LPT", "3"}, {"ZPRD", "41"}})},
      {"PisJob frees", [] { return PisJob("LPT", ""); },
       test::stationTable({{"UZIVATEL", "01"}, {"", ""}, {"ZPRD", "41"}})},
      {"PisJobV new key", [] { return PisJobV("", "POCITAC", "7"); },
       test::stationTable({{"UZIVATEL", "01"}, {"LPT", "2"}, {"ZPRD", "41"}, {"POCITAC", "7"}})},
      {"counter", [] { return UpravJobV("", "ZPRD", [](const std::string& s) { return std::to_string(std::atoi(s.c_str()) + 1); }); },
       test::stationTable({{"UZIVATEL", "01"}, {"LPT", "2"}, {"ZPRD", "42"}})},
  };
  for (const Write& w : writes) {
    for (const auto& f : everyFault()) {
      for (int nth = 1; nth <= 3; ++nth) {
        const std::string why = std::string(w.name) + ", " + f.name + " at " + std::to_string(nth);
        dir.write("master.job", old);
        rec.messages.clear();
        bool ok;
        {
          FaultInjector inject;
          inject.plan(f, nth);
          ok = w.run();
        }
        const std::string now = dir.read("master.job");
        EXPECT_TRUE(now == old || now == w.expected) << why;
        // The station's own table is the one written, never the installation's in its place.
        EXPECT_FALSE(std::filesystem::exists(dir / "DATA/master.job")) << why;
        if (ok) {
          EXPECT_EQ(now, w.expected) << why;
        } else {
          EXPECT_FALSE(rec.messages.empty()) << why;
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Sharing table "FOT.tab"

bool holds(const std::string& table, const std::string& e) {
  for (size_t at = 0; at + 20 <= table.size(); at += 20)
    if (table.compare(at, 20, e) == 0) return true;
  return false;
}

TEST_F(TableFaults, SharingTableWriteThatFailsNeverCountsAsALockAndTheTableStaysUsable) {
  const std::string kursy = DataCesta("kursy.dta");
  const std::string others = sharingEntry("PLAT.DTA", "02", 'R') + sharingEntry("KURSY.DTA", "03", 'R');
  const std::string mineR = sharingEntry("KURSY.DTA", "01", 'R');
  // The table with the other stations' entries in front, and this station's read lock or none.
  auto table = [&](const std::string& mine) {
    std::string t = others + mine;
    while (t.size() < kVelikostSdileni) t += sharingEntry("", "  ", ' ');
    return t;
  };
  for (const auto& f : everyFault()) {
    for (int nth = 1; nth <= 3; ++nth) {
      const std::string why = std::string(f.name) + " at " + std::to_string(nth);
      auto check = [&](const std::string& now) {
        ASSERT_EQ(now.size(), kVelikostSdileni) << why;
        EXPECT_EQ(now.substr(0, 40), others) << why;
        // Readable: the other station's lock is seen, and another station can lock and unlock.
        settings().user = "04";
        EXPECT_EQ(Zamkni(DataCesta("jiny.dta"), "W"), Zamek::Drzen) << why;
        Odemkni(DataCesta("jiny.dta"));
        settings().user = "01";
        EXPECT_EQ(IfVolny(kursy).substr(0, 4), "R 03") << why;
      };

      // A read lock: held only when the entry is in the table.
      dir.write("DATA/FOT.tab", table(""));
      rec.messages.clear();
      rec.waits.clear();
      Zamek z;
      {
        FaultInjector inject;
        inject.plan(f, nth);
        z = Zamkni(kursy, "R");
      }
      std::string now = dir.read("DATA/FOT.tab");
      if (z == Zamek::Drzen) {
        EXPECT_TRUE(holds(now, mineR)) << why;
      } else {
        EXPECT_TRUE(!rec.messages.empty() || !rec.waits.empty()) << why << ": a refused lock must say so";
      }
      check(now);

      // An unlock: the entry is gone or still there, nothing else moves.
      dir.write("DATA/FOT.tab", table(mineR));
      {
        FaultInjector inject;
        inject.plan(f, nth);
        Odemkni(kursy);
      }
      now = dir.read("DATA/FOT.tab");
      EXPECT_TRUE(now == table(mineR) || now == table("")) << why;
      check(now);

      // Turning this station's read lock into a write lock: all or nothing.
      dir.write("DATA/FOT.tab", table(mineR));
      settings().user = "01";
      bool premknuto;
      {
        FaultInjector inject;
        inject.plan(f, nth);
        premknuto = Premkni(DataCesta("plat.dta"));  // 02 holds it: refused without a write
      }
      EXPECT_FALSE(premknuto) << why;
      EXPECT_EQ(dir.read("DATA/FOT.tab"), table(mineR)) << why;
      {
        FaultInjector inject;
        inject.plan(f, nth);
        settings().user = "01";
        z = Zamkni(DataCesta("vlastni.dta"), "R");
        if (z == Zamek::Drzen) premknuto = Premkni(DataCesta("vlastni.dta"));
      }
      now = dir.read("DATA/FOT.tab");
      if (premknuto) {
        EXPECT_TRUE(holds(now, sharingEntry("VLASTNI.DTA", "01", 'W'))) << why;
      }
      EXPECT_FALSE(holds(now, sharingEntry("VLASTNI.DTA", "01", 'W')) && holds(now, sharingEntry("VLASTNI.DTA", "01", 'R')))
          << why;
      check(now);
    }
  }
}

}  // namespace
}  // namespace pz::storage
