#include "wingui/timer.h"

#include <gtest/gtest.h>

#include <vector>

#include "win_ui.h"

namespace ixo {
namespace {

using test::PumpUntil;
using test::TestForm;
using test::UiTest;

using TimerTest = UiTest;

// A timer is probed with KillTimer, which tells whether the system had it.
bool SystemTimerSet(TForm& form, TTimer& timer) {
  const bool set = KillTimer(form.Handle(), timer.Id()) != 0;
  if (set) SetTimer(form.Handle(), timer.Id(), timer.Interval(), nullptr);
  return set;
}

TEST_F(TimerTest, ATimerRunsOnlyWhileEnabledWithAnInterval) {
  TestForm form;
  TTimer timer(form, 1000);
  EXPECT_FALSE(timer.Running());
  EXPECT_FALSE(SystemTimerSet(form, timer));
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Running());
  EXPECT_TRUE(SystemTimerSet(form, timer));
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running());
  EXPECT_FALSE(SystemTimerSet(form, timer));
  EXPECT_TRUE(timer.Enabled());
  timer.SetInterval(1000);
  EXPECT_TRUE(timer.Running());
  timer.SetEnabled(false);
  EXPECT_FALSE(SystemTimerSet(form, timer));
  // A tick that reaches a stopped timer is not passed on.
  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  SendMessageA(form.Handle(), WM_TIMER, timer.Id(), 0);
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, EnablingATimerStartsAFreshIntervalAndReEnablingChangesNothing) {
  TestForm form;
  TTimer timer(form, 600);
  // Started just after it with a longer interval, a second timer ticks
  // second, unless the first one's interval started afresh half-way. Timers
  // tick in the order they fall due, however late a busy machine runs them.
  TTimer later(form, 650);
  ULONGLONG tickedAt = 0;
  std::vector<const TTimer*> ticks;
  timer.OnTimer = [&] {
    if (!tickedAt) tickedAt = GetTickCount64();
    ticks.push_back(&timer);
  };
  later.OnTimer = [&] { ticks.push_back(&later); };
  const ULONGLONG start = GetTickCount64();
  timer.SetEnabled(true);
  later.SetEnabled(true);
  // Half-way, the same state again: a restart would move the tick to 900 ms.
  PumpUntil([&] { return GetTickCount64() - start >= 300; });
  timer.SetEnabled(true);
  timer.SetInterval(600);
  ASSERT_TRUE(PumpUntil([&] { return tickedAt != 0 && ticks.size() >= 2; }));
  EXPECT_GE(tickedAt - start, 550u);
  EXPECT_EQ(ticks[0], &timer) << "the first timer's interval started again";
}

}  // namespace
}  // namespace ixo
