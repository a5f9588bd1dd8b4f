#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/Clock.h"
#include "framework/Registry.h"

namespace {

struct Rig {
  TTimerClock Clock;
  TComponent Form{nullptr};
  TTimer* Timer = new TTimer(&Form, &Clock);
  TClock* Watch = new TClock(&Form);

  explicit Rig(unsigned interval) {
    Timer->Name = "Timer1";
    Timer->SetInterval(interval);
    Timer->OnTimer = TNotifyEvent(Watch, &TClock::Tick);
    Watch->SetTimer(Timer);
  }
  void Ticks(int n) { Clock.Advance(static_cast<std::uint64_t>(n) * Timer->Interval()); }
};

// Ticks between successive caption changes.
std::vector<int> Rhythm(Rig& r, int changes) {
  std::vector<int> gaps;
  std::string last = r.Watch->Caption();
  int ticks = 0;
  while (static_cast<int>(gaps.size()) < changes && ticks < 10000) {
    r.Ticks(1);
    ++ticks;
    if (r.Watch->Caption() != last) {
      last = r.Watch->Caption();
      gaps.push_back(ticks);
      ticks = 0;
    }
  }
  return gaps;
}

TEST(ClockBasics, NewClockShowsZeroAndIgnoresTicks) {
  Rig r(100);
  EXPECT_EQ(r.Watch->Caption(), "   00:00:00   ");
  EXPECT_FALSE(r.Watch->Running());
  r.Ticks(50);
  EXPECT_EQ(r.Watch->Caption(), "   00:00:00   ");
  EXPECT_EQ(r.Watch->Milliseconds(), 0);
  EXPECT_EQ(r.Watch->Alignment(), taCenter);
  EXPECT_EQ(r.Watch->Font.Size(), 10);
  EXPECT_EQ(r.Watch->Font.Color(), 0xFF000015u);
  EXPECT_TRUE(r.Watch->AutoSize());
  EXPECT_EQ(r.Watch->BevelKind(), bkTile);
}

TEST(ClockRhythm, ThreeHundredMillisecondsCarryTheRemainder) {
  Rig r(300);
  r.Watch->fnStart(true);
  EXPECT_EQ(Rhythm(r, 10), (std::vector<int>{4, 3, 3, 4, 3, 3, 4, 3, 3, 4}));
  EXPECT_EQ(r.Watch->Caption(), "   00:00:10   ");
  EXPECT_EQ(r.Watch->Milliseconds(), 200);
}

TEST(ClockRhythm, QuarterSecondsAndWholeSeconds) {
  Rig quarter(250);
  quarter.Watch->fnStart(true);
  EXPECT_EQ(Rhythm(quarter, 3), (std::vector<int>{4, 4, 4}));
  Rig whole(1000);
  whole.Watch->fnStart(true);
  EXPECT_EQ(Rhythm(whole, 3), (std::vector<int>{1, 1, 1}));
}

TEST(ClockRhythm, SlowerThanASecondOrNoTimerStandsStill) {
  Rig r(1001);
  EXPECT_EQ(r.Watch->Increment(), 0);
  r.Watch->fnStart(true);
  r.Ticks(100);
  EXPECT_EQ(r.Watch->Caption(), "   00:00:00   ");
  TClock bare(nullptr);
  bare.SetTimer(nullptr);
  bare.fnStart(true);
  for (int i = 0; i < 100; ++i) bare.Tick();
  EXPECT_EQ(bare.Caption(), "   00:00:00   ");
  EXPECT_EQ(bare.Milliseconds(), 0);
}

TEST(ClockRhythm, CarriesIntoMinutesHoursAndWrapsAtMidnight) {
  Rig r(1000);
  r.Watch->fnStart(true);
  r.Ticks(59);
  EXPECT_EQ(r.Watch->Caption(), "   00:00:59   ");
  r.Ticks(1);
  EXPECT_EQ(r.Watch->Caption(), "   00:01:00   ");
  r.Ticks(3600 - 60 + 5 * 60 + 30);
  EXPECT_EQ(r.Watch->Caption(), "   01:05:30   ");
  r.Ticks(86399 - 3930);
  EXPECT_EQ(r.Watch->Caption(), "   23:59:59   ");
  r.Ticks(1);
  EXPECT_EQ(r.Watch->Caption(), "   00:00:00   ");
  EXPECT_EQ(r.Watch->Hours(), 0);
  r.Ticks(1);
  EXPECT_EQ(r.Watch->Caption(), "   00:00:01   ");
}

TEST(ClockControl, ResetKeepsTheGatheredMillisecondsAndTheRunningFlag) {
  Rig r(100);
  r.Watch->fnStart(true);
  r.Ticks(27);  // 2.7 s
  ASSERT_EQ(r.Watch->Caption(), "   00:00:02   ");
  ASSERT_EQ(r.Watch->Milliseconds(), 700);
  r.Watch->fnReset(false);
  EXPECT_EQ(r.Watch->Caption(), "   00:00:02   ");
  r.Watch->fnReset(true);
  EXPECT_EQ(r.Watch->Caption(), "   00:00:00   ");
  EXPECT_EQ(r.Watch->Milliseconds(), 700);
  EXPECT_TRUE(r.Watch->Running());
  TTimer half(&r.Form, &r.Clock);
  half.SetInterval(500);
  r.Watch->SetTimer(&half);
  r.Watch->Tick();
  EXPECT_EQ(r.Watch->Caption(), "   00:00:01   ");
  EXPECT_EQ(r.Watch->Milliseconds(), 200);
}

TEST(ClockControl, StopAndStartKeepEveryCounter) {
  Rig r(300);
  r.Watch->fnStart(true);
  r.Ticks(5);  // 1.5 s
  r.Watch->fnStart(false);
  r.Ticks(10);
  EXPECT_EQ(r.Watch->Caption(), "   00:00:01   ");
  EXPECT_EQ(r.Watch->Milliseconds(), 500);
  r.Watch->fnStart(true);
  r.Ticks(2);
  EXPECT_EQ(r.Watch->Caption(), "   00:00:02   ");
}

TEST(ClockControl, LayoutAndRegistration) {
  Rig r(250);
  TClock* c = new TClock(&r.Form);
  const auto rejected =
      ApplyProperties(c, {{"Start", true}, {"Timer", std::string("Timer1")}, {"Reset", true}});
  EXPECT_TRUE(rejected.empty());
  EXPECT_TRUE(c->Running());
  EXPECT_EQ(c->Timer(), r.Timer);
  EXPECT_EQ(c->Increment(), 250);

  Clock::Register();
  for (const TComponentClass& k : RegisteredComponents())
    if (k.ClassName == "TClock") {
      EXPECT_EQ(k.Page, "Automation");
      std::unique_ptr<TComponent> made(k.Create(nullptr));
      EXPECT_NE(dynamic_cast<TClock*>(made.get()), nullptr);
      return;
    }
  ADD_FAILURE() << "TClock not registered";
}

}  // namespace
