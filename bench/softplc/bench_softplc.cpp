// Speed of the embedded CPU: bit logic and word/integer instructions per cycle, and the
// compiler on a large source. Programs are generated with a fixed seed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>

#include "softplc/SoftPlc.h"

namespace {

// 10,000 bit-logic statements: chains of U/UN/O/ON/X/XN ended by =, S or R.
std::string BitProgram(int count) {
  std::mt19937 rng(42);
  static const char* kOps[] = {"U", "UN", "O", "ON", "X", "XN"};
  static const char* kEnds[] = {"=", "S", "R"};
  std::ostringstream s;
  int emitted = 0;
  while (emitted < count) {
    int chain = 2 + static_cast<int>(rng() % 5);
    for (int i = 0; i < chain && emitted < count; ++i, ++emitted) {
      char area = "EMA"[rng() % 3];
      s << "      " << kOps[rng() % 6] << "     " << area << " " << rng() % 64 << "." << rng() % 8
        << "\n";
    }
    if (emitted < count) {
      s << "      " << kEnds[rng() % 3] << "     M " << 64 + rng() % 64 << "." << rng() % 8 << "\n";
      ++emitted;
    }
  }
  return s.str();
}

// 10,000 word and integer statements: loads, transfers, arithmetic, word logic, shifts.
std::string WordProgram(int count) {
  std::mt19937 rng(7);
  std::ostringstream s;
  int emitted = 0;
  auto line = [&](const std::string& text) {
    s << "      " << text << "\n";
    ++emitted;
  };
  static const char* kBinary[] = {"+I", "-I", "*I", "UW", "OW", "XOW", "+D", "-D", "UD", "OD"};
  static const char* kUnary[] = {"INC   1", "DEC   3", "SLW   2", "SRW   1", "INVI", "NEGI",
                                 "TAK", "+     5", "RLD   3", "ITD"};
  while (emitted < count) {
    line("L     MW " + std::to_string(2 * (rng() % 100)));
    line(rng() % 2 ? "L     " + std::to_string(rng() % 1000) : "L     MW " + std::to_string(2 * (rng() % 100)));
    line(kBinary[rng() % 10]);
    line(kUnary[rng() % 10]);
    line("T     MW " + std::to_string(200 + 2 * (rng() % 100)));
  }
  return s.str();
}

void RunProgram(benchmark::State& state, const std::string& text) {
  softplc::Cpu cpu;
  softplc::LoadResult r = cpu.Load({{"bench.awl", text}});
  if (!r.ok) {
    state.SkipWithError(r.errors.empty() ? "load failed" : r.errors[0].text.c_str());
    return;
  }
  cpu.SetMode(softplc::CpuMode::Run);
  uint64_t instructions = 0;
  uint8_t in = 0;
  for (auto _ : state) {
    cpu.SetInputByte(0, in++);
    cpu.RunCycle(10);
    instructions += cpu.LastCycleInstructions();
  }
  if (cpu.Mode() != softplc::CpuMode::Run) state.SkipWithError("CPU stopped");
  state.counters["instructions_per_cycle"] = static_cast<double>(cpu.LastCycleInstructions());
  state.counters["time_per_instruction"] =
      benchmark::Counter(static_cast<double>(instructions),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_BitLogic10k(benchmark::State& state) { RunProgram(state, BitProgram(10000)); }
void BM_WordInteger10k(benchmark::State& state) { RunProgram(state, WordProgram(10000)); }

void BM_Compile100kLines(benchmark::State& state) {
  std::string text = BitProgram(50000) + WordProgram(50000);
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
BENCHMARK(BM_EmptyCycle);
BENCHMARK(BM_WordInteger10k);
BENCHMARK(BM_Compile100kLines)->Unit(benchmark::kMillisecond);

}  // namespace
