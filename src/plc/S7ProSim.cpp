#include "plc/S7ProSim.h"

#include "plc/PlcTexts.h"

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
    r.Error = PlcText("TPLC", QT_TRANSLATE_NOOP("TPLC", "no simulator back end is installed"));
    return r;
  }
  r.CreateResult = backEnd->CreateInstance(out);
  if (r.CreateResult != kSimOk || !out) {
    out.reset();
    if (r.CreateResult == kSimOk) r.CreateResult = kSimFail;
    r.Error = PlcText("TPLC", QT_TRANSLATE_NOOP("TPLC", "the %1 simulator could not be created (code %2)"), {backEnd->Name(), std::to_string(r.CreateResult)});
    return r;
  }
  // Retrying for ever would hang start-up behind a simulator that never answers.
  for (r.Attempts = 1;; ++r.Attempts) {
    r.ConnectResult = out->ConnectSimulator();
    if (r.ConnectResult == kSimOk) return r;
    if (r.Attempts >= maxAttempts) break;
    backEnd->PauseBeforeRetry();
  }
  const std::string why = backEnd->LastError();
  const std::string attempts = std::to_string(r.Attempts), code = std::to_string(r.ConnectResult);
  r.Error = why.empty() ? PlcText("TPLC", QT_TRANSLATE_NOOP("TPLC", "the %1 simulator did not accept a connection after %2 attempts (code %3)"), {backEnd->Name(), attempts, code})
                        : PlcText("TPLC", QT_TRANSLATE_NOOP("TPLC", "the %1 simulator did not accept a connection after %2 attempts (code %3): %4"), {backEnd->Name(), attempts, code, why});
  out->Release();
  out.reset();
  return r;
}
