#pragma once
// A scripted simulator for tests: it records every call made to its connections, in order, and
// answers whatever the test set up (a failing creation, a connection that fails a number of
// times, a sequence of CPU states, output words).
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "plc/S7ProSim.h"

class TFakeSimulator : public TSimulatorBackEnd {
 public:
  TFakeSimulator() = default;

  std::string Name() const override { return "fake"; }
  TSimulatorWindow* FindWindow() override { return Running ? &Window : nullptr; }
  TSimResult CreateInstance(std::unique_ptr<IS7ProSim>& out) override;
  void PauseBeforeRetry() override { ++Pauses; }

  // --- the script ---
  // Whether the simulator "runs" (has a window).
  bool Running = true;
  // Non-zero: CreateInstance fails with this code.
  TSimResult CreateResult = kSimOk;
  // ConnectSimulator fails this many times before it succeeds; negative: it always fails.
  int ConnectFailures = 0;
  // ReadCpuState answers these texts first, one per call; then it keeps answering State.
  std::deque<std::string> StateScript;
  // The state answered once the script is used up.
  std::string State = "STOP";
  // RequestCpuState moves State to the requested text (MRES ends in STOP, as a memory reset
  // does).
  bool FollowRequests = true;
  // What ReadOutputWord answers per byte address (0 when absent).
  std::map<int, std::uint16_t> OutputWords;

  // --- the record ---
  // Every call, one text each: "ConnectSimulator", "SetStartupOption(1)", "ReadCpuState",
  // "RequestCpuState(RUN)", "WriteInputWord(124,0,384)", "RunCycle",
  // "ReadOutputWord(124,0,2)", "Release".
  std::vector<std::string> Calls;
  // The last word written per input byte address.
  std::map<int, std::uint16_t> InputWords;
  int Pauses = 0;
  int Instances = 0;

  // Calls starting with prefix.
  int CountCalls(const std::string& prefix) const;
  void ClearCalls() { Calls.clear(); }

  TSimulatorWindow Window;
};
