// The timing chart's recording cost per plant tick: 32 traces (the I/O bits of bytes 124-125)
// with nothing changing, and with some of them changing every tick.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "scenario/Recorder.h"

namespace {

void BM_RecordQuietTick(benchmark::State& state) {
  scenario::Recorder r;
  for (int i = 0; i < 32; ++i) r.AddTrace("bit" + std::to_string(i), 1);
  std::uint64_t now = 0;
  std::uint64_t values = 0x5A5A5A5Au;
  for (auto _ : state) {
    now += 50;
    benchmark::DoNotOptimize(values);
    for (int i = 0; i < 32; ++i) r.Set(i, (values >> i) & 1u, now);
    r.SetNow(now);
  }
  state.counters["changes"] = static_cast<double>(r.Changes(0).size());
}
BENCHMARK(BM_RecordQuietTick);

// state.range(0) of the 32 traces flip every tick.
void BM_RecordChangingTick(benchmark::State& state) {
  scenario::Recorder r;
  for (int i = 0; i < 32; ++i) r.AddTrace("bit" + std::to_string(i), 1);
  const auto changing = static_cast<int>(state.range(0));
  std::uint64_t now = 0;
  for (auto _ : state) {
    now += 50;
    const std::uint64_t phase = (now / 50) & 1u;
    for (int i = 0; i < 32; ++i) r.Set(i, i < changing ? phase : 0, now);
    r.SetNow(now);
  }
  state.SetItemsProcessed(state.iterations() * changing);
}
BENCHMARK(BM_RecordChangingTick)->Arg(1)->Arg(4)->Arg(16)->Arg(32);

}  // namespace
