// The own company data at the start of the cash desk, in the running program: the main window's
// cash desk button shows the form, and on a new installation F2 writes record 1.
#include <gtest/gtest.h>

#include <string>

#include "e2e/run.h"
#include "support/installation.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {


TEST(OwnCompany, CashDeskStartOnANewInstallationShowsAnEmptyRecordAndF2WritesIt) {
  TempDir dir;
  install(dir, {.station = {{"UZIVATEL", "01"}, {"POCITAC", "1"}, {"DAN2", "21"}, {"DAN1", "12"}}, .programRoot = true});
  // Enter presses the cash desk button; after the own company the cash desk may go on to the
  // series list, which the second Esc leaves.
  auto r = runPzpokl(dir, "Enter\ndump\ntype 12345679\nEnter\ntype CZ12345679\nF2\nEsc\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("=== fFMAAkt \" Údaje o vlastní firmě \" ==="), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(">Daň. účet 21  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(">Daň. účet 12  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" F2=zápis na disk  >Enter  ESC=ven"), std::string::npos) << r.out;
  const std::string f = dir.read("data/fmw01.dta");
  ASSERT_EQ(f.size(), 582u);
  EXPECT_EQ(f.substr(0, 9), "\x08" "12345679");
  EXPECT_EQ(f.substr(9, 17), "\x10" "CZ12345679      ");
}

}  // namespace
}  // namespace pz::test
