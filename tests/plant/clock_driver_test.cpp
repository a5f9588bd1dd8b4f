// The clock the GUI drives from its event loop, fed synthetic wall times (nothing sleeps): it
// hands over exactly the time that passed, never runs backwards, and drops a long backlog.
#include <gtest/gtest.h>

#include "framework/Timer.h"
#include "gui/ClockDriver.h"

namespace {

struct Counter {
  int fired = 0;
  void Fire(TObject*) { ++fired; }
};

TEST(ClockDriver, HandsThePlantClockTheWallTimeThatPassed) {
  TTimerClock clock;
  TClockDriver driver(clock);
  Counter c;
  TTimer tick(nullptr, &clock);
  tick.SetInterval(50);
  tick.OnTimer = TNotifyEvent(&c, &Counter::Fire);
  driver.Start();
  driver.Wake(10);
  driver.Wake(60);
  EXPECT_EQ(clock.Now(), 60u);
  EXPECT_EQ(c.fired, 1);
  // A wake-up that comes early or twice hands over nothing.
  driver.Wake(60);
  driver.Wake(55);
  EXPECT_EQ(clock.Now(), 60u);
  driver.Wake(1000);
  // At most the catch-up allowance after a stall; the rest is dropped, not raced through.
  EXPECT_EQ(clock.Now(), 60u + TClockDriver::kMaxCatchUp);
  driver.Wake(1010);
  EXPECT_EQ(clock.Now(), 60u + TClockDriver::kMaxCatchUp + 10u);
  driver.Stop();
  EXPECT_FALSE(driver.Running());
}

}  // namespace
