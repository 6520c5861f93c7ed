// The report list's maintenance tools over real files: splitting an archive at the file name's
// dot, joining the "1" and "l" archives both ways, repairing line lengths of scrambled reports,
// and scrambling reports and document folders there and back without leftovers.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "reportfiles/report.h"
#include "reports/spool.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "support/tempdir.h"

namespace pz {
namespace {

using reports::SestavaSeznamu;

class Spool : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
  }
  void TearDown() override {
    storage::settings().gdpr = false;
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
  }
  SestavaSeznamu sestava(const std::string& slozka, const std::string& soubor) {
    SestavaSeznamu s;
    s.slozka = slozka;
    s.soubor = soubor;
    std::string j = soubor.substr(0, soubor.size() - 4);
    for (char& c : j) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    s.jmeno = j;
    return s;
  }
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
};

TEST_F(Spool, SplitsAtTheDotOfTheFileNameAndJoinsTheArchivesInEitherOrder) {
  dir.write("DATA.1/AR1.TXT", "r1\r\nr2\r\nr3\r\n");
  ASSERT_EQ(reports::RozdelArchiv("DATA.1\\AR1.TXT", 2), 0);
  EXPECT_EQ(dir.read("DATA.1/AR_A.txt"), "r1\r\nr2\r\n");
  EXPECT_EQ(dir.read("DATA.1/AR_B.txt"), "r3\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "DATA_A.txt"));
  EXPECT_EQ(dir.read("DATA.1/AR1.TXT"), "r1\r\nr2\r\nr3\r\n");

  // Without a data root the archives lie in the working directory.
  dir.write("PZAR1X.txt", "JEDNA\r\n");
  dir.write("PZARlX.txt", "ELKO\r\n");
  dir.write("PZAR1Y.txt", "Y1\r\n");
  dir.write("PZARlY.txt", "YL\r\n");
  dir.write("listw.tab", "PZAR1X   Archiv X\r\nPZ10**** Jine\r\n");
  ASSERT_EQ(reports::SpojArchivy({sestava("", "PZAR1X.txt")}, true, "listw.tab"), 0);
  EXPECT_EQ(dir.read("PZARlX.txt"), "JEDNA\r\nELKO\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "PZAR1X.txt"));
  EXPECT_EQ(dir.read("listw.tab"), "PZARlX   Archiv X\r\nPZ10**** Jine\r\n");
  ASSERT_EQ(reports::SpojArchivy({sestava("", "PZAR1Y.txt")}, false, "listw.tab"), 0);
  EXPECT_EQ(dir.read("PZARlY.txt"), "YL\r\nY1\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "xxx.txt"));
}

TEST_F(Spool, ScrambledReportsAreRepairedAndConvertedThereAndBackWithoutLeftovers) {
  const std::string klic = reports::KlicSestav();
  storage::settings().gdpr = true;
  dir.write("a.txt", reports::Zakoduj("kratky", klic) + "\r\n" + reports::Zakoduj(std::string(150, 'd'), klic) + "\r\n");
  ASSERT_EQ(reports::SpravDelkuVet("a.txt"), 0);
  const std::string opraveno = dir.read("a.txt");
  ASSERT_EQ(opraveno.size(), 2u * 142u);
  EXPECT_EQ(reports::Dekoduj(opraveno.substr(0, 140), klic), "kratky" + std::string(134, ' '));
  EXPECT_EQ(reports::Dekoduj(opraveno.substr(142, 140), klic), std::string(140, 'd'));
  storage::settings().gdpr = false;

  const std::string cisty = "Jan Novak  \r\nUlice 1    \r\n";
  dir.write("r/b.txt", cisty);
  const std::vector<SestavaSeznamu> seznam = {sestava("r\\", "b.txt")};
  ASSERT_EQ(reports::PrevedSestavy(seznam, true), 0);
  const std::string sifra = dir.read("r/b.txt");
  EXPECT_EQ(sifra, reports::Zakoduj("Jan Novak  ", klic) + "\r\n" + reports::Zakoduj("Ulice 1    ", klic) + "\r\n");
  ASSERT_EQ(reports::PrevedSestavy(seznam, false), 0);
  EXPECT_EQ(dir.read("r/b.txt"), cisty);

  // Document folders: only the kinds listed, whole files, nothing left beside them.
  const std::string obrazek = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(600, 'p');
  dir.write("doklady/OF2024/d1.jpg", obrazek);
  dir.write("doklady/OF2024/d1.txt", "doklad\r\n");
  dir.write("doklady/XX2024/d2.jpg", obrazek);
  ASSERT_EQ(reports::PrevedDoklady(true), 0);
  EXPECT_EQ(dir.read("doklady/OF2024/d1.jpg"), reports::Zakoduj(obrazek, klic));
  EXPECT_EQ(dir.read("doklady/OF2024/d1.txt"), reports::Zakoduj("doklad\r\n", klic));
  EXPECT_EQ(dir.read("doklady/XX2024/d2.jpg"), obrazek);
  ASSERT_EQ(reports::PrevedDoklady(false), 0);
  EXPECT_EQ(dir.read("doklady/OF2024/d1.jpg"), obrazek);
  int soubory = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path() / "doklady/OF2024")) soubory += e.is_regular_file();
  EXPECT_EQ(soubory, 2);
}

// More reports than the list holds: the first 1000 in name order stay, none is overwritten.
TEST_F(Spool, AListOfMoreThanAThousandReportsKeepsTheFirstThousand) {
  for (int i = 0; i < 1005; ++i) {
    char jmeno[32];
    std::snprintf(jmeno, sizeof jmeno, "s%04d.txt", i);
    dir.write(jmeno, "x\r\n");
  }
  const std::vector<SestavaSeznamu> seznam = reports::NactiSeznamSestav();
  ASSERT_EQ(seznam.size(), reports::kNejvicSestav);
  EXPECT_EQ(seznam.front().soubor, "s0000.txt");
  EXPECT_EQ(seznam.back().soubor, "s0999.txt");
}

}  // namespace
}  // namespace pz
