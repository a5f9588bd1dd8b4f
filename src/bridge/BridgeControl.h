#pragma once
// The lift-bridge plant window: every field device of the plant laid out on one form, wired bit
// by bit to the first I/O module of the PLC window (bytes 124 and 125), and the 50 ms tick that
// exchanges the process image, moves the deck and applies the plant's own power logic
// (interlock, motor supply, direction and speed). It is a model: it draws nothing, so the whole
// plant runs and is tested headless on a virtual clock; the GUI shows it through a canvas.
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/BridgeCode.h"
#include "components/Meter.h"
#include "components/Motor.h"
#include "components/PushButton.h"
#include "components/Relay.h"
#include "components/SimpleShape.h"
#include "components/Switch.h"
#include "framework/Form.h"
#include "framework/GroupBox.h"
#include "framework/Image.h"
#include "framework/Shape.h"
#include "framework/SpeedButton.h"
#include "framework/StaticText.h"
#include "framework/Timer.h"
#include "plc/PLCFormSource.h"

class TForm2 : public TForm {
 public:
  // The PLC window is created on backEnd (the active back end when null); every timer of the
  // plant and of the PLC window runs on clock (the default clock when null). Throws
  // EPLCSimNotRunning when the simulator cannot be reached, like the PLC window does.
  explicit TForm2(TComponent* owner, TSimulatorBackEnd* backEnd = nullptr,
                  TTimerClock* clock = nullptr);
  ~TForm2() override;
  std::string_view ClassName() const override { return "TForm2"; }

  static constexpr int kClientWidth = 929;
  static constexpr int kClientHeight = 596;
  static constexpr int kFirstByte = 124;
  static constexpr unsigned kTickMs = 50;
  static constexpr int kFastTripTime = 15000;
  static constexpr int kSlowTripTime = 25000;

  // Symbol names of bits 0-7 of byte 124, then 0-7 of byte 125; null leaves a bit unnamed.
  static const std::array<const char*, 16> InputNames;
  static const std::array<const char*, 16> OutputNames;

  // Names of the fault tests, in the order they are registered.
  static constexpr const char* kThermalTest = "Fallo térmico";
  static constexpr const char* kMainsTest = "Apagado";

  // --- the layout ---
  TGroupBox* Panel;
  TPushButton* ComienzoBtn;
  TPushButton* SubirBtn;
  TPushButton* BajarBtn;
  TPushButton* RearmeBtn;
  TSwitch* PB_PE;
  TSimpleShape* L_FASE0;
  TSimpleShape* L_FASE1;
  TSimpleShape* L_FASE2;
  TSimpleShape* L_FASE3;
  TSimpleShape* L_FASE4;
  TSimpleShape* L_VALIDAR;
  TSimpleShape* L_ERROR;
  TShape* Shape1;
  TShape* Shape2;
  TSimpleShape* S1R;
  TSimpleShape* S1A;
  TSimpleShape* S2R;
  TSimpleShape* S2A;
  TSwitch* FC_A;
  TSwitch* FC_B;
  TSwitch* FC_C;
  TSwitch* FC_D;
  TImage* Image1;
  TImage* Fondo;
  TSwitch* MagnetoTermico;
  TSwitch* Termico;
  TRelay* KM1;
  TRelay* KM2;
  TRelay* KM3;
  TRelay* KM4;
  TMotor* Motor;
  // Shown under the motor while a sluggish-motor fault lasts, with its factor.
  TStaticText* SlowMark = nullptr;
  TMeter* ElevationMeter;
  TSpeedButton* V2AtascoBtn;
  TSpeedButton* V2ReparacionBtn;
  TTimer* Timer1;
  // Every caption and legend line, in creation order.
  std::vector<TStaticText*> Texts;
  // Property names a layout entry gave that its component did not take; empty when the layout
  // applied cleanly.
  std::vector<std::string> LayoutProblems;

  // --- created in code ---
  TPLC* PLC = nullptr;
  // Owned by this form's owner (this form when it has none); its parent is this form.
  TBridge* Bridge = nullptr;
  TInputPin* const KM1PowerIn = &FKM1PowerIn;
  TInputPin* const KM2PowerIn = &FKM2PowerIn;
  TInputPin* const FC_AIn = &FFCAIn;
  TInputPin* const FC_BIn = &FFCBIn;
  TInputPin* const FC_CIn = &FFCCIn;
  TInputPin* const FC_DIn = &FFCDIn;

  // Raised at the end of every tick, once the plant has settled (for traces and recorders).
  TNotifyEvent OnTick;

  // --- handlers ---
  void Timer1Timer(TObject* sender);
  void KM1PowerChange(bool state, void* sender);
  void KM2PowerChange(bool state, void* sender);
  void KM1Change(bool level);
  void KM2Change(bool level);
  void KM3Change(bool level);
  void KM4Change(bool level);
  void FC_AChange(bool state, void* sender);
  void FC_BChange(bool state, void* sender);
  void FC_CChange(bool state, void* sender);
  void FC_DChange(bool state, void* sender);
  void TermicoChange(bool level);
  void MagnetoTermicoChange(bool level);
  void PLCTest(int index);
  void V2AtascoBtnClick(TObject* sender);
  void V2ReparacionBtnClick(TObject* sender);

  // --- the fault tests ---
  // The thermal relay opens (the PLC loses FE-TERMICO) and a running motor trips; closing the
  // relay again with a click repairs the motor.
  void ThermalFault();
  // A sluggish motor: every travel takes factor times as long (1: healthy).
  void SetMotorSlowness(double factor);
  double MotorSlowness() const { return FSlowness; }
  // The mains feeding the circuit breaker fail (false) or come back (true).
  void SetMains(bool on);
  bool MainsOn() const { return MagnetoTermico->GetACInputState(); }
  // Puts the plant back as it started, whatever happened to it: deck down and still, every
  // fault cleared (jam, slowness, welds, trips, input faults), mains on, breaker and thermal
  // relay closed. The PLC program is left alone.
  void ResetPlant();
  // Ticks the plant has run.
  std::uint64_t Ticks() const { return FTicks; }

  void Notification(TComponent* component, TOperation operation) override;

 private:
  void BuildLayout(TTimerClock* clock);
  // Keeps the motor's trip picture up while the thermal relay is open.
  void ShowMotorFault();
  // Draws the wiring behind the power devices live, dead below an open breaker, or dead with
  // the breaker's mains side crossed out while the mains are off.
  void ShowSupply();
  template <class T>
  T* Place(const char* name, TControl* parent, int left, int top, int width, int height,
           std::vector<TPropAssignment> props = {});
  TStaticText* Text(TControl* parent, const char* caption, int left, int top,
                    std::vector<TPropAssignment> props = {});

  double FSlowness = 1.0;
  int FTripTime = kSlowTripTime;  // of the speed contactor energised last, before slowness
  TInputPin FKM1PowerIn;
  TInputPin FKM2PowerIn;
  TInputPin FFCAIn;
  TInputPin FFCBIn;
  TInputPin FFCCIn;
  TInputPin FFCDIn;
  std::uint64_t FTicks = 0;
  int FTextCount = 0;
};
