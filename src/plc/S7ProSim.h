#pragma once
// The one door between the PLC side of Torvane and whatever plays the PLC. The faceplate owns a
// single connection object and drives it with the handful of calls below; back ends (the
// embedded soft PLC, a scripted fake for tests, later a fieldbus peer) each honour this table.
//
// Results follow the automation convention: 0 is success, anything else a failure code.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "signals/Method.h"

using TSimResult = long;

constexpr TSimResult kSimOk = 0;
constexpr TSimResult kSimFail = -1;          // generic failure
constexpr TSimResult kSimInvalidArg = -2;    // address, bit, type or state text not understood
constexpr TSimResult kSimNotConnected = -3;  // a call before ConnectSimulator succeeded
constexpr TSimResult kSimUnavailable = -4;   // the simulator cannot be created or reached

// Data-type codes of ReadOutputWord.
constexpr int kSimTypeBit = 0;
constexpr int kSimTypeByte = 1;
constexpr int kSimTypeWord = 2;

// CPU state texts as the simulator reports and accepts them.
inline constexpr std::string_view kCpuStop = "STOP";
inline constexpr std::string_view kCpuRun = "RUN";
inline constexpr std::string_view kCpuRunP = "RUN_P";
inline constexpr std::string_view kCpuMres = "MRES";

// One connection to a simulated CPU. Words carry byte a in bits 15-8 and byte a + 1 in bits
// 7-0, the PLC's own order.
class IS7ProSim {
 public:
  virtual ~IS7ProSim() = default;

  virtual TSimResult ConnectSimulator() = 0;
  virtual TSimResult SetStartupOption(int option) = 0;
  // One of "STOP", "RUN", "RUN_P", "MRES" (callers ignore anything else).
  virtual TSimResult ReadCpuState(std::string& state) = 0;
  virtual TSimResult RequestCpuState(std::string_view state) = 0;
  // Input bytes address and address + 1 take the word's high and low byte. bit must be 0.
  virtual TSimResult WriteInputWord(int address, int bit, std::uint16_t value) = 0;
  // One program scan; afterwards the outputs answer the inputs just written.
  virtual TSimResult RunCycle() = 0;
  // type kSimTypeWord: output bytes address, address + 1 as high and low byte; kSimTypeByte:
  // the byte at address; kSimTypeBit: 0 or 1 for (address, bit). value is left alone on failure.
  virtual TSimResult ReadOutputWord(int address, int bit, int type, std::uint16_t& value) = 0;
  // Ends the connection; further calls fail with kSimNotConnected.
  virtual void Release() = 0;
};

// The simulator's own window, as far as the PLC side sees it: something that can be hidden and
// shown. A GUI view follows it through OnVisibleChange; headless it is just a flag.
class TSimulatorWindow {
 public:
  bool Visible() const { return FVisible; }
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  void SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    OnVisibleChange(v);
  }

  TMethod<bool> OnVisibleChange;

 private:
  bool FVisible = false;
};

// A simulator that may or may not be running: the analogue of the simulator program beside
// ours. It creates connection objects on request.
class TSimulatorBackEnd {
 public:
  virtual ~TSimulatorBackEnd() = default;
  // A short name for messages ("embedded", "fake").
  virtual std::string Name() const = 0;
  // The simulator's main window, or null when the simulator is not running.
  virtual TSimulatorWindow* FindWindow() = 0;
  // Creates a connection object; on failure returns a non-zero code and leaves out empty.
  virtual TSimResult CreateInstance(std::unique_ptr<IS7ProSim>& out) = 0;
  // Called between two failed ConnectSimulator attempts: a back end that needs time to come up
  // waits here. The default does not wait.
  virtual void PauseBeforeRetry() {}
  // Why the last connection attempt failed, in the back end's words (peer and reason); empty
  // when it has nothing to add to the result code.
  virtual std::string LastError() const { return {}; }
};

// The back end that windows created without an explicit one use; the program entry installs it
// (the embedded soft PLC unless told otherwise). Null until then.
TSimulatorBackEnd* ActiveSimulatorBackEnd();
void SetActiveSimulatorBackEnd(TSimulatorBackEnd* backEnd);

// What an attempt to reach a simulator came to.
struct TSimConnectOutcome {
  TSimResult CreateResult = kSimUnavailable;
  TSimResult ConnectResult = kSimUnavailable;
  int Attempts = 0;   // ConnectSimulator calls made
  std::string Error;  // why there is no connection; empty on success
};

// Creates a connection through backEnd and calls ConnectSimulator until it succeeds, at most
// maxAttempts times, pausing through the back end between attempts. On failure out is empty
// (a connection that never answered is released).
TSimConnectOutcome ConnectBounded(TSimulatorBackEnd* backEnd, std::unique_ptr<IS7ProSim>& out,
                                  int maxAttempts);
