#include "plc/CPU_Frame.h"

#include <algorithm>

#include "plc/ESModule.h"

namespace {

constexpr TColor kBody = RGBColor(100, 100, 100);
constexpr TColor kLedOff = RGBColor(128, 128, 128);
constexpr TColor kTitleBack = RGBColor(128, 223, 223);
constexpr TColor kLightText = RGBColor(240, 240, 240);

TStaticText* MakeText(TCPU* parent, const char* caption, int x, int y, bool bold) {
  auto* t = new TStaticText(parent);
  t->SetParent(parent);
  t->SetAutoSize(true);
  t->Font.SetBold(bold);
  t->Font.SetColor(kLightText);
  t->SetTransparent(true);
  t->SetCaption(caption);
  t->SetLeft(x);
  t->SetTop(y);
  return t;
}

}  // namespace

TCPU::TCPU(TComponent* owner, TControl* parentWindow, TSimulatorBackEnd* backEnd,
           TTimerClock* clock)
    : TShape(owner) {
  // 1. The designed layout; the frame is widened from its designed 150 to the rack's 168.
  SetBounds(0, 0, kWidth, kHeight);
  Brush.SetColor(kBody);
  Brush.SetStyle(bsSolid);
  Pen.SetColor(kBody);

  Title = MakeText(this, "SIEMENS", 3, 3, true);
  Title->SetAutoSize(false);
  Title->SetBounds(3, 3, 70, 18);
  Title->SetAlignment(taCenter);
  Title->SetTransparent(false);
  Title->SetColor(kTitleBack);
  PsText = MakeText(this, "PS", 3, 21, true);
  CpuText = MakeText(this, "CPU", 82, 167, true);

  OnLed = MakeLed(29, 40, "ON", kLedOff);
  BatfLed = MakeLed(29, 60, "BATF", kLedOff);
  IntfLed = MakeLed(11, 94, "INTF", kLedOff);
  ExtfLed = MakeLed(11, 114, "EXTF", kLedOff);
  Busf1Led = MakeLed(11, 132, "BUSF1", kLedOff);
  Busf2Led = MakeLed(11, 151, "BUSF2", kLedOff);
  FrceLed = MakeLed(11, 170, "FRCE", kLedOff);
  RunLed = MakeLed(11, 189, "RUN", kLedOff);
  StopLed = MakeLed(11, 208, "STOP", clYellow);

  Separator = new TShape(this);
  Separator->SetParent(this);
  Separator->SetBounds(0, 87, kWidth, 1);
  Separator->Brush.SetColor(clWhite);
  Separator->Pen.SetColor(clWhite);

  Selector = new TShape(this);
  Selector->SetParent(this);
  Selector->SetBounds(82, 94, 60, 58);
  Selector->Brush.SetColor(kBody);
  Selector->Pen.SetColor(clSilver);
  const char* captions[3] = {"RUN-P", "RUN", "STOP"};
  TRadioButton* buttons[3] = {};
  for (int i = 0; i < 3; ++i) {
    // Each position sits in a frame of its own; the frames overlap by their common border.
    auto* row = new TShape(this);
    row->SetParent(Selector);
    row->SetBounds(0, 19 * i, 60, 20);
    row->Brush.SetStyle(bsClear);
    row->Pen.SetColor(clSilver);
    auto* b = new TRadioButton(this);
    b->SetParent(Selector);
    b->SetBounds(3, 19 * i + 2, 55, 16);
    b->Font.SetColor(kLightText);
    b->SetCaption(captions[i]);
    buttons[i] = b;
  }
  RunPBtn = buttons[0];
  RunBtn = buttons[1];
  StopBtn = buttons[2];
  StopBtn->SetChecked(true);
  RunPBtn->OnClick = TNotifyEvent(this, &TCPU::RunPClick);
  RunBtn->OnClick = TNotifyEvent(this, &TCPU::RunClick);
  StopBtn->OnClick = TNotifyEvent(this, &TCPU::StopClick);

  Timer = new TTimer(this, clock);
  Timer->SetInterval(kPollInterval);
  Timer->OnTimer = TNotifyEvent(this, &TCPU::PollTimer);

  // 2-4. The connection.
  Connect(backEnd != nullptr ? backEnd : ActiveSimulatorBackEnd());
  // 5-6.
  SetParent(parentWindow);
  if (FSimulator) FSimulator->SetStartupOption(1);
}

TCPU::~TCPU() {
  if (FSimulator) FSimulator->Release();
  FSimulator.reset();
}

void TCPU::Connect(TSimulatorBackEnd* backEnd) {
  const TSimConnectOutcome r = ConnectBounded(backEnd, FSimulator, kMaxConnectAttempts);
  CreateResult = r.CreateResult;
  ConnectResult = r.ConnectResult;
  ConnectAttempts = r.Attempts;
  ConnectError = r.Error;
}

TShape* TCPU::MakeLed(int x, int y, const char* label, TColor fill) {
  auto* led = new TShape(this);
  led->SetParent(this);
  led->SetBounds(x, y, 12, 14);
  led->Pen.SetColor(kBody);
  led->Brush.SetColor(fill);
  LedLabels.push_back(MakeText(this, label, x + 16, y, false));
  return led;
}

void TCPU::AddModule(TIOModule* m) {
  if (m == nullptr) return;
  if (std::find(FModules.begin(), FModules.end(), m) != FModules.end()) return;
  int x = Width();
  for (const TIOModule* k : FModules) {
    // Two modules may not share a byte. Checking only whether m holds k's first byte would
    // let a module start inside the last one (125 beside 124) and fight over byte 125.
    if (k->Address < m->Address + m->ByteCount && m->Address < k->Address + k->ByteCount) return;
    x = k->RackLeft + k->Width();
  }
  FModules.push_back(m);
  m->SetRackLeft(x + 1);
  m->SetRackTop(Top());
}

void TCPU::Exchange() {
  IS7ProSim* sim = FSimulator.get();
  // Without a simulator there is nobody to talk to; the outputs stay as they are.
  if (sim == nullptr) return;
  for (TIOModule* m : FModules) {
    for (int i = 0; i < m->ByteCount; i += 2) {
      const unsigned w = static_cast<unsigned>(m->InputByte(i)) * 256u + m->InputByte(i + 1);
      sim->WriteInputWord(m->Address + i, 0, static_cast<std::uint16_t>(w));
    }
    m->InputsExchanged();
  }
  if (!FRunning) return;
  sim->RunCycle();
  for (TIOModule* m : FModules) {
    for (int i = 0; i < m->ByteCount; i += 2) {
      std::uint16_t w = 0;
      sim->ReadOutputWord(m->Address + i, 0, kSimTypeWord, w);
      m->SetOutputByte(i, static_cast<std::uint8_t>(w >> 8));
      m->SetOutputByte(i + 1, static_cast<std::uint8_t>(w & 0xFFu));
    }
  }
}

void TCPU::SetPower(bool on) {
  if (!on) return;
  for (TIOModule* m : FModules) m->ResetOutputs();
}

void TCPU::PollTimer(TObject* sender) {
  (void)sender;
  Poll();
}

void TCPU::Poll() {
  if (FSimulator) {
    FReadBuffer.clear();
    // A failed read leaves the text empty, which matches no state and changes nothing.
    if (FSimulator->ReadCpuState(FReadBuffer) == kSimOk && FReadBuffer != FLastState) {
      FLastState = FReadBuffer;
      ShowState(FLastState);
    }
  }
  for (TIOModule* m : FModules) m->SetForcingEnabled(!FRunning);
}

void TCPU::ShowState(const std::string& state) {
  int mode = 0;
  if (state == kCpuStop) {
    StopBtn->SetChecked(true);
    RunLed->Brush.SetColor(kLedOff);
    StopLed->Brush.SetColor(clYellow);
    IntfLed->Brush.SetColor(kLedOff);
    FRunning = false;
    mode = 0;
  } else if (state == kCpuRun) {
    RunBtn->SetChecked(true);
    RunLed->Brush.SetColor(clLime);
    StopLed->Brush.SetColor(kLedOff);
    IntfLed->Brush.SetColor(kLedOff);
    FRunning = true;
    mode = 1;
  } else if (state == kCpuRunP) {
    RunPBtn->SetChecked(true);
    RunLed->Brush.SetColor(clLime);
    StopLed->Brush.SetColor(kLedOff);
    IntfLed->Brush.SetColor(kLedOff);
    FRunning = true;
    mode = 2;
  } else if (state == kCpuMres) {
    RunLed->Brush.SetColor(kLedOff);
    StopLed->Brush.SetColor(kLedOff);
    IntfLed->Brush.SetColor(clRed);
    FRunning = false;
    mode = 0;
  } else {
    // A text we do not know changes nothing on the faceplate; the window is still told (as
    // "stopped" when the CPU is not running) so that it can re-apply its own rules.
    mode = FRunning ? 1 : 0;
  }
  OnStateChange(mode);
}

void TCPU::RequestCpuState(std::string_view state) {
  if (FSimulator) FSimulator->RequestCpuState(state);
}

// A selector position acts only when its button ends up selected. The poll moves the selector
// too, and that counts as a click: it re-sends the request of the position reached, which is
// harmless because it names the state the CPU is already in.
void TCPU::RunPClick(TObject* sender) {
  (void)sender;
  if (RunPBtn->Checked()) RequestCpuState(kCpuRunP);
}

void TCPU::RunClick(TObject* sender) {
  (void)sender;
  if (RunBtn->Checked()) RequestCpuState(kCpuRun);
}

// STOP asks for STOP rather than a memory reset: the poll re-sends this request whenever the
// CPU stops by itself (a runtime error), and a memory reset would then wipe the program's data.
void TCPU::StopClick(TObject* sender) {
  (void)sender;
  if (StopBtn->Checked()) RequestCpuState(kCpuStop);
}
