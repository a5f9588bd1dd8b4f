// What the program status costs: the same scans with no observer, with the status object
// watching but switched off, and with it on, watching the file whose block runs.
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "gui/ProgramStatus.h"
#include "softplc/SoftPlc.h"

namespace {

// Random bit logic: chains of U UN O ON ended by an assignment, 10,000 statements.
std::string Bits() {
  std::mt19937 rng(3);
  static const char* kOps[] = {"U", "UN", "O", "ON"};
  std::ostringstream s;
  for (int n = 0; n < 10000;) {
    for (int k = 0; k < 4 && n < 10000; ++k, ++n)
      s << kOps[rng() % 4] << " M " << rng() % 32 << '.' << rng() % 8 << '\n';
    s << "= M " << 40 + rng() % 32 << '.' << rng() % 8 << '\n';
    ++n;
  }
  return s.str();
}

// Loads, integer arithmetic and transfers, 10,000 statements.
std::string Words() {
  std::mt19937 rng(5);
  static const char* kOps[] = {"+I", "-I", "*I", "UW", "OW"};
  std::ostringstream s;
  for (int n = 0; n < 10000; n += 4)
    s << "L MW " << 2 * (rng() % 50) << "\nL " << rng() % 100 << '\n'
      << kOps[rng() % 5] << "\nT MW " << 100 + 2 * (rng() % 50) << '\n';
  return s.str();
}

std::string Bridge() {
  std::ifstream in(TORVANE_SOURCE_DIR "/examples/bridge.awl", std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

enum Mode { kPlain, kOff, kOn, kNull };

// Receives every statement and keeps nothing: what reporting alone costs.
class TNullObserver : public softplc::StatusObserver {
 public:
  void OnStatement(const softplc::StatusRecord& r) override { benchmark::DoNotOptimize(r.accu1); }
};

void Scan(benchmark::State& state, const std::string& text, Mode mode) {
  softplc::Cpu cpu;
  const softplc::SymbolTable plant = {{"COMIENZO", "E124.0"}, {"SUBIR", "E124.1"}, {"BAJAR", "E124.2"},
      {"PARADA_E", "E124.3"}, {"FC_A", "E124.4"}, {"FC_B", "E124.5"}, {"FC_C", "E124.6"},
      {"FC_D", "E124.7"}, {"FE-TERMICO", "E125.0"}, {"REARME", "E125.1"}, {"KM1", "A124.0"},
      {"KM2", "A124.1"}, {"KM3", "A124.2"}, {"KM4", "A124.3"}, {"L_VALIDAR", "A124.4"},
      {"L_ERROR", "A124.5"}, {"L_FASE0", "A125.0"}, {"L_FASE1", "A125.1"}, {"L_FASE2", "A125.2"},
      {"L_FASE3", "A125.3"}, {"L_FASE4", "A125.4"}, {"S_AMBAR", "A125.6"}, {"S_ROJO", "A125.7"}};
  const softplc::LoadResult r = cpu.Load({{"p.awl", text}}, plant);
  if (!r.ok) {
    state.SkipWithError(r.errors.empty() ? "load failed" : r.errors[0].text.c_str());
    return;
  }
  TProgramStatus status(cpu);
  if (mode != kPlain) status.Watch("p.awl");
  if (mode == kOn) status.SetMonitoring(true);
  TNullObserver null;
  if (mode == kNull) cpu.SetStatusObserver(&null);
  cpu.SetMode(softplc::CpuMode::Run);
  cpu.SetInputByte(124, 0b00011000);  // the bridge at rest: emergency stop released, deck down
  cpu.SetInputByte(125, 1);
  std::uint8_t in = 0;
  for (auto _ : state) {
    cpu.SetMemoryByte(0, in++);
    cpu.RunCycle(50);
  }
  if (cpu.Mode() != softplc::CpuMode::Run) state.SkipWithError("CPU stopped");
  state.counters["statements"] = static_cast<double>(cpu.LastCycleInstructions());
  if (mode == kOn && status.Line(1) == nullptr && status.Scans() == 0) state.SkipWithError("nothing monitored");
}

void BM_BitLogic10k_Plain(benchmark::State& s) { Scan(s, Bits(), kPlain); }
void BM_BitLogic10k_MonitorOff(benchmark::State& s) { Scan(s, Bits(), kOff); }
void BM_BitLogic10k_MonitorOn(benchmark::State& s) { Scan(s, Bits(), kOn); }
void BM_BitLogic10k_ReportOnly(benchmark::State& s) { Scan(s, Bits(), kNull); }
void BM_Words10k_Plain(benchmark::State& s) { Scan(s, Words(), kPlain); }
void BM_Words10k_MonitorOff(benchmark::State& s) { Scan(s, Words(), kOff); }
void BM_Words10k_MonitorOn(benchmark::State& s) { Scan(s, Words(), kOn); }
void BM_Bridge_Plain(benchmark::State& s) { Scan(s, Bridge(), kPlain); }
void BM_Bridge_MonitorOff(benchmark::State& s) { Scan(s, Bridge(), kOff); }
void BM_Bridge_MonitorOn(benchmark::State& s) { Scan(s, Bridge(), kOn); }

BENCHMARK(BM_BitLogic10k_Plain);
BENCHMARK(BM_BitLogic10k_MonitorOff);
BENCHMARK(BM_BitLogic10k_MonitorOn);
BENCHMARK(BM_BitLogic10k_ReportOnly);
BENCHMARK(BM_Words10k_Plain);
BENCHMARK(BM_Words10k_MonitorOff);
BENCHMARK(BM_Words10k_MonitorOn);
BENCHMARK(BM_Bridge_Plain);
BENCHMARK(BM_Bridge_MonitorOff);
BENCHMARK(BM_Bridge_MonitorOn);

}  // namespace
