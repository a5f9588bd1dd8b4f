#include <gtest/gtest.h>

#include <memory>

#include "components/Motor.h"
#include "devices_probe.h"
#include "framework/Properties.h"

namespace {

struct MotorRig {
  TLog log;
  std::unique_ptr<TMotor> motor = std::make_unique<TMotor>(nullptr);
  TPictureProbe pictures{log, *motor};
  TOutputPin supply;
  TProbe<int> event;

  MotorRig() {
    supply.ConnectTo(motor->ACPin);
    event.Fn = [this](int status) {
      log.push_back("event=" + std::to_string(status) + " pic=" + Shown(*motor));
    };
    motor->OnChange = event.Method();
  }
};

TEST(Motor, NewMotorIsStoppedAndFollowsItsSupply) {
  MotorRig r;
  EXPECT_EQ(Shown(*r.motor), "MOTOR_OFF");
  EXPECT_EQ(r.motor->Status, TMotor::Stopped);
  EXPECT_EQ(r.motor->ResumeStatus, TMotor::Stopped);
  EXPECT_TRUE(r.motor->Stretch());
  EXPECT_FALSE(r.motor->AutoSize());
  r.supply.SetState(true);
  EXPECT_EQ(r.log, (TLog{"pic=MOTOR_ON", "event=1 pic=MOTOR_ON"}));
  r.log.clear();
  r.supply.SetState(false);
  EXPECT_EQ(r.log, (TLog{"pic=MOTOR_OFF", "event=0 pic=MOTOR_OFF"}));
  r.log.clear();
  r.motor->STOP();
  r.motor->SetAC(false, nullptr);
  EXPECT_TRUE(r.log.empty()) << "stopping a stopped motor fires nothing";
  r.motor->START();
  r.log.clear();
  r.motor->START();
  EXPECT_TRUE(r.log.empty()) << "starting a running motor fires nothing";
}

TEST(Motor, OverheatedMotorIgnoresSupplyAndRepairsToTheLastCommand) {
  MotorRig r;
  r.supply.SetState(true);
  r.log.clear();
  r.motor->ErrTRIP();
  r.motor->ErrOVERHEAT();
  EXPECT_EQ(r.log, (TLog{"pic=MOTOR_TRIP", "event=2 pic=MOTOR_TRIP", "pic=MOTOR_OVERHEATED",
                         "event=3 pic=MOTOR_OVERHEATED"}));
  r.log.clear();
  r.supply.SetState(false);
  r.supply.SetState(true);
  r.supply.SetState(false);
  EXPECT_TRUE(r.log.empty()) << testing::PrintToString(r.log);
  EXPECT_EQ(r.motor->Status, TMotor::Overheated);
  EXPECT_EQ(r.motor->ResumeStatus, TMotor::Stopped);
  r.motor->REPAIR();
  EXPECT_EQ(r.log, (TLog{"pic=MOTOR_OFF", "event=0 pic=MOTOR_OFF"}));
}

TEST(Motor, RepairWithoutAnyCommandSinceTheTripResumesRunning) {
  MotorRig r;
  r.supply.SetState(true);
  r.motor->ErrTRIP();
  r.log.clear();
  r.motor->REPAIR();
  EXPECT_EQ(r.log, (TLog{"pic=MOTOR_ON", "event=1 pic=MOTOR_ON"}));
  // Overheat with the supply kept on, including a stop/start pair on the way.
  r.motor->ErrTRIP();
  r.motor->ErrOVERHEAT();
  r.motor->STOP();
  r.motor->START();
  r.log.clear();
  r.motor->REPAIR();
  EXPECT_EQ(r.log, (TLog{"pic=MOTOR_ON", "event=1 pic=MOTOR_ON"}));
}

TEST(Motor, RemovingSupplyClearsATripAndRepairThenHasNothingToDo) {
  MotorRig r;
  r.supply.SetState(true);
  r.motor->ErrTRIP();
  r.log.clear();
  r.supply.SetState(false);
  EXPECT_EQ(r.log, (TLog{"pic=MOTOR_OFF", "event=0 pic=MOTOR_OFF"}));
  r.log.clear();
  r.motor->REPAIR();
  EXPECT_TRUE(r.log.empty());
  // A start on a tripped motor changes nothing visible; a stop still clears the trip.
  r.supply.SetState(true);
  r.motor->ErrTRIP();
  r.log.clear();
  r.motor->START();
  EXPECT_TRUE(r.log.empty());
  EXPECT_EQ(r.motor->Status, TMotor::Tripped);
  r.motor->STOP();
  EXPECT_EQ(r.log, (TLog{"pic=MOTOR_OFF", "event=0 pic=MOTOR_OFF"}));
}

TEST(Motor, FaultsOnlyFromTheirOwnConditions) {
  MotorRig r;
  r.motor->ErrTRIP();
  r.motor->ErrOVERHEAT();
  r.motor->REPAIR();
  EXPECT_TRUE(r.log.empty());
  r.motor->START();
  r.log.clear();
  r.motor->ErrOVERHEAT();
  EXPECT_TRUE(r.log.empty()) << "overheating needs a trip first";
  r.motor->ErrTRIP();
  r.motor->ErrTRIP();
  EXPECT_EQ(r.log, (TLog{"pic=MOTOR_TRIP", "event=2 pic=MOTOR_TRIP"}));
}

TEST(Motor, PumpLookShowsThePresentConditionWithoutEvent) {
  MotorRig r;
  r.supply.SetState(true);
  r.log.clear();
  r.motor->SetMotorType(mtBomb);
  EXPECT_EQ(r.log, (TLog{"pic=BOMB_ON"}));
  EXPECT_EQ(r.motor->Pictures[3].Name(), "BOMB_OVERHEATED");
  r.motor->ErrTRIP();
  EXPECT_EQ(Shown(*r.motor), "BOMB_TRIP");
  r.motor->SetImage(4);
  r.motor->SetImage(-1);
  EXPECT_EQ(Shown(*r.motor), "BOMB_TRIP");
  r.motor->SetMotorType(mtMotor);
  EXPECT_EQ(Shown(*r.motor), "MOTOR_TRIP");
}

TEST(Motor, StoredLayoutWithAutoSizeTakesThePumpsNaturalSize) {
  TMotor motor(nullptr);
  const auto rejected = ApplyProperties(
      &motor, {{"MotorType", std::string("mtBomb")}, {"AutoSize", true}, {"Width", 10LL}});
  EXPECT_TRUE(rejected.empty());
  EXPECT_EQ(Shown(motor), "BOMB_OFF");
  EXPECT_EQ(motor.Width(), 67);
  EXPECT_EQ(motor.Height(), 52);
  motor.START();
  ApplyProperties(&motor, {{"MotorType", 5LL}});
  EXPECT_EQ(motor.MotorType, mtBomb);
  EXPECT_EQ(Shown(motor), "BOMB_ON");
}

}  // namespace
