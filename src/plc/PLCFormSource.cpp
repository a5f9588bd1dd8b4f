#include "plc/PLCFormSource.h"

#include "plc/CPU_Frame.h"
#include "plc/ESModule.h"
#include "plc/PlcTexts.h"

namespace {

template <class T>
T* Place(TComponent* owner, TControl* parent, int x, int y, int w, int h) {
  auto* c = new T(owner);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

TSpeedButton* ToggleButton(TComponent* owner, TControl* parent, const char* caption, int group,
                           int x, int y, int w) {
  auto* b = Place<TSpeedButton>(owner, parent, x, y, w, 22);
  b->SetCaption(caption);
  b->SetFlat(true);
  b->SetGroupIndex(group);
  return b;
}

}  // namespace

TPLC::TPLC(TComponent* owner, TSimulatorBackEnd* backEnd, TTimerClock* clock) : TForm(owner) {
  // 1. The window and its control strip.
  SetCaption("PLC");
  SetBorderStyle(bsSizeToolWin);
  SetFormStyle(fsStayOnTop);
  SetBounds(0, 0, 486, 356);
  SetAutoSize(true);
  // Shown by its owner once the plant is wired.
  Hide();
  BuildStrip();

  // 2-3. Without a running simulator there is no PLC to couple to.
  if (backEnd == nullptr) backEnd = ActiveSimulatorBackEnd();
  SimWindow = backEnd != nullptr ? backEnd->FindWindow() : nullptr;
  if (SimWindow == nullptr)
    throw EPLCSimNotRunning(backEnd == nullptr ? PlcText("TPLC", QT_TRANSLATE_NOOP("TPLC", "no simulator back end is installed"))
                                               : PlcText("TPLC", QT_TRANSLATE_NOOP("TPLC", "the %1 simulator is not running"), {backEnd->Name()}));

  // 4.
  SimWindow->Show();
  SetLeft(0);
  SetTop(0);
  FModuleDir = 124;

  // The rack belongs to this window's owner, as the plant's other windows do; without an owner
  // the window keeps it itself.
  TComponent* rackOwner = owner != nullptr ? owner : this;

  // 5.
  Faceplate = new TCPU(rackOwner, this, backEnd, clock);
  Faceplate->FreeNotification(this);
  if (Faceplate->Simulator() == nullptr) {
    const std::string detail = Faceplate->ConnectError;
    delete Faceplate;
    Faceplate = nullptr;
    throw EPLCSimNotRunning(detail);
  }
  Faceplate->OnStateChange = TStateChangeEvent(this, &TPLC::StateChanged);

  // 6.
  FirstModule = new TIOModule(rackOwner);
  FirstModule->FreeNotification(this);
  FirstModule->SetAddress(FModuleDir);
  FirstModule->SetRackLeft(Faceplate->Width());
  FirstModule->SetParentWindow(this);
  Faceplate->AddModule(FirstModule);

  // 7.
  SecondModule = new TIOModule(rackOwner);
  SecondModule->FreeNotification(this);
  SecondModule->SetAddress(FModuleDir + 2);
  SecondModule->SetRackLeft(FirstModule->RackLeft + FirstModule->Width());
  SecondModule->SetParentWindow(this);
  Faceplate->AddModule(FirstModule);
  Faceplate->AddModule(SecondModule);

  // 8.
  TestCbx->SetEnabled(false);
  TestExeBtn->SetEnabled(false);
  DescriptionEdt->SetEnabled(false);

  // 9.
  AboutBox = new TForm(rackOwner);
  AboutBox->FreeNotification(this);
  // The About window shows it in the user's language.
  AboutBox->SetCaption(QT_TRANSLATE_NOOP("TAboutWindow", "About Torvane"));
  AboutBox->SetBorderStyle(bsDialog);
  AboutBox->Hide();

  FitToContents();
}

TPLC::~TPLC() {
  if (SimWindow != nullptr) SimWindow->Show();
  // The faceplate may outlive this window (they share an owner): it must not call back.
  if (Faceplate != nullptr) Faceplate->OnStateChange = nullptr;
}

void TPLC::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  if (operation != opRemove) return;
  // The rack may go before this window when they share an owner.
  if (component == Faceplate) Faceplate = nullptr;
  if (component == FirstModule) FirstModule = nullptr;
  if (component == SecondModule) SecondModule = nullptr;
  if (component == AboutBox) AboutBox = nullptr;
}

void TPLC::GetProperties(TPropList& out) const {
  TForm::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_INT(TPLC, "ModuleDir", s->ModuleDir(), s->SetModuleDir(static_cast<int>(v)), 124),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

void TPLC::BuildStrip() {
  ControlBox = Place<TGroupBox>(this, this, 0, 231, 486, 125);

  PowerBox = Place<TGroupBox>(this, ControlBox, 4, 2, 104, 40);
  PowerBox->SetCaption("POWER");
  PowerONBtn = ToggleButton(this, PowerBox, "ON", 1, 6, 15, 44);
  PowerOFFBtn = ToggleButton(this, PowerBox, "OFF", 1, 54, 15, 44);
  PowerONBtn->SetDown(true);
  PowerONBtn->OnClick = TNotifyEvent(this, &TPLC::PowerOnClick);
  PowerOFFBtn->OnClick = TNotifyEvent(this, &TPLC::PowerOffClick);
  PowerBox->SetEnabled(false);

  SimControlBox = Place<TGroupBox>(this, ControlBox, 4, 44, 104, 40);
  SimControlBox->SetCaption("Sim. Control");
  AutoBtn = ToggleButton(this, SimControlBox, "AUTO", 2, 6, 15, 40);
  ManBtn = ToggleButton(this, SimControlBox, "MANUAL", 2, 48, 15, 50);
  ManBtn->SetDown(true);
  AutoBtn->OnClick = TNotifyEvent(this, &TPLC::AutoClick);
  ManBtn->OnClick = TNotifyEvent(this, &TPLC::ManualClick);

  RestartBox = Place<TGroupBox>(this, ControlBox, 112, 2, 82, 60);
  RestartBox->SetCaption("Restart");
  RadioButton2 = Place<TRadioButton>(this, RestartBox, 8, 14, 68, 15);
  RadioButton2->SetCaption("Cold");
  RadioButton1 = Place<TRadioButton>(this, RestartBox, 8, 29, 68, 15);
  RadioButton1->SetCaption("Warm");
  RadioButton3 = Place<TRadioButton>(this, RestartBox, 8, 44, 68, 15);
  RadioButton3->SetCaption("Hot");
  // The embedded CPU always restarts warm (its start-up block runs, retentive data stays).
  RadioButton1->SetChecked(true);
  RadioButton2->SetEnabled(false);
  RadioButton1->SetEnabled(false);
  RadioButton3->SetEnabled(false);

  BitBtn1 = Place<TButton>(this, ControlBox, 112, 64, 82, 22);
  BitBtn1->SetCaption("About");
  BitBtn1->OnClick = TNotifyEvent(this, &TPLC::AboutClick);

  TestLabel = Place<TStaticText>(this, ControlBox, 200, 8, 32, 14);
  TestLabel->SetAutoSize(false);
  TestLabel->SetCaption("TEST:");
  TestLabel->SetTransparent(true);
  TestCbx = Place<TComboBox>(this, ControlBox, 234, 4, 170, 22);
  TestCbx->SetStyle(csDropDownList);
  TestCbx->SetAutoComplete(false);
  TestCbx->OnChange = TNotifyEvent(this, &TPLC::TestChange);
  TestExeBtn = Place<TSpeedButton>(this, ControlBox, 408, 3, 73, 24);
  TestExeBtn->SetCaption("Execute");
  TestExeBtn->SetFlat(true);
  TestExeBtn->OnClick = TNotifyEvent(this, &TPLC::ExecuteClick);
  DescriptionEdt = Place<TRichEdit>(this, ControlBox, 200, 32, 281, 85);
  DescriptionEdt->SetReadOnly(true);
  DescriptionEdt->SetText("Description");

  HideCheckBox = Place<TCheckBox>(this, ControlBox, 6, 88, 102, 17);
  HideCheckBox->SetCaption("Hide PLCSim");
  HideCheckBox->OnClick = TNotifyEvent(this, &TPLC::HideClick);
  OnTopCheckBox = Place<TCheckBox>(this, ControlBox, 114, 88, 80, 17);
  OnTopCheckBox->SetCaption("On top");
  OnTopCheckBox->SetChecked(true);
  OnTopCheckBox->OnClick = TNotifyEvent(this, &TPLC::OnTopClick);
  HideOnRunCheckBox = Place<TCheckBox>(this, ControlBox, 6, 106, 150, 17);
  HideOnRunCheckBox->SetCaption("Hilde on running");
  HideOnRunCheckBox->OnClick = TNotifyEvent(this, &TPLC::HideOnRunClick);
}

void TPLC::FitToContents() {
  if (!AutoSize() || FCollapsed) return;
  int w = 0;
  int h = 0;
  ContentSize(w, h);
  SetWidth(w);
  SetHeight(h);
}

void TPLC::SetModuleDir(int a) {
  FModuleDir = a;
  if (FirstModule != nullptr) FirstModule->SetAddress(a);
  if (SecondModule != nullptr) SecondModule->SetAddress(a + 2);
}

TIOModule* TPLC::ModuleFor(int byteAddress, int& offset) const {
  // First match wins, in rack order; the module applies its own index range afterwards.
  for (TIOModule* m : {FirstModule, SecondModule}) {
    if (m == nullptr) continue;
    if (byteAddress == m->Address) {
      offset = 0;
      return m;
    }
    if (byteAddress == m->Address + 1) {
      offset = 8;
      return m;
    }
  }
  return nullptr;
}

TInputPin* TPLC::GetInputPin(int byteAddress, int bit) const {
  int offset = 0;
  TIOModule* m = ModuleFor(byteAddress, offset);
  return m != nullptr ? m->InputPin(bit + offset) : nullptr;
}

void TPLC::ConnectOutput(int byteAddress, int bit, TInputPin* receiver) {
  int offset = 0;
  if (TIOModule* m = ModuleFor(byteAddress, offset)) m->ConnectOutputPin(bit + offset, receiver);
}

TIOModule* TPLC::NamingTarget(int byteAddress) const {
  TIOModule* target = FirstModule != nullptr && FirstModule->Address == byteAddress
                          ? FirstModule
                          : SecondModule;
  return target != nullptr && target->Address == byteAddress ? target : nullptr;
}

void TPLC::SetInputNames(int byteAddress, const TSymbolNames& names) {
  if (TIOModule* m = NamingTarget(byteAddress)) m->SetInputNames(names);
}

void TPLC::SetOutputNames(int byteAddress, const TSymbolNames& names) {
  if (TIOModule* m = NamingTarget(byteAddress)) m->SetOutputNames(names);
}

void TPLC::AddTest(const std::string& name, const std::string& description) {
  TestCbx->AddItem(name);
  Descriptions.push_back(description);
  if (TestCbx->Count() == 1) TestCbx->SetItemIndex(0);
}

void TPLC::ExchangeImage() {
  if (Faceplate != nullptr) Faceplate->Exchange();
}

void TPLC::TestChange(TObject* sender) {
  (void)sender;
  const int i = TestCbx->ItemIndex();
  if (i >= 0 && i < static_cast<int>(Descriptions.size()))
    DescriptionEdt->SetText(Descriptions[static_cast<std::size_t>(i)]);
}

void TPLC::ExecuteClick(TObject* sender) {
  (void)sender;
  OnTest(TestCbx->ItemIndex());
}

void TPLC::PowerOnClick(TObject* sender) {
  (void)sender;
  if (Faceplate != nullptr) Faceplate->SetPower(true);
}

void TPLC::PowerOffClick(TObject* sender) {
  (void)sender;
  if (Faceplate != nullptr) Faceplate->SetPower(false);
}

void TPLC::AutoClick(TObject* sender) {
  (void)sender;
  TestCbx->SetEnabled(true);
  TestExeBtn->SetEnabled(true);
  DescriptionEdt->SetEnabled(true);
  OnAutoMode(this);
}

void TPLC::ManualClick(TObject* sender) {
  (void)sender;
  TestCbx->SetEnabled(false);
  TestExeBtn->SetEnabled(false);
  DescriptionEdt->SetEnabled(false);
  OnManualMode(this);
}

void TPLC::AboutClick(TObject* sender) {
  (void)sender;
  if (AboutBox != nullptr) AboutBox->Show();
}

void TPLC::HideClick(TObject* sender) {
  (void)sender;
  if (SimWindow == nullptr) return;
  if (HideCheckBox->Checked())
    SimWindow->Hide();
  else
    SimWindow->Show();
}

void TPLC::OnTopClick(TObject* sender) {
  (void)sender;
  SetFormStyle(OnTopCheckBox->Checked() ? fsStayOnTop : fsNormal);
}

void TPLC::HideOnRunClick(TObject* sender) {
  (void)sender;
  ApplyHideOnRunning();
}

void TPLC::StateChanged(int mode) {
  (void)mode;  // the selector position tells all the rule needs
  ApplyHideOnRunning();
}

void TPLC::ApplyHideOnRunning() {
  const bool atStop = Faceplate == nullptr || Faceplate->StopBtn->Checked();
  if (HideOnRunCheckBox->Checked() && !atStop) {
    HideCheckBox->SetEnabled(false);
    if (SimWindow != nullptr) SimWindow->Hide();
    if (!FCollapsed) {
      FExpandedHeight = Height();
      FCollapsed = true;
    }
    SetHeight(kCollapsedHeight);
  } else {
    if (SimWindow != nullptr) SimWindow->Show();
    HideCheckBox->SetEnabled(true);
    // Give the user the window back when the CPU stops (or the rule is switched off).
    if (FCollapsed) {
      FCollapsed = false;
      SetHeight(FExpandedHeight);
    }
  }
}

void TPLC::DoClose() {
  if (SimWindow != nullptr) SimWindow->Show();
  TForm::DoClose();
}
