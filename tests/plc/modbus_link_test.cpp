// The Modbus TCP back end against independent peers on the loopback interface: a small PLC
// built on pymodbus that answers each input word with the word rotated left by three bits, and a
// raw-socket server that answers wrongly once in a chosen way.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "framework/Timer.h"
#include "modbus_peer.h"
#include "plc/CPU_Frame.h"
#include "plc/ESModule.h"
#include "plc/ModbusPlc.h"
#include "plc/PLCFormSource.h"
#include "plc/StartupCheck.h"

namespace {

std::uint16_t Rotl3(std::uint16_t w) { return static_cast<std::uint16_t>((w << 3) | (w >> 13)); }

// Virtual time for the back end: sleeping moves it on, and nothing else does.
struct TTestClock : TModbusClock {
  std::uint64_t Now = 1000;
  std::uint64_t Slept = 0;
  std::uint64_t NowMs() override { return Now; }
  void SleepMs(unsigned ms) override {
    Now += ms;
    Slept += ms;
  }
};

struct TMessageLog {
  std::vector<std::string> Lines;
  void Add(const std::string& m) { Lines.push_back(m); }
  std::string All() const {
    std::string s;
    for (const auto& l : Lines) s += l + "\n";
    return s;
  }
};

std::int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since)
      .count();
}

class ModbusLink : public ::testing::Test {
 protected:
  // Starts the pymodbus PLC; a missing pymodbus fails the test with the reason.
  void StartPlc(const std::vector<std::string>& args = {}) {
    std::string error;
    ASSERT_TRUE(plcPeer.Start("modbus_plc_peer.py", args, error)) << error;
  }
  // A back end for the running peer, reporting into log and paced by the virtual clock.
  TModbusPlc& BackEnd(TModbusOptions o) {
    o.Host = "127.0.0.1";
    if (o.Port == 502) o.Port = plcPeer.Port();
    backEnd = std::make_unique<TModbusPlc>(o, &clock);
    backEnd->OnMessage = TMethod<const std::string&>(&log, &TMessageLog::Add);
    return *backEnd;
  }
  std::unique_ptr<IS7ProSim> Connected(TModbusPlc& b) {
    std::unique_ptr<IS7ProSim> c;
    const TSimConnectOutcome r = ConnectBounded(&b, c, 3);
    EXPECT_EQ(r.ConnectResult, kSimOk) << r.Error;
    return c;
  }
  static std::string State(IS7ProSim& c) {
    std::string s;
    EXPECT_EQ(c.ReadCpuState(s), kSimOk);
    return s;
  }
  static std::uint16_t Output(IS7ProSim& c, int address, int bit = 0, int type = kSimTypeWord) {
    std::uint16_t v = 0xDEAD;
    EXPECT_EQ(c.ReadOutputWord(address, bit, type, v), kSimOk) << address << "." << bit;
    return v;
  }

  TPeerProcess plcPeer;
  TTestClock clock;
  TMessageLog log;
  std::unique_ptr<TModbusPlc> backEnd;
};

TEST_F(ModbusLink, InputsGoOutAsRegistersAndTheAnswerComesBackInPlcWordOrder) {
  StartPlc();
  TModbusPlc& b = BackEnd({});
  auto c = Connected(b);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(State(*c), "RUN");
  ASSERT_EQ(c->WriteInputWord(124, 0, 0x0180), kSimOk);  // E124.0 and E125.7
  ASSERT_EQ(c->WriteInputWord(126, 0, 0x8001), kSimOk);
  ASSERT_EQ(c->RunCycle(), kSimOk);
  EXPECT_EQ(Output(*c, 124), 0x0C00);
  EXPECT_EQ(Output(*c, 126), 0x000C);
  // Bytes and bits out of the same image; a word may also start at an odd byte.
  EXPECT_EQ(Output(*c, 124, 0, kSimTypeByte), 0x0C);
  EXPECT_EQ(Output(*c, 127, 0, kSimTypeByte), 0x0C);
  EXPECT_EQ(Output(*c, 125, 0, kSimTypeWord), 0x0000);
  EXPECT_EQ(Output(*c, 124, 3, kSimTypeBit), 1);
  EXPECT_EQ(Output(*c, 124, 4, kSimTypeBit), 0);
  EXPECT_EQ(Output(*c, 127, 2, kSimTypeBit), 1);
  // A second cycle with other values: nothing is stuck from the first.
  ASSERT_EQ(c->WriteInputWord(124, 0, 0x1234), kSimOk);
  ASSERT_EQ(c->WriteInputWord(125, 0, 0x34F0), kSimOk);  // overlaps: byte 125 = 0x34, 126 = 0xF0
  ASSERT_EQ(c->RunCycle(), kSimOk);
  EXPECT_EQ(Output(*c, 124), Rotl3(0x1234));
  EXPECT_EQ(Output(*c, 126), Rotl3(0xF001));
  EXPECT_EQ(b.Exchanges(), 2);
  EXPECT_TRUE(log.Lines.empty()) << log.All();
}

TEST_F(ModbusLink, OutputsFromInputRegistersAnotherUnitAndOtherAddresses) {
  StartPlc({"--unit", "7", "--inputs", "40", "--outputs", "40", "--outputs-area", "input"});
  TModbusOptions o;
  o.Unit = 7;
  o.Inputs = 40;
  o.Outputs = 40;
  o.OutputsArea = TModbusArea::Input;
  auto c = Connected(BackEnd(o));
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(c->WriteInputWord(124, 0, 0xA5C3), kSimOk);
  ASSERT_EQ(c->WriteInputWord(126, 0, 0x0001), kSimOk);
  ASSERT_EQ(c->RunCycle(), kSimOk);
  EXPECT_EQ(Output(*c, 124), Rotl3(0xA5C3));
  EXPECT_EQ(Output(*c, 126), 0x0008);
}

TEST_F(ModbusLink, BadAddressesAndCallsOutsideAConnectionAreRefused) {
  StartPlc();
  TModbusPlc& b = BackEnd({});
  std::unique_ptr<IS7ProSim> c;
  ASSERT_EQ(b.CreateInstance(c), kSimOk);
  std::string s = "x";
  std::uint16_t v = 7;
  EXPECT_EQ(c->ReadCpuState(s), kSimNotConnected);
  EXPECT_EQ(c->WriteInputWord(124, 0, 1), kSimNotConnected);
  EXPECT_EQ(c->RunCycle(), kSimNotConnected);
  EXPECT_EQ(c->ReadOutputWord(124, 0, kSimTypeWord, v), kSimNotConnected);
  EXPECT_EQ(c->RequestCpuState("RUN"), kSimNotConnected);
  EXPECT_EQ(s, "x");
  ASSERT_EQ(c->ConnectSimulator(), kSimOk);
  EXPECT_EQ(c->SetStartupOption(1), kSimOk);
  for (const auto& [address, bit] : std::vector<std::pair<int, int>>{{123, 0}, {127, 0}, {124, 1}, {-1, 0}})
    EXPECT_EQ(c->WriteInputWord(address, bit, 1), kSimInvalidArg) << address << "." << bit;
  EXPECT_EQ(c->ReadOutputWord(127, 0, kSimTypeWord, v), kSimInvalidArg);
  EXPECT_EQ(c->ReadOutputWord(128, 0, kSimTypeByte, v), kSimInvalidArg);
  EXPECT_EQ(c->ReadOutputWord(124, 8, kSimTypeBit, v), kSimInvalidArg);
  EXPECT_EQ(c->ReadOutputWord(124, 1, kSimTypeByte, v), kSimInvalidArg);
  EXPECT_EQ(c->ReadOutputWord(124, 0, 3, v), kSimInvalidArg);
  EXPECT_EQ(v, 7);
  EXPECT_EQ(c->RequestCpuState("HALT"), kSimInvalidArg);
  c->Release();
  EXPECT_EQ(c->RunCycle(), kSimNotConnected);
  EXPECT_EQ(c->ReadCpuState(s), kSimNotConnected);
}

TEST_F(ModbusLink, WithoutARunCoilStopHoldsTheExchangeButInputsStillReachThePlc) {
  StartPlc();
  auto c = Connected(BackEnd({}));
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(c->RequestCpuState("STOP"), kSimOk);
  EXPECT_EQ(State(*c), "STOP");
  // Stopped, the faceplate runs no cycles; the state poll carries a changed input word out.
  ASSERT_EQ(c->WriteInputWord(124, 0, 0x0001), kSimOk);
  EXPECT_EQ(State(*c), "STOP");
  EXPECT_EQ(Output(*c, 124), 0) << "no cycle ran, so nothing was read back";
  // A second client whose "outputs" are the first one's input registers sees the word: its
  // connection check reads them.
  TModbusOptions spy;
  spy.Host = "127.0.0.1";
  spy.Port = plcPeer.Port();
  spy.Inputs = 8;
  spy.Outputs = 0;
  TModbusPlc spyPlc(spy, &clock);
  auto s = Connected(spyPlc);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Output(*s, 124), 0x0001);
  s->Release();
  ASSERT_EQ(c->RequestCpuState("RUN_P"), kSimOk);
  EXPECT_EQ(State(*c), "RUN");
  ASSERT_EQ(c->RunCycle(), kSimOk);
  EXPECT_EQ(Output(*c, 124), 0x0008);
  ASSERT_EQ(c->RequestCpuState("MRES"), kSimOk);
  EXPECT_EQ(State(*c), "STOP");
}

TEST_F(ModbusLink, TheRunCoilCarriesTheRequestAndStartsFromThePlcsOwnValue) {
  StartPlc({"--run-coil", "5"});
  TModbusOptions o;
  o.RunCoil = 5;
  auto c = Connected(BackEnd(o));
  ASSERT_NE(c, nullptr);
  // The peer's coil starts off, and Torvane takes that over.
  EXPECT_EQ(State(*c), "STOP");
  ASSERT_EQ(c->WriteInputWord(124, 0, 0x0101), kSimOk);
  ASSERT_EQ(c->RunCycle(), kSimOk);
  EXPECT_EQ(Output(*c, 124), 0) << "a PLC told to stop answers nothing";
  ASSERT_EQ(c->RequestCpuState("RUN"), kSimOk);
  EXPECT_EQ(State(*c), "RUN");
  ASSERT_EQ(c->RunCycle(), kSimOk);
  EXPECT_EQ(Output(*c, 124), 0x0808);
  ASSERT_EQ(c->RequestCpuState("STOP"), kSimOk);
  ASSERT_EQ(c->RunCycle(), kSimOk);
  EXPECT_EQ(Output(*c, 124), 0);
}

TEST_F(ModbusLink, AMappingThePlcDoesNotHaveFailsTheConnectionNamingTheRequest) {
  StartPlc({"--size", "64"});
  TModbusOptions o;
  o.Outputs = 500;
  TModbusPlc& b = BackEnd(o);
  std::unique_ptr<IS7ProSim> c;
  const TSimConnectOutcome r = ConnectBounded(&b, c, 2);
  EXPECT_EQ(c, nullptr);
  const std::string peer = "127.0.0.1:" + std::to_string(plcPeer.Port());
  EXPECT_EQ(r.Error, "the Modbus TCP (" + peer +
                         ") simulator did not accept a connection after 2 attempts (code -4): "
                         "Modbus peer " + peer +
                         " (unit 1): read holding registers (function 3) at 500..501 failed: "
                         "Illegal data address");
}

TEST_F(ModbusLink, AUnitThatNeverAnswersCostsOneTimeoutPerAttempt) {
  StartPlc({"--unit", "1"});
  TModbusOptions o;
  o.Unit = 9;
  TModbusPlc& b = BackEnd(o);
  std::unique_ptr<IS7ProSim> c;
  ASSERT_EQ(b.CreateInstance(c), kSimOk);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(c->ConnectSimulator(), kSimUnavailable);
  EXPECT_LT(ElapsedMs(start), 1000);
  EXPECT_NE(b.LastError().find("(unit 9): read holding registers (function 3) at 16..17 failed: "
                               "no complete answer within 100 ms"),
            std::string::npos)
      << b.LastError();
}

TEST_F(ModbusLink, AHandshakeThatNeverCompletesCostsOneTimeout) {
  TPeerProcess deaf;
  std::string error;
  ASSERT_TRUE(deaf.Start("modbus_bad_peer.py", {"--mode", "deaf"}, error)) << error;
  TModbusOptions o;
  o.Port = deaf.Port();
  TModbusPlc& b = BackEnd(o);
  std::unique_ptr<IS7ProSim> c;
  ASSERT_EQ(b.CreateInstance(c), kSimOk);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(c->ConnectSimulator(), kSimUnavailable);
  EXPECT_LT(ElapsedMs(start), 400);
  EXPECT_EQ(b.LastError(), "cannot connect to 127.0.0.1:" + std::to_string(deaf.Port()) +
                               ": no answer to the connection request within 100 ms");
}

TEST_F(ModbusLink, NobodyListeningGivesUpWithinTheBoundAndSaysWhere) {
  TModbusOptions o;
  o.Port = UnusedLoopbackPort();
  ASSERT_GT(o.Port, 0);
  TModbusPlc& b = BackEnd(o);
  const std::string peer = "127.0.0.1:" + std::to_string(o.Port);
  const auto start = std::chrono::steady_clock::now();
  try {
    CheckSimulatorAtStartup(&b);
    ADD_FAILURE() << "the start-up check passed without a PLC";
  } catch (const EPLCSimNotRunning& e) {
    EXPECT_STREQ(e.what(), "PLCSim must be executed before the simulation");
    EXPECT_EQ(e.Detail, "the Modbus TCP (" + peer +
                            ") simulator did not accept a connection after 30 attempts (code -4): "
                            "cannot connect to " + peer + ": Connection refused");
  }
  // 29 pauses of 100 ms between 30 attempts: three seconds at most, as the faceplate promises.
  EXPECT_EQ(clock.Slept, 29u * TModbusPlc::kConnectPauseMs);
  EXPECT_LT(ElapsedMs(start), 2000) << "refused connections should not wait";
  EXPECT_TRUE(log.Lines.empty()) << "start-up failures are reported once, by the caller";
}

// The whole loop: plant pins -> faceplate -> Modbus -> PLC -> faceplate -> plant pins, with the
// PLC disappearing and coming back in the middle.
class ModbusRack : public ModbusLink {
 protected:
  void Build() {
    cpu = new TCPU(&root, &window, backEnd.get(), &plantClock);
    ASSERT_NE(cpu->Simulator(), nullptr) << cpu->ConnectError;
    first = AddModule(124);
    second = AddModule(126);
    cpu->AddModule(first);
    cpu->AddModule(second);
  }
  TIOModule* AddModule(int address) {
    auto* m = new TIOModule(&root);
    m->SetAddress(address);
    m->SetParentWindow(&window);
    return m;
  }
  void Poll() { plantClock.Advance(TCPU::kPollInterval); }
  static std::vector<int> OnOutputs(const TIOModule* m) {
    std::vector<int> on;
    for (int i = 0; i < 16; ++i)
      if (m->OutputPins[static_cast<std::size_t>(i)]->State) on.push_back(i);
    return on;
  }

  TTimerClock plantClock;
  TComponent root{nullptr};
  TForm window{&root};
  TCPU* cpu = nullptr;
  TIOModule* first = nullptr;
  TIOModule* second = nullptr;
};

TEST_F(ModbusRack, ThePlantSeesThePlcsAnswerAndLosesItWhileThePlcIsGone) {
  StartPlc();
  const int port = plcPeer.Port();
  BackEnd({});
  Build();
  Poll();
  ASSERT_EQ(cpu->LastState(), "RUN");
  ASSERT_TRUE(cpu->Running());
  first->InputPin(0)->SetState(true);   // E124.0
  first->InputPin(15)->SetState(true);  // E125.7
  second->InputPin(8)->SetState(true);  // E127.0
  cpu->Exchange();
  // 0x0180 -> 0x0C00: A124.2 and A124.3; 0x0001 -> 0x0008: A127.3 (index 11).
  EXPECT_EQ(OnOutputs(first), (std::vector<int>{2, 3}));
  EXPECT_EQ(OnOutputs(second), (std::vector<int>{11}));

  plcPeer.Kill();
  const auto start = std::chrono::steady_clock::now();
  cpu->Exchange();
  EXPECT_LT(ElapsedMs(start), 1000);
  EXPECT_TRUE(OnOutputs(first).empty()) << "outputs of a PLC that cannot be heard are off";
  EXPECT_TRUE(OnOutputs(second).empty());
  ASSERT_EQ(log.Lines.size(), 1u) << log.All();
  EXPECT_EQ(log.Lines[0].rfind("Modbus peer 127.0.0.1:" + std::to_string(port) + " (unit 1): ", 0), 0u)
      << log.Lines[0];
  EXPECT_NE(log.Lines[0].find("function"), std::string::npos) << log.Lines[0];
  EXPECT_NE(log.Lines[0].find("the PLC shows STOP"), std::string::npos) << log.Lines[0];
  Poll();
  EXPECT_EQ(cpu->LastState(), "STOP");
  EXPECT_FALSE(cpu->Running());
  EXPECT_TRUE(first->ForcingEnabled);
  EXPECT_EQ(backEnd->LinkFailures(), 1);

  // Reconnection waits for the retry interval; the failed attempt is reported once however
  // often it is repeated.
  clock.Now += 1000;
  Poll();
  clock.Now += 1000;
  Poll();
  EXPECT_EQ(cpu->LastState(), "STOP");
  ASSERT_EQ(log.Lines.size(), 2u) << log.All();
  EXPECT_NE(log.Lines[1].find("still down: cannot connect to 127.0.0.1:" + std::to_string(port) +
                              ": Connection refused"),
            std::string::npos)
      << log.Lines[1];

  // The PLC comes back on the same port. Before the interval is over nobody looks.
  std::string error;
  ASSERT_TRUE(plcPeer.Start("modbus_plc_peer.py", {"--port", std::to_string(port)}, error)) << error;
  clock.Now += 500;
  Poll();
  EXPECT_EQ(cpu->LastState(), "STOP");
  EXPECT_EQ(backEnd->Reconnections(), 0);
  clock.Now += 500;
  Poll();
  EXPECT_EQ(cpu->LastState(), "RUN") << log.All();
  EXPECT_TRUE(cpu->Running());
  EXPECT_EQ(backEnd->Reconnections(), 1);
  EXPECT_EQ(log.Lines.back(), "Modbus link to 127.0.0.1:" + std::to_string(port) + " restored");
  // The new PLC knew nothing of the plant; the next exchange tells it.
  cpu->Exchange();
  EXPECT_EQ(OnOutputs(first), (std::vector<int>{2, 3}));
  EXPECT_EQ(OnOutputs(second), (std::vector<int>{11}));
}

// One wrong answer of each kind, to the input write (after one good request: the connection's
// check) or to the output read (after two). Each must end in a message naming the peer and the
// request, a stopped PLC and no wait beyond the timeout, and the link must come back.
TEST_F(ModbusLink, MalformedAnswersAreReportedAndTheLinkRecovers) {
  const std::vector<std::string> modes = {"short", "transaction", "function", "count",
                                          "exception", "silent", "close", "garbage"};
  for (const std::string& mode : modes) {
    for (const int good : {1, 2}) {
      SCOPED_TRACE(mode + " after " + std::to_string(good));
      TPeerProcess bad;
      std::string error;
      ASSERT_TRUE(bad.Start("modbus_bad_peer.py", {"--mode", mode, "--good", std::to_string(good)}, error))
          << error;
      TModbusOptions o;
      o.Port = bad.Port();
      TModbusPlc& b = BackEnd(o);
      log.Lines.clear();
      auto c = Connected(b);
      ASSERT_NE(c, nullptr);
      ASSERT_EQ(c->WriteInputWord(124, 0, 0x4321), kSimOk);
      const auto start = std::chrono::steady_clock::now();
      EXPECT_EQ(c->RunCycle(), kSimUnavailable);
      // One timeout of 100 ms at most, with room for a loaded machine; libmodbus's own byte
      // timeout (500 ms) would show here.
      EXPECT_LT(ElapsedMs(start), 400);
      EXPECT_EQ(State(*c), "STOP");
      ASSERT_EQ(log.Lines.size(), 1u) << log.All();
      const std::string& m = log.Lines[0];
      EXPECT_EQ(m.rfind("Modbus peer 127.0.0.1:" + std::to_string(bad.Port()) + " (unit 1): ", 0), 0u) << m;
      EXPECT_NE(m.find(good == 1 ? "write multiple registers (function 16) at 0..1 failed: "
                                 : "read holding registers (function 3) at 16..17 failed: "),
                std::string::npos)
          << m;
      if (mode == "exception") {
        EXPECT_NE(m.find("Illegal data address"), std::string::npos) << m;
      }
      if (mode == "silent" || mode == "short") {
        EXPECT_NE(m.find("no complete answer within 100 ms"), std::string::npos) << m;
      }
      if (mode == "transaction" || mode == "function" || mode == "count" || mode == "garbage") {
        EXPECT_NE(m.find("the answer does not fit the request"), std::string::npos) << m;
      }
      // The peer behaves again: after the retry interval the link is back and the exchange
      // works (the bad peer stores what is written and reads it back unchanged).
      clock.Now += 1000;
      EXPECT_EQ(State(*c), "RUN") << log.All();
      ASSERT_EQ(c->RunCycle(), kSimOk) << log.All();
      EXPECT_EQ(Output(*c, 124), 0) << "the bad peer's output registers hold nothing";
      c->Release();
    }
  }
}

}  // namespace
