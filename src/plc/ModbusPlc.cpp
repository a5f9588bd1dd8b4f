#include "plc/ModbusPlc.h"

#include <modbus.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <iostream>
#include <thread>

#include "plc/PlcTexts.h"

namespace {

class TSteadyModbusClock : public TModbusClock {
 public:
  std::uint64_t NowMs() override {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }
  void SleepMs(unsigned ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

std::string Range(int first, int count) {
  return std::to_string(first) + ".." + std::to_string(first + count - 1);
}

}  // namespace

TModbusClock& SteadyModbusClock() {
  static TSteadyModbusClock clock;
  return clock;
}

// One connection to the external PLC. The link may go down and come back while the connection
// stays: "connected" is the caller's view (ConnectSimulator succeeded, Release not yet called),
// "link up" is whether a TCP session that answered is open right now.
class TModbusConnection : public IS7ProSim {
 public:
  // The back end must outlive its connections (it keeps the clock and takes the reports).
  explicit TModbusConnection(TModbusPlc& plc) : FPlc(plc), FOpt(plc.FOptions) {}
  ~TModbusConnection() override { Release(); }

  TSimResult ConnectSimulator() override {
    if (FConnected) return kSimOk;
    std::string why;
    if (!Open(true, why)) {
      FPlc.FLastError = why;
      return kSimUnavailable;
    }
    FConnected = true;
    FLinkUp = true;
    FPlc.FLastError.clear();
    return kSimOk;
  }

  TSimResult SetStartupOption(int option) override {
    // The external PLC starts up by its own configuration; there is nothing to set.
    (void)option;
    return FConnected ? kSimOk : kSimNotConnected;
  }

  TSimResult ReadCpuState(std::string& state) override {
    if (!FConnected) return kSimNotConnected;
    if (!FLinkUp) TryReconnect();
    // While the user holds the CPU in STOP no cycles run, but the PLC should still see the
    // plant: inputs that changed are sent with the state poll.
    if (FLinkUp && FInputsDirty) WriteInputs();
    state = FLinkUp && FRunRequested ? kCpuRun : kCpuStop;
    return kSimOk;
  }

  TSimResult RequestCpuState(std::string_view state) override {
    if (!FConnected) return kSimNotConnected;
    bool run = false;
    if (state == kCpuRun || state == kCpuRunP)
      run = true;
    else if (state != kCpuStop && state != kCpuMres)
      return kSimInvalidArg;
    // A request while the link is down is not kept: the faceplate itself asks for STOP when it
    // sees the link go down, and that must not keep the PLC stopped once the link is back.
    if (!FLinkUp) return kSimUnavailable;
    if (FOpt.RunCoil >= 0 && !WriteRunCoil(run)) return kSimUnavailable;
    FRunRequested = run;
    return kSimOk;
  }

  TSimResult WriteInputWord(int address, int bit, std::uint16_t value) override {
    if (!FConnected) return kSimNotConnected;
    const int i = address - kModbusImageFirstByte;
    if (bit != 0 || i < 0 || i + 1 >= kModbusImageBytes) return kSimInvalidArg;
    const auto hi = static_cast<std::uint8_t>(value >> 8);
    const auto lo = static_cast<std::uint8_t>(value & 0xFFu);
    const auto ui = static_cast<std::size_t>(i);
    if (FInputs[ui] != hi || FInputs[ui + 1] != lo) FInputsDirty = true;
    FInputs[ui] = hi;
    FInputs[ui + 1] = lo;
    return kSimOk;
  }

  TSimResult RunCycle() override {
    if (!FConnected) return kSimNotConnected;
    if (!FLinkUp && !TryReconnect()) return kSimUnavailable;
    // The inputs go out every cycle, changed or not: a PLC that restarted in the meantime would
    // otherwise scan zeros until the plant changes.
    if (!WriteInputs() || !ReadOutputs()) return kSimUnavailable;
    ++FPlc.FExchanges;
    return kSimOk;
  }

  TSimResult ReadOutputWord(int address, int bit, int type, std::uint16_t& value) override {
    if (!FConnected) return kSimNotConnected;
    const int i = address - kModbusImageFirstByte;
    if (i < 0 || i >= kModbusImageBytes || bit < 0 || bit > 7) return kSimInvalidArg;
    const auto ui = static_cast<std::size_t>(i);
    switch (type) {
      case kSimTypeBit:
        value = static_cast<std::uint16_t>((static_cast<unsigned>(FOutputs[ui]) >> bit) & 1u);
        return kSimOk;
      case kSimTypeByte:
        if (bit != 0) return kSimInvalidArg;
        value = FOutputs[ui];
        return kSimOk;
      case kSimTypeWord:
        if (bit != 0 || i + 1 >= kModbusImageBytes) return kSimInvalidArg;
        value = static_cast<std::uint16_t>(FOutputs[ui] << 8 | FOutputs[ui + 1]);
        return kSimOk;
      default:
        return kSimInvalidArg;
    }
  }

  void Release() override {
    if (FCtx != nullptr) {
      modbus_close(FCtx);
      modbus_free(FCtx);
      FCtx = nullptr;
    }
    FConnected = false;
    FLinkUp = false;
  }

 private:
  // Opens a TCP session and checks that the PLC answers on the output registers. At the first
  // connection the run coil is read (the PLC's present run request is taken over); after a
  // failure Torvane's own request is written back to it.
  bool Open(bool first, std::string& why) {
    if (FCtx == nullptr) {
      FCtx = modbus_new_tcp_pi(FOpt.Host.c_str(), std::to_string(FOpt.Port).c_str());
      if (FCtx == nullptr) {
        why = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "cannot set up a Modbus TCP client for %1: %2"), {FOpt.Peer(), modbus_strerror(errno)});
        return false;
      }
      modbus_set_slave(FCtx, FOpt.Unit);
      const auto ms = static_cast<std::uint32_t>(FOpt.TimeoutMs);
      modbus_set_response_timeout(FCtx, ms / 1000u, (ms % 1000u) * 1000u);
      // Without a byte timeout the whole answer must arrive within the response timeout; with
      // libmodbus's default a trickling peer could hold a cycle for half a second per byte.
      modbus_set_byte_timeout(FCtx, 0, 0);
    }
    if (modbus_connect(FCtx) == -1) {
      why = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "cannot connect to %1: %2"), {FOpt.Peer(), Reason(errno)});
      modbus_close(FCtx);
      return false;
    }
    if (!ReadOutputs(&why)) return false;
    if (FOpt.RunCoil >= 0) {
      if (first) {
        std::uint8_t bit = 0;
        const int rc = modbus_read_bits(FCtx, FOpt.RunCoil, 1, &bit);
        if (rc != 1)
          return Fail(rc, 1, PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "read coils (function 1) at %1"), {std::to_string(FOpt.RunCoil)}), &why);
        FRunRequested = bit != 0;
      } else if (!WriteRunCoil(FRunRequested, &why)) {
        return false;
      }
    }
    return true;
  }

  bool WriteInputs() {
    std::uint16_t regs[kModbusImageRegisters];
    for (std::size_t k = 0; k < kModbusImageRegisters; ++k)
      regs[k] = static_cast<std::uint16_t>(FInputs[2 * k] << 8 | FInputs[2 * k + 1]);
    const int rc = modbus_write_registers(FCtx, FOpt.Inputs, kModbusImageRegisters, regs);
    if (rc != kModbusImageRegisters)
      return Fail(rc, kModbusImageRegisters,
                  PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "write multiple registers (function 16) at %1"), {Range(FOpt.Inputs, kModbusImageRegisters)}));
    FInputsDirty = false;
    return true;
  }

  bool ReadOutputs(std::string* why = nullptr) {
    std::uint16_t regs[kModbusImageRegisters] = {};
    const bool holding = FOpt.OutputsArea == TModbusArea::Holding;
    const int rc = holding ? modbus_read_registers(FCtx, FOpt.Outputs, kModbusImageRegisters, regs)
                           : modbus_read_input_registers(FCtx, FOpt.Outputs, kModbusImageRegisters, regs);
    if (rc != kModbusImageRegisters)
      return Fail(rc, kModbusImageRegisters,
                  holding ? PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "read holding registers (function 3) at %1"), {Range(FOpt.Outputs, kModbusImageRegisters)})
                          : PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "read input registers (function 4) at %1"), {Range(FOpt.Outputs, kModbusImageRegisters)}),
                  why);
    for (std::size_t k = 0; k < kModbusImageRegisters; ++k) {
      FOutputs[2 * k] = static_cast<std::uint8_t>(regs[k] >> 8);
      FOutputs[2 * k + 1] = static_cast<std::uint8_t>(regs[k] & 0xFFu);
    }
    return true;
  }

  bool WriteRunCoil(bool run, std::string* why = nullptr) {
    const int rc = modbus_write_bit(FCtx, FOpt.RunCoil, run ? 1 : 0);
    if (rc == 1) return true;
    return Fail(rc, 1, PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "write single coil (function 5) at %1"), {std::to_string(FOpt.RunCoil)}), why);
  }

  // A request that did not get its answer. The session is closed whatever went wrong: after a
  // timeout or a malformed frame the stream may be out of step, and a late answer must not be
  // taken for the next one. With why given (while opening) the text goes there; otherwise the
  // link is marked down and the loss reported.
  bool Fail(int rc, int expected, const std::string& request, std::string* why = nullptr) {
    const std::string reason =
        rc < 0 ? Reason(errno) : PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "answered %1 items instead of %2"), {std::to_string(rc), std::to_string(expected)});
    const std::string text = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "Modbus peer %1 (unit %2): %3 failed: %4"), {FOpt.Peer(), std::to_string(FOpt.Unit), request, reason});
    modbus_close(FCtx);
    if (why != nullptr) {
      *why = text;
      return false;
    }
    LinkDown(text);
    return false;
  }

  // libmodbus's texts for the two commonest faults say little about the cause.
  std::string Reason(int error) const {
    const std::string text = modbus_strerror(error);
    if (error == ETIMEDOUT)
      return PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "no complete answer within %1 ms (%2)"), {std::to_string(FOpt.TimeoutMs), text});
    // libmodbus gives up a TCP handshake after the response timeout and leaves this behind.
    if (error == EINPROGRESS)
      return PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "no answer to the connection request within %1 ms"), {std::to_string(FOpt.TimeoutMs)});
    if (error == EMBBADDATA)
      return PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "the answer does not fit the request: another transaction, function or size (%1)"), {text});
    return text;
  }

  void LinkDown(const std::string& text) {
    FLinkUp = false;
    // Outputs of a PLC that cannot be heard are not trusted: the plant sees them all off.
    FOutputs.fill(0);
    FInputsDirty = true;
    FNextRetryAt = FPlc.FClock->NowMs() + static_cast<std::uint64_t>(FOpt.RetryMs);
    ++FPlc.FLinkFailures;
    FPlc.FLastError = text;
    FPlc.Report(PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "%1; the PLC shows STOP and its outputs are off until the link is back"), {text}));
  }

  bool TryReconnect() {
    const std::uint64_t now = FPlc.FClock->NowMs();
    if (now < FNextRetryAt) return false;
    FNextRetryAt = now + static_cast<std::uint64_t>(FOpt.RetryMs);
    std::string why;
    if (!Open(false, why)) {
      FPlc.FLastError = why;
      FPlc.Report(PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "Modbus link to %1 still down: %2"), {FOpt.Peer(), why}));
      return false;
    }
    FLinkUp = true;
    ++FPlc.FReconnections;
    FPlc.FLastError.clear();
    FPlc.Report(PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "Modbus link to %1 restored"), {FOpt.Peer()}));
    return true;
  }

  TModbusPlc& FPlc;
  const TModbusOptions FOpt;
  modbus_t* FCtx = nullptr;
  bool FConnected = false;
  bool FLinkUp = false;
  bool FRunRequested = true;
  bool FInputsDirty = false;
  std::uint64_t FNextRetryAt = 0;
  std::array<std::uint8_t, kModbusImageBytes> FInputs{};
  std::array<std::uint8_t, kModbusImageBytes> FOutputs{};
};

TModbusPlc::TModbusPlc(const TModbusOptions& options, TModbusClock* clock)
    : FOptions(options), FClock(clock != nullptr ? clock : &SteadyModbusClock()) {}

TModbusPlc::~TModbusPlc() = default;

std::string TModbusPlc::Name() const { return "Modbus TCP (" + FOptions.Peer() + ")"; }

TSimResult TModbusPlc::CreateInstance(std::unique_ptr<IS7ProSim>& out) {
  out = std::make_unique<TModbusConnection>(*this);
  return kSimOk;
}

void TModbusPlc::PauseBeforeRetry() { FClock->SleepMs(kConnectPauseMs); }

void TModbusPlc::Report(const std::string& message) {
  // A reason that the next attempt merely repeats is not worth another line.
  if (message == FLastReported) return;
  FLastReported = message;
  if (FMessages.size() >= kMessagesKept) FMessages.erase(FMessages.begin());
  FMessages.push_back(message);
  if (OnMessage)
    OnMessage(message);
  else
    std::cerr << "torvane: " << message << '\n';
}
