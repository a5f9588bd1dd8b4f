// What one process-image exchange costs over Modbus TCP on the loopback interface, against the
// pymodbus test PLC: two input words written, one cycle (one write and one read request), two
// output words read. And what a tick costs while the link is down and no retry is due.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "modbus_peer.h"
#include "plc/ModbusPlc.h"

namespace {

void BM_ModbusExchangeLoopback(benchmark::State& state) {
  TPeerProcess peer;
  std::string error;
  if (!peer.Start("modbus_plc_peer.py", {}, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  TModbusOptions o;
  o.Host = "127.0.0.1";
  o.Port = peer.Port();
  TModbusPlc plc(o);
  std::unique_ptr<IS7ProSim> c;
  plc.CreateInstance(c);
  if (c->ConnectSimulator() != kSimOk) {
    state.SkipWithError(plc.LastError().c_str());
    return;
  }
  std::uint16_t w = 0;
  std::uint16_t out = 0;
  for (auto _ : state) {
    c->WriteInputWord(124, 0, w++);
    c->WriteInputWord(126, 0, w);
    if (c->RunCycle() != kSimOk) {
      state.SkipWithError(plc.LastError().c_str());
      break;
    }
    c->ReadOutputWord(124, 0, kSimTypeWord, out);
    c->ReadOutputWord(126, 0, kSimTypeWord, out);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_ModbusExchangeLoopback)->UseRealTime()->Unit(benchmark::kMicrosecond);

struct TSink {
  std::string Last;
  void Take(const std::string& m) { Last = m; }
};

struct TFrozenClock : TModbusClock {
  std::uint64_t NowMs() override { return 0; }
  void SleepMs(unsigned) override {}
};

void BM_ModbusTickWhileLinkDown(benchmark::State& state) {
  TPeerProcess peer;
  std::string error;
  if (!peer.Start("modbus_plc_peer.py", {}, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  TFrozenClock clock;
  TModbusOptions o;
  o.Host = "127.0.0.1";
  o.Port = peer.Port();
  TModbusPlc plc(o, &clock);
  TSink sink;
  plc.OnMessage = TMethod<const std::string&>(&sink, &TSink::Take);
  std::unique_ptr<IS7ProSim> c;
  plc.CreateInstance(c);
  if (c->ConnectSimulator() != kSimOk) {
    state.SkipWithError(plc.LastError().c_str());
    return;
  }
  peer.Kill();
  c->RunCycle();  // notices the loss; the frozen clock keeps the retry from ever being due
  std::string s;
  std::uint16_t out = 0;
  for (auto _ : state) {
    c->WriteInputWord(124, 0, 1);
    c->ReadCpuState(s);
    c->ReadOutputWord(124, 0, kSimTypeWord, out);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_ModbusTickWhileLinkDown);

}  // namespace
