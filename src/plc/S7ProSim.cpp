#include "plc/S7ProSim.h"

namespace {
TSimulatorBackEnd* gActiveBackEnd = nullptr;
}

TSimulatorBackEnd* ActiveSimulatorBackEnd() { return gActiveBackEnd; }

void SetActiveSimulatorBackEnd(TSimulatorBackEnd* backEnd) { gActiveBackEnd = backEnd; }

TSimConnectOutcome ConnectBounded(TSimulatorBackEnd* backEnd, std::unique_ptr<IS7ProSim>& out,
                                  int maxAttempts) {
  TSimConnectOutcome r;
  out.reset();
  if (backEnd == nullptr) {
    r.Error = "no simulator back end is installed";
    return r;
  }
  r.CreateResult = backEnd->CreateInstance(out);
  if (r.CreateResult != kSimOk || !out) {
    out.reset();
    if (r.CreateResult == kSimOk) r.CreateResult = kSimFail;
    r.Error = "the " + backEnd->Name() + " simulator could not be created (code " +
              std::to_string(r.CreateResult) + ")";
    return r;
  }
  // Retrying for ever would hang start-up behind a simulator that never answers.
  for (r.Attempts = 1;; ++r.Attempts) {
    r.ConnectResult = out->ConnectSimulator();
    if (r.ConnectResult == kSimOk) return r;
    if (r.Attempts >= maxAttempts) break;
    backEnd->PauseBeforeRetry();
  }
  r.Error = "the " + backEnd->Name() + " simulator did not accept a connection after " +
            std::to_string(r.Attempts) + " attempts (code " + std::to_string(r.ConnectResult) +
            ")";
  if (const std::string why = backEnd->LastError(); !why.empty()) r.Error += ": " + why;
  out->Release();
  out.reset();
  return r;
}
