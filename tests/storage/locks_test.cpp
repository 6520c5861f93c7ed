// Locks between workstations through the sharing table "FOT.tab" and through a lock server link.
// Two stations are played by switching the user number of this process (the table sees only the
// user field), and by forked processes where they must really run at once.
#include "storage/locks.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/syscalls.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/recordfile.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/faults.h"
#include "support/sharingtable.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

using platform::cz;

// Waits a given number of tries; `mezi` runs before each try (another station acting meanwhile),
// and giving up can play the user who chose to ignore file protection.
class TestStation : public RecordingInteraction {
 public:
  bool waitFor(const std::string& text, int intervalMs, const std::function<bool()>& attempt) override {
    waits.push_back(text);
    intervals.push_back(intervalMs);
    for (int i = 0; i < waitAttempts; ++i) {
      if (mezi) mezi();
      ++tries;
      if (attempt()) return true;
    }
    if (ignorovat) ignoreProtection = true;
    return false;
  }
  std::function<void()> mezi;
  bool ignorovat = false;
  int tries = 0;
  std::vector<int> intervals;
};

struct Entry {
  std::string name, user;
  char mode;
  bool operator==(const Entry&) const = default;
};

// The entries of a sharing table that are in use, read from the bytes as the layout defines them.
std::vector<Entry> entries(const std::string& table) {
  std::vector<Entry> out;
  for (size_t off = 0; off + 20 <= table.size(); off += 20) {
    if (table[off + 1] == ' ') continue;
    out.push_back({table.substr(off + 1, 12), table.substr(off + 14, 4), table[off + 19]});
  }
  return out;
}

std::string nameRecord(const std::string& name) {
  std::string r(1, static_cast<char>(name.size()));
  r += name;
  r.resize(25, ' ');
  return r;
}

class SharingTable : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().clear();
    platform::paths().setWorkDir(dir.str());
    dir.write("data.adr", "DATA\\\r\n");
    dir.write("prog.adr", "PROG\\\r\n");
    dir.write("DATA/.keep", "");
    std::string names;
    for (int i = 0; i < 100; ++i)
      names += nameRecord(i == 1 ? cz("Jan Novák") : i == 2 ? cz("Jana Nováková") : i == 7 ? "Petr Svoboda" : "");
    dir.write("PROG/JMENA.tab", names);
    ZapomenAdresy();
    setInteraction(&station);
    settings().user = "01";
    kursy = DataCesta("kursy.dta");
  }
  void TearDown() override {
    platform::sys() = platform::realSysCalls();
    setInteraction(nullptr);
    setLockLink(nullptr);
    settings() = GlobalSettings{};
    ZapomenAdresy();
  }
  // Runs `fn` as another workstation.
  template <class F>
  auto as(const std::string& user, F fn) {
    const std::string mine = settings().user;
    settings().user = user;
    struct Back {
      std::string u;
      ~Back() { settings().user = u; }
    } back{mine};
    return fn();
  }
  std::vector<Entry> table() { return entries(dir.read("DATA/FOT.tab")); }

  test::TempDir dir;
  TestStation station;
  std::string kursy;
};

TEST_F(SharingTable, TwoStationsHoldReadLocksOnOneFileTogether) {
  EXPECT_EQ(Zamkni(kursy, "R"), Zamek::Drzen);
  EXPECT_EQ(as("02", [&] { return Zamkni(kursy); }), Zamek::Drzen);
  const std::string bytes = dir.read("DATA/FOT.tab");
  ASSERT_EQ(bytes.size(), 1980u);
  // Length bytes 12, 4 and 1 before name, user and mode; the rest of the table is free.
  EXPECT_EQ(bytes.substr(0, 20), std::string("\x0c" "KURSY.DTA   " "\x04" "01  " "\x01" "R"));
  EXPECT_EQ(bytes.substr(40, 20), std::string("\x0c" "            " "\x04" "    " "\x01" " "));
  EXPECT_EQ(table(), (std::vector<Entry>{{"KURSY.DTA   ", "01  ", 'R'}, {"KURSY.DTA   ", "02  ", 'R'}}));
  EXPECT_TRUE(station.waits.empty());
}

TEST_F(SharingTable, WriteLockWaitsForAnotherStationsReadLockAndGetsItOnTheFirstRetryAfterTheUnlock) {
  ASSERT_EQ(as("02", [&] { return Zamkni(kursy); }), Zamek::Drzen);
  station.mezi = [&] { as("02", [&] { Odemkni(kursy); }); };
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Drzen);
  ASSERT_EQ(station.waits.size(), 1u);
  EXPECT_EQ(station.waits[0], cz("Soubor KURSY.DTA    R užívá 02   Jana Nováková           "));
  EXPECT_EQ(station.intervals[0], 1000);
  EXPECT_EQ(station.tries, 1);
  EXPECT_EQ(table(), (std::vector<Entry>{{"KURSY.DTA   ", "01  ", 'W'}}));
}

TEST_F(SharingTable, ReadLockWaitsForAWriteLockAndGivingUpMeansNotHeld) {
  ASSERT_EQ(as("07", [&] { return Zamkni(kursy, "W"); }), Zamek::Drzen);
  EXPECT_EQ(Zamkni(kursy, "R"), Zamek::Nedrzen);
  ASSERT_EQ(station.waits.size(), 1u);
  EXPECT_EQ(station.waits[0], cz("Soubor KURSY.DTA    W užívá 07   Petr Svoboda            "));
  EXPECT_EQ(table(), (std::vector<Entry>{{"KURSY.DTA   ", "07  ", 'W'}}));
}

TEST_F(SharingTable, OwnReadLockBlocksOwnWriteLockWithTheTwoMessagesAndAQuestion) {
  ASSERT_EQ(Zamkni(kursy), Zamek::Drzen);
  // Refusing to free the own entry ends the request without a lock instead of repeating the
  // two messages for ever.
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Nedrzen);
  ASSERT_EQ(station.messages.size(), 2u);
  EXPECT_EQ(station.messages[0], cz("Přístup k souboru KURSY.DTA    R\r je blokován 01   Jan Novák               "));
  EXPECT_EQ(station.messages[1], cz("Dejte \"Ctrl Alt Del\", ukončete TAMBRU a znovu ji nastartujte"));
  ASSERT_EQ(station.questions.size(), 1u);
  EXPECT_EQ(table(), (std::vector<Entry>{{"KURSY.DTA   ", "01  ", 'R'}}));

  // Agreeing frees the stale entry and the write lock follows.
  station.answer = [](const std::string&) { return true; };
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Drzen);
  EXPECT_EQ(station.messages.size(), 4u);
  EXPECT_EQ(table(), (std::vector<Entry>{{"KURSY.DTA   ", "01  ", 'W'}}));
}

TEST_F(SharingTable, AFileWhoseReadLockCouldNotBeTakenStaysClosed) {
  RegistrujSdileniZamku();
  dir.write("DATA/FOT.tab", std::string(1980, ' '));
  RecordFile f;
  {
    test::FaultInjector faults;
    // The first open looks for the file's redirection "^fmw01.dta"; the second is the table's.
    faults.failNth(test::FaultOp::Open, 2, EACCES);
    EXPECT_FALSE(f.OtevriSoubor("fmw01.dta", 79));
  }
  EXPECT_FALSE(f.otevren());
  ASSERT_EQ(station.messages.size(), 1u);
  EXPECT_EQ(station.messages[0], "err cti v zamkni FOT     5");
  EXPECT_FALSE(std::filesystem::exists(dir / "DATA/fmw01.dta"));

  // With the table readable again the file opens under its read lock.
  ASSERT_TRUE(f.OtevriSoubor("fmw01.dta", 79));
  EXPECT_EQ(table(), (std::vector<Entry>{{"FMW01.DTA   ", "01  ", 'R'}}));
  f.ZavriSoubor();
  EXPECT_TRUE(table().empty());
  ZrusSdileniZamku();
}

TEST_F(SharingTable, AMissingDataFolderIsNamedAsTheAddressFileNamesIt) {
  dir.write("data.adr", "/pz-nonexistent-folder/\r\n");
  ZapomenAdresy();
  const std::string cesta = DataCesta("kursy.dta");
  EXPECT_EQ(cesta, "/pz-nonexistent-folder/kursy.dta");
  EXPECT_EQ(Zamkni(cesta, "W"), Zamek::Nedrzen);
  EXPECT_EQ(station.messages, std::vector<std::string>{cz("ERR 3 - neexistuje složka /PZ-NONEXISTENT-FOLDER/")});
}

TEST_F(SharingTable, UnlockFreesOneLockAndOnlyThisStationsOwn) {
  ASSERT_EQ(Zamkni(kursy), Zamek::Drzen);
  ASSERT_EQ(as("02", [&] { return Zamkni(kursy); }), Zamek::Drzen);
  ASSERT_EQ(Zamkni(kursy), Zamek::Drzen);
  Odemkni(kursy);
  EXPECT_EQ(table(), (std::vector<Entry>{{"KURSY.DTA   ", "02  ", 'R'}, {"KURSY.DTA   ", "01  ", 'R'}}));
  Odemkni(kursy);
  Odemkni(kursy);  // nothing of this station is left: the table stays as it is
  EXPECT_EQ(table(), (std::vector<Entry>{{"KURSY.DTA   ", "02  ", 'R'}}));
  // The freed slot is reused first.
  ASSERT_EQ(Zamkni(DataCesta("org.dta")), Zamek::Drzen);
  EXPECT_EQ(table().front(), (Entry{"ORG.DTA     ", "01  ", 'R'}));
}

// A release that cannot be written (the table's disk fails, or the table cannot be opened) leaves
// the entry in the table; this station must not meet it later as a lock that blocks itself, and
// freeing it must take none of the station's other read locks on the file with it.
TEST_F(SharingTable, AReleaseThatCouldNotBeWrittenGoesAtTheNextAccessAndTakesNoOtherLockWithIt) {
  const std::vector<std::pair<const char*, std::function<void(test::FaultInjector&)>>> poruchy = {
      {"write EIO", [](test::FaultInjector& f) { f.failNth(test::FaultOp::Write, 1, EIO, true); }},
      {"torn write", [](test::FaultInjector& f) { f.tearNthWrite(1, EIO); }},
      {"open EACCES", [](test::FaultInjector& f) { f.failNth(test::FaultOp::Open, 1, EACCES, true); }},
  };
  const Entry moje{"KURSY.DTA   ", "01  ", 'R'}, cizi{"KURSY.DTA   ", "02  ", 'R'};
  for (const auto& [nazev, planuj] : poruchy) {
    const auto odemkniPodPoruchou = [&] {
      station.messages.clear();
      test::FaultInjector f;
      planuj(f);
      Odemkni(kursy);
    };
    ASSERT_EQ(Zamkni(kursy), Zamek::Drzen);
    ASSERT_EQ(as("02", [&] { return Zamkni(kursy); }), Zamek::Drzen);
    ASSERT_EQ(Zamkni(kursy), Zamek::Drzen);
    ASSERT_EQ(Zamkni(kursy), Zamek::Drzen);
    odemkniPodPoruchou();
    EXPECT_FALSE(station.messages.empty()) << nazev;
    // The next access frees exactly the entry whose release failed, whatever the failed write
    // left on the disk; the two other read locks stay.
    EXPECT_EQ(IfVolny(kursy).substr(0, 4), "R 02") << nazev;
    EXPECT_EQ(table(), (std::vector<Entry>{cizi, moje, moje})) << nazev;
    Odemkni(kursy);
    as("02", [&] { Odemkni(kursy); });

    // The last lock's release fails: this station's write lock is granted without the question
    // about its own entry.
    odemkniPodPoruchou();
    EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Drzen) << nazev;
    EXPECT_TRUE(station.questions.empty()) << nazev;
    EXPECT_EQ(table(), (std::vector<Entry>{{"KURSY.DTA   ", "01  ", 'W'}})) << nazev;
    Odemkni(kursy);
    EXPECT_TRUE(table().empty()) << nazev;
  }
}

// A station started again frees its earlier run's entries at its first access. When that write
// fails and the request's own write of the table then gets through, the freeing went out with it:
// the lock that write took is never freed later as a leftover.
TEST_F(SharingTable, AnEarlierRunsEntriesFreedByTheRequestsOwnWriteNeverTakeItsLockLater) {
  std::string t = test::sharingEntry("KURSY.DTA", "01", 'R');
  for (int i = 1; i < 99; ++i) t += test::sharingEntry("", "", ' ');
  dir.write("DATA/FOT.tab", t);
  {
    test::FaultInjector f;
    f.failNth(test::FaultOp::Write, 2, ENOSPC);  // after the session stamp: the freeing
    ASSERT_EQ(Zamkni(DataCesta("org.dta"), "W"), Zamek::Drzen);
  }
  const std::vector<Entry> drzi{{"ORG.DTA     ", "01  ", 'W'}};
  EXPECT_EQ(table(), drzi);
  EXPECT_EQ(IfVolny(kursy), "");
  EXPECT_EQ(table(), drzi);
}

TEST_F(SharingTable, AFullTableIsWaitedForAndTheWaitCanBeLeft) {
  for (int i = 0; i < 99; ++i)
    ASSERT_EQ(as("02", [&] { return Zamkni(DataCesta("F" + std::to_string(i) + ".DTA")); }), Zamek::Drzen);
  const std::string before = dir.read("DATA/FOT.tab");
  EXPECT_EQ(Zamkni(kursy), Zamek::Nedrzen);
  ASSERT_EQ(station.waits.size(), 1u);
  EXPECT_EQ(station.waits[0], cz("Tabulka sdílení souborů je plná, čekám na uvolnění"));
  EXPECT_EQ(dir.read("DATA/FOT.tab"), before);

  // A slot freed meanwhile is taken on the next retry.
  station.mezi = [&] { as("02", [&] { Odemkni(DataCesta("F50.DTA")); }); };
  EXPECT_EQ(Zamkni(kursy), Zamek::Drzen);
  EXPECT_EQ(table()[50], (Entry{"KURSY.DTA   ", "01  ", 'R'}));
}

TEST_F(SharingTable, FilesOfTheWorkingDirectoryAndBareNamesAreNeverLocked) {
  EXPECT_EQ(Zamkni("kursy.dta", "W"), Zamek::Nepotreba);
  EXPECT_EQ(Zamkni(platform::currentDirectory() + "\\kursy.dta", "W"), Zamek::Nepotreba);
  EXPECT_EQ(Zamkni(platform::currentDirectory() + "\\", "W"), Zamek::Nepotreba);
  settings().lockingOff = true;
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Nepotreba);
  EXPECT_TRUE(Premkni(kursy));
  EXPECT_EQ(IfVolny(kursy), "");
  EXPECT_FALSE(std::filesystem::exists(dir / "FOT.tab"));
  EXPECT_FALSE(std::filesystem::exists(dir / "DATA" / "FOT.tab"));
  EXPECT_TRUE(station.messages.empty());
}

TEST_F(SharingTable, TokensLockInTheDataRoot) {
  const std::string pz01 = CestaZamku("PZ01");
  EXPECT_EQ(Zamkni(pz01, "W"), Zamek::Drzen);
  EXPECT_EQ(table(), (std::vector<Entry>{{"PZ01        ", "01  ", 'W'}}));
  EXPECT_EQ(as("02", [&] { return IfVolny(CestaZamku("pz01")); }), cz("W 01 JAN NOVÁK               "));
}

TEST_F(SharingTable, LongNamesThatAgreeInTwelveCharactersAreOneFile) {
  ASSERT_EQ(as("02", [&] { return Zamkni(DataCesta("UCETNIDENIKY2025.dta"), "W"); }), Zamek::Drzen);
  EXPECT_NE(IfVolny(DataCesta("ucetnidenikY2026.dta")), "");
  EXPECT_EQ(IfVolny(DataCesta("UCETNIDENIK.dta")), "");
  // A path longer than any directory name a station could share is refused, not cut.
  EXPECT_EQ(Zamkni(DataCesta(std::string(300, 'x') + ".dta")), Zamek::Nedrzen);
  EXPECT_EQ(station.messages.size(), 1u);
}

TEST_F(SharingTable, AnEarlierTableOf23EntriesIsReadAndGrowsOnTheNextChange) {
  std::string old;
  for (int i = 0; i < 23; ++i) {
    const bool used = i == 22;
    old += std::string("\x0c") + (used ? "KURSY.DTA   " : "            ") + "\x04" + (used ? "07  " : "    ") +
           "\x01" + (used ? "W" : " ");
  }
  ASSERT_EQ(old.size(), 460u);
  dir.write("DATA/FOT.tab", old);
  EXPECT_EQ(IfVolny(kursy), "W 07 PETR SVOBODA            ");
  EXPECT_EQ(dir.read("DATA/FOT.tab").size(), 460u);  // reading changes nothing
  EXPECT_EQ(Zamkni(kursy), Zamek::Nedrzen);         // its write lock is honoured
  ASSERT_EQ(Zamkni(DataCesta("org.dta")), Zamek::Drzen);
  const std::string now = dir.read("DATA/FOT.tab");
  ASSERT_EQ(now.size(), 1980u);
  EXPECT_EQ(entries(now), (std::vector<Entry>{{"ORG.DTA     ", "01  ", 'R'}, {"KURSY.DTA   ", "07  ", 'W'}}));
}

TEST_F(SharingTable, IsFreeIgnoresThisStationsOwnLocksWhateverTheirMode) {
  ASSERT_EQ(Zamkni(kursy, "W"), Zamek::Drzen);
  EXPECT_EQ(IfVolny(kursy), "");
  EXPECT_EQ(as("02", [&] { return IfVolny(kursy); }), cz("W 01 JAN NOVÁK               "));
  ASSERT_EQ(as("02", [&] { return Zamkni(DataCesta("org.dta")); }), Zamek::Drzen);
  EXPECT_EQ(IfVolny(DataCesta("ORG.DTA")), cz("R 02 JANA NOVÁKOVÁ           "));
  EXPECT_EQ(as("02", [&] { return IfVolny(DataCesta("org.dta")); }), "");
}

TEST_F(SharingTable, ConvertingToAWriteLockNeedsTheFileToItself) {
  ASSERT_EQ(Zamkni(kursy), Zamek::Drzen);
  ASSERT_EQ(Zamkni(kursy), Zamek::Drzen);
  ASSERT_EQ(as("02", [&] { return Zamkni(kursy); }), Zamek::Drzen);
  const std::string before = dir.read("DATA/FOT.tab");
  EXPECT_FALSE(Premkni(kursy));
  EXPECT_EQ(dir.read("DATA/FOT.tab"), before);

  as("02", [&] { Odemkni(kursy); });
  EXPECT_TRUE(Premkni(kursy));
  EXPECT_EQ(table(), (std::vector<Entry>{{"KURSY.DTA   ", "01  ", 'W'}}));
  EXPECT_EQ(as("02", [&] { return Zamkni(kursy); }), Zamek::Nedrzen);
}

TEST_F(SharingTable, ABlockedTableIsWaitedForAndProtectionCanBeIgnored) {
  ASSERT_EQ(Zamkni(DataCesta("org.dta")), Zamek::Drzen);
  platform::File other;  // another station is in the middle of its request
  ASSERT_EQ(other.open("DATA\\FOT.tab", platform::Access::ReadWrite, platform::Share::DenyReadWrite), 0);
  EXPECT_EQ(Zamkni(kursy), Zamek::Nedrzen);  // Esc: no lock, and the caller stops
  ASSERT_EQ(station.waits.size(), 1u);
  EXPECT_EQ(station.waits[0], cz("Je blokován přístup k tabulce sdílení souborů, čekám na uvolnění"));

  station.ignorovat = true;
  EXPECT_EQ(Zamkni(kursy), Zamek::Ignorovan);
  EXPECT_TRUE(MuzePokracovat(Zamek::Ignorovan));
  EXPECT_FALSE(station.ignoreProtection);

  // Unlocking waits as well, and the table is free again when the other station is done.
  station.mezi = [&] { other.close(); };
  Odemkni(DataCesta("org.dta"));
  EXPECT_TRUE(table().empty());
}

TEST_F(SharingTable, AMissingDirectoryIsReportedAndNoLockIsHeld) {
  const std::string path = DataCesta("NIC\\kursy.dta");
  EXPECT_EQ(Zamkni(path), Zamek::Nedrzen);
  ASSERT_EQ(station.messages.size(), 1u);
  EXPECT_EQ(station.messages[0], cz("ERR 3 - neexistuje složka ") + "DATA\\NIC\\");
  EXPECT_NE(IfVolny(path), "");  // nobody can say it is free
  EXPECT_FALSE(Premkni(path));
}

TEST_F(SharingTable, AFailedWriteOfTheTableMeansTheLockIsNotHeld) {
  ASSERT_EQ(Zamkni(DataCesta("org.dta")), Zamek::Drzen);  // the table exists
  platform::sys().pwrite = [](int, const void*, size_t, off_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  EXPECT_EQ(Zamkni(kursy), Zamek::Nedrzen);
  ASSERT_EQ(station.messages.size(), 1u);
  EXPECT_EQ(station.messages[0], "err pis(1) FOT   101");
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Nedrzen);
  ASSERT_EQ(station.waits.size(), 1u);
  EXPECT_EQ(station.waits[0], "chyba   101");
  EXPECT_FALSE(Premkni(DataCesta("org.dta")));
  platform::sys() = platform::realSysCalls();
  EXPECT_EQ(table(), (std::vector<Entry>{{"ORG.DTA     ", "01  ", 'R'}}));
}

TEST_F(SharingTable, UserNamesComeFromJmenaTab) {
  EXPECT_EQ(JmenoUzivatele("07  "), "Petr Svoboda            ");
  EXPECT_EQ(JmenoUzivatele("xx  "), std::string(24, ' '));
  std::filesystem::remove(dir / "PROG" / "JMENA.tab");
  EXPECT_EQ(JmenoUzivatele("01  "), std::string(24, ' '));
  const std::string created = dir.read("PROG/JMENA.tab");
  ASSERT_EQ(created.size(), 2500u);
  EXPECT_EQ(created.substr(25, 25), "\x18" + std::string(24, ' '));
}

// ---------------------------------------------------------------------------------------------
// The lock server link, with a scripted server

class ScriptedServer : public LockLink {
 public:
  std::optional<std::string> vymena(const std::string& prikaz, const std::string& adresar, const std::string& jmeno,
                                    const std::string& rezim, const std::string& uzivatel) override {
    sent.push_back(prikaz + "<" + adresar + ">" + jmeno + "#" + rezim + "$" + uzivatel);
    if (replies.empty()) return std::nullopt;
    std::string r = replies.front();
    if (replies.size() > 1) replies.pop_front();
    return r;
  }
  std::deque<std::string> replies;  // the last one repeats
  std::vector<std::string> sent;
};

class ServerLocks : public SharingTable {
 protected:
  void SetUp() override {
    SharingTable::SetUp();
    settings().lockServer = "127.0.0.1";
    setLockLink(&server);
  }
  ScriptedServer server;
};

TEST_F(ServerLocks, RequestsCarryTheLockIdentity) {
  server.replies = {"OK"};
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Drzen);
  EXPECT_EQ(Zamkni(kursy), Zamek::Drzen);
  Odemkni(kursy);
  EXPECT_EQ(IfVolny(kursy), "");
  EXPECT_TRUE(Premkni(kursy));
  EXPECT_EQ(server.sent, (std::vector<std::string>{
                             "Zamkni<DATA\\>KURSY.DTA   #W$01  ", "Zamkni<DATA\\>KURSY.DTA   #$01  ",
                             "Odemkni<DATA\\>KURSY.DTA   #p$01  ", "IfVolny<DATA\\>KURSY.DTA   #p$01  ",
                             "Premkni<DATA\\>KURSY.DTA   #p$01  "}));
  EXPECT_FALSE(std::filesystem::exists(dir / "DATA" / "FOT.tab"));
}

TEST_F(ServerLocks, ASilentServerIsToldApartFromAStationThatHoldsTheFile) {
  // Another station holds it: refused, and the server did answer.
  server.replies = {"W 02 JANA"};
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Nedrzen);
  EXPECT_FALSE(ServerZamkuNeodpovedel());
  // The link failed (no reply in time): refused because the server does not answer.
  server.replies.clear();
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Nedrzen);
  EXPECT_TRUE(ServerZamkuNeodpovedel());
  server.replies = {"OK"};
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Drzen);
  EXPECT_FALSE(ServerZamkuNeodpovedel());
}

TEST_F(ServerLocks, ALockIsAskedFor51TimesBeforeTheWaitWindow) {
  server.replies.assign(60, "W 02 JANA");
  server.replies.push_back("OK");
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Drzen);
  EXPECT_EQ(server.sent.size(), 61u);
  ASSERT_EQ(station.waits.size(), 1u);
  EXPECT_EQ(station.waits[0], cz("Soubor je stále obsazený W 02 JANA"));
  EXPECT_EQ(station.intervals[0], 2000);
  EXPECT_EQ(station.tries, 1);
}

TEST_F(ServerLocks, AServerThatKeepsRefusingCanBeLeftAndUnlockGivesUpAfterOneRound) {
  server.replies = {"R 02 JANA"};
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Nedrzen);
  EXPECT_EQ(server.sent.size(), 51u * 4);  // the first round and three in the wait window
  server.sent.clear();
  Odemkni(kursy);
  EXPECT_EQ(server.sent.size(), 51u);
  ASSERT_EQ(station.messages.size(), 1u);
  EXPECT_EQ(station.messages[0], cz("Soubor je stále obsazený R 02 JANA"));
}

TEST_F(ServerLocks, AnswersOfIsFreeAndConvert) {
  server.replies = {"R 02 JANA NOVAKOVA"};
  EXPECT_EQ(IfVolny(kursy), "R 02 JANA NOVAKOVA");
  EXPECT_FALSE(Premkni(kursy));
  server.replies = {"OK, ale"};
  EXPECT_EQ(IfVolny(kursy), "");
  EXPECT_FALSE(Premkni(kursy));  // only exactly "OK" converts
}

TEST_F(ServerLocks, ADeadLinkHoldsNothingAndNeverCountsAsFree) {
  EXPECT_EQ(Zamkni(kursy, "W"), Zamek::Nedrzen);
  EXPECT_NE(IfVolny(kursy), "");
  EXPECT_FALSE(Premkni(kursy));
  EXPECT_TRUE(station.waits.empty());
}

TEST_F(ServerLocks, NamesTheRequestCannotCarryAreRefused) {
  server.replies = {"OK"};
  EXPECT_EQ(Zamkni("=\\\\SRV\\D$\\DATA\\kursy.dta", "W"), Zamek::Nedrzen);
  EXPECT_EQ(Zamkni(DataCesta("a#b.dta")), Zamek::Nedrzen);
  EXPECT_TRUE(server.sent.empty());
  EXPECT_EQ(station.messages.size(), 2u);
}

// ---------------------------------------------------------------------------------------------
// Locked sequential file

TEST_F(SharingTable, ALockedFileIsLoggedAndReleasedOnClose) {
  settings().eventLog = DataCesta("PROTOKOL.PRT");
  {
    ZamcenySoubor z;
    ASSERT_TRUE(z.Otevri("vypis.dta", 'a', 4));  // missing: created, and appending becomes output
    EXPECT_EQ(table(), (std::vector<Entry>{{"VYPIS.DTA   ", "01  ", 'W'}}));
    EXPECT_TRUE(z.Pis("0001"));
    EXPECT_TRUE(z.Pis("0002"));
    z.Zavri();
    EXPECT_EQ(z.pocet(), 2);
  }
  {
    ZamcenySoubor z;
    ASSERT_TRUE(z.Otevri("vypis.dta", 'A', 4));
    EXPECT_EQ(z.aktualni(), 3);
    EXPECT_TRUE(z.Pis("0003"));
  }  // closed by its destructor
  ZamcenySoubor z;
  ASSERT_TRUE(z.Otevri("vypis.dta", 'I', 4));
  std::string r, all;
  while (!z.Konec() && z.Cti(r)) all += r;
  EXPECT_EQ(all, "000100020003");
  EXPECT_EQ(as("02", [&] { return IfVolny(DataCesta("vypis.dta")); }), cz("R 01 JAN NOVÁK               "));
  z.Zavri();
  EXPECT_TRUE(table().empty());

  const std::string log = dir.read("DATA/PROTOKOL.PRT");
  std::vector<std::string> tails;
  for (size_t off = 80; off + 80 <= log.size(); off += 80) {
    const std::string line = log.substr(off + 1, static_cast<unsigned char>(log[off]));
    tails.push_back(line.substr(line.find("Open") != std::string::npos ? line.find("Open") : line.find("Close")));
  }
  EXPECT_EQ(tails, (std::vector<std::string>{
                       "OpenO vypis.dta                     0", "Close vypis.dta                     2",
                       "OpenA vypis.dta                     2", "Close vypis.dta                     3",
                       "OpenI vypis.dta                     3", "Close vypis.dta                     3"}));
}

TEST_F(SharingTable, AFailedOpenOfALockedFileLeavesNoLockBehind) {
  std::filesystem::create_directory(dir / "DATA" / "VYPIS.DTA");  // a directory cannot be opened as a file
  ZamcenySoubor z;
  EXPECT_FALSE(z.Otevri("VYPIS.DTA", 'O', 4));
  ASSERT_EQ(station.messages.size(), 1u);
  EXPECT_EQ(station.messages[0], cz("Chyba   5 při otevírání DATA\\VYPIS.DTA"));
  EXPECT_TRUE(table().empty());
  // So the next write lock is not blocked by a leftover of this station.
  EXPECT_EQ(Zamkni(DataCesta("VYPIS.DTA"), "W"), Zamek::Drzen);
}

// ---------------------------------------------------------------------------------------------
// Stations as processes

// Waits by sleeping a little between tries, as the wait window's timer would, for a bounded time.
class PatientStation : public RecordingInteraction {
 public:
  bool waitFor(const std::string&, int, const std::function<bool()>& attempt) override {
    for (int i = 0; i < 20000; ++i) {
      if (attempt()) return true;
      std::this_thread::sleep_for(std::chrono::microseconds(200 + 50 * (i % 7)));
    }
    return false;
  }
};

// Each station takes the write lock, increments a 4-byte counter and unlocks, `rounds` times; the
// exit status is the number of rounds that went wrong.
int countingStation(const std::string& user, const std::string& counter, int rounds) {
  PatientStation patient;
  setInteraction(&patient);
  settings().user = user;
  int wrong = 0;
  for (int i = 0; i < rounds; ++i) {
    if (Zamkni(counter, "W") != Zamek::Drzen) {
      ++wrong;
      continue;
    }
    platform::File f;
    uint32_t n = 0;
    if (f.open(counter, platform::Access::ReadWrite, platform::Share::DenyNone, platform::Create::OpenAlways) != 0) {
      ++wrong;
    } else {
      size_t got = 0;
      f.readAt(0, &n, sizeof n, &got);
      ++n;
      if (f.writeAt(0, &n, sizeof n) != 0) ++wrong;
      f.close();
    }
    Odemkni(counter);
  }
  return std::min(wrong, 100);
}

TEST_F(SharingTable, StationsIncrementingUnderWriteLocksLoseNoStep) {
  constexpr int kStations = 4, kRounds = 250;
  const std::string counter = DataCesta("CITAC.DTA");
  std::vector<pid_t> children;
  for (int s = 0; s < kStations; ++s) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) _exit(countingStation("0" + std::to_string(s + 1), counter, kRounds));
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  const std::string bytes = dir.read("DATA/CITAC.DTA");
  ASSERT_EQ(bytes.size(), 4u);
  uint32_t n = 0;
  std::memcpy(&n, bytes.data(), 4);
  EXPECT_EQ(n, static_cast<uint32_t>(kStations * kRounds));
  EXPECT_TRUE(table().empty());
}

// Stations that really run: each takes its locks, tells the test through a pipe and waits until
// it is killed; its exit code is 0 when its own checks held.
pid_t runningStation(const std::string& user, const std::function<int()>& work) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test that stopped early
    close(ready[0]);
    settings().user = user;
    const char result = static_cast<char>(work());
    if (write(ready[1], &result, 1) != 1) _exit(3);
    for (;;) pause();
  }
  close(ready[1]);
  char result = 1;
  if (read(ready[0], &result, 1) != 1) result = 2;
  close(ready[0]);
  if (result != 0 && pid > 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
  }
  return pid;
}

// Kills the stations a test left running when it stops early.
struct Stations {
  std::vector<pid_t> pids;
  pid_t add(pid_t pid) {
    if (pid > 0) pids.push_back(pid);
    return pid;
  }
  ~Stations() {
    for (pid_t p : pids) {
      kill(p, SIGKILL);
      waitpid(p, nullptr, 0);
    }
  }
};

void killStation(Stations& all, pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  std::erase(all.pids, pid);
}

std::vector<std::string> logLines(const std::string& log) {
  std::vector<std::string> out;
  for (size_t off = 80; off + 80 <= log.size(); off += 80)
    out.push_back(log.substr(off + 1, static_cast<unsigned char>(log[off])));
  return out;
}

TEST_F(SharingTable, TheEntriesOfAKilledStationAreFreedByWhoeverMeetsThemAndALiveStationsNever) {
  settings().eventLog = DataCesta("PROTOKOL.PRT");
  const std::string pz = CestaZamku("PZ01"), stav = CestaZamku("STAVZ01"), org = DataCesta("org.dta");
  Stations all;
  const pid_t dead = all.add(runningStation("02", [&] {
    return Zamkni(pz, "W") == Zamek::Drzen && Zamkni(stav, "W") == Zamek::Drzen && Zamkni(kursy) == Zamek::Drzen ? 0 : 1;
  }));
  ASSERT_GT(dead, 0);
  const pid_t live = all.add(runningStation("07", [&] { return Zamkni(org, "W") == Zamek::Drzen ? 0 : 1; }));
  ASSERT_GT(live, 0);
  killStation(all, dead);
  // Killed, station 02 could not unlock: its entries stand in the table as it left them.
  EXPECT_EQ(table(), (std::vector<Entry>{{"PZ01        ", "02  ", 'W'},
                                         {"STAVZ01     ", "02  ", 'W'},
                                         {"KURSY.DTA   ", "02  ", 'R'},
                                         {"ORG.DTA     ", "07  ", 'W'}}));

  // Station 01 meets the dead station's document lock: freed at once with all its other entries,
  // no wait window, no message, one line in the event log naming the station and its process.
  EXPECT_EQ(Zamkni(pz, "W"), Zamek::Drzen);
  EXPECT_TRUE(station.waits.empty());
  EXPECT_TRUE(station.messages.empty());
  EXPECT_EQ(table(), (std::vector<Entry>{{"PZ01        ", "01  ", 'W'}, {"ORG.DTA     ", "07  ", 'W'}}));
  auto lines = logLines(dir.read("DATA/PROTOKOL.PRT"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(cz("Stanice 02 neběží, uvolněno zámků: 3 (pid ") + std::to_string(dead) + " "),
            std::string::npos)
      << lines[0];
  EXPECT_EQ(Zamkni(stav, "W"), Zamek::Drzen);  // nothing left to wait for
  EXPECT_TRUE(station.waits.empty());

  // The live station's write lock is waited for, never freed, and nobody logs it.
  EXPECT_EQ(Zamkni(org), Zamek::Nedrzen);
  ASSERT_EQ(station.waits.size(), 1u);
  EXPECT_EQ(station.waits[0], cz("Soubor ORG.DTA      W užívá 07   Petr Svoboda            "));
  EXPECT_EQ(IfVolny(org).substr(0, 4), "W 07");
  EXPECT_FALSE(Premkni(org));
  EXPECT_EQ(logLines(dir.read("DATA/PROTOKOL.PRT")).size(), 1u);

  // Once it is killed too, the next look frees it, again with one line.
  killStation(all, live);
  EXPECT_EQ(IfVolny(org), "");
  EXPECT_EQ(IfVolny(org), "");
  lines = logLines(dir.read("DATA/PROTOKOL.PRT"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find(cz("Stanice 07 neběží, uvolněno zámků: 1")), std::string::npos) << lines[1];
  EXPECT_EQ(table(), (std::vector<Entry>{{"PZ01        ", "01  ", 'W'}, {"STAVZ01     ", "01  ", 'W'}}));

  // A station started again under the number of its killed run gets its locks back without the
  // "je blokován" messages and the release question.
  const pid_t first = all.add(runningStation("03", [&] { return Zamkni(kursy, "W") == Zamek::Drzen ? 0 : 1; }));
  ASSERT_GT(first, 0);
  killStation(all, first);
  const pid_t again = all.add(runningStation("03", [&] {
    return Zamkni(kursy, "W") == Zamek::Drzen && station.messages.empty() && station.questions.empty() ? 0 : 1;
  }));
  ASSERT_GT(again, 0);
  EXPECT_EQ(table(), (std::vector<Entry>{{"PZ01        ", "01  ", 'W'},
                                         {"STAVZ01     ", "01  ", 'W'},
                                         {"KURSY.DTA   ", "03  ", 'W'}}));
  killStation(all, again);
  lines = logLines(dir.read("DATA/PROTOKOL.PRT"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[2].find(cz("Stanice 03 znovu spuštěna, uvolněno zámků: 1")), std::string::npos) << lines[2];
}

}  // namespace
}  // namespace pz::storage
