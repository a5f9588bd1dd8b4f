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

TEST(ClockDriver, PausedItHandsOverNothingAndSpeedScalesPlantTime) {
  TTimerClock clock;
  TClockDriver driver(clock);
  driver.Start();
  driver.SetPaused(true);
  driver.Wake(200);
  EXPECT_EQ(clock.Now(), 0u);
  // Resuming does not make up the paused time.
  driver.SetPaused(false);
  driver.Wake(210);
  EXPECT_EQ(clock.Now(), 10u);
  driver.SetSpeed(0.25);
  for (int w = 220; w <= 250; w += 10) driver.Wake(w);  // 40 ms of wall time
  EXPECT_EQ(clock.Now(), 20u);
  driver.SetSpeed(0.1);
  driver.Wake(255);  // half a millisecond is carried, not lost
  driver.Wake(260);
  EXPECT_EQ(clock.Now(), 21u);
  driver.SetSpeed(5);
  driver.Wake(270);
  EXPECT_EQ(clock.Now(), 71u);
  driver.SetSpeed(50);  // clamped to the fastest speed offered
  EXPECT_DOUBLE_EQ(driver.Speed(), 5.0);
  driver.Wake(2270);  // a stall at 5x: at most the catch-up allowance of wall time, times five
  EXPECT_EQ(clock.Now(), 71u + 5 * TClockDriver::kMaxCatchUp);
}

}  // namespace
