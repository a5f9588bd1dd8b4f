#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/BridgeCode.h"
#include "tick_driver.h"

namespace {

// Receivers for the five bridge signals that write every change to one log, so the order of
// the signals within a frame change is visible too.
struct Panel {
  explicit Panel(TBridge& deck) : bridge(deck) {
    a.OnChange = TPinChangeEvent(this, &Panel::A);
    b.OnChange = TPinChangeEvent(this, &Panel::B);
    c.OnChange = TPinChangeEvent(this, &Panel::C);
    d.OnChange = TPinChangeEvent(this, &Panel::D);
    elevation.OnNewData = TByteDataEvent(this, &Panel::Elevation);
  }
  void Connect() {
    bridge.ConnectFCAOutTo(&a);
    bridge.ConnectFCBOutTo(&b);
    bridge.ConnectFCCOutTo(&c);
    bridge.ConnectFCDOutTo(&d);
    bridge.ConnectElevationOutTo(&elevation);
  }
  void Note(const char* what, bool s) { log.push_back(std::string(what) + (s ? "+" : "-") + At()); }
  void A(bool s, void*) { Note("A", s); }
  void B(bool s, void*) { Note("B", s); }
  void C(bool s, void*) { Note("C", s); }
  void D(bool s, void*) { Note("D", s); }
  void Elevation(unsigned char v) { ++elevationChanges; elevationLog.push_back(v); }
  // The frame being entered; the receivers run before the bridge shows it, so the test says.
  std::string At() const { return "@" + std::to_string(entering); }

  TBridge& bridge;
  TInputPin a, b, c, d;
  TInputByte elevation;
  int entering = -1;
  int elevationChanges = 0;
  std::vector<std::string> log;
  std::vector<int> elevationLog;
};

// The state the main window puts a new bridge in: frame 6, then frame 0.
void StartUp(TBridge& bridge) {
  bridge.SetFrame(6);
  bridge.SetFrame(0);
}

TEST(Bridge, ConstructsWithFortyFramesAtItsNaturalSizeAndQuietSignals) {
  TBridge bridge(nullptr);
  EXPECT_EQ(bridge.ClassName(), "TBridge");
  EXPECT_EQ(bridge.FrameCount(), 40);
  EXPECT_EQ(bridge.FrameNumber(), 0);
  EXPECT_EQ(bridge.FromFrame(), 0);
  EXPECT_EQ(bridge.ToFrame(), 40);
  EXPECT_FALSE(bridge.AutoSize());
  EXPECT_TRUE(bridge.Stretch());
  EXPECT_EQ(bridge.Picture().Name(), "FRAMES_0");
  EXPECT_EQ(bridge.Width(), bridge.Frames()[0].Width());
  EXPECT_EQ(bridge.Height(), bridge.Frames()[0].Height());
  EXPECT_EQ(bridge.Frames()[39].Name(), "FRAMES_39");
  // Nothing is derived until the first frame change.
  EXPECT_FALSE(bridge.FC_AOut->State);
  EXPECT_FALSE(bridge.FC_BOut->State);
  EXPECT_FALSE(bridge.FC_COut->State);
  EXPECT_FALSE(bridge.FC_DOut->State);
  EXPECT_EQ(bridge.ElevationOut->Value, 0);
}

TEST(Bridge, StartUpPassesFrameSixAndSettlesLoweredOnFcA) {
  TBridge bridge(nullptr);
  Panel panel(bridge);
  panel.Connect();
  ASSERT_TRUE(panel.log.empty());
  panel.entering = 6;
  bridge.SetFrame(6);
  panel.entering = 0;
  bridge.SetFrame(0);
  // Elevation first, then the switches in A, B, C, D order.
  EXPECT_EQ(panel.log, (std::vector<std::string>{"B+@6", "A+@0", "B-@0"}));
  EXPECT_EQ(panel.elevationLog, (std::vector<int>{6, 0}));
  EXPECT_TRUE(panel.a.State);
  EXPECT_FALSE(panel.b.State);
  EXPECT_FALSE(panel.c.State);
  EXPECT_FALSE(panel.d.State);
  EXPECT_EQ(panel.elevation.Value, 0);
}

TEST(Bridge, ElevationIsUpdatedBeforeTheLimitSwitches) {
  TBridge bridge(nullptr);
  struct Probe {
    TBridge* bridge;
    int seen = -1;
    void OnB(bool, void*) { seen = bridge->ElevationOut->Value; }
  } probe{&bridge};
  TInputPin b;
  b.OnChange = TPinChangeEvent(&probe, &Probe::OnB);
  bridge.ConnectFCBOutTo(&b);
  bridge.SetFrame(3);
  EXPECT_EQ(probe.seen, 0);
  bridge.SetFrame(7);  // FC_B stays on: no event
  EXPECT_EQ(probe.seen, 0);
  bridge.SetFrame(12);
  EXPECT_EQ(probe.seen, 24);
}

TEST(Bridge, ElevationClimbsThreeDegreesAFrameBetweenFramesFourAndThirtyFour) {
  TBridge bridge(nullptr);
  StartUp(bridge);
  Panel panel(bridge);
  panel.Connect();
  std::vector<int> byFrame{panel.elevation.Value};
  for (int f = 1; f <= 39; ++f) {
    bridge.SetFrame(f);
    byFrame.push_back(panel.elevation.Value);
  }
  for (int f = 0; f <= 4; ++f) EXPECT_EQ(byFrame[static_cast<std::size_t>(f)], 0) << f;
  EXPECT_EQ(byFrame[5], 3);
  EXPECT_EQ(byFrame[19], 45);
  for (int f = 5; f <= 34; ++f)
    EXPECT_EQ(byFrame[static_cast<std::size_t>(f)] - byFrame[static_cast<std::size_t>(f - 1)], 3)
        << f;
  for (int f = 34; f <= 39; ++f) EXPECT_EQ(byFrame[static_cast<std::size_t>(f)], 90) << f;
  // The meter hears only real changes: frames 5 ... 34.
  EXPECT_EQ(panel.elevationChanges, 30);
  // Outside the frames the formula still clamps.
  EXPECT_EQ(TBridge::ElevationOf(-1000), 0);
  EXPECT_EQ(TBridge::ElevationOf(2000000000), 90);
}

TEST(Bridge, FrameNumbersOutsideTheTableLeaveTheSwitchesAlone) {
  TBridge bridge(nullptr);
  StartUp(bridge);
  bridge.SetFrame(30);  // FC_C and FC_D on
  bridge.FrameChangeEvent(41, &bridge);
  bridge.FrameChangeEvent(-1, &bridge);
  EXPECT_TRUE(bridge.FC_COut->State);
  EXPECT_TRUE(bridge.FC_DOut->State);
  bridge.FrameChangeEvent(40, &bridge);  // in the table: all off
  EXPECT_FALSE(bridge.FC_COut->State);
  EXPECT_FALSE(bridge.FC_DOut->State);
}

TEST(Bridge, ReceiversConnectedLaterTakeTheLevelsAtOnce) {
  TBridge bridge(nullptr);
  StartUp(bridge);
  TInputPin first, second;
  bridge.ConnectFCAOutTo(&first);
  bridge.ConnectFCAOutTo(&second);
  bridge.ConnectFCAOutTo(&second);  // listed once
  bridge.ConnectFCAOutTo(nullptr);
  bridge.ConnectElevationOutTo(nullptr);
  EXPECT_TRUE(first.State);
  EXPECT_TRUE(second.State);
  EXPECT_EQ(bridge.FC_AOut->Connections().size(), 2u);

  bridge.SetFrame(19);
  TInputByte meter;
  bridge.ConnectElevationOutTo(&meter);
  EXPECT_EQ(meter.Value, 45);
  EXPECT_FALSE(first.State);
}

// The deck driven by its 50 ms timer as the main window drives it.
struct RunningBridge {
  RunningBridge() {
    bridge.SetSimTimer(&drive.timer);
    bridge.SetTripTime(25000);
    StartUp(bridge);
    panel.Connect();
    panel.log.clear();
  }
  TBridge bridge{nullptr};
  TickDriver drive{bridge};
  Panel panel{bridge};
};

TEST(Bridge, RaisingAndLoweringSwitchExactlyAtTheBandEdgesAndStopAtTheEnds) {
  RunningBridge r;
  // Forward moves one frame at a time at this rate, so the frame entered is the next one.
  // At 0.08 frames a tick the deck moves one frame at a time, so the frame being entered is
  // the next one in the direction of travel.
  r.bridge.Reverse = false;
  r.bridge.Continue();
  while (r.bridge.PlayState == psPlaying && r.drive.ticks < 1000) {
    r.panel.entering = r.bridge.FrameNumber() + 1;
    r.drive.Tick();
  }
  EXPECT_EQ(r.drive.ticks, 501);
  EXPECT_EQ(r.bridge.FrameNumber(), 39);
  EXPECT_EQ(r.panel.log, (std::vector<std::string>{"B+@2", "A-@5", "B-@10", "C+@24", "D+@29",
                                                   "C-@31", "D-@36"}));
  EXPECT_EQ(r.panel.elevation.Value, 90);

  r.panel.log.clear();
  r.bridge.Reverse = true;
  r.bridge.Continue();
  while (r.bridge.PlayState == psPlaying && r.drive.ticks < 2000) {
    r.panel.entering = r.bridge.FrameNumber() - 1;
    r.drive.Tick();
  }
  EXPECT_EQ(r.bridge.FrameNumber(), 0);
  EXPECT_EQ(r.bridge.PlayState, psStopped);
  EXPECT_EQ(r.panel.log, (std::vector<std::string>{"D+@35", "C+@30", "D-@28", "C-@23", "B+@9",
                                                   "A+@4", "B-@1"}));
  EXPECT_EQ(r.panel.elevation.Value, 0);
  EXPECT_TRUE(r.panel.a.State);
}

TEST(Bridge, JamFreezesTheDeckUntilRepairAndContinue) {
  RunningBridge r;
  r.bridge.Continue();
  r.drive.Ticks(130);  // 10.4 frames
  ASSERT_EQ(r.bridge.FrameNumber(), 10);

  r.bridge.Jam();
  EXPECT_EQ(r.bridge.PlayState, psJammed);
  r.bridge.Continue();
  r.bridge.Play();
  r.bridge.Pause();
  EXPECT_EQ(r.bridge.PlayState, psJammed);
  r.drive.Ticks(100);
  EXPECT_EQ(r.bridge.FrameNumber(), 10);

  r.bridge.Repair();
  EXPECT_EQ(r.bridge.PlayState, psStopped);
  r.drive.Ticks(100);
  EXPECT_EQ(r.bridge.FrameNumber(), 10);

  // The direction chosen by the owner holds after the repair.
  r.bridge.Reverse = true;
  r.bridge.Continue();
  r.drive.Ticks(60);
  EXPECT_LT(r.bridge.FrameNumber(), 10);
  EXPECT_GT(r.bridge.FrameNumber(), 4);
}

TEST(Bridge, RepairStopsARunningDeckToo) {
  RunningBridge r;
  r.bridge.Continue();
  r.bridge.Repair();
  EXPECT_EQ(r.bridge.PlayState, psStopped);
  r.drive.Ticks(50);
  EXPECT_EQ(r.bridge.FrameNumber(), 0);
}

}  // namespace
