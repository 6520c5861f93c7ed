// The shell's message forms: how a long text is laid out, and the wait window's retries.
#include "shell/interaction_windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "ui/app.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace pz::shell {
namespace {

// Lets time pass in steps of 100 ms, firing timers, until the form closes; Esc after `escAfter`
// steps plays the user giving up.
class TimePresenter : public ui::Presenter {
 public:
  explicit TimePresenter(platform::VirtualClock& c) : clock_(c) {}
  void runModal(ui::Form& form) override {
    shown.push_back(form.name());
    for (int step = 0; !form.closeRequested() && step < 1000; ++step) {
      if (step == escAfter) {
        ui::KeyEvent esc;
        esc.vk = ui::kVkEscape;
        form.deliverKey(esc);
        continue;
      }
      clock_.advance(100);
      ui::TimerQueue::instance().fireDue(clock_.monotonicMs());
    }
  }
  std::vector<std::string> shown;
  int escAfter = -1;

 private:
  platform::VirtualClock& clock_;
};

class WaitWindow : public ::testing::Test {
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
  TimePresenter presenter{clock};
  ShellInteraction dialogs;
};

TEST_F(WaitWindow, RetriesAtItsIntervalUntilTheAttemptSucceeds) {
  std::vector<int64_t> tries;
  bool ok = dialogs.waitFor("Err   32 a.dta", 300, [&] {
    tries.push_back(clock.monotonicMs());
    return tries.size() == 3;
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(tries, (std::vector<int64_t>{300, 600, 900}));
  EXPECT_EQ(presenter.shown, std::vector<std::string>{"TfErr"});
}

TEST_F(WaitWindow, EscGivesUp) {
  presenter.escAfter = 5;
  int tries = 0;
  EXPECT_FALSE(dialogs.waitFor("Err   32 a.dta", 100, [&] { return ++tries, false; }));
  EXPECT_EQ(tries, 5);
}

}  // namespace
}  // namespace pz::shell
