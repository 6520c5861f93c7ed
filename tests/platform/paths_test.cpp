#include "platform/paths.h"

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "support/tempdir.h"

namespace pz::platform {
namespace {

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("root/work/drives.txt", "# demo drives\nC: = ..\nF = ../data\nLPT1 = tiskarna.prn\n");
    dir.write("root/data/TAMBRA3W/EUR.txt", "kurzy");
    dir.write("root/data/Kursy.DTA", "k");
    dir.write("root/work/par/okna2.par", "x");
    mapper.loadDriveTable((dir.path() / "root/work").string());
  }
  test::TempDir dir;
  PathMapper mapper;
};

TEST_F(PathsTest, MixedCaseAndSeparatorsFindTheExistingFile) {
  const std::string want = (dir.path() / "root/data/TAMBRA3W/EUR.txt").string();
  EXPECT_EQ(mapper.toNative("F:\\tambra3w\\eur.TXT"), want);
  EXPECT_EQ(mapper.toNative("f:/Tambra3W//eur.txt"), want);
  EXPECT_EQ(mapper.toNative("C:\\DATA\\.\\tambra3w\\..\\TAMBRA3W\\EUR.TXT"), want);
}

TEST_F(PathsTest, DriveLettersMapThroughTheTable) {
  EXPECT_EQ(mapper.toNative("c:\\data\\kursy.dta"), (dir.path() / "root/data/Kursy.DTA").string());
  EXPECT_EQ(mapper.toNative("Q:\\x.dta"), "");  // a drive the table does not name
  EXPECT_EQ(mapper.portPath("lpt1"), (dir.path() / "root/work/tiskarna.prn").string());
  EXPECT_EQ(mapper.portPath("LPT2"), "");
}

TEST_F(PathsTest, WorkingDirectoryIsSeenThroughTheDriveTable) {
  EXPECT_EQ(mapper.toProgram((dir.path() / "root/work").string()), "C:\\work");
  EXPECT_EQ(mapper.toProgram((dir.path() / "root/data/TAMBRA3W").string()), "F:\\TAMBRA3W");  // the deeper drive
}

TEST_F(PathsTest, RootedPathWithoutDriveStaysOnTheCurrentDrive) {
  EXPECT_EQ(mapper.toNative("\\data\\TAMBRA3W\\EUR.txt"), (dir.path() / "root/data/TAMBRA3W/EUR.txt").string());
  PathMapper bare;  // no drive table: the working directory stands in for the drive
  bare.setWorkDir((dir.path() / "root/work").string());
  EXPECT_EQ(bare.toNative("\\TAMBRA3W\\EUR.txt"), (dir.path() / "root/work/TAMBRA3W/EUR.txt").string());
  EXPECT_EQ(bare.toNative("/etc/hostname"), "/etc/hostname");  // native absolute paths stay
}

TEST_F(PathsTest, NewFilesKeepTheirSpellingAndCzechNamesMatchWithoutCase) {
  EXPECT_EQ(mapper.toNative("par\\Nove.PAR"), (dir.path() / "root/work/par/Nove.PAR").string());
  dir.write("root/work/Účty.txt", "u");
  EXPECT_EQ(mapper.toNative(cz("ÚČTY.TXT")), (dir.path() / "root/work/Účty.txt").string());
}

TEST(Masks, WindowsWildcardRules) {
  EXPECT_TRUE(matchesMask("PZ01_.DTA", "pz*.dta"));
  EXPECT_TRUE(matchesMask("PZ01_.DTA", "PZ??_.*"));
  EXPECT_FALSE(matchesMask("PZ1_.DTA", "PZ??_.*"));
  EXPECT_TRUE(matchesMask("README", "*.*"));
  EXPECT_TRUE(matchesMask("README", "*."));
  EXPECT_FALSE(matchesMask("a.txt", "*."));
  EXPECT_TRUE(matchesMask("a.b.c", "*.c"));
}

TEST(Listing, MasksSizesAndDirectories) {
  test::TempDir dir;
  dir.write("L/sestava1.txt", "12345");
  dir.write("L/SESTAVA2.TXT", "");
  dir.write("L/jine.dta", "x");
  dir.write("L/sub/x", "");
  paths().clear();
  paths().setWorkDir(dir.str());
  int code = -1;
  auto files = listDirectory("l\\SESTAVA*.txt", &code);
  ASSERT_EQ(code, kIoOk);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].name, "SESTAVA2.TXT");
  EXPECT_EQ(files[1].size, 5);
  auto all = listDirectory("L\\*.*");
  EXPECT_EQ(all.size(), 4u);
  EXPECT_TRUE(directoryExists("l\\SUB"));
  listDirectory("nic\\*.*", &code);
  EXPECT_EQ(code, kIoPathNotFound);
}

}  // namespace
}  // namespace pz::platform
