// Data and program paths, and the file probes they are built on.
#include "storage/roots.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/probes.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

using platform::cz;

class DataPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    ZapomenAdresy();
    setInteraction(&rec);
  }
  void TearDown() override {
    setInteraction(nullptr);
    ZapomenAdresy();
    platform::paths().clear();
  }
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  RecordingInteraction rec;
};

TEST_F(DataPaths, DataRootFromTheAddressFileWithTheMissingBackslashSupplied) {
  dir.write("data.adr", "F:\\DATA\r\nsecond line is ignored\r\n");
  EXPECT_EQ(DataCesta("kursy.dta"), "F:\\DATA\\kursy.dta");
  EXPECT_EQ(DataCesta("\\kursy.dta"), "F:\\DATA\\kursy.dta");  // one leading "\" is dropped
  EXPECT_EQ(DataCesta(""), "F:\\DATA\\");
}

TEST_F(DataPaths, WithoutAnAddressFileNamesStayRelativeToTheWorkingDirectory) {
  EXPECT_EQ(DataCesta("kursy.dta"), "kursy.dta");
  EXPECT_EQ(ProgCesta("\\pz\\pz.hlp"), "pz\\pz.hlp");
  // Remembered: an address file written later in the run changes nothing.
  dir.write("data.adr", "F:\\DATA\\\n");
  EXPECT_EQ(DataCesta("kursy.dta"), "kursy.dta");
}

TEST_F(DataPaths, RedirectAndLiteralPathsOverrideTheRoot) {
  dir.write("data.adr", "F:\\DATA\\\n");
  dir.write("^kursy.dta", "G:\\RATES\\\n");
  dir.write("^org.dta", "G:\\PARTNERS\n");  // without its final "\" it still names a directory
  EXPECT_EQ(DataCesta("kursy.dta"), "G:\\RATES\\kursy.dta");
  EXPECT_EQ(DataCesta("org.dta"), "G:\\PARTNERS\\org.dta");
  EXPECT_EQ(DataCesta("=C:\\x\\y.dta"), "C:\\x\\y.dta");
  EXPECT_EQ(DataCesta("\\=C:\\x\\y.dta"), "C:\\x\\y.dta");
  EXPECT_EQ(DataCesta("pz_ra.dta"), "F:\\DATA\\pz_ra.dta");
}

TEST_F(DataPaths, ALongRootIsNeverCutBetweenCalls) {
  const std::string root = "F:\\" + std::string(66, 'D') + "\\";  // 70 characters
  dir.write("data.adr", root + "\n");
  EXPECT_EQ(DataCesta("kursy.dta"), root + "kursy.dta");
  EXPECT_EQ(DataCesta("kursy.dta"), root + "kursy.dta");
  EXPECT_TRUE(NactiAdresy());
}

TEST_F(DataPaths, StartRefusesARootLongerThanEightyCharacters) {
  dir.write("data.adr", "F:\\" + std::string(80, 'D') + "\n");
  EXPECT_FALSE(NactiAdresy());
  ASSERT_EQ(rec.messages.size(), 1u);
  EXPECT_NE(rec.messages[0].find("data.adr"), std::string::npos);
}

TEST_F(DataPaths, ABusyAddressFileEndsTheStartInsteadOfUsingTheWorkingDirectory) {
  dir.write("data.adr", "F:\\DATA\\\n");
  platform::File holder;
  ASSERT_EQ(holder.open("data.adr", platform::Access::ReadWrite, platform::Share::DenyReadWrite), 0);
  EXPECT_FALSE(NactiAdresy());
  EXPECT_EQ(rec.waits.size(), 1u);
  ASSERT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(rec.messages[0], cz("Soubor data.adr nelze přečíst (err    32), program končí."));
  // Not remembered as empty: once the file is free the real root is used.
  holder.close();
  EXPECT_EQ(DataCesta("kursy.dta"), "F:\\DATA\\kursy.dta");
}

TEST_F(DataPaths, ProgramRootIsSeparateAndHasNoRedirects) {
  dir.write("data.adr", "F:\\DATA\\\n");
  dir.write("prog.adr", "C:\\TAMBRA\n");
  dir.write("^pz.hlp", "G:\\X\\\n");
  EXPECT_EQ(ProgCesta("pz.hlp"), "C:\\TAMBRA\\pz.hlp");
  EXPECT_EQ(ProgCesta("=pz.hlp"), "C:\\TAMBRA\\=pz.hlp");
}

TEST_F(DataPaths, FileSizeTellsMissingFromBusyFromEmpty) {
  dir.write("a.dta", "12345");
  dir.write("empty.dta", "");
  EXPECT_EQ(VelikostSouboru("a.dta"), 5);
  EXPECT_EQ(VelikostSouboru("A.DTA"), 5);
  EXPECT_EQ(VelikostSouboru("empty.dta"), 0);
  EXPECT_EQ(VelikostSouboru("missing.dta"), -2);
  EXPECT_EQ(VelikostSouboru("nodir\\missing.dta"), -3);

  platform::File holder;
  ASSERT_EQ(holder.open("a.dta", platform::Access::ReadWrite, platform::Share::DenyReadWrite), 0);
  EXPECT_EQ(VelikostSouboru("a.dta"), -32);  // the wait window gave up: busy, not missing
  ASSERT_EQ(rec.waits.size(), 1u);
  EXPECT_EQ(rec.waits[0], "Err   32 a.dta");
}

TEST_F(DataPaths, FirstLineOfATextFile) {
  dir.write("crlf.txt", "first\r\nsecond\r\n");
  dir.write("lf.txt", "only\n");
  dir.write("noend.txt", "no line end");
  dir.write("dos.txt", "text\x1A garbage");
  EXPECT_EQ(PrvniRadek("crlf.txt"), "first");
  EXPECT_EQ(PrvniRadek("lf.txt"), "only");
  EXPECT_EQ(PrvniRadek("noend.txt"), "no line end");
  EXPECT_EQ(PrvniRadek("dos.txt"), "text");
  EXPECT_EQ(PrvniRadek("missing.txt"), "");
  EXPECT_TRUE(rec.messages.empty());

  platform::File holder;
  ASSERT_EQ(holder.open("lf.txt", platform::Access::ReadWrite, platform::Share::DenyReadWrite), 0);
  EXPECT_EQ(PrvniRadek("lf.txt"), "");
  ASSERT_EQ(rec.messages.size(), 1u);
  EXPECT_EQ(rec.messages[0], "Err   32 lf.txt");
}

TEST_F(DataPaths, MakingAPathCreatesEveryDirectoryButTheLastPart) {
  ZalozCestu("A\\B\\x.par");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "A/B"));
  EXPECT_FALSE(std::filesystem::exists(dir / "A/B/x.par"));
  ZalozCestu("XLS\\");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "XLS"));
  ZalozCestu("XY\\z");  // a two-letter directory is a directory, not a drive
  EXPECT_TRUE(std::filesystem::is_directory(dir / "XY"));
  ZalozCestu("A\\B\\x.par");  // existing directories are no error
}

}  // namespace
}  // namespace pz::storage
