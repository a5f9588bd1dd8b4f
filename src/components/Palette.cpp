#include "components/Palette.h"

#include "components/AnimationCode.h"
#include "components/Clock.h"
#include "components/Deposit.h"
#include "components/Detector.h"
#include "components/Meter.h"
#include "components/Motor.h"
#include "components/MotorValve.h"
#include "components/PositionDetector.h"
#include "components/PushButton.h"
#include "components/Relay.h"
#include "components/SimpleShape.h"
#include "components/Switch.h"
#include "components/Valve.h"
#include "components/VisualSignaling.h"

void RegisterAllComponents() {
  AnimationCode::Register();
  Deposit::Register();
  PositionDetector::Register();
  MotorValve::Register();
  Valve::Register();
  Relay::Register();
  Motor::Register();
  Switch::Register();
  Clock::Register();
  PushButton::Register();
  Detector::Register();
  SimpleShape::Register();
  Meter::Register();
  VisualSignaling::Register();
}
