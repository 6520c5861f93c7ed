#include <gtest/gtest.h>

#include "frontends/tty/compose.h"
#include "frontends/tty/keydecode.h"
#include "platform/text.h"
#include "ui/form.h"

namespace pz::tty {
namespace {

using namespace ui;

std::vector<int> numbers(const std::string& bytes, bool flush = true) {
  KeyDecoder d;
  d.feed(bytes);
  if (flush) d.timeout();
  std::vector<int> out;
  for (const auto& e : d.take())
    if (!e.isMouse) out.push_back(e.key.number());
  return out;
}

TEST(TerminalKeys, FunctionKeysWithModifiersGiveTheSystemNumbers) {
  EXPECT_EQ(numbers("\x1b[1;5R"), std::vector<int>{1114});          // Ctrl+F3
  EXPECT_EQ(numbers("\x1b[1;3P"), std::vector<int>{3112});          // Alt+F1
  EXPECT_EQ(numbers("\x1b[24;2~"), std::vector<int>{2123});         // Shift+F12
  EXPECT_EQ(numbers("\x1b[15~\x1bOQ"), (std::vector<int>{116, 113}));  // F5, F2 (SS3)
  EXPECT_EQ(numbers("\x1b[15;7~"), std::vector<int>{116 + 4000});   // Ctrl+Alt+F5
  EXPECT_EQ(numbers("\x1b[[C"), std::vector<int>{114});             // Linux console F3
  EXPECT_EQ(numbers("\x1b[1;5A\x1b[6~\x1b[2~\x1b[Z"), (std::vector<int>{1038, 34, 45, 2009}));
}

TEST(TerminalKeys, EscapeFallbacksAndLoneEsc) {
  EXPECT_EQ(numbers("\x1b" "3"), std::vector<int>{114});   // Esc 3 = F3
  EXPECT_EQ(numbers("\x1b" "0"), std::vector<int>{121});   // Esc 0 = F10
  EXPECT_EQ(numbers("\x1b" "x"), std::vector<int>{3000 + 'X'});  // Alt+x
  EXPECT_TRUE(numbers("\x1b", false).empty());             // might still become a sequence
  EXPECT_EQ(numbers("\x1b"), std::vector<int>{27});        // nothing followed: Esc
  EXPECT_EQ(numbers("\x1b\x1b[A"), (std::vector<int>{27, 38}));
}

TEST(TerminalKeys, AFloodOfDigitsInASequenceIsNoKeyAndNoFault) {
  EXPECT_TRUE(numbers("\x1b[99999999999999999999;5~").empty());
  EXPECT_EQ(numbers("\x1b[9999999991~a"), std::vector<int>{'A'});  // the text after it still arrives
}

TEST(TerminalKeys, TextControlCharactersAndKeypad) {
  KeyDecoder d;
  d.feed("aZ\r\t\x7f\x01\xC4\x8D\x1bOk\x1bOm\x1bOj");
  auto ev = d.take();
  ASSERT_EQ(ev.size(), 10u);
  EXPECT_EQ(ev[0].key.ch, 'a');
  EXPECT_EQ(ev[1].key.number(), 2000 + 'Z');
  EXPECT_EQ(ev[2].key.vk, kVkReturn);
  EXPECT_EQ(ev[3].key.vk, kVkTab);
  EXPECT_EQ(ev[4].key.vk, kVkBack);
  EXPECT_EQ(ev[5].key.number(), 1000 + 'A');
  EXPECT_EQ(ev[6].key.ch, platform::cz("č")[0]);
  EXPECT_EQ(ev[7].key.vk, kVkAdd);
  EXPECT_EQ(ev[8].key.vk, kVkSubtract);
  EXPECT_EQ(ev[9].key.vk, kVkMultiply);
}

TEST(TerminalKeys, SequencesSplitAcrossReadsAndMouseClicks) {
  KeyDecoder d;
  d.feed("\x1b[1;");
  EXPECT_TRUE(d.take().empty());
  d.feed("5R\x1b[<2;11;4M\x1b[<0;11;4m");
  auto ev = d.take();
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].key.number(), 1114);
  ASSERT_TRUE(ev[1].isMouse);  // the release is not a click
  EXPECT_EQ(ev[1].mouse.button, MouseButton::Right);
  EXPECT_EQ(ev[1].mouse.col, 10);
  EXPECT_EQ(ev[1].mouse.row, 3);
}

TEST(TerminalScreen, WindowsShowTheRenderedCellsBelowATitleAndFitTheTerminal) {
  Form f("TfTest", "Titul");
  f.geometry = {400, 320, 160, 48};  // 20 x 3 cells at column 50, row 20
  auto& l = f.add<Label>("l");
  l.geometry = {0, 16, 160, 16};
  l.text = platform::cz("Řádek");
  std::vector<Placement> at;
  CellGrid big = compose({&f}, 100, 30, at);
  ASSERT_EQ(at.size(), 1u);
  EXPECT_EQ(at[0].col, 50);
  EXPECT_EQ(at[0].row, 21);
  CellGrid g = render(f);
  for (int r = 0; r < g.rows(); ++r)
    for (int c = 0; c < g.cols(); ++c) EXPECT_EQ(big.at(50 + c, 21 + r), g.at(c, r));
  EXPECT_NE(big.rowText(20).find("Titul"), std::string::npos);
  // A terminal too small for the window's place moves the window in rather than cutting it.
  CellGrid small = compose({&f}, 40, 10, at);
  EXPECT_EQ(at[0].col, 20);
  EXPECT_EQ(at[0].row, 7);
  EXPECT_EQ(small.rowText(8).substr(20, 7), "Řádek");
}

TEST(TerminalScreen, PaletteKeepsBlackWhiteAndNavyApart) {
  EXPECT_EQ(paletteIndex(kBlack), 16);
  EXPECT_EQ(paletteIndex(kWhite), 231);
  EXPECT_EQ(paletteIndex(kNavy), 16 + 2);  // 0x800000 is blue 128
  EXPECT_NE(paletteIndex(kBtnFace), paletteIndex(kWhite));
}

}  // namespace
}  // namespace pz::tty
