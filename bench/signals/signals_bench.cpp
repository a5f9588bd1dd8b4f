// Cost of signal propagation: one output-pin change fanned out to three receivers, and the
// I/O module's output byte (eight pins, each lighting or dimming its LED model).
#include <benchmark/benchmark.h>

#include "framework/Form.h"
#include "plc/ESModule.h"
#include "signals/Iopin.h"

namespace {

struct Sink {
  long changes = 0;
  void Changed(bool, void*) { ++changes; }
};

void PerReceiver(benchmark::State& state, double receiversPerIteration) {
  state.counters["per_receiver"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * receiversPerIteration,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Every iteration flips the level: three receiver events and the source's own event.
void BM_OutputPinChange3Receivers(benchmark::State& state) {
  TOutputPin out;
  TInputPin r[3];
  Sink sink;
  for (auto& p : r) {
    p.OnChange = TPinChangeEvent(&sink, &Sink::Changed);
    out.ConnectTo(&p);
  }
  out.OnChange = TPinChangeEvent(&sink, &Sink::Changed);
  bool level = false;
  for (auto _ : state) {
    level = !level;
    out.SetState(level);
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(sink.changes);
  PerReceiver(state, 3);
}
BENCHMARK(BM_OutputPinChange3Receivers);

// The same level again: every receiver is offered it and none fires.
void BM_OutputPinReoffer3Receivers(benchmark::State& state) {
  TOutputPin out;
  TInputPin r[3];
  Sink sink;
  for (auto& p : r) {
    p.OnChange = TPinChangeEvent(&sink, &Sink::Changed);
    out.ConnectTo(&p);
  }
  out.SetState(true);
  for (auto _ : state) {
    out.SetState(true);
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(sink.changes);
  PerReceiver(state, 3);
}
BENCHMARK(BM_OutputPinReoffer3Receivers);

// Alternating 0x55 / 0xAA changes all eight outputs (and LEDs) on every call.
void BM_SetOutputByteAllChange(benchmark::State& state) {
  TForm window(nullptr);
  auto* module = new TIOModule(&window);
  module->SetAddress(124);
  unsigned char v = 0x55;
  for (auto _ : state) {
    v = static_cast<unsigned char>(~v);
    module->SetOutputByte(0, v);
    benchmark::ClobberMemory();
  }
  PerReceiver(state, 8);
}
BENCHMARK(BM_SetOutputByteAllChange);

// The usual tick: the PLC answers with the same byte as last time.
void BM_SetOutputByteUnchanged(benchmark::State& state) {
  TForm window(nullptr);
  auto* module = new TIOModule(&window);
  module->SetOutputByte(0, 0x09);
  for (auto _ : state) {
    module->SetOutputByte(0, 0x09);
    benchmark::ClobberMemory();
  }
  PerReceiver(state, 8);
}
BENCHMARK(BM_SetOutputByteUnchanged);

}  // namespace
