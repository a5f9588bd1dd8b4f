#include "plc/StartupCheck.h"

#include <ostream>

#include "plc/CPU_Frame.h"
#include "plc/PLCFormSource.h"
#include "plc/PlcTexts.h"

void CheckSimulatorAtStartup(TSimulatorBackEnd* backEnd) {
  if (backEnd == nullptr) backEnd = ActiveSimulatorBackEnd();
  if (backEnd == nullptr) throw EPLCSimNotRunning(PlcText("TPLC", QT_TRANSLATE_NOOP("TPLC", "no simulator back end is installed")));
  if (backEnd->FindWindow() == nullptr)
    throw EPLCSimNotRunning(PlcText("TPLC", QT_TRANSLATE_NOOP("TPLC", "the %1 simulator is not running"), {backEnd->Name()}));
  std::unique_ptr<IS7ProSim> trial;
  const TSimConnectOutcome r = ConnectBounded(backEnd, trial, TCPU::kMaxConnectAttempts);
  if (!trial) throw EPLCSimNotRunning(r.Error);
  trial->Release();
}

int ReportStartupFailure(const std::exception& error, std::ostream& err) {
  err << error.what() << '\n';
  if (const auto* e = dynamic_cast<const EPLCSimNotRunning*>(&error); e != nullptr && !e->Detail.empty())
    err << "(" << e->Detail << ")\n";
  err.flush();
  return kExitNoSimulator;
}
