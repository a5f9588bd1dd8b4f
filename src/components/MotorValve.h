#pragma once
// A motor-driven valve. While exactly one of its two commands (open, close) is on, it travels
// between its closed and open ends at a speed set by TripTime, one SimulationStep per timer tick.
// It shows its travel as one of ten frames, reports the ends on two pins and its position on a
// byte, and can be tripped thermally, made to fail and repaired.
#include <array>

#include "framework/Image.h"
#include "framework/Timer.h"
#include "signals/Iobyte.h"
#include "signals/Iopin.h"

using TValveChangeEvent = TMethod<int>;

class TMotorValve : public TImage {
 public:
  // State codes passed to OnChange; 2 lives in the drive state.
  static constexpr int vsThermal = 2;
  static constexpr int vsRepaired = 3;
  static constexpr int vsClosed = 4;
  static constexpr int vsOpening = 5;
  static constexpr int vsOpen = 6;
  static constexpr int vsClosing = 7;
  static constexpr int vsFailure = 8;
  static constexpr int FrameCount = 10;

  explicit TMotorValve(TComponent* owner);
  ~TMotorValve() override;
  std::string_view ClassName() const override { return "TMotorValve"; }
  void GetProperties(TPropList& out) const override;

  // Commands; a PLC output bit is connected to each. They are only read by the next step.
  TInputPin* const openInputPin = new TInputPin;
  TInputPin* const closeInputPin = new TInputPin;
  void openInputPinEvent(bool state, void* sender);
  void closeInputPinEvent(bool state, void* sender);

  TValveChangeEvent OnChange;

  // Changing a dimension shows frame 0 again; the frames stretch to the new size.
  int GetWidth() const { return Width(); }
  int GetHeight() const { return Height(); }
  void SetWidth(int v);
  void SetHeight(int v);

  int TripTime() const { return FTripTime; }
  void SetTripTime(int t);
  TTimer* SimTimer() const { return FSimTimer; }
  void SetSimTimer(TTimer* t);
  int ValvePosition() const { return FValvePosition; }
  void SetValvePosition(int p);
  int RangeMin() const { return FRangeMin; }
  int RangeMax() const { return FRangeMax; }
  void SetRangeMin(int v);
  void SetRangeMax(int v);

  void OutputOpenPinConectTo(TInputPin* p);
  void OutputClosedPinConectTo(TInputPin* p);
  void ConnectByteOutTo(TInputByte* b);

  void THERMIC_FAILURE();
  void FAILURE();
  void REPAIR();

  // One tick; the sender argument lets a timer's OnTimer be bound to it directly.
  void SimulationStep(TObject* sender = nullptr);

  int DriveState() const { return FDriveState; }
  int ValveState() const { return FValveState; }
  float Position() const { return FPosition; }
  float Step() const { return FStep; }
  float FrameFactor() const { return FFrameFactor; }
  bool OpenCommand() const { return FOpenCmd; }
  bool CloseCommand() const { return FCloseCmd; }
  const TOutputPin& OpenOutput() const { return FOpenOut; }
  const TOutputPin& ClosedOutput() const { return FClosedOut; }
  const TOutputByte& PositionOutput() const { return FPositionOut; }
  const TPicture& Frame(int i) const { return FFrames[static_cast<std::size_t>(i)]; }
  const TPicture& CurrentFrame() const { return FCurrentFrame; }

 private:
  void ShowFrame(int i);

  TOutputPin FClosedOut;
  TOutputPin FOpenOut;
  TOutputByte FPositionOut;
  std::array<TPicture, FrameCount> FFrames;
  TPicture FCurrentFrame;
  int FDriveState = 0;
  int FValveState = vsClosed;
  float FPosition = 55.0f;
  int FRangeMax = 255;
  int FRangeMin = 55;
  int FTripTime = 5000;
  float FStep = 0.0f;
  float FFrameFactor = 0.0f;
  TTimer* FSimTimer = nullptr;
  int FValvePosition = 0;
  bool FOpenCmd = false;
  bool FCloseCmd = false;
};

namespace MotorValve {
void Register();
}
