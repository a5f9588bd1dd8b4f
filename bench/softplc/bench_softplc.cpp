// Speed of the embedded CPU: bit logic and word/integer instructions per cycle, each beside its
// native twin (the same program translated to C++), and the compiler on a large source.
#include <benchmark/benchmark.h>

#include <time.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "BenchPrograms.h"
#include "softplc/SoftPlc.h"

// The native twins of the two 10,000-line programs, made at build time by tools/stl_twin.
void NativeBitLogic10k(uint8_t* e, uint8_t* a, uint8_t* m);
void NativeWordInteger10k(uint8_t* e, uint8_t* a, uint8_t* m);

namespace {

// Both sides are timed on this thread's CPU clock, so that other work on the machine does not
// move the ratio.
double ThreadNanoseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

using Twin = void (*)(uint8_t*, uint8_t*, uint8_t*);

// Bit memory large enough for the word program's MW 0-398.
constexpr int kMemory = 512;
constexpr int kImage = 64;

struct Areas {
  std::array<uint8_t, kImage> e{}, a{};
  std::array<uint8_t, kMemory> m{};
};

// Gives the CPU and the twin the same bit memory and the same inputs for a number of cycles and
// compares every byte they can write; a twin that drifted from the CPU would make its ratio a
// lie, so the benchmark refuses to run on one.
bool TwinAgrees(softplc::Cpu& cpu, Twin twin, Areas& areas, std::string& why) {
  std::mt19937 rng(99);
  for (int i = 0; i < 200; ++i) {
    areas.m[static_cast<size_t>(i)] = static_cast<uint8_t>(rng());
    cpu.SetMemoryByte(i, areas.m[static_cast<size_t>(i)]);
  }
  for (int cycle = 0; cycle < 20; ++cycle) {
    for (int i = 0; i < kImage; ++i) {
      areas.e[static_cast<size_t>(i)] = static_cast<uint8_t>(rng());
      cpu.SetInputByte(i, areas.e[static_cast<size_t>(i)]);
    }
    cpu.RunCycle(10);
    twin(areas.e.data(), areas.a.data(), areas.m.data());
    for (int i = 0; i < kMemory; ++i)
      if (cpu.MemoryByte(i) != areas.m[static_cast<size_t>(i)]) {
        why = "the native twin differs from the CPU at MB " + std::to_string(i) + " in cycle " +
              std::to_string(cycle);
        return false;
      }
    for (int i = 0; i < kImage; ++i)
      if (cpu.OutputByte(i) != areas.a[static_cast<size_t>(i)]) {
        why = "the native twin differs from the CPU at AB " + std::to_string(i);
        return false;
      }
  }
  return true;
}

// Times the CPU on `text`, then its native twin for as many runs, and reports both and their
// ratio; the ratio is the figure that carries from one machine to another.
void RunProgram(benchmark::State& state, const std::string& text, Twin twin) {
  softplc::Cpu cpu;
  softplc::LoadResult r = cpu.Load({{"bench.awl", text}});
  if (!r.ok) {
    state.SkipWithError(r.errors.empty() ? "load failed" : r.errors[0].text.c_str());
    return;
  }
  cpu.SetMode(softplc::CpuMode::Run);
  Areas areas;
  std::string why;
  if (!TwinAgrees(cpu, twin, areas, why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  uint64_t instructions = 0;
  uint8_t in = 0;
  const double cpuStart = ThreadNanoseconds();
  for (auto _ : state) {
    cpu.SetInputByte(0, in++);
    cpu.RunCycle(10);
    instructions += cpu.LastCycleInstructions();
  }
  const double cpuTime = ThreadNanoseconds() - cpuStart;
  if (cpu.Mode() != softplc::CpuMode::Run) state.SkipWithError("CPU stopped");
  const auto runs = static_cast<double>(state.iterations());
  const double nativeStart = ThreadNanoseconds();
  for (benchmark::IterationCount i = 0; i < state.iterations(); ++i) {
    areas.e[0] = in++;
    twin(areas.e.data(), areas.a.data(), areas.m.data());
    benchmark::ClobberMemory();
  }
  const double nativeTime = ThreadNanoseconds() - nativeStart;
  const auto perCycle = static_cast<double>(cpu.LastCycleInstructions());
  state.counters["instructions_per_cycle"] = perCycle;
  state.counters["time_per_instruction"] =
      benchmark::Counter(static_cast<double>(instructions),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["native_ns_per_instruction"] = nativeTime / runs / perCycle;
  state.counters["ratio_to_native"] = cpuTime / nativeTime;
}

// The twin alone, to see its time in the same table.
void RunNative(benchmark::State& state, Twin twin) {
  Areas areas;
  uint8_t in = 0;
  for (auto _ : state) {
    areas.e[0] = in++;
    twin(areas.e.data(), areas.a.data(), areas.m.data());
    benchmark::ClobberMemory();
  }
}

void BM_BitLogic10k(benchmark::State& state) {
  RunProgram(state, bench::BitProgram(10000), NativeBitLogic10k);
}
void BM_BitLogic10kNative(benchmark::State& state) { RunNative(state, NativeBitLogic10k); }
void BM_WordInteger10k(benchmark::State& state) {
  RunProgram(state, bench::WordProgram(10000), NativeWordInteger10k);
}
void BM_WordInteger10kNative(benchmark::State& state) { RunNative(state, NativeWordInteger10k); }

void BM_Compile100kLines(benchmark::State& state) {
  std::string text = bench::BitProgram(50000) + bench::WordProgram(50000);
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  for (auto _ : state) {
    softplc::Cpu cpu;
    softplc::LoadResult r = cpu.Load({{"big.awl", text}});
    if (!r.ok) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(cpu.Info().instructions);
  }
  state.counters["lines"] = static_cast<double>(lines);
}

// Fixed cost of a scan: timers advanced, local data prepared, OB 1 entered and left.
void BM_EmptyCycle(benchmark::State& state) {
  softplc::Cpu cpu;
  if (!cpu.Load({{"empty.awl", "      NOP   0\n"}}).ok) state.SkipWithError("load failed");
  cpu.SetMode(softplc::CpuMode::Run);
  for (auto _ : state) cpu.RunCycle(50);
}

BENCHMARK(BM_BitLogic10k);
BENCHMARK(BM_BitLogic10kNative);
BENCHMARK(BM_EmptyCycle);
BENCHMARK(BM_WordInteger10k);
BENCHMARK(BM_WordInteger10kNative);
BENCHMARK(BM_Compile100kLines)->Unit(benchmark::kMillisecond);

}  // namespace
