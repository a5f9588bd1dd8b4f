#pragma once
// The small always-on-top "PLC" window: the CPU faceplate with two I/O modules beside it and a
// control strip below (power, simulation control, restart, fault tests, About, the simulator
// window's visibility). For the plant it is the one entry to the PLC: input pins by address,
// output connections, symbol names, fault tests and the per-tick image exchange.
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/ButtonControl.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/Form.h"
#include "framework/GroupBox.h"
#include "framework/RadioButton.h"
#include "framework/RichEdit.h"
#include "framework/SpeedButton.h"
#include "framework/StaticText.h"
#include "plc/ESModule.h"
#include "plc/S7ProSim.h"

class TCPU;
class TInputPin;
class TTimerClock;

// The message start-up ends with when the simulator is not running or cannot be reached.
inline constexpr const char* kPlcSimMissingMessage =
    "PLCSim must be executed before the simulation";

class EPLCSimNotRunning : public std::runtime_error {
 public:
  // detail says what exactly failed; what() is always the user's message.
  explicit EPLCSimNotRunning(std::string detail)
      : std::runtime_error(kPlcSimMissingMessage), Detail(std::move(detail)) {}
  std::string Detail;
};

using TTestEvent = TMethod<int>;

class TPLC : public TForm {
 public:
  // Raises EPLCSimNotRunning when the simulator of backEnd (the active back end when null) is
  // not running or does not accept a connection. The faceplate polls on clock (the default
  // clock when null).
  explicit TPLC(TComponent* owner, TSimulatorBackEnd* backEnd = nullptr,
                TTimerClock* clock = nullptr);
  ~TPLC() override;
  std::string_view ClassName() const override { return "TPLC"; }
  void GetProperties(TPropList& out) const override;

  // The first module's first byte; the second module starts two bytes later.
  int ModuleDir() const { return FModuleDir; }
  void SetModuleDir(int a);

  // The module input pin of (byte, bit); null when the byte is none of the four module bytes.
  // The bit is not limited to 0-7: (124, 8) is (125, 0).
  TInputPin* GetInputPin(int byteAddress, int bit) const;
  // Connects receiver to the module output (byte, bit); nothing when the byte is not a module's.
  void ConnectOutput(int byteAddress, int bit, TInputPin* receiver);
  // Names the 16 input (output) bits of the module whose first byte is byteAddress; names
  // a null entry leaves its label empty.
  void SetInputNames(int byteAddress, const TSymbolNames& names);
  void SetOutputNames(int byteAddress, const TSymbolNames& names);
  // Appends a fault test to the TEST list.
  void AddTest(const std::string& name, const std::string& description);
  // One process-image exchange with the simulator.
  void ExchangeImage();

  std::vector<std::string> Descriptions;
  TNotifyEvent OnManualMode;
  TNotifyEvent OnAutoMode;
  TTestEvent OnTest;
  TSimulatorWindow* SimWindow = nullptr;
  TCPU* Faceplate = nullptr;
  TIOModule* FirstModule = nullptr;
  TIOModule* SecondModule = nullptr;
  // The About window (hidden until "About" is pressed).
  TForm* AboutBox = nullptr;

  // Whether the hide-on-running rule has collapsed the window to 10 pixels.
  bool Collapsed() const { return FCollapsed; }
  static constexpr int kCollapsedHeight = 10;

  // The control strip.
  TGroupBox* ControlBox;
  TGroupBox* PowerBox;
  TSpeedButton* PowerONBtn;
  TSpeedButton* PowerOFFBtn;
  TGroupBox* SimControlBox;
  TSpeedButton* AutoBtn;
  TSpeedButton* ManBtn;
  TGroupBox* RestartBox;
  TRadioButton* RadioButton2;  // Cold
  TRadioButton* RadioButton1;  // Warm
  TRadioButton* RadioButton3;  // Hot
  TButton* BitBtn1;
  TStaticText* TestLabel;
  TComboBox* TestCbx;
  TSpeedButton* TestExeBtn;
  TRichEdit* DescriptionEdt;
  TCheckBox* HideCheckBox;
  TCheckBox* OnTopCheckBox;
  TCheckBox* HideOnRunCheckBox;

 protected:
  void DoClose() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void BuildStrip();
  void FitToContents();
  void ApplyHideOnRunning();
  TIOModule* ModuleFor(int byteAddress, int& offset) const;
  TIOModule* NamingTarget(int byteAddress) const;

  void StateChanged(int mode);
  void PowerOnClick(TObject* sender);
  void PowerOffClick(TObject* sender);
  void AutoClick(TObject* sender);
  void ManualClick(TObject* sender);
  void AboutClick(TObject* sender);
  void TestChange(TObject* sender);
  void ExecuteClick(TObject* sender);
  void HideClick(TObject* sender);
  void OnTopClick(TObject* sender);
  void HideOnRunClick(TObject* sender);


  int FModuleDir = 0;
  bool FCollapsed = false;
  int FExpandedHeight = 0;
};
