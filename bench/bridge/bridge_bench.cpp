// Cost of one bridge tick (SimulationStep), with and without a frame change, on the models
// alone: no view watches the bridge.
#include <benchmark/benchmark.h>

#include "bridge/BridgeCode.h"
#include "framework/Timer.h"

namespace {

// A bridge wired as the main window wires it: each limit switch to two receivers (a PLC input
// and the switch picture's pin), the elevation to a meter.
struct WiredBridge {
  explicit WiredBridge(int tripTime) {
    timer.SetInterval(50);
    bridge.SetSimTimer(&timer);
    bridge.SetTripTime(tripTime);
    bridge.SetFrame(6);
    bridge.SetFrame(0);
    for (int i = 0; i < 4; ++i) {
      TOutputPin* out[] = {bridge.FC_AOut, bridge.FC_BOut, bridge.FC_COut, bridge.FC_DOut};
      out[i]->ConnectTo(&plc[i]);
      out[i]->ConnectTo(&picture[i]);
    }
    bridge.ConnectElevationOutTo(&meter);
  }
  TTimerClock clock;
  TTimer timer{nullptr, &clock};
  TBridge bridge{nullptr};
  TInputPin plc[4], picture[4];
  TInputByte meter;
};

// 0.08 frames a tick, direction flipped every tick: the accumulator never reaches a frame.
void BM_BridgeStepNoFrameChange(benchmark::State& state) {
  WiredBridge w(25000);
  w.bridge.Continue();
  for (auto _ : state) {
    w.bridge.SimulationStep();
    w.bridge.Reverse = !w.bridge.Reverse;
  }
  if (w.bridge.FrameNumber() != 0) state.SkipWithError("the deck moved");
}
BENCHMARK(BM_BridgeStepNoFrameChange);

// Exactly one frame a tick (40 frames over 2000 ms at 50 ms), bouncing between frames 1 and 38
// so every step changes the frame and the limit switches and elevation are recomputed.
void BM_BridgeStepFrameChange(benchmark::State& state) {
  WiredBridge w(2000);
  w.bridge.SetFrame(1);
  w.bridge.Continue();
  for (auto _ : state) {
    w.bridge.SimulationStep();
    const int f = w.bridge.FrameNumber();
    if (f >= 38) w.bridge.Reverse = true;
    if (f <= 1) w.bridge.Reverse = false;
  }
  if (w.bridge.PlayState != psPlaying) state.SkipWithError("the run stopped");
  benchmark::DoNotOptimize(w.meter.Value);
}
BENCHMARK(BM_BridgeStepFrameChange);

}  // namespace
