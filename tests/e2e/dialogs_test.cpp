// The standard dialogs in the running program: the accounting menu of the main window, the
// calculator from a menu, and what they remember between runs.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "e2e/run.h"
#include "support/installation.h"
#include "support/tempdir.h"

namespace pz::test {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(AccountingMenu, OpensFromTheMainWindowAndEscLeavesIt) {
  TempDir dir;
  install(dir);
  auto r = runPzpokl(dir, "Tab Enter\ndump\nEsc\ndump\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(r.out, "=== TfVyber \" Účetnictví z valutové pokladny \" ===")) << r.out;
  EXPECT_TRUE(has(r.out, " Opravy nepřipojených zápisů\n Opis nepřipojených zápisů\n Připojování účetních zápisů\n"))
      << r.out;
  // After Esc only the main window is left.
  const std::string after = r.out.substr(r.out.rfind("=== "));
  EXPECT_TRUE(has(after, "=== TForm1")) << r.out;
}

TEST(AccountingMenu, RemembersTheLastChoiceAndTheCalculatorAddsUp) {
  TempDir dir;
  install(dir);
  auto r = runPzpokl(dir, "Tab Enter\nDown Down Enter\nEnter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(dir.read("par/VYBER.IDX"), " \xDA\xE8" "etnictv\xED z v VyberIndex :    3")) << dir.read("par/VYBER.IDX");
  r = runPzpokl(dir, "Tab Enter\nF9\ntype 100+21*\ndump\nEnter\nEsc Esc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(r.out, "=== TfKalk \"Kalkulačka\" ===")) << r.out;
  EXPECT_TRUE(has(r.out, " Výsledek        2 100.00\n")) << r.out;
  EXPECT_TRUE(has(r.out, "             21 *")) << r.out;
}

// Down and Up move the focus between the main window's buttons, as Tab does.
TEST(MainWindow, DownAndUpMoveBetweenTheButtons) {
  TempDir dir;
  install(dir);
  auto r = runPzpokl(dir, "Down Down Down\ndump\nDown Up Up Up\ndump\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const size_t druhy = r.out.rfind("=== TForm1");
  EXPECT_TRUE(has(r.out.substr(0, druhy), ">                  Tisky                  <")) << r.out;
  EXPECT_TRUE(has(r.out.substr(druhy), ">               Účetnictví                <")) << r.out;
}

// The voucher print of an empty batch says so in one line instead of doing nothing; the "Tisky"
// button and Ctrl+F2 in a list (the demo's series list) open the report list.
TEST(MainMenus, AnEmptyBatchsPrintSaysSoInOneLineTiskyAndCtrlF2OpenTheReportList) {
  TempDir dir;
  install(dir);
  // The second item: the first one opens the corrections of the batch.
  auto r = runPzpokl(dir, "Tab Enter\nDown Enter\ndump\nEnter\nTab Tab Enter\ndump\nEsc\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  const std::string zprava = "Zásobník účetních předpisů agendy PZ je prázdný";
  const size_t prvni = r.out.find(zprava);
  ASSERT_NE(prvni, std::string::npos) << r.out;
  EXPECT_NE(r.out.find("=== fSpool \"Seznam tiskových sestav\" ===", prvni), std::string::npos) << r.out;

  TempDir demo;
  std::filesystem::copy(std::filesystem::path(PZ_SOURCE_DIR) / "demo", demo.path(),
                        std::filesystem::copy_options::recursive);
  demo.write("work/skript.keys", "Enter\nEsc\nCtrl+F2\ndump\nEsc\nEsc\nEsc\n");
  const std::string cmd = "cd '" + demo.str() + "/work' && '" PZPOKL_BIN "' --headless skript.keys --today 2026-12-09"
                          " >../stdout.txt 2>../stderr.txt";
  const int status = std::system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << demo.read("stderr.txt") << demo.read("stdout.txt");
  EXPECT_NE(demo.read("stdout.txt").find("=== fSpool"), std::string::npos) << demo.read("stdout.txt");
}

}  // namespace
}  // namespace pz::test
