// The suite-presence check on the session stamp table "UZIVATEL.tab".
#include "shell/suite_check.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "platform/paths.h"
#include "support/tempdir.h"

namespace pz::shell {
namespace {

using V = KontrolaSady::Vysledek;

class SuiteCheck : public ::testing::Test {
 protected:
  void SetUp() override { platform::paths().setWorkDir(dir.str()); }
  void TearDown() override { platform::paths().clear(); }

  void slot(int n, int value) {
    std::string t = dir.read("UZIVATEL.tab");
    t.resize(200, '\0');
    t[static_cast<size_t>(n) * 2] = static_cast<char>(value & 0xFF);
    t[static_cast<size_t>(n) * 2 + 1] = static_cast<char>(value >> 8);
    dir.write("UZIVATEL.tab", t);
  }
  V check() { return sada.zkontroluj("UZIVATEL.tab", 5); }

  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  KontrolaSady sada;
};

TEST_F(SuiteCheck, TheThirdChangedReadingInARowEndsTheProgram) {
  slot(5, 7);
  EXPECT_EQ(check(), V::Bezi);  // remembers 7
  slot(5, 8);
  EXPECT_EQ(check(), V::Zmizela);
  EXPECT_EQ(check(), V::Zmizela);
  EXPECT_EQ(check(), V::Ukoncit);
  EXPECT_EQ(sada.citac(), 0);
}

TEST_F(SuiteCheck, AnUnchangedReadingInBetweenStartsTheCountAgain) {
  slot(5, 7);
  EXPECT_EQ(check(), V::Bezi);
  slot(5, 8);
  EXPECT_EQ(check(), V::Zmizela);
  EXPECT_EQ(check(), V::Zmizela);
  slot(5, 7);
  EXPECT_EQ(check(), V::Bezi);
  slot(5, 300);
  EXPECT_EQ(check(), V::Zmizela);
  EXPECT_EQ(check(), V::Zmizela);
  EXPECT_EQ(check(), V::Ukoncit);
}

TEST_F(SuiteCheck, WordZeroSwitchesTheCheckOff) {
  slot(5, 7);
  EXPECT_EQ(check(), V::Bezi);
  slot(0, 1);
  slot(5, 9);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(check(), V::Bezi);
}

TEST_F(SuiteCheck, AMissingTableIsCreatedWithTheOwnSlotAt99) {
  EXPECT_EQ(check(), V::Bezi);
  std::string t = dir.read("UZIVATEL.tab");
  ASSERT_EQ(t.size(), 200u);
  std::string expected(200, '\0');
  expected[10] = 99;
  EXPECT_EQ(t, expected);
}

TEST_F(SuiteCheck, ATableThatVanishesIsCreatedAgainAndCountsAsChanged) {
  slot(5, 7);
  EXPECT_EQ(check(), V::Bezi);
  std::filesystem::remove(dir / "UZIVATEL.tab");
  EXPECT_EQ(check(), V::Zmizela);  // created again with 99 in the slot
  EXPECT_EQ(check(), V::Zmizela);
  EXPECT_EQ(check(), V::Ukoncit);
}

TEST_F(SuiteCheck, ABusyOrUnreachableTableCountsAsPresentWithoutSpinning) {
  slot(5, 7);
  EXPECT_EQ(check(), V::Bezi);
  slot(5, 8);
  EXPECT_EQ(check(), V::Zmizela);
  platform::File holder;
  ASSERT_EQ(holder.open("UZIVATEL.tab", platform::Access::ReadWrite, platform::Share::DenyReadWrite), 0);
  EXPECT_EQ(check(), V::Bezi);
  holder.close();
  EXPECT_EQ(sada.zkontroluj("nodir\\UZIVATEL.tab", 5), V::Bezi);
}

TEST_F(SuiteCheck, AShortTableReadsAsFarAsItGoes) {
  dir.write("UZIVATEL.tab", std::string("\0\0\0\0\0\0\0\0\0\0\x07", 11));
  EXPECT_EQ(check(), V::Bezi);
  slot(5, 9);
  EXPECT_EQ(check(), V::Zmizela);
}

}  // namespace
}  // namespace pz::shell
