// One simulation step of the tank and of the motorised valve, as a plant window runs them on
// every timer tick.
#include <benchmark/benchmark.h>

#include "components/Deposit.h"
#include "components/MotorValve.h"

namespace {

// A tank filling one level per step (every step moves the rectangle, the worst case), with a
// receiver on its level word and filled pin; when it overflows the flows swap so it drains.
void BM_DepositStep(benchmark::State& state) {
  TTimerClock clock;
  TTimer timer(nullptr, &clock);
  timer.SetInterval(100);
  TDeposit tank(nullptr);
  tank.SetTimer(&timer);
  tank.SetLevel(0);
  TInputWord word;
  TInputPin filled;
  tank.ConnectWordOutTo(&word);
  tank.ConnectFilledOutTo(&filled);
  tank.SetInputFlow(0, 100000.0f);
  tank.SetOutputFlow(0, 100000.0f);
  tank.SetInputOpen(0, true);
  bool filling = true;
  for (auto _ : state) {
    tank.SimulationStep();
    const int s = tank.State();
    if (s == TDeposit::dsOverflow || s == TDeposit::dsEmpty) {
      filling = !filling;
      tank.SetInputOpen(0, filling);
      tank.SetOutputOpen(0, !filling);
    }
    benchmark::DoNotOptimize(word.Value);
  }
}
BENCHMARK(BM_DepositStep);

// A valve travelling end to end on a 100 ms timer; the commands swap at each end.
void BM_MotorValveStep(benchmark::State& state) {
  TTimerClock clock;
  TTimer timer(nullptr, &clock);
  timer.SetInterval(100);
  TMotorValve valve(nullptr);
  valve.SetSimTimer(&timer);
  TInputByte position;
  TInputPin open, closed;
  valve.ConnectByteOutTo(&position);
  valve.OutputOpenPinConectTo(&open);
  valve.OutputClosedPinConectTo(&closed);
  valve.openInputPin->SetState(true);
  for (auto _ : state) {
    valve.SimulationStep();
    const int s = valve.ValveState();
    if (s == TMotorValve::vsOpen || s == TMotorValve::vsClosed) {
      valve.openInputPin->SetState(s == TMotorValve::vsClosed);
      valve.closeInputPin->SetState(s == TMotorValve::vsOpen);
    }
    benchmark::DoNotOptimize(position.Value);
  }
}
BENCHMARK(BM_MotorValveStep);

}  // namespace
