#pragma once
// An electric motor or pump with a small fault model: stopped and running follow the supply;
// the owner can trip a running motor, let a tripped one overheat and repair either.
#include <string_view>
#include <vector>

#include "framework/Image.h"
#include "framework/Picture.h"
#include "signals/Iopin.h"

enum TMotorType { mtMotor, mtBomb };

class TMotor : public TImage {
 public:
  using TChangeEvent = TMethod<int>;
  // Conditions, also the index of their picture.
  static constexpr int Stopped = 0;
  static constexpr int Running = 1;
  static constexpr int Tripped = 2;
  static constexpr int Overheated = 3;

  explicit TMotor(TComponent* owner);
  std::string_view ClassName() const override { return "TMotor"; }
  void GetProperties(TPropList& out) const override;

  // The AC supply; its handler is SetAC.
  TInputPin* const ACPin = &FACPin;
  // The present type's four pictures, indexed by Status.
  std::vector<TPicture> Pictures;
  int Status = Stopped;
  // What REPAIR returns to: the last supply command since the trip, running if none came.
  int ResumeStatus = Stopped;
  // Fired with the new Status after each change of condition, once the picture shows it.
  TChangeEvent OnChange;
  TMotorType MotorType = mtMotor;

  void SetAC(bool level, void* sender);
  void START();
  void STOP();
  void ErrTRIP();
  void ErrOVERHEAT();
  void REPAIR();
  // Shows Pictures[index]; an index outside the list is ignored.
  void SetImage(int index);
  // Reloads the type's pictures (even for the same type) and shows the present condition.
  void SetMotorType(TMotorType type);

 private:
  void Enter(int status);

  TInputPin FACPin;
};

namespace Motor {
void Register();
}
