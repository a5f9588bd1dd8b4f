// Cost of the field devices' hot paths: what one PLC output bit change costs in the plant.
#include <benchmark/benchmark.h>

#include "components/PushButton.h"
#include "components/Relay.h"
#include "components/Switch.h"

namespace {

struct Counter {
  long Count = 0;
  void Level(bool) { ++Count; }
  void Pin(bool, void*) { ++Count; }
};

// A contactor with its supply present: each coil change swaps the picture, moves the contact
// (one receiver) and fires the relay's event.
void BM_RelayCoilChangeWithSupply(benchmark::State& state) {
  TRelay relay(nullptr);
  TOutputPin coil, supply;
  TInputPin load;
  Counter counter;
  load.OnChange = TPinChangeEvent(&counter, &Counter::Pin);
  relay.OnChange = TMethod<bool>(&counter, &Counter::Level);
  coil.ConnectTo(relay.RelayPin);
  supply.ConnectTo(relay.ACInPin);
  relay.ConnectACOutTo(&load);
  supply.SetState(true);
  bool level = false;
  for (auto _ : state) {
    level = !level;
    coil.SetState(level);
    benchmark::DoNotOptimize(relay.Picture());
  }
  if (counter.Count != 2 * static_cast<long>(state.iterations()))
    state.SkipWithError("coil changes did not all reach the load and the event");
}
BENCHMARK(BM_RelayCoilChangeWithSupply);

// The PLC rewrites the same level every tick: one comparison in the pin.
void BM_RelayCoilRepeatedLevel(benchmark::State& state) {
  TRelay relay(nullptr);
  TOutputPin coil;
  coil.ConnectTo(relay.RelayPin);
  coil.SetState(true);
  for (auto _ : state) {
    coil.SetState(true);
    benchmark::DoNotOptimize(relay.State);
  }
}
BENCHMARK(BM_RelayCoilRepeatedLevel);

void BM_SwitchClick(benchmark::State& state) {
  TSwitch sw(nullptr);
  TInputPin ac, aux;
  sw.ConnectACPinOutTo(&ac);
  sw.ConnectAuxPinOutTo(&aux);
  for (auto _ : state) {
    sw.MouseDown(mbLeft, 0, 1, 1);
    benchmark::DoNotOptimize(sw.State);
  }
}
BENCHMARK(BM_SwitchClick);

void BM_PushButtonPressRelease(benchmark::State& state) {
  TPushButton pb(nullptr);
  TInputPin plcInput;
  pb.SetConnectedPin(&plcInput);
  for (auto _ : state) {
    pb.MouseDown(mbLeft, 0, 1, 1);
    pb.MouseUp(mbLeft, 0, 1, 1);
    benchmark::DoNotOptimize(plcInput.State);
  }
}
BENCHMARK(BM_PushButtonPressRelease);

}  // namespace
