// The start-up check and how its failure is reported without a window.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "plc/CPU_Frame.h"
#include "plc/FakeSimulator.h"
#include "plc/PLCFormSource.h"
#include "plc/StartupCheck.h"

namespace {

std::string Reported(TSimulatorBackEnd* backEnd) {
  try {
    CheckSimulatorAtStartup(backEnd);
  } catch (const std::exception& e) {
    std::ostringstream err;
    EXPECT_EQ(ReportStartupFailure(e, err), kExitNoSimulator);
    return err.str();
  }
  return "passed";
}

TEST(StartupCheck, AReachableSimulatorPassesAndTheTrialConnectionIsReleased) {
  TFakeSimulator sim;
  sim.ConnectFailures = 2;
  EXPECT_EQ(Reported(&sim), "passed");
  EXPECT_EQ(sim.Calls, (std::vector<std::string>{"ConnectSimulator", "ConnectSimulator",
                                                 "ConnectSimulator", "Release"}));
}

TEST(StartupCheck, EachWayOfMissingTheSimulatorEndsWithTheSameMessage) {
  TFakeSimulator stopped;
  stopped.Running = false;
  EXPECT_EQ(Reported(&stopped),
            "PLCSim must be executed before the simulation\n(the fake simulator is not running)\n");
  TFakeSimulator broken;
  broken.CreateResult = kSimFail;
  EXPECT_EQ(Reported(&broken), std::string(kPlcSimMissingMessage) +
                                   "\n(the fake simulator could not be created (code -1))\n");
  TFakeSimulator silent;
  silent.ConnectFailures = -1;
  const std::string text = Reported(&silent);
  EXPECT_EQ(text.rfind(kPlcSimMissingMessage, 0), 0u) << text;
  EXPECT_NE(text.find("after 30 attempts"), std::string::npos) << text;
  EXPECT_EQ(silent.CountCalls("ConnectSimulator"), TCPU::kMaxConnectAttempts);
  SetActiveSimulatorBackEnd(nullptr);
  EXPECT_NE(Reported(nullptr).find("no simulator back end"), std::string::npos);
}

TEST(StartupCheck, OtherErrorsAreReportedAsTheyAre) {
  std::ostringstream err;
  EXPECT_EQ(ReportStartupFailure(std::runtime_error("disk full"), err), kExitNoSimulator);
  EXPECT_EQ(err.str(), "disk full\n");
}

}  // namespace
