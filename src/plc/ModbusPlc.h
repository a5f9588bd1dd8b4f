#pragma once
// A PLC outside Torvane, reached over Modbus TCP: a real controller with a Modbus server, or a
// soft PLC. Torvane is the client; the PLC is the server and scans on its own clock.
//
// The process image of the rack (bytes 124..127) travels as holding registers, one register per
// module word with byte a in bits 15-8 and byte a + 1 in bits 7-0:
//
//   input bytes 124,125 -> holding register Inputs      (written by Torvane)
//   input bytes 126,127 -> holding register Inputs + 1
//   output bytes 124,125 <- register Outputs            (read back; holding or input registers)
//   output bytes 126,127 <- register Outputs + 1
//   optional run coil     <- 1 for RUN/RUN_P, 0 for STOP/MRES (written by Torvane)
//
// A connection reports "RUN" while the link is up (or, once the user chose STOP, "STOP"), and
// "STOP" while it is down. A broken link is closed, the outputs drop to zero (the plant must not
// keep moving on stale PLC outputs), and reconnecting is tried at most once per retry interval.
// No call waits longer than the response timeout for any one answer.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plc/S7ProSim.h"
#include "signals/Method.h"

enum class TModbusArea { Holding, Input };

// The first image byte carried and how many: the rack's two modules at 124 and 126.
constexpr int kModbusImageFirstByte = 124;
constexpr int kModbusImageBytes = 4;
constexpr int kModbusImageRegisters = kModbusImageBytes / 2;

struct TModbusOptions {
  std::string Host;  // name or numeric address (IPv6 without brackets)
  int Port = 502;
  int Unit = 1;  // Modbus unit (slave) id
  int Inputs = 0;  // first holding register of the input image
  int Outputs = 16;  // first register of the output image
  TModbusArea OutputsArea = TModbusArea::Holding;
  int RunCoil = -1;  // coil that carries the RUN/STOP request; -1: none
  int TimeoutMs = 100;  // longest wait for one answer (and for the TCP handshake)
  int RetryMs = 1000;  // least time between two reconnection attempts after a failure

  // "host:port", IPv6 addresses in brackets.
  std::string Peer() const;
};

// Parses the part of a back-end text after "modbus:":
//   HOST[:PORT][,unit=N][,inputs=ADDR][,outputs=ADDR][,outputs-area=holding|input]
//       [,run-coil=ADDR][,timeout=MS][,retry=MS]
// HOST may be a bracketed IPv6 address ("[::1]:1502"). On failure returns false, leaves
// options alone and says in error what is wrong with which part.
bool ParseModbusOptions(std::string_view text, TModbusOptions& options, std::string& error);

// Where the back end gets the time for pacing reconnections, and how it waits between the
// connection attempts at start-up. Tests substitute a virtual one.
class TModbusClock {
 public:
  virtual ~TModbusClock() = default;
  virtual std::uint64_t NowMs() = 0;
  virtual void SleepMs(unsigned ms) = 0;
};

// The monotonic clock and a real sleep.
TModbusClock& SteadyModbusClock();

class TModbusPlc : public TSimulatorBackEnd {
 public:
  // clock: the steady clock when null; it must outlive this back end and its connections.
  explicit TModbusPlc(const TModbusOptions& options, TModbusClock* clock = nullptr);
  ~TModbusPlc() override;

  // "Modbus TCP (host:port)".
  std::string Name() const override;
  // There is no simulator window to hide; the model exists so that the PLC window's hide and
  // show have something to act on. Whether the PLC can be reached is found out by connecting.
  TSimulatorWindow* FindWindow() override { return &Window; }
  TSimResult CreateInstance(std::unique_ptr<IS7ProSim>& out) override;
  // Waits kConnectPauseMs between two start-up connection attempts.
  void PauseBeforeRetry() override;
  std::string LastError() const override { return FLastError; }

  const TModbusOptions& Options() const { return FOptions; }
  TModbusClock& Clock() { return *FClock; }

  // Every report about the link (lost, still failing for a new reason, restored) goes here;
  // when unassigned it goes to standard error. A reason repeated by the next failed attempt is
  // reported once.
  TMethod<const std::string&> OnMessage;
  // The reports so far (the latest kMessagesKept).
  const std::vector<std::string>& Messages() const { return FMessages; }

  // Counters across all connections.
  int Exchanges() const { return FExchanges; }  // RunCycle calls that completed
  int LinkFailures() const { return FLinkFailures; }  // links lost while connected
  int Reconnections() const { return FReconnections; }  // links restored after a failure

  static constexpr unsigned kConnectPauseMs = 100;
  static constexpr std::size_t kMessagesKept = 100;

  TSimulatorWindow Window;

 private:
  friend class TModbusConnection;
  void Report(const std::string& message);

  TModbusOptions FOptions;
  TModbusClock* FClock;
  std::string FLastError;
  std::string FLastReported;
  std::vector<std::string> FMessages;
  int FExchanges = 0;
  int FLinkFailures = 0;
  int FReconnections = 0;
};
