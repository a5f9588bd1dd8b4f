#include "components/Motor.h"

#include "framework/Registry.h"

namespace {
// Motor look first, then pump look; each in Status order.
constexpr std::string_view kMotorPictures[] = {
    "MOTOR_OFF", "MOTOR_ON", "MOTOR_TRIP", "MOTOR_OVERHEATED",
    "BOMB_OFF",  "BOMB_ON",  "BOMB_TRIP",  "BOMB_OVERHEATED"};
constexpr std::string_view kTypeNames[] = {"mtMotor", "mtBomb"};
}  // namespace

TMotor::TMotor(TComponent* owner) : TImage(owner) {
  FACPin.OnChange = TPinChangeEvent(this, &TMotor::SetAC);
  SetTransparent(true);
  SetMotorType(mtMotor);
  SetAutoSize(false);
  SetStretch(true);
}

void TMotor::SetAC(bool level, void* sender) {
  (void)sender;
  if (level)
    START();
  else
    STOP();
}

void TMotor::Enter(int status) {
  Status = status;
  SetImage(Status);
  OnChange(Status);
}

void TMotor::START() {
  if (Status == Stopped)
    Enter(Running);
  else if (Status == Tripped || Status == Overheated)
    ResumeStatus = Running;
}

void TMotor::STOP() {
  if (Status == Running || Status == Tripped)
    Enter(Stopped);
  else if (Status == Overheated)
    ResumeStatus = Stopped;
}

void TMotor::ErrTRIP() {
  if (Status != Running) return;
  ResumeStatus = Running;
  Enter(Tripped);
}

void TMotor::ErrOVERHEAT() {
  if (Status == Tripped) Enter(Overheated);
}

void TMotor::REPAIR() {
  if (Status == Tripped || Status == Overheated) Enter(ResumeStatus);
}

void TMotor::SetImage(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= Pictures.size()) return;
  SetPicture(Pictures[static_cast<std::size_t>(index)]);
}

void TMotor::SetMotorType(TMotorType type) {
  const std::size_t first = type == mtBomb ? 4u : 0u;
  // Loaded aside first: a missing resource leaves the present look intact.
  std::vector<TPicture> loaded;
  loaded.reserve(4);
  for (std::size_t i = 0; i < 4; ++i) loaded.push_back(TPicture::LoadFrame(kMotorPictures[first + i]));
  MotorType = type == mtBomb ? mtBomb : mtMotor;
  Pictures.swap(loaded);
  SetImage(Status);
}

void TMotor::GetProperties(TPropList& out) const {
  TImage::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_ENUM(TMotor, "MotorType", s->MotorType,
                 if (v >= 0 && v < std::ssize(kTypeNames))
                     s->SetMotorType(static_cast<TMotorType>(v)),
                 mtMotor, kTypeNames),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

namespace Motor {
void Register() { RegisterComponentClass<TMotor>("Automation", "TMotor"); }
}  // namespace Motor
