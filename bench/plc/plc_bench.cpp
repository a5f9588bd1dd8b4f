// One process-image exchange of the PLC window: two modules written as two words, one scan of
// the embedded CPU running a program of about 100 instructions, two words read back onto the
// output pins.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "framework/Timer.h"
#include "plc/CPU_Frame.h"
#include "plc/ESModule.h"
#include "plc/EmbeddedPlc.h"
#include "plc/FakeSimulator.h"
#include "plc/PLCFormSource.h"

namespace {

// Bit logic over all four input bytes, a set/reset flip-flop per bit, word arithmetic and a
// timer: 100 statements.
std::string HundredInstructions() {
  std::string s;
  auto add = [&s](const std::string& line) { s += "      " + line + "\n"; };
  for (int k = 0; k < 8; ++k) {
    const std::string b = std::to_string(k);
    add("U     E 124." + b);
    add("UN    E 125." + b);
    add("O     M 0." + b);
    add("=     A 124." + b);
  }
  for (int k = 0; k < 8; ++k) {
    const std::string b = std::to_string(k);
    add("U     E 126." + b);
    add("S     M 1." + b);
    add("U     E 127." + b);
    add("R     M 1." + b);
    add("U     M 1." + b);
    add("=     A 125." + b);
  }
  for (const char* line : {"L     EW 124", "T     MW 10", "L     MW 10", "L     1", "+I",
                           "T     MW 12", "L     MW 12", "T     AW 126", "U     E 124.0",
                           "L     S5T#1S", "SE    T 1", "U     T 1", "=     M 2.0", "U     M 2.0",
                           "U     M 2.1", "O     M 2.2", "=     M 2.3", "UN    M 2.3",
                           "=     M 2.4", "S     M 2.5"})
    add(line);
  return s;
}

struct Rig {
  TTimerClock clock;
  TEmbeddedPlc embedded{&clock};
  TComponent root{nullptr};
  TPLC* plc = nullptr;

  explicit Rig(bool run) {
    plc = new TPLC(&root, &embedded, &clock);
    const softplc::LoadResult r = embedded.Cpu().Load({{"bench.awl", HundredInstructions()}});
    if (!r.ok) throw std::runtime_error("bench program refused: " + r.errors.at(0).text);
    if (run) plc->Faceplate->RunBtn->Click();
    clock.Advance(TCPU::kPollInterval);
    if (plc->Faceplate->Running() != run) throw std::runtime_error("CPU state not reached");
    plc->GetInputPin(124, 3)->SetState(true);
    plc->GetInputPin(126, 1)->SetState(true);
  }
};

// The usual tick: the plant's inputs are as they were, so are the PLC's answers.
void BM_ExchangeImageRunning(benchmark::State& state) {
  Rig rig(true);
  for (auto _ : state) rig.plc->ExchangeImage();
  state.counters["instructions"] =
      static_cast<double>(rig.embedded.Cpu().Info().instructions);
}
BENCHMARK(BM_ExchangeImageRunning);

// A tick in which an input bit flips and with it three output bits (two pins' receivers and
// LEDs see the change).
void BM_ExchangeImageRunningInputFlips(benchmark::State& state) {
  Rig rig(true);
  TInputPin* pin = rig.plc->GetInputPin(124, 5);
  bool level = false;
  for (auto _ : state) {
    level = !level;
    pin->SetState(level);
    rig.plc->ExchangeImage();
  }
}
BENCHMARK(BM_ExchangeImageRunningInputFlips);

// STOP: two input words are written, nothing else.
void BM_ExchangeImageStopped(benchmark::State& state) {
  Rig rig(false);
  for (auto _ : state) rig.plc->ExchangeImage();
}
BENCHMARK(BM_ExchangeImageStopped);

}  // namespace
