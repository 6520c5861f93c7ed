// The red wait window TfErr: its look, and the way out on its right mouse button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/text.h"
#include "shell/interaction_windows.h"
#include "ui/app.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace pz::shell {
namespace {

using platform::cz;

// Lets 100 ms pass per step; in the wait window the right button is clicked at step `klik`, and
// the question that follows is answered by clicking `odpoved`.
class RightClickPresenter : public ui::Presenter {
 public:
  explicit RightClickPresenter(platform::VirtualClock& c) : clock_(c) {}
  void runModal(ui::Form& form) override {
    shown.push_back(form.name());
    if (form.name() == "TfDotaz") {
      otazky.push_back(form.find("mText") ? static_cast<ui::Memo*>(form.find("mText"))->lines.front() : form.caption);
      static_cast<ui::Button*>(form.find(odpoved))->onClick();
      return;
    }
    if (form.name() == "TfErr") {
      caption = form.caption;
      geometry = form.geometry;
    }
    for (int step = 0; !form.closeRequested() && step < 100; ++step) {
      if (step == klik) {
        ui::MouseEvent ev;
        ev.button = ui::MouseButton::Right;
        form.deliverMouse(ev);
        continue;
      }
      clock_.advance(100);
      ui::TimerQueue::instance().fireDue(clock_.monotonicMs());
    }
  }
  std::vector<std::string> shown, otazky;
  std::string caption, odpoved = "bAno";
  ui::Rect geometry;
  int klik = 2;

 private:
  platform::VirtualClock& clock_;
};

class WaitWindowRightButton : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setClock(&clock);
    ui::Application::instance().setPresenter(&presenter);
  }
  void TearDown() override {
    ui::Application::instance().setPresenter(nullptr);
    platform::setClock(nullptr);
  }
  platform::VirtualClock clock{{2026, 12, 9}, {8, 0, 0, 0}};
  RightClickPresenter presenter{clock};
  ShellInteraction dialogs;
};

TEST_F(WaitWindowRightButton, YesGivesUpIgnoringFileProtection) {
  int tries = 0;
  EXPECT_FALSE(dialogs.waitFor("Soubor KURSY.DTA", 1000, [&] { return ++tries, false; }));
  EXPECT_TRUE(dialogs.ignoreProtection);
  EXPECT_EQ(tries, 0);
  EXPECT_EQ(presenter.shown, (std::vector<std::string>{"TfErr", "TfDotaz"}));
  EXPECT_EQ(presenter.otazky, std::vector<std::string>{cz("Došlo k poruše, chcete ignorovat ochranu souborů")});
  EXPECT_EQ(presenter.caption, cz("Počkejte na uvolnění !!! "));
  EXPECT_EQ(presenter.geometry.x, 40);
  EXPECT_EQ(presenter.geometry.y, 107);
  EXPECT_EQ(presenter.geometry.w, 700);
}

TEST_F(WaitWindowRightButton, NoGoesOnWaitingAndTheNextShowingStartsWithoutTheFlag) {
  presenter.odpoved = "bNe";
  int tries = 0;
  EXPECT_TRUE(dialogs.waitFor("Soubor KURSY.DTA", 500, [&] { return ++tries == 2; }));
  EXPECT_FALSE(dialogs.ignoreProtection);
  EXPECT_EQ(tries, 2);

  dialogs.ignoreProtection = true;
  presenter.klik = -1;
  EXPECT_TRUE(dialogs.waitFor("Soubor KURSY.DTA", 500, [] { return true; }));
  EXPECT_FALSE(dialogs.ignoreProtection);
}


// Lets the clock run on in one long step, as a scripted "wait 2500" does: every period that falls
// due fires before the modal loop looks at the window again.
class LongStepPresenter : public ui::Presenter {
 public:
  explicit LongStepPresenter(platform::VirtualClock& c) : clock_(c) {}
  void runModal(ui::Form&) override {
    auto& timers = ui::TimerQueue::instance();
    const long long target = clock_.monotonicMs() + 2500;
    for (int i = 0; i < 50; ++i) {
      const long long due = timers.nextDue();
      if (due < 0 || due > target) break;
      if (due > clock_.monotonicMs()) clock_.advance(due - clock_.monotonicMs());
      timers.fireDue(clock_.monotonicMs());
    }
  }

 private:
  platform::VirtualClock& clock_;
};

TEST(WaitWindowLongStep, WhatTheFirstSuccessfulTryTookIsNotTriedForAgainInTheSameLongStep) {
  platform::VirtualClock clock{{2026, 12, 9}, {8, 0, 0, 0}};
  platform::setClock(&clock);
  LongStepPresenter presenter{clock};
  ui::Application::instance().setPresenter(&presenter);
  ShellInteraction dialogs;
  // The try takes a lock when it is free; a further try would meet the lock as held by itself.
  int tries = 0;
  bool drzen = false, potkalSvuj = false;
  const bool ok = dialogs.waitFor("Soubor STAVZ01 W", 1000, [&] {
    ++tries;
    if (drzen) return potkalSvuj = true, false;
    return drzen = true;
  });
  ui::Application::instance().setPresenter(nullptr);
  platform::setClock(nullptr);
  EXPECT_TRUE(ok);
  EXPECT_EQ(tries, 1);
  EXPECT_FALSE(potkalSvuj);
}

}  // namespace
}  // namespace pz::shell
