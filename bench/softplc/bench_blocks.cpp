// Speed of block calls: an FB with four parameters and an IEC timer (SFB 4) per call, with its
// own instance DB or as a multiple instance inside an FB.
// Each cycle makes 1,000 calls, so the time per call is the cycle time / 1,000.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "softplc/SoftPlc.h"

namespace {

constexpr int kCalls = 1000;

// `body` is the FB's code; the calls cycle through 10 instance DBs.
std::string FbProgram(const std::string& body) {
  std::ostringstream s;
  s << "FUNCTION_BLOCK FB 1\nVAR_INPUT\n  a : BOOL;\n  b : INT;\nEND_VAR\n"
    << "VAR_OUTPUT\n  c : INT;\nEND_VAR\nVAR_IN_OUT\n  d : BOOL;\nEND_VAR\nBEGIN\n"
    << body << "END_FUNCTION_BLOCK\n";
  for (int k = 1; k <= 10; ++k) s << "DATA_BLOCK DB " << k << "\n FB 1\nBEGIN\nEND_DATA_BLOCK\n";
  s << "ORGANIZATION_BLOCK OB 1\nBEGIN\n";
  for (int i = 0; i < kCalls; ++i)
    s << "      CALL  FB 1 , DB " << 1 + i % 10 << "\n       a := E 0." << i % 8
      << "\n       b := MW " << 2 * (i % 50) << "\n       c := MW " << 100 + 2 * (i % 50)
      << "\n       d := M 200." << i % 8 << "\n";
  s << "END_ORGANIZATION_BLOCK\n";
  return s.str();
}

std::string TimerProgram() {
  std::ostringstream s;
  for (int k = 1; k <= kCalls; ++k) s << "DATA_BLOCK DB " << k << "\n SFB 4\nBEGIN\nEND_DATA_BLOCK\n";
  s << "ORGANIZATION_BLOCK OB 1\nBEGIN\n";
  for (int i = 0; i < kCalls; ++i)
    s << "      CALL  SFB 4 , DB " << 1 + i << "\n       IN := E 0." << i % 8
      << "\n       PT := T#1S\n       Q := A 0." << i % 8 << "\n";
  s << "END_ORGANIZATION_BLOCK\n";
  return s.str();
}

// The same number of timer calls as multiple instances: an FB holding 100 TONs, called with
// ten instance DBs (the ten FB calls add about 1 % to the figure).
std::string MultiInstanceTimerProgram() {
  std::ostringstream s;
  s << "FUNCTION_BLOCK FB 1\nVAR_INPUT\n  a : BOOL;\nEND_VAR\nVAR_OUTPUT\n  q : BOOL;\nEND_VAR\nVAR\n";
  for (int k = 0; k < 100; ++k) s << "  t" << k << " : SFB 4;\n";
  s << "END_VAR\nBEGIN\n";
  for (int k = 0; k < 100; ++k) s << "      CALL  #t" << k << " (IN := #a, PT := T#1S, Q := #q)\n";
  s << "END_FUNCTION_BLOCK\n";
  for (int k = 1; k <= 10; ++k) s << "DATA_BLOCK DB " << k << "\n FB 1\nBEGIN\nEND_DATA_BLOCK\n";
  s << "ORGANIZATION_BLOCK OB 1\nBEGIN\n";
  for (int k = 1; k <= 10; ++k)
    s << "      CALL  FB 1 , DB " << k << "\n       a := E 0." << k % 8 << "\n       q := A 0." << k % 8 << "\n";
  s << "END_ORGANIZATION_BLOCK\n";
  return s.str();
}

void RunPerCall(benchmark::State& state, const std::string& text) {
  softplc::Cpu cpu;
  softplc::LoadResult r = cpu.Load({{"bench.awl", text}});
  if (!r.ok) {
    state.SkipWithError(r.errors.empty() ? "load failed" : r.errors[0].text.c_str());
    return;
  }
  cpu.SetMode(softplc::CpuMode::Run);
  cpu.SetInputByte(0, 0x5A);
  for (auto _ : state) cpu.RunCycle(10);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kCalls);
  state.counters["ns_per_call"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kCalls,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_FbCallFourParameters(benchmark::State& state) {
  RunPerCall(state, FbProgram("      NOP   0\n"));
}
void BM_FbCallFourParametersWithBody(benchmark::State& state) {
  RunPerCall(state, FbProgram("      U     #a\n      X     #d\n      =     #d\n      L     #b\n"
                              "      T     #c\n"));
}
void BM_IecTimerCall(benchmark::State& state) { RunPerCall(state, TimerProgram()); }
void BM_MultiInstanceTimerCall(benchmark::State& state) {
  RunPerCall(state, MultiInstanceTimerProgram());
}

// Compiling a chain of N functions, each calling the one before: the time per block must stay
// flat as N grows (lookups and the call-graph walk are linear).
void BM_CompileCallChain(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::ostringstream s;
  s << "FUNCTION FC 1 : VOID\nBEGIN\nNETWORK\n      NOP   0\nEND_FUNCTION\n";
  for (int i = 2; i <= n; ++i)
    s << "FUNCTION FC " << i << " : VOID\nBEGIN\nNETWORK\n      CALL  FC " << i - 1 << "\nEND_FUNCTION\n";
  s << "ORGANIZATION_BLOCK OB 1\nBEGIN\nNETWORK\n      CALL  FC " << n << "\nEND_ORGANIZATION_BLOCK\n";
  const std::string text = s.str();
  for (auto _ : state) {
    softplc::Cpu cpu;
    if (!cpu.Load({{"chain.awl", text}}).ok) {
      state.SkipWithError("load failed");
      return;
    }
  }
  state.counters["per_block"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * n,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_CompileCallChain)->Arg(12500)->Arg(25000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FbCallFourParameters);
BENCHMARK(BM_FbCallFourParametersWithBody);
BENCHMARK(BM_IecTimerCall);
BENCHMARK(BM_MultiInstanceTimerCall);
