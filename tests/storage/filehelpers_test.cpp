// File helpers as a user and the stored files see them: a work file taking a data file's place
// (also while another workstation holds the data file, and across volumes), deletion by a mask,
// copies and appends, and the sorted file and folder lists.
#include "storage/filehelpers.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "support/faults.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

using platform::cz;
namespace fs = std::filesystem;

// A wait window that keeps trying, as the real one does on its timer, until the attempt gives up
// or succeeds; `poPokusu` runs before each try (a test lets another station let go there).
class Okno : public RecordingInteraction {
 public:
  bool waitFor(const std::string& text, int intervalMs, const std::function<bool()>& attempt) override {
    waits.push_back(text);
    intervaly.push_back(intervalMs);
    for (int i = 0; i < 1000; ++i) {
      ++pokusu;
      if (poPokusu) poPokusu(pokusu);
      if (attempt()) return true;
    }
    return false;
  }
  std::vector<int> intervaly;
  int pokusu = 0;
  std::function<void(int)> poPokusu;
};

class FileHelpersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    setInteraction(&okno);
  }
  void TearDown() override {
    setInteraction(nullptr);
    platform::paths().clear();
  }
  bool exists(const std::string& name) const { return fs::exists(dir / name); }
  // Holds the file open the way another workstation's program has it open.
  platform::File drz(const std::string& name) {
    platform::File f;
    EXPECT_EQ(f.open(name, platform::Access::ReadWrite, platform::Share::DenyNone), platform::kIoOk);
    return f;
  }

  test::TempDir dir;
  Okno okno;
};

// ---------------------------------------------------------------------------------------------
// NahradSoubor

TEST_F(FileHelpersTest, WorkFileTakesThePlaceOfATargetThatIsMissingOrThere) {
  dir.write("prac.wrk", "new rates");
  EXPECT_EQ(NahradSoubor("prac.wrk", "kursy.dta"), 0);
  EXPECT_EQ(dir.read("kursy.dta"), "new rates");
  EXPECT_FALSE(exists("prac.wrk"));

  dir.write("prac.wrk", "newer");
  EXPECT_EQ(NahradSoubor("prac.wrk", "kursy.dta"), 0);
  EXPECT_EQ(dir.read("kursy.dta"), "newer");
  EXPECT_FALSE(exists("prac.wrk"));
  EXPECT_TRUE(okno.waits.empty());
  EXPECT_TRUE(okno.messages.empty());
}

TEST_F(FileHelpersTest, HeldTargetIsWaitedForAndThenReplaced) {
  dir.write("prac.wrk", "new");
  dir.write("kursy.dta", "old");
  platform::File jinde = drz("kursy.dta");
  okno.poPokusu = [&](int n) {
    if (n == 3) jinde.close();  // the other station lets go after about three seconds
  };
  EXPECT_EQ(NahradSoubor("prac.wrk", "kursy.dta"), 0);
  ASSERT_EQ(okno.waits.size(), 1u);
  EXPECT_EQ(okno.waits[0], cz("Soubor kursy.dta není volný - err   32"));
  EXPECT_EQ(okno.intervaly[0], 1000);
  EXPECT_EQ(okno.pokusu, 3);
  EXPECT_EQ(dir.read("kursy.dta"), "new");
  EXPECT_TRUE(okno.messages.empty());
}

TEST_F(FileHelpersTest, TargetHeldForGoodIsGivenUpAfterTenWaitsWithBothFilesKept) {
  dir.write("prac.wrk", "new");
  dir.write("kursy.dta", "old");
  platform::File jinde = drz("kursy.dta");
  const int code = NahradSoubor("prac.wrk", "kursy.dta");
  EXPECT_EQ(code, 32);  // a failure, never reported as done
  EXPECT_EQ(okno.pokusu, 10);
  ASSERT_EQ(okno.messages.size(), 1u);
  EXPECT_EQ(okno.messages[0], cz("Soubor kursy.dta nelze zrušit 32"));
  EXPECT_EQ(dir.read("kursy.dta"), "old");
  EXPECT_EQ(dir.read("prac.wrk"), "new");
}

TEST_F(FileHelpersTest, SourceNameWithQuestionMarkIsRefused) {
  dir.write("pra?.wrk", "x");
  dir.write("kursy.dta", "old");
  EXPECT_NE(NahradSoubor("pra?.wrk", "kursy.dta"), 0);
  EXPECT_EQ(dir.read("kursy.dta"), "old");
  EXPECT_TRUE(exists("pra?.wrk"));
}

TEST_F(FileHelpersTest, ReplacementAcrossVolumesCopiesBesideTheTargetFirst) {
  dir.write("prac.wrk", std::string(25000, 'n'));
  dir.write("data/kursy.dta", "old");
  test::FaultInjector faults;
  faults.failNth(test::FaultOp::Rename, 1, EXDEV);  // the rename of the work file itself
  EXPECT_EQ(NahradSoubor("prac.wrk", "data\\kursy.dta"), 0);
  EXPECT_EQ(dir.read("data/kursy.dta"), std::string(25000, 'n'));
  EXPECT_FALSE(exists("prac.wrk"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data"), fs::directory_iterator()), 1);
}

TEST_F(FileHelpersTest, FailedCopyAcrossVolumesLeavesTheTargetAndNoLitter) {
  dir.write("prac.wrk", "new");
  dir.write("data/kursy.dta", "old");
  test::FaultInjector faults;
  faults.failNth(test::FaultOp::Rename, 1, EXDEV);
  faults.failNth(test::FaultOp::Write, 1, ENOSPC, true);  // the volume of the target is full
  EXPECT_NE(NahradSoubor("prac.wrk", "data\\kursy.dta"), 0);
  EXPECT_EQ(dir.read("data/kursy.dta"), "old");
  EXPECT_EQ(dir.read("prac.wrk"), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data"), fs::directory_iterator()), 1);
  ASSERT_EQ(okno.messages.size(), 1u);
  EXPECT_NE(okno.messages[0].find(cz(" při přejmenování na souboru data\\kursy.dta")), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// ZrusSoubory

TEST_F(FileHelpersTest, MaskDeletesFilesOnlyInItsDirectory) {
  dir.write("rep/a.txt", "1");
  dir.write("rep/b.TXT", "2");
  dir.write("rep/c.txz", "3");
  dir.write("rep/.skryty.txt", "4");
  dir.write("rep/sub.txt/x", "5");  // a directory that matches the mask
  dir.write("a.txt", "6");
  EXPECT_EQ(ZrusSoubory("rep\\*.txt"), 0);
  EXPECT_FALSE(exists("rep/a.txt"));
  EXPECT_FALSE(exists("rep/b.TXT"));
  EXPECT_TRUE(exists("rep/c.txz"));
  EXPECT_TRUE(exists("rep/.skryty.txt"));
  EXPECT_TRUE(exists("rep/sub.txt/x"));
  EXPECT_TRUE(exists("a.txt"));
}

TEST_F(FileHelpersTest, FileThatStaysHeldIsNamedAndTheOthersStillGo) {
  dir.write("rep/a.txt", "1");
  dir.write("rep/b.txt", "2");
  platform::File jinde = drz("rep\\a.txt");
  EXPECT_EQ(ZrusSoubory("rep\\*.txt"), 32);
  EXPECT_EQ(okno.pokusu, 10);  // bounded: the wait ends although the file never frees
  ASSERT_EQ(okno.waits.size(), 1u);
  EXPECT_EQ(okno.waits[0], cz("Soubor rep\\a.txt není volný při errasse - err   32"));
  EXPECT_EQ(okno.intervaly[0], 100);
  ASSERT_EQ(okno.messages.size(), 1u);
  EXPECT_EQ(okno.messages[0], cz("Soubor rep\\a.txt nelze zrušit 32"));
  EXPECT_TRUE(exists("rep/a.txt"));
  EXPECT_FALSE(exists("rep/b.txt"));
}

// ---------------------------------------------------------------------------------------------
// KopirujSoubor and PripojSoubor

TEST_F(FileHelpersTest, CopyCutsALongerTargetAndTakesTheSourcesTime) {
  const std::string data(23456, 'x');  // more than two blocks
  dir.write("tisk.wrk", data);
  dir.write("rep.txt", std::string(40000, 'o'));
  ASSERT_EQ(platform::setFileTime("tisk.wrk", {2024, 3, 5, 14, 30, 20}), 0);
  EXPECT_EQ(KopirujSoubor("tisk.wrk", "rep.txt"), 0);
  EXPECT_EQ(dir.read("rep.txt"), data);
  platform::FileInfo fi;
  ASSERT_EQ(platform::fileInfo("rep.txt", fi), 0);
  EXPECT_EQ(fi.modified.year, 2024);
  EXPECT_EQ(fi.modified.day, 5);
  EXPECT_EQ(fi.modified.hour, 14);
  EXPECT_EQ(fi.modified.second, 20);
}

TEST_F(FileHelpersTest, CopyCreatesMissingFoldersAndIgnoresAMissingSource) {
  dir.write("UC01.dta", "journal");
  EXPECT_EQ(KopirujSoubor("UC01.dta", "261209-101500\\a\\UC01.dta"), 0);
  EXPECT_EQ(dir.read("261209-101500/a/UC01.dta"), "journal");

  dir.write("cil.dta", "keep");
  EXPECT_EQ(KopirujSoubor("nic.dta", "cil.dta"), 0);
  EXPECT_EQ(dir.read("cil.dta"), "keep");
}

TEST_F(FileHelpersTest, AppendAddsToTheEndAndMakesTheSourceWritable) {
  dir.write("ar1.txt", "first ");
  dir.write("arl.txt", "second");
  chmod((dir / "arl.txt").c_str(), 0444);
  EXPECT_EQ(PripojSoubor("arl.txt", "ar1.txt"), 0);
  EXPECT_EQ(dir.read("ar1.txt"), "first second");
  platform::FileInfo fi;
  ASSERT_EQ(platform::fileInfo("arl.txt", fi), 0);
  EXPECT_FALSE(fi.attrs & platform::kAttrReadOnly);
  EXPECT_EQ(PripojSoubor("ar1.txt", "novy.txt"), 0);  // a missing target is created
  EXPECT_EQ(dir.read("novy.txt"), "first second");

  dir.write("prazdny.txt", "");
  EXPECT_EQ(PripojSoubor("prazdny.txt", "novy.txt"), 0);
  EXPECT_EQ(PripojSoubor("chybi.txt", "novy.txt"), 0);
  EXPECT_EQ(dir.read("novy.txt"), "first second");
}

// ---------------------------------------------------------------------------------------------
// Lists

TEST_F(FileHelpersTest, HashesInTheMaskStandForDigits) {
  dir.write("d0012.txt", "x");
  dir.write("dab12.txt", "x");
  dir.write("d12345.txt", "x");
  dir.write("D0007.TXT", "x");
  std::vector<std::string> t;
  EXPECT_EQ(SeznamSouboru("d####.txt", t, 13, 50), 2);
  EXPECT_EQ(t, (std::vector<std::string>{"D0007.TXT", "d0012.txt"}));

  fs::create_directories(dir / "arch" / "2025");
  fs::create_directories(dir / "arch" / "20x5");
  fs::create_directories(dir / "arch" / "2024");
  dir.write("arch/2023", "a file, not a folder");
  EXPECT_EQ(SeznamSlozek("arch\\####", t, 9, 10), 2);
  EXPECT_EQ(t, (std::vector<std::string>{"2024", "2025"}));
}

TEST_F(FileHelpersTest, ModeNineShowsSizeAndDateWithBigFilesInKilobytes) {
  dir.write("velky.txt", std::string(2500000, 'v'));
  dir.write("maly.txt", std::string(1234, 'm'));
  dir.write("prazdny.txt", "");
  ASSERT_EQ(platform::setFileTime("velky.txt", {2026, 12, 9, 8, 0, 0}), 0);
  ASSERT_EQ(platform::setFileTime("maly.txt", {2025, 1, 31, 23, 59, 58}), 0);
  std::vector<std::string> t;
  EXPECT_EQ(SeznamSouboru("*.txt", t, 80, 90100), 2);
  EXPECT_EQ(t, (std::vector<std::string>{"maly.txt|  1 234   ;31.01.2025", "velky.txt|  2 500 KB;09.12.2026"}));
  EXPECT_EQ(SeznamSouboru("*.txt", t, 80, -100), 2);  // negative: mode 9 too
  EXPECT_EQ(t[1], "velky.txt|  2 500 KB;09.12.2026");

  EXPECT_EQ(SeznamSouboru("*.txt", t, 80, 10100), 2);
  const std::uint32_t cas = BalenyCas({2025, 1, 31, 23, 59, 58});
  EXPECT_EQ(cas, ((45u << 9 | 1u << 5 | 31u) << 16) | (23u << 11 | 59u << 5 | 29u));
  EXPECT_EQ(t[0], "maly.txt|00" + std::to_string(cas));
}

TEST_F(FileHelpersTest, MaximumKeepsTheFirstInSortedOrderAndEntriesAreCut) {
  for (const char* n : {"e.txt", "b.txt", "d.txt", "a.txt", "c.txt"}) dir.write(n, "x");
  dir.write("dlouhe-jmeno.txt", "x");
  std::vector<std::string> t;
  EXPECT_EQ(SeznamSouboru("*.txt", t, 6, 3), 3);
  EXPECT_EQ(t, (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(SeznamSouboru("dl*.txt", t, 6, 3), 1);
  EXPECT_EQ(t[0], "dlouh");
}

}  // namespace
}  // namespace pz::storage
