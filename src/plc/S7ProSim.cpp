#include "plc/S7ProSim.h"

namespace {
TSimulatorBackEnd* gActiveBackEnd = nullptr;
}

TSimulatorBackEnd* ActiveSimulatorBackEnd() { return gActiveBackEnd; }

void SetActiveSimulatorBackEnd(TSimulatorBackEnd* backEnd) { gActiveBackEnd = backEnd; }
