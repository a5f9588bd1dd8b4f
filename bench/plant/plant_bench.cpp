// The whole plant on its models: one 50 ms tick with the embedded CPU running the bridge
// exercise, and the example scenario played headless from start to end.
#include <benchmark/benchmark.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "app/PlantHost.h"
#include "app/PlantSession.h"
#include "plc/CPU_Frame.h"
#include "scenario/Scenario.h"

namespace {

const std::string kSource = TORVANE_SOURCE_DIR;

// Plays the operator around the bridge cycle, one decision per tick: start, raise, lower, again.
class TOperator {
 public:
  explicit TOperator(TForm2& f) : F(f) {}
  void Step() {
    if (FHeld != nullptr && --FHoldTicks == 0) {
      FHeld->MouseUp(mbLeft, 0, 1, 1);
      FHeld = nullptr;
    }
    if (FHeld != nullptr) return;
    if (F.L_FASE0->State && F.FC_A->State) Hold(F.ComienzoBtn);
    else if (F.L_VALIDAR->State) Hold(F.SubirBtn);
    else if (F.L_FASE3->State) Hold(F.BajarBtn);
  }

 private:
  void Hold(TControl* c) {
    c->MouseDown(mbLeft, ssLeft, 1, 1);
    FHeld = c;
    FHoldTicks = 3;
  }
  TForm2& F;
  TControl* FHeld = nullptr;
  int FHoldTicks = 0;
};

void Prepare(TPlantSession& s) {
  std::vector<std::string> messages;
  if (!s.LoadProgram(kSource + "/examples/bridge.awl", messages))
    throw std::runtime_error(messages.empty() ? "load failed" : messages.front());
  s.RequestRun();
  s.Clock().Advance(200);
  if (!s.Form().PLC->Faceplate->Running()) throw std::runtime_error("the CPU did not start");
}

// One tick as the plant's timer runs it, with the operator cycling the bridge; the CPU's state
// poll (every other tick) is included, as it is in a real run.
void BM_PlantTick(benchmark::State& state) {
  TPlantSession s;
  Prepare(s);
  TOperator op(s.Form());
  const std::uint64_t before = s.Form().Ticks();
  for (auto _ : state) {
    s.Clock().Advance(TForm2::kTickMs);
    op.Step();
  }
  // Every iteration was one tick, and the deck really went round.
  if (s.Form().Ticks() - before != static_cast<std::uint64_t>(state.iterations()))
    state.SkipWithError("ticks were lost");
  state.counters["frame"] = s.Form().Bridge->FrameNumber();
}
BENCHMARK(BM_PlantTick)->Unit(benchmark::kMicrosecond);

// The tick handler alone: exchange (CPU scan of the bridge program), deck step, power logic.
void BM_PlantTickHandlerOnly(benchmark::State& state) {
  TPlantSession s;
  Prepare(s);
  TOperator op(s.Form());
  s.Form().Timer1->SetEnabled(false);
  for (auto _ : state) {
    s.Form().Timer1Timer(nullptr);
    op.Step();
  }
}
BENCHMARK(BM_PlantTickHandlerOnly)->Unit(benchmark::kMicrosecond);

class TNullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
};

// examples/bridge.scn against examples/bridge.awl, as `torvane --headless --scenario` plays it,
// building the plant and compiling the program each time.
void BM_ScenarioBridge(benchmark::State& state) {
  std::ifstream in(kSource + "/examples/bridge.scn");
  std::stringstream text;
  text << in.rdbuf();
  std::vector<scenario::Error> errors;
  const scenario::Script script = scenario::Parse(text.str(), "bridge.scn", errors);
  if (!errors.empty()) state.SkipWithError("the scenario does not parse");
  TNullBuffer null;
  std::ostream out(&null);
  double plantSeconds = 0;
  for (auto _ : state) {
    TPlantSession s;
    std::vector<std::string> messages;
    s.LoadProgram(kSource + "/examples/bridge.awl", messages);
    TPlantHost host(s);
    const scenario::Outcome o = scenario::Run(script, host, out);
    if (o.failed != 0 || !o.errors.empty()) state.SkipWithError("the scenario failed");
    plantSeconds = static_cast<double>(host.PlantTimeMs()) / 1000.0;
  }
  state.counters["plant_s"] = plantSeconds;
  state.counters["plant_s_per_s"] =
      benchmark::Counter(plantSeconds, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ScenarioBridge)->Unit(benchmark::kMillisecond);

}  // namespace
