// The real program under the headless presenter: screens, exit codes and script errors as a
// user of `pzpokl --headless` sees them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "e2e/run.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

TEST(Headless, DumpPrintsTheMainWindowAndEscEndsTheProgram) {
  TempDir dir;
  auto r = runPzpokl(dir, "dump\nEsc\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("=== TForm1 \"TAMBRA"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("V A L U T O V Á   P O K L A D N A"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Valutová pokladna"), std::string::npos) << r.out;
}

TEST(Headless, ScriptEndingWithWindowsOpenNamesThemAndExits3) {
  TempDir dir;
  auto r = runPzpokl(dir, "wait 100\n");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find("TForm1"), std::string::npos) << r.err;
}

TEST(Headless, MalformedScriptRunsNothingAndExits2) {
  TempDir dir;
  auto r = runPzpokl(dir, "dump\nF2 Frob\nEsc\n");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out, "");  // nothing ran, so nothing was dumped
  EXPECT_NE(r.err.find(":2:"), std::string::npos) << r.err;
}

TEST(Headless, RunCommandPlaysASecondWorkstationBetweenKeys) {
  TempDir dir;
  auto r = runPzpokl(dir, "run echo druha > stanice.txt; echo hotovo >&2\nEsc\n");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(dir.read("stanice.txt"), "druha\n");
  EXPECT_NE(r.err.find("hotovo"), std::string::npos);
}

}  // namespace
}  // namespace pz::test
