#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/net.h"
#include "platform/process.h"

namespace pz::platform {
namespace {

TEST(Process, CapturesOutputAndExitCodeWithoutAShell) {
  auto r = runProcess({"printf", "%s|", "a b", "$HOME"}, 5000);
  ASSERT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, "a b|$HOME|");  // arguments are passed as they are
  EXPECT_FALSE(runProcess({"no-such-program-pz"}, 5000).started);
}

TEST(Process, TimeLimitKillsAHangingProgram) {
  auto r = runProcess({"sleep", "30"}, 200);
  EXPECT_TRUE(r.timedOut);
  EXPECT_EQ(r.exitCode, -1);
}

TEST(Net, ConnectToAClosedPortFailsQuickly) {
  TcpClient c;
  EXPECT_NE(c.connect("127.0.0.1", 1, 2000), 0);
  EXPECT_FALSE(c.connected());
}

TEST(Clock, VirtualClockCrossesMidnightIntoTheNextDay) {
  VirtualClock c({2026, 12, 31}, {23, 59, 59, 0});
  c.advance(1500);
  EXPECT_EQ(c.today().year, 2027);
  EXPECT_EQ(c.today().month, 1);
  EXPECT_EQ(c.now().second, 0);
  EXPECT_EQ(c.now().hundredths, 50);
}

TEST(Clock, DayNumbersRoundTripAndKnowLeapYears) {
  for (Date d : {Date{2000, 2, 29}, Date{1999, 12, 31}, Date{2024, 3, 1}, Date{1, 1, 1}}) {
    Date back = fromDayNumber(dayNumber(d));
    EXPECT_EQ(back.year, d.year);
    EXPECT_EQ(back.month, d.month);
    EXPECT_EQ(back.day, d.day);
  }
  EXPECT_EQ(dayNumber({2024, 3, 1}) - dayNumber({2024, 2, 28}), 2);
  EXPECT_FALSE(validDate({2023, 2, 29}));
  EXPECT_FALSE(validDate({2100, 2, 29}));
}

}  // namespace
}  // namespace pz::platform
