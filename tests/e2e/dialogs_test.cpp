// The standard dialogs in the running program: the accounting menu of the main window, the
// calculator from a menu, and what they remember between runs.
#include <gtest/gtest.h>

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
  auto r = runPzpokl(dir, "Tab Enter\nDown Down Enter\nEsc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(dir.read("par/VYBER.IDX"), " \xDA\xE8" "etnictv\xED z v VyberIndex :    3")) << dir.read("par/VYBER.IDX");
  r = runPzpokl(dir, "Tab Enter\nF9\ntype 100+21*\ndump\nEnter\nEsc Esc\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(has(r.out, "=== TfKalk \"Kalkulačka\" ===")) << r.out;
  EXPECT_TRUE(has(r.out, " Výsledek        2 100.00\n")) << r.out;
  EXPECT_TRUE(has(r.out, "             21 *")) << r.out;
}

}  // namespace
}  // namespace pz::test
