#include "frontends/headless/script.h"

#include <gtest/gtest.h>

namespace pz::headless {
namespace {

using namespace ui;

TEST(ScriptParser, KeysWithModifiersAndTheCharactersTheyType) {
  std::vector<ScriptError> errors;
  auto steps = parseScript("# a comment\n\nF2 Enter Ctrl+F3 Alt+F1 Ctrl+Shift+F4 Shift+F12\nA Shift+A 7 Space Num+ Num- Num* Ctrl+A  # trailing\n", errors);
  ASSERT_TRUE(errors.empty());
  ASSERT_EQ(steps.size(), 14u);
  EXPECT_EQ(steps[0].key.number(), kVkF2);
  EXPECT_EQ(steps[2].key.number(), 1114);
  EXPECT_EQ(steps[3].key.number(), 3112);
  EXPECT_EQ(steps[4].key.number(), kVkF4 + 3000);
  EXPECT_EQ(steps[5].key.number(), 2123);
  EXPECT_EQ(steps[6].key.ch, 'a');
  EXPECT_EQ(steps[7].key.ch, 'A');
  EXPECT_EQ(steps[8].key.ch, '7');
  EXPECT_EQ(steps[9].key.ch, ' ');
  EXPECT_EQ(steps[10].key.vk, kVkAdd);
  EXPECT_EQ(steps[10].key.ch, '+');
  EXPECT_EQ(steps[11].key.vk, kVkSubtract);
  EXPECT_EQ(steps[12].key.vk, kVkMultiply);
  EXPECT_EQ(steps[13].key.ch, 0);  // Ctrl+A types nothing
  EXPECT_EQ(steps[13].line, 4);
}

TEST(ScriptParser, CommandsTakeTheirArgumentsLiterally) {
  std::vector<ScriptError> errors;
  auto steps = parseScript(
      "type Čáslav # není komentář\nwait 3000\npace 0\ndump\nclick 5 3\nrclick 1 1\ndblclick 2 9\nrun echo x >&2\n"
      "drag 1 2 30 4\nresize 640 480\nrclick 4 2 Ctrl\nclick 1 1 shift alt\n",
      errors);
  ASSERT_TRUE(errors.empty());
  ASSERT_EQ(steps.size(), 12u);
  EXPECT_EQ(steps[0].kind, ScriptStep::Type);
  EXPECT_EQ(steps[0].text, "\xC8\xE1slav # nen\xED koment\xE1\xF8");  // cp1250, "#" kept
  EXPECT_EQ(steps[1].number, 3000);
  EXPECT_EQ(steps[2].kind, ScriptStep::Pace);
  EXPECT_EQ(steps[4].col, 5);
  EXPECT_EQ(steps[4].row, 3);
  EXPECT_EQ(steps[5].kind, ScriptStep::RightClick);
  EXPECT_EQ(steps[6].kind, ScriptStep::DoubleClick);
  EXPECT_EQ(steps[7].text, "echo x >&2");
  EXPECT_EQ(steps[8].kind, ScriptStep::Drag);
  EXPECT_EQ(steps[8].col2, 30);
  EXPECT_EQ(steps[8].row2, 4);
  EXPECT_EQ(steps[9].kind, ScriptStep::Resize);
  EXPECT_EQ(steps[9].col, 640);
  // Keys held during a click.
  EXPECT_FALSE(steps[5].key.ctrl);
  EXPECT_TRUE(steps[10].key.ctrl);
  EXPECT_EQ(steps[10].kind, ScriptStep::RightClick);
  EXPECT_TRUE(steps[11].key.shift && steps[11].key.alt && !steps[11].key.ctrl);
}

TEST(ScriptParser, EveryBadLineIsReportedWithItsNumber) {
  std::vector<ScriptError> errors;
  parseScript(
      "F13\nCtrl+\nwait\nwait -5\nwait 12ms\nclick 0 1\nclick 3\ndump now\ntype\nEnter Frob\nCtrl+Ctrl+A\ndrag 1 2 3\n"
      "resize 0 5\nrclick 2 2 Win\nEsc\n",
      errors);
  std::vector<int> lines;
  for (const auto& e : errors) lines.push_back(e.line);
  EXPECT_EQ(lines, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
}

}  // namespace
}  // namespace pz::headless
