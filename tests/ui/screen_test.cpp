#include <gtest/gtest.h>

#include <vector>

#include "platform/clock.h"
#include "platform/text.h"
#include "ui/app.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace pz::ui {
namespace {

using platform::cz;

TEST(Render, ControlsLandOnTheCellsOfTheirPixels) {
  Form f("TfTest", "Test");
  f.geometry = {0, 0, 200, 80};  // 25 x 5 cells of 8 x 16
  auto& l = f.add<Label>("lHelp");
  l.geometry = {16, 16, 80, 16};
  l.text = cz("Účet");
  auto& e = f.add<Edit>("eHled");
  e.geometry = {80, 48, 48, 16};
  e.setValue("12345678");
  CellGrid g = render(f);
  ASSERT_EQ(g.cols(), 25);
  ASSERT_EQ(g.rows(), 5);
  EXPECT_EQ(g.rowText(1).substr(2, 6), "Účet");  // UTF-8: Ú and č take two bytes
  EXPECT_EQ(g.rowText(1).substr(0, 2), "  ");
  // The edit field is 6 cells wide at column 10; the cursor after the last character stays in
  // view, so the text scrolls to leave it a cell.
  EXPECT_EQ(g.rowText(3).substr(10, 6), "45678 ");
  f.setFocus(&e);
  g = render(f);
  EXPECT_EQ(g.cursorCol, 15);
  EXPECT_EQ(g.cursorRow, 3);
}

TEST(Render, LaterControlsPaintOverEarlierOnesAndHiddenOnesNot) {
  Form f("TfTest", "Test");
  f.geometry = {0, 0, 80, 16};
  auto& a = f.add<Label>("a");
  a.geometry = {0, 0, 80, 16};
  a.text = "aaaaaaaaaa";
  auto& b = f.add<Label>("b");
  b.geometry = {16, 0, 16, 16};
  b.text = "bb";
  auto& c = f.add<Label>("c");
  c.geometry = {48, 0, 16, 16};
  c.text = "cc";
  c.visible = false;
  EXPECT_EQ(render(f).rowText(0), "aabbaaaaaa");
  EXPECT_EQ(f.controlAt(2, 0), &b);
  EXPECT_EQ(f.controlAt(6, 0), &a);
}

TEST(Render, GridShowsFixedRowsAndScrollsTheRest) {
  Form f("TfRol", "Seznam");
  f.geometry = {0, 0, 80, 48};
  auto& g = f.add<Grid>("sgRol");
  g.geometry = {0, 0, 80, 48};
  g.setSize(1, 6);
  g.colWidths = {10};
  g.fixedRows = 1;
  for (int r = 0; r < 6; ++r) g.cell(0, r) = r == 0 ? "Hlava" : "radek " + std::to_string(r);
  g.topRow = 3;
  g.row = 4;
  CellGrid c = render(f);
  EXPECT_EQ(c.rowText(0), "Hlava     ");
  EXPECT_EQ(c.rowText(1), "radek 3   ");
  EXPECT_EQ(c.rowText(2), "radek 4   ");
  EXPECT_EQ(c.at(0, 2).bg, kHighlight);
  EXPECT_NE(c.at(0, 1).bg, kHighlight);
}

TEST(Render, AListShowsItsGreyedItemsGrey) {
  Form f("TfMenu", "");
  f.geometry = {0, 0, 80, 48};
  f.fontColor = kBlack;
  auto& l = f.add<ListBox>("lItems");
  l.geometry = {0, 0, 80, 48};
  l.items = {"Oprava", "Nový", "Hledej"};
  l.grayed = {true, false};  // the third has no entry: shown as usual
  l.itemIndex = 1;
  CellGrid c = render(f);
  EXPECT_EQ(c.at(0, 0).fg, kGray);
  EXPECT_EQ(c.at(0, 1).bg, kHighlight);
  EXPECT_NE(c.at(0, 2).fg, kGray);
}

TEST(Keys, SystemKeyNumbers) {
  EXPECT_EQ((KeyEvent{kVkF3, true, false, false}).number(), 1114);
  EXPECT_EQ((KeyEvent{kVkF1, false, false, true}).number(), 3112);
  EXPECT_EQ((KeyEvent{kVkF12, false, true, false}).number(), 2123);
  EXPECT_EQ((KeyEvent{kVkEscape}).number(), 27);
}

KeyEvent typed(char c) { return KeyEvent{0, false, false, false, c}; }

TEST(LineEditing, InsertOverwriteDeleteAndMaximumLength) {
  LineEditor e;
  e.setMaxLength(5);
  for (char c : std::string("abcd")) e.key(typed(c));
  e.key({kVkHome});
  e.key({kVkRight});
  e.key(typed('X'));
  EXPECT_EQ(e.text(), "aXbcd");
  bool refused = false;
  e.key(typed('Y'), &refused);
  EXPECT_TRUE(refused);  // full: refused, nothing cut
  EXPECT_EQ(e.text(), "aXbcd");
  e.key({kVkInsert});
  e.key(typed('Y'));
  EXPECT_EQ(e.text(), "aXYcd");  // overwrite replaces in place
  e.key({kVkBack});
  e.key({kVkDelete});
  EXPECT_EQ(e.text(), "aXd");
  EXPECT_EQ(e.cursor(), 2);
  e.key({kVkEnd});
  e.key({kVkDelete});
  EXPECT_EQ(e.text(), "aXd");
  EXPECT_FALSE(e.key({kVkF2}));  // left to the form
  EXPECT_FALSE(e.key({kVkA, true, false, false}));  // Ctrl+A types nothing
}

class TimerTest : public ::testing::Test {
 protected:
  TimerTest() : clock({2026, 12, 9}, {8, 0, 0, 0}) { platform::setClock(&clock); }
  ~TimerTest() override { platform::setClock(nullptr); }
  void runUntil(int64_t target) {
    auto& q = TimerQueue::instance();
    for (int64_t due; (due = q.nextDue()) >= 0 && due <= target;) {
      clock.advance(due - clock.monotonicMs());
      q.fireDue(clock.monotonicMs());
    }
    clock.advance(target - clock.monotonicMs());
  }
  platform::VirtualClock clock;
};

TEST_F(TimerTest, TimersFireInTheOrderTheyFallDue) {
  std::vector<std::string> fired;
  Timer presence(3000, [&] { fired.push_back("p" + std::to_string(clock.monotonicMs())); }, true);
  Timer keepAlive(10000, [&] { fired.push_back("k" + std::to_string(clock.monotonicMs())); }, true);
  Timer off(1000, [&] { fired.push_back("off"); }, false);
  runUntil(12000);
  EXPECT_EQ(fired, (std::vector<std::string>{"p3000", "p6000", "p9000", "k10000", "p12000"}));
}

TEST_F(TimerTest, AHandlerMayStopItsOwnTimerAndDeleteAnother) {
  int a = 0;
  auto other = std::make_unique<Timer>(100, [] { FAIL() << "deleted timer fired"; }, true);
  Timer* self = nullptr;
  Timer t(50, [&] {
    ++a;
    self->setEnabled(false);
    other.reset();
  }, true);
  self = &t;
  runUntil(1000);
  EXPECT_EQ(a, 1);
}

// A presenter that feeds a list of keys, as a user would type them.
class ListPresenter : public Presenter {
 public:
  std::vector<KeyEvent> keys;
  void runModal(Form& f) override {
    while (!f.closeRequested() && !keys.empty()) {
      KeyEvent k = keys.front();
      keys.erase(keys.begin());
      Application::instance().dispatchKey(k);
    }
  }
};

TEST(Modal, NestedWindowsGetKeysTopFirstAndTabMovesFocus) {
  ListPresenter p;
  Application::instance().setPresenter(&p);
  Form outer("TfOuter", "outer");
  outer.geometry = {0, 0, 160, 64};
  Form inner("TfInner", "inner");
  inner.geometry = {0, 0, 160, 64};
  auto& e1 = inner.add<Edit>("e1");
  e1.geometry = {0, 0, 80, 16};
  auto& e2 = inner.add<Edit>("e2");
  e2.geometry = {0, 16, 80, 16};
  auto& open = outer.add<Button>("bOpen");
  open.geometry = {0, 0, 80, 16};
  std::vector<std::string> stackSeen;
  open.onClick = [&] {
    inner.showModal();
    for (Form* f : Application::instance().openForms()) stackSeen.push_back(f->name());
  };
  auto& done = inner.add<Button>("bOk");
  done.geometry = {0, 32, 80, 16};
  done.onClick = [&] { inner.close(7); };
  auto& quit = outer.add<Button>("bQuit");
  quit.geometry = {0, 16, 80, 16};
  quit.onClick = [&] { outer.close(1); };

  p.keys = {{kVkReturn}, typed('a'), {kVkTab}, typed('b'), {kVkTab}, {kVkReturn}, {kVkTab}, {kVkReturn}};
  EXPECT_EQ(outer.showModal(), 1);
  EXPECT_EQ(e1.value(), "a");
  EXPECT_EQ(e2.value(), "b");
  EXPECT_EQ(inner.modalResult(), 7);
  EXPECT_EQ(stackSeen, std::vector<std::string>{"TfOuter"});
  EXPECT_TRUE(Application::instance().openForms().empty());
  Application::instance().setPresenter(nullptr);
}

}  // namespace
}  // namespace pz::ui
