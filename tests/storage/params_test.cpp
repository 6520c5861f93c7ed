// Parameter files through their cache: what is read, what reaches the disk, and that a file that
// cannot be written keeps its changes.
#include "storage/params.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "support/tempdir.h"

namespace pz::storage {
namespace {

using platform::cz;

class ParameterFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    ZahodParametry();
    ZapomenOtevrenaOkna();
  }
  void TearDown() override {
    ZahodParametry();
    ZapomenOtevrenaOkna();
    platform::paths().clear();
  }
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
};

TEST_F(ParameterFiles, KeysMatchUnderCzechUpperCasingAndFileNamesIgnoreCase) {
  dir.write("par/okna2.par", cz("TfKursy Left : 120\r\nŠířka : 80\r\nkůň : a\r\n"));
  EXPECT_EQ(CtiPar("par\\okna2.par", "TfKursy Left"), "120");
  EXPECT_EQ(CtiPar("PAR\\OKNA2.PAR", "TFKURSY LEFT"), "120");
  EXPECT_EQ(PocetSouboruParametru(), 1u);  // one file, whatever the spelling of its name
  EXPECT_EQ(CtiPar("par\\okna2.par", cz("ŠÍŘKA")), "80");
  EXPECT_EQ(CtiPar("par\\okna2.par", cz("KŮŇ")), "");  // ů has no capital in the upper-casing
  EXPECT_EQ(CtiPar("par\\okna2.par", "Missing"), "");
  EXPECT_EQ(CtiPar("nofile.par", "X"), "");
}

TEST_F(ParameterFiles, LineSplittingFollowsTheSeparatorBlanks) {
  dir.write("p.par",
            " Left : 5\r\n"          // a key may begin with a blank
            "KEY:value\r\n"          // without the blank the key loses its last character
            "ABC : \r\n"             // a key with an empty value
            "no colon here\r\n"
            "Url : http://x\r\n");   // only the first colon splits
  EXPECT_EQ(CtiPar("p.par", " LEFT"), "5");
  EXPECT_EQ(CtiPar("p.par", "KE"), "alue");
  EXPECT_EQ(CtiPar("p.par", "ABC"), "");
  EXPECT_EQ(CtiPar("p.par", "Url"), "http://x");
}

TEST_F(ParameterFiles, NothingReachesTheDiskBeforeSavingAndEmptyValuesAreDropped) {
  dir.write("PZPOKL.PAR", "ABC : \r\nStary : 1\r\n");
  EXPECT_TRUE(PisPar("PZPOKL.PAR", "PODROZVAHA", "ANO"));
  EXPECT_TRUE(PisPar("pzpokl.par", "stary", "2"));  // replaces, keeping the stored spelling
  EXPECT_EQ(dir.read("PZPOKL.PAR"), "ABC : \r\nStary : 1\r\n");
  EXPECT_TRUE(UlozPar());
  EXPECT_EQ(dir.read("PZPOKL.PAR"), "Stary : 2\r\nPODROZVAHA : ANO\r\n");
  EXPECT_EQ(PocetSouboruParametru(), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir / "PZPOKL.PAR.tmp"));

  // Clearing a key removes its line.
  PisPar("PZPOKL.PAR", "PODROZVAHA", "");
  UlozPar();
  EXPECT_EQ(dir.read("PZPOKL.PAR"), "Stary : 2\r\n");
}

TEST_F(ParameterFiles, KeysAfterAStrayEndOfFileMarkSurviveTheNextSave) {
  dir.write("PZPOKL.PAR", "Stary : 1\r\n\x1A\r\nDalsi : 2\r\nPosledni : 3\r\n\x1A");
  EXPECT_EQ(CtiPar("PZPOKL.PAR", "Dalsi"), "2");
  EXPECT_TRUE(PisPar("PZPOKL.PAR", "Novy", "4"));
  EXPECT_TRUE(UlozPar());
  EXPECT_EQ(dir.read("PZPOKL.PAR"), "Stary : 1\r\nDalsi : 2\r\nPosledni : 3\r\nNovy : 4\r\n");
}

TEST_F(ParameterFiles, ALongValueIsKeptUntilTheFileIsReloaded) {
  const std::string longValue(70, 'x');
  PisPar("p.par", "K", longValue);
  EXPECT_EQ(CtiPar("p.par", "K"), longValue);
  UlozPar();
  EXPECT_EQ(CtiPar("p.par", "K"), longValue.substr(0, 64));
}

TEST_F(ParameterFiles, KeysThatCouldNotBeReadBackAreRefusedAndLineBreaksCannotAddLines) {
  EXPECT_FALSE(PisPar("p.par", "A:B", "1"));
  EXPECT_FALSE(PisPar("p.par", "", "1"));
  EXPECT_TRUE(PisPar("p.par", "Name", "x\r\nSERVER1 : evil"));
  UlozPar();
  EXPECT_EQ(dir.read("p.par"), "Name : x  SERVER1 : evil\r\n");
  EXPECT_EQ(CtiPar("p.par", "SERVER1"), "");
}

TEST_F(ParameterFiles, AMissingDirectoryIsCreatedWhenTheFileIsWritten) {
  PisPar("par\\sub\\sys.par", "Pozadi2", "255");
  EXPECT_TRUE(UlozPar());
  EXPECT_EQ(dir.read("par/sub/sys.par"), "Pozadi2 : 255\r\n");
}

TEST_F(ParameterFiles, AFileThatCannotBeWrittenKeepsItsChangesForTheNextSave) {
  // A plain file where the directory should be: the directory can never be made.
  dir.write("blocked", "");
  PisPar("blocked\\a.par", "K", "1");
  PisPar("b.par", "K", "2");
  EXPECT_FALSE(UlozPar());
  EXPECT_EQ(dir.read("b.par"), "K : 2\r\n");  // the others are written all the same
  EXPECT_EQ(PocetSouboruParametru(), 1u);
  EXPECT_EQ(CtiPar("blocked\\a.par", "K"), "1");

  std::filesystem::remove(dir / "blocked");
  EXPECT_TRUE(UlozPar());
  EXPECT_EQ(dir.read("blocked/a.par"), "K : 1\r\n");
}

TEST_F(ParameterFiles, ABusyFileIsNeitherReadAsEmptyNorOverwrittenWithoutItsKeys) {
  dir.write("okna2.par", "A : 1\r\nB : 2\r\n");
  platform::File holder;
  ASSERT_EQ(holder.open("okna2.par", platform::Access::ReadWrite, platform::Share::DenyReadWrite), 0);
  PisPar("okna2.par", "C", "3");
  EXPECT_FALSE(UlozPar());  // still busy: kept
  holder.close();
  EXPECT_TRUE(UlozPar());
  EXPECT_EQ(dir.read("okna2.par"), "A : 1\r\nB : 2\r\nC : 3\r\n");
}

TEST_F(ParameterFiles, TheHundredAndFirstFileWritesTheCacheFirst) {
  for (int i = 0; i < 100; ++i) PisPar("f" + std::to_string(i) + ".par", "K", std::to_string(i));
  EXPECT_EQ(PocetSouboruParametru(), 100u);
  EXPECT_FALSE(std::filesystem::exists(dir / "f0.par"));
  EXPECT_EQ(CtiPar("f100.par", "K"), "");
  EXPECT_EQ(PocetSouboruParametru(), 1u);
  EXPECT_EQ(dir.read("f0.par"), "K : 0\r\n");
  EXPECT_EQ(dir.read("f99.par"), "K : 99\r\n");
}

TEST_F(ParameterFiles, AStuckFullCacheServesFurtherFilesOutsideIt) {
  dir.write("blocked", "");
  for (int i = 0; i < 100; ++i) PisPar("blocked\\f" + std::to_string(i) + ".par", "K", "1");
  dir.write("other.par", "K : old\r\n");
  EXPECT_EQ(CtiPar("other.par", "K"), "old");
  EXPECT_TRUE(PisPar("other.par", "K", "new"));  // written through at once
  EXPECT_EQ(PocetSouboruParametru(), 100u);
  EXPECT_EQ(dir.read("other.par"), "K : new\r\n");
}

TEST_F(ParameterFiles, AFileKeepsAtMostFourThousandKeys) {
  for (int i = 0; i < 4001; ++i) PisPar("big.par", "K" + std::to_string(i), "v");
  UlozPar();
  const std::string text = dir.read("big.par");
  EXPECT_NE(text.find("K3998 : v"), std::string::npos);
  EXPECT_EQ(text.find("K3999 : v"), std::string::npos);  // the 4000th slot was overwritten
  EXPECT_NE(text.find("K4000 : v"), std::string::npos);
}

TEST_F(ParameterFiles, EndOfTaskClosesTheWindowsLeftOpenThenSaves) {
  int closed = 0;
  NechanoOtevrene("TfCis10", [&] { ++closed; });
  NechanoOtevrene("TfCis10", [&] { closed += 10; });  // the same window once
  NechanoOtevrene("TfCis30", [&] { closed += 100; });
  PisPar("p.par", "K", "1");
  DokonciUlohu();
  EXPECT_EQ(closed, 110);
  EXPECT_EQ(dir.read("p.par"), "K : 1\r\n");
  DokonciUlohu();
  EXPECT_EQ(closed, 110);
}

}  // namespace
}  // namespace pz::storage
