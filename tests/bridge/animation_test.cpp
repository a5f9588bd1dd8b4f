#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "components/AnimationCode.h"
#include "framework/Picture.h"
#include "framework/Registry.h"
#include "framework/Timer.h"
#include "tick_driver.h"

namespace {

// Records what an animation reports: frame changes with the frame shown at that moment, and
// run ends, in the order they happen, with the tick on which they happened.
struct EventLog {
  explicit EventLog(TFrameAnimation& a, const TickDriver* d = nullptr) : anim(a), driver(d) {
    anim.OnFrameChange = TFrameEvent(this, &EventLog::FrameChange);
    anim.OnEnd = TFrameEvent(this, &EventLog::End);
  }
  void FrameChange(int n, void* sender) {
    EXPECT_EQ(sender, &anim);
    frames.push_back({n, anim.FrameNumber(), std::string(anim.Picture().Name()), Tick()});
    order.push_back("frame " + std::to_string(n));
  }
  void End(int n, void* sender) {
    EXPECT_EQ(sender, &anim);
    ends.push_back({n, Tick()});
    order.push_back("end " + std::to_string(n));
  }
  int Tick() const { return driver != nullptr ? driver->ticks : -1; }
  // The tick on which frame n was first announced, or -1.
  int TickOfFrame(int n) const {
    for (const auto& f : frames)
      if (f.next == n) return f.tick;
    return -1;
  }

  struct Change {
    int next, shownBefore;
    std::string pictureBefore;
    int tick;
  };
  struct End_ {
    int bound, tick;
  };
  TFrameAnimation& anim;
  const TickDriver* driver;
  std::vector<Change> frames;
  std::vector<End_> ends;
  std::vector<std::string> order;
};

// A 40-frame animation on a 50 ms timer, as the bridge uses it.
struct Deck {
  explicit Deck(int tripTime = 25000) {
    anim.LoadResources("FRAMES_", 40);
    anim.SetSimTimer(&drive.timer);
    anim.SetTripTime(tripTime);
  }
  TFrameAnimation anim{nullptr};
  TickDriver drive{anim};
};

TEST(FrameAnimationLoading, LoadsNumberedFramesShowsTheFirstAndCoversThemAll) {
  TFrameAnimation anim(nullptr);
  EXPECT_TRUE(anim.AutoSize());
  EXPECT_TRUE(anim.Visible());
  EXPECT_EQ(anim.FrameCount(), 0);
  EXPECT_EQ(anim.PlayState, psStopped);

  anim.LoadResources("FRAMES_", 12);
  EXPECT_EQ(anim.FrameCount(), 12);
  EXPECT_EQ(anim.FromFrame(), 0);
  EXPECT_EQ(anim.ToFrame(), 12);
  EXPECT_EQ(anim.FrameNumber(), 0);
  ASSERT_EQ(anim.Frames().size(), 12u);
  EXPECT_EQ(anim.Frames()[0].Name(), "FRAMES_0");
  EXPECT_EQ(anim.Frames()[10].Name(), "FRAMES_10");  // decimal, no leading zeros
  EXPECT_EQ(anim.Picture().Name(), "FRAMES_0");
  EXPECT_FALSE(anim.AutoSize());
  EXPECT_TRUE(anim.Stretch());
  // AutoSize was on while the first frame was shown, so the control took its natural size.
  EXPECT_EQ(anim.Width(), anim.Frames()[0].Width());
  EXPECT_EQ(anim.Height(), anim.Frames()[0].Height());
}

TEST(FrameAnimationLoading, MissingFrameNamesTheResourceAndLeavesTheCountAlone) {
  TFrameAnimation anim(nullptr);
  try {
    anim.LoadResources("NO_SUCH_FRAME_", 3);
    FAIL() << "expected EResNotFound";
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource NO_SUCH_FRAME_0 not found");
  }
  EXPECT_EQ(anim.FrameCount(), 0);
  // Frames past the last picture fail on the first missing one.
  EXPECT_THROW(anim.LoadResources("FRAMES_", 500), EResNotFound);
  EXPECT_EQ(anim.FrameCount(), 0);
  anim.SetFrame(0);  // still nothing to show, and nothing breaks
  EXPECT_EQ(anim.FrameNumber(), 0);
}

TEST(FrameAnimationLoading, AddFrameAppendsAndCounts) {
  TFrameAnimation anim(nullptr);
  anim.AddFrame(TPicture::LoadFrame("FRAMES_5"));
  anim.AddFrame(TPicture::LoadFrame("FRAMES_7"));
  EXPECT_EQ(anim.FrameCount(), 2);
  anim.SetFrame(1);
  EXPECT_EQ(anim.FrameNumber(), 1);
  EXPECT_EQ(anim.Picture().Name(), "FRAMES_7");
}

// Forward from frame 0 with 40 frames on a 50 ms tick: (trip time, tick of frame 1, tick of
// frame 39, tick of the stop). The float accumulator decides these to the tick.
struct RunCase {
  int tripTime, frame1, frame39, stop;
  float rate;
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << "trip " << c.tripTime << " ms"; }

class FrameAnimationRun : public testing::TestWithParam<RunCase> {};

TEST_P(FrameAnimationRun, ReachesEachFrameOnTheTickTheFloatArithmeticGives) {
  const RunCase c = GetParam();
  Deck d(c.tripTime);
  EXPECT_EQ(d.anim.FramesPerTick(), c.rate);
  EventLog log(d.anim, &d.drive);
  d.anim.Play();
  const int ticks = d.drive.RunUntilStopped(2000);

  EXPECT_EQ(ticks, c.stop);
  EXPECT_EQ(log.TickOfFrame(1), c.frame1);
  EXPECT_EQ(log.TickOfFrame(39), c.frame39);
  EXPECT_EQ(d.anim.PlayState, psStopped);
  EXPECT_EQ(d.anim.FrameNumber(), 39);
  ASSERT_EQ(log.ends.size(), 1u);
  EXPECT_EQ(log.ends[0].bound, 40);
  EXPECT_EQ(log.ends[0].tick, c.stop);
  // Every frame once, in order, none skipped.
  ASSERT_EQ(log.frames.size(), 39u);
  for (int i = 0; i < 39; ++i) {
    EXPECT_EQ(log.frames[static_cast<std::size_t>(i)].next, i + 1);
    EXPECT_EQ(log.frames[static_cast<std::size_t>(i)].shownBefore, i);
  }
  // Stopped means stopped: more ticks change nothing.
  d.drive.Ticks(50);
  EXPECT_EQ(d.anim.FrameNumber(), 39);
  EXPECT_EQ(log.ends.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(TripTimes, FrameAnimationRun,
                         testing::Values(RunCase{25000, 13, 488, 501, 0.08f},
                                         RunCase{15000, 8, 293, 300, 2000.0f / 15000.0f}),
                         [](const testing::TestParamInfo<RunCase>& i) {
                           return "Trip" + std::to_string(i.param.tripTime);
                         });

TEST(FrameAnimationRun, ContinueAtTheBoundStopsAgainOnTheNextWholeFrame) {
  Deck d;
  EventLog log(d.anim, &d.drive);
  d.anim.Play();
  d.drive.RunUntilStopped();
  const std::size_t changes = log.frames.size();
  d.anim.Continue();
  EXPECT_EQ(d.anim.PlayState, psPlaying);
  d.drive.RunUntilStopped(d.drive.ticks + 100);
  EXPECT_EQ(d.anim.PlayState, psStopped);
  EXPECT_EQ(d.anim.FrameNumber(), 39);
  EXPECT_EQ(log.frames.size(), changes);
  ASSERT_EQ(log.ends.size(), 2u);
  EXPECT_EQ(log.ends[1].bound, 40);
  // The remainder left after the first stop (0.08) brings the next whole frame in 12 ticks.
  EXPECT_EQ(log.ends[1].tick - log.ends[0].tick, 12);
}

TEST(FrameAnimationRun, ReverseStopsExactlyOnFromFrameAndEndsBeforeTheLastChange) {
  Deck d;
  d.anim.SetFrame(39);
  EventLog log(d.anim, &d.drive);
  d.anim.Reverse = true;
  d.anim.Play();
  d.drive.RunUntilStopped(2000);
  EXPECT_EQ(d.anim.PlayState, psStopped);
  EXPECT_EQ(d.anim.FrameNumber(), 0);
  ASSERT_EQ(log.ends.size(), 1u);
  EXPECT_EQ(log.ends[0].bound, 0);
  ASSERT_GE(log.order.size(), 2u);
  EXPECT_EQ(log.order[log.order.size() - 2], "end 0");
  EXPECT_EQ(log.order.back(), "frame 0");
  EXPECT_LT(d.anim.FrameAccumulator(), 0.0f);  // the remainder keeps its sign
}

TEST(FrameAnimationRun, PlayWithBoundsStopsBelowToGoingUpAndOnFromGoingDown) {
  Deck d(1000);  // 2 frames a tick: the bound is overshot and clamped
  EventLog log(d.anim, &d.drive);
  d.anim.SetFrame(10);
  d.anim.Play(10, 15);
  d.drive.RunUntilStopped(100);
  EXPECT_EQ(d.anim.FrameNumber(), 14);
  ASSERT_EQ(log.ends.size(), 1u);
  EXPECT_EQ(log.ends[0].bound, 15);
  // 10 -> 12 -> 14, then 16 >= 15: the end is announced first, then 16 becomes 14 — no change.
  EXPECT_EQ(log.order, (std::vector<std::string>{"frame 10", "frame 12", "frame 14", "end 15"}));

  log.order.clear();
  d.anim.SetFrame(30);
  d.anim.Reverse = true;
  d.anim.Play(25, 40);
  d.drive.RunUntilStopped(200);
  EXPECT_EQ(d.anim.FrameNumber(), 25);
  EXPECT_EQ(log.order, (std::vector<std::string>{"frame 30", "frame 28", "frame 26", "end 25",
                                                 "frame 25"}));
  // Continue keeps the bounds of the last Play.
  EXPECT_EQ(d.anim.FromFrame(), 25);
  EXPECT_EQ(d.anim.ToFrame(), 40);
}

TEST(FrameAnimationState, PauseAndContinueKeepTheFraction) {
  Deck d;
  EventLog log(d.anim, &d.drive);
  d.anim.Play();
  d.drive.Ticks(6);  // 0.48 frames accumulated
  const float held = d.anim.FrameAccumulator();
  EXPECT_GT(held, 0.4f);
  d.anim.Pause();
  EXPECT_EQ(d.anim.PlayState, psPaused);
  d.drive.Ticks(100);
  EXPECT_EQ(d.anim.FrameAccumulator(), held);
  EXPECT_EQ(d.anim.FrameNumber(), 0);
  d.anim.Continue();
  d.drive.Ticks(6);
  EXPECT_EQ(d.anim.FrameNumber(), 0);  // 12 playing ticks: 0.96
  d.drive.Ticks(1);
  EXPECT_EQ(d.anim.FrameNumber(), 1);  // the 13th playing tick
}

TEST(FrameAnimationState, PlayOnlyFromStoppedOrPausedTakesNewBounds) {
  Deck d;
  d.anim.Play(5, 20);
  EXPECT_EQ(d.anim.PlayState, psPlaying);
  d.anim.Play(0, 10);  // already playing: ignored
  EXPECT_EQ(d.anim.FromFrame(), 5);
  EXPECT_EQ(d.anim.ToFrame(), 20);
  d.anim.Pause();
  d.anim.Play(0, 10);
  EXPECT_EQ(d.anim.PlayState, psPlaying);
  EXPECT_EQ(d.anim.FromFrame(), 0);
  EXPECT_EQ(d.anim.ToFrame(), 10);
}

TEST(FrameAnimationState, JammedIgnoresPlayContinuePauseUntilTheOwnerWritesStopped) {
  Deck d(1000);
  d.anim.Play();
  d.drive.Ticks(2);
  ASSERT_EQ(d.anim.FrameNumber(), 4);
  d.anim.PlayState = psJammed;
  d.anim.Continue();
  EXPECT_EQ(d.anim.PlayState, psJammed);
  d.anim.Pause();
  EXPECT_EQ(d.anim.PlayState, psJammed);
  d.anim.Play(0, 40);
  EXPECT_EQ(d.anim.PlayState, psJammed);
  d.drive.Ticks(10);
  EXPECT_EQ(d.anim.FrameNumber(), 4);
  d.anim.SetFrame(7);  // frames can still be set directly
  EXPECT_EQ(d.anim.FrameNumber(), 7);

  d.anim.PlayState = psStopped;
  d.anim.Continue();
  EXPECT_EQ(d.anim.PlayState, psPlaying);
  d.drive.Ticks(1);
  EXPECT_EQ(d.anim.FrameNumber(), 9);
}

TEST(FrameAnimationRate, TripTimeAndTimerSetTheRate) {
  TFrameAnimation anim(nullptr);
  anim.LoadResources("FRAMES_", 40);
  TTimerClock clock;
  TTimer timer(nullptr, &clock);
  timer.SetInterval(50);

  // A timer before any trip time gives no rate.
  anim.SetSimTimer(&timer);
  EXPECT_EQ(anim.FramesPerTick(), 0.0f);
  anim.SetTripTime(25000);
  EXPECT_EQ(anim.FramesPerTick(), 0.08f);
  // Zero keeps the previous trip time and rate.
  anim.SetTripTime(0);
  EXPECT_EQ(anim.TripTime(), 25000);
  EXPECT_EQ(anim.FramesPerTick(), 0.08f);
  // Setting the timer again picks up a changed interval.
  timer.SetInterval(100);
  EXPECT_EQ(anim.FramesPerTick(), 0.08f);
  anim.SetSimTimer(&timer);
  EXPECT_EQ(anim.FramesPerTick(), 0.16f);
  // Without a timer the rate is zero, though the trip time is kept.
  anim.SetSimTimer(nullptr);
  EXPECT_EQ(anim.FramesPerTick(), 0.0f);
  EXPECT_EQ(anim.TripTime(), 25000);
}

TEST(FrameAnimationRate, ATimerDestroyedFirstIsForgottenAndTheRateStays) {
  TFrameAnimation anim(nullptr);
  anim.LoadResources("FRAMES_", 40);
  TTimerClock clock;
  auto* timer = new TTimer(nullptr, &clock);
  timer->SetInterval(50);
  anim.SetSimTimer(timer);
  anim.SetTripTime(25000);
  delete timer;
  EXPECT_EQ(anim.SimTimer(), nullptr);
  EXPECT_EQ(anim.FramesPerTick(), 0.08f);
  anim.SetTripTime(15000);  // no timer to read any more
  EXPECT_EQ(anim.FramesPerTick(), 0.0f);

  // Switching timers drops the link to the first: destroying it later changes nothing.
  TTimer kept(nullptr, &clock);
  kept.SetInterval(100);
  auto* dropped = new TTimer(nullptr, &clock);
  anim.SetSimTimer(dropped);
  anim.SetSimTimer(&kept);
  delete dropped;
  EXPECT_EQ(anim.SimTimer(), &kept);
  EXPECT_EQ(anim.FramesPerTick(), 4000.0f / 15000.0f);
}

TEST(FrameAnimationRate, NewRateKeepsTheAccumulatedFraction) {
  Deck d;
  d.anim.Play();
  d.drive.Ticks(10);  // 0.8
  const float held = d.anim.FrameAccumulator();
  d.anim.SetTripTime(15000);
  EXPECT_EQ(d.anim.FrameAccumulator(), held);
  d.drive.Ticks(1);  // 0.8 + 0.1333 crosses no frame ...
  EXPECT_EQ(d.anim.FrameNumber(), 0);
  d.drive.Ticks(1);  // ... 1.0666 does
  EXPECT_EQ(d.anim.FrameNumber(), 1);
}

TEST(FrameAnimationRate, ProductWrapsAsUnsigned32Bits) {
  TFrameAnimation anim(nullptr);
  anim.LoadResources("FRAMES_", 4);
  TTimerClock clock;
  TTimer timer(nullptr, &clock);
  anim.SetTripTime(1000);
  timer.SetInterval(0x40000001u);  // x 4 frames = 2^32 + 4, which wraps to 4
  anim.SetSimTimer(&timer);
  EXPECT_EQ(anim.FramesPerTick(), 0.004f);
}

TEST(FrameAnimationRate, AbsurdRateStopsAtTheBoundInsteadOfOverflowing) {
  TFrameAnimation anim(nullptr);
  anim.LoadResources("FRAMES_", 2);
  TTimerClock clock;
  TTimer timer(nullptr, &clock);
  timer.SetInterval(0x7FFFFFFFu);  // x 2 frames: almost 2^32 frames for a 1 ms trip
  anim.SetSimTimer(&timer);
  anim.SetTripTime(1);
  EXPECT_GT(anim.FramesPerTick(), 4.0e9f);
  EventLog log(anim);
  anim.Play();
  anim.SimulationStep();
  EXPECT_EQ(anim.PlayState, psStopped);
  EXPECT_EQ(anim.FrameNumber(), 1);
  ASSERT_EQ(log.ends.size(), 1u);
  EXPECT_EQ(log.ends[0].bound, 2);
}

TEST(FrameAnimationFrames, FrameChangeSeesTheNewNumberWhileTheOldFrameIsShown) {
  Deck d;
  EventLog log(d.anim);
  d.anim.SetFrame(3);
  d.anim.SetFrame(17);
  ASSERT_EQ(log.frames.size(), 2u);
  EXPECT_EQ(log.frames[0].next, 3);
  EXPECT_EQ(log.frames[0].shownBefore, 0);
  EXPECT_EQ(log.frames[0].pictureBefore, "FRAMES_0");
  EXPECT_EQ(log.frames[1].next, 17);
  EXPECT_EQ(log.frames[1].shownBefore, 3);
  EXPECT_EQ(log.frames[1].pictureBefore, "FRAMES_3");
  EXPECT_EQ(d.anim.FrameNumber(), 17);
  EXPECT_EQ(d.anim.Picture().Name(), "FRAMES_17");
}

TEST(FrameAnimationFrames, OutOfRangeOrUnchangedFramesFireNothing) {
  Deck d;
  d.anim.SetFrame(5);
  EventLog log(d.anim);
  d.anim.SetFrame(-1);
  d.anim.SetFrame(40);
  d.anim.SetFrame(5);
  EXPECT_TRUE(log.frames.empty());
  EXPECT_EQ(d.anim.FrameNumber(), 5);
  EXPECT_EQ(d.anim.Picture().Name(), "FRAMES_5");
}

TEST(FrameAnimationFrames, ResizingShowsTheFirstFrameWithoutMovingTheDeck) {
  Deck d;
  d.anim.SetFrame(20);
  EventLog log(d.anim);
  d.anim.SetWidth(300);
  d.anim.SetHeight(200);
  EXPECT_EQ(d.anim.GetWidth(), 300);
  EXPECT_EQ(d.anim.GetHeight(), 200);
  EXPECT_EQ(d.anim.Picture().Name(), "FRAMES_0");
  EXPECT_EQ(d.anim.FrameNumber(), 20);
  EXPECT_TRUE(log.frames.empty());

  TFrameAnimation empty(nullptr);  // no frames: only the size changes
  empty.SetWidth(33);
  EXPECT_EQ(empty.GetWidth(), 33);
  EXPECT_TRUE(empty.Picture().Empty());
}

std::vector<std::string> Names(const TPropList& list) {
  std::vector<std::string> out;
  for (const auto& p : list) out.emplace_back(p.Name);
  return out;
}

TEST(FrameAnimationProperties, PublishesItsOwnPropertiesLastAndOnce) {
  TFrameAnimation anim(nullptr);
  const auto names = Names(PublishedProperties(&anim));
  for (const char* n : {"Height", "Width", "AutoSize"})
    EXPECT_EQ(std::count(names.begin(), names.end(), n), 1) << n;
  ASSERT_GE(names.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(names.end() - 6, names.end()),
            (std::vector<std::string>{"Height", "Width", "FrameNumber", "TripTime", "SimTimer",
                                      "AutoSize"}));
}

TEST(FrameAnimationProperties, LayoutNamesTheTimerAndTheRateFollowsWhateverTheOrder) {
  TComponent form(nullptr);
  TTimerClock clock;
  auto* timer = new TTimer(&form, &clock);
  timer->Name = "Timer1";
  timer->SetInterval(50);
  auto* anim = new TFrameAnimation(&form);
  anim->LoadResources("FRAMES_", 40);
  // Given timer first; applied in published order, so SimTimer recomputes after TripTime.
  const auto rejected = ApplyProperties(
      anim, {{"SimTimer", std::string("Timer1")}, {"TripTime", 25000LL}, {"FrameNumber", 12LL}});
  EXPECT_TRUE(rejected.empty());
  EXPECT_EQ(anim->SimTimer(), timer);
  EXPECT_EQ(anim->FramesPerTick(), 0.08f);
  EXPECT_EQ(anim->FrameNumber(), 12);
  const auto list = PublishedProperties(anim);
  EXPECT_EQ(std::get<std::string>(FindProperty(list, "SimTimer")->Get(anim)), "Timer1");

  // A name that is not a timer of the form leaves the timer alone; an empty one clears it.
  ApplyProperties(anim, {{"SimTimer", std::string("Nothing")}});
  EXPECT_EQ(anim->SimTimer(), timer);
  ApplyProperties(anim, {{"SimTimer", std::string("")}});
  EXPECT_EQ(anim->SimTimer(), nullptr);
}

TEST(FrameAnimationProperties, RegisteredOnTheAutomationPage) {
  AnimationCode::Register();
  const auto& palette = RegisteredComponents();
  const auto it = std::find_if(palette.begin(), palette.end(), [](const TComponentClass& c) {
    return c.ClassName == "TFrameAnimation";
  });
  ASSERT_NE(it, palette.end());
  EXPECT_EQ(it->Page, "Automation");
  TComponent owner(nullptr);
  TComponent* made = it->Create(&owner);
  EXPECT_EQ(made->ClassName(), "TFrameAnimation");
  EXPECT_EQ(made->Owner(), &owner);
}

}  // namespace
