// A question the storage layer asks (a lock, a file error) through the shell's dialogs takes the
// keys of every standard question: A says yes, N and Esc say no, Enter takes the default.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "frontends/headless/headless.h"
#include "shell/interaction_windows.h"
#include "storage/interaction.h"
#include "support/tempdir.h"

namespace pz {
namespace {

TEST(StorageQuestion, AAndNAnswerItAsInEveryStandardQuestion) {
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  shell::ShellInteraction dialogy;
  storage::setInteraction(&dialogy);
  dir.write("skript.txt", "dump\ntype A\ntype N\ntype a\nEsc\nEnter\n");
  std::vector<bool> odpovedi;
  std::ostringstream out, err;
  const int rc = headless::runHeadless(
      (dir / "skript.txt").string(), std::nullopt,
      [&] {
        for (bool vychozi : {false, true, false, true, true}) odpovedi.push_back(storage::interaction().question("Zapsat znovu ?", vychozi));
        return 0;
      },
      out, err);
  storage::setInteraction(nullptr);
  ASSERT_EQ(rc, 0) << err.str() << out.str();
  EXPECT_EQ(odpovedi, (std::vector<bool>{true, false, true, false, true}));
  EXPECT_NE(out.str().find("Zapsat znovu ?"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace pz
