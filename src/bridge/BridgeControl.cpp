#include "bridge/BridgeControl.h"

#include <cmath>
#include <cstdio>

#include <utility>

const std::array<const char*, 16> TForm2::InputNames = {
    "COMIENZO",   "SUBIR",  "BAJAR",  "PARADA_E", "FC_A",  "FC_B",  "FC_C",  "FC_D",
    "FE-TERMICO", "REARME", nullptr,  nullptr,    nullptr, nullptr, nullptr, nullptr};

const std::array<const char*, 16> TForm2::OutputNames = {
    "KM1",     "KM2",     "KM3",     "KM4",     "L_VALIDAR", "L_ERROR", nullptr,   nullptr,
    "L_FASE0", "L_FASE1", "L_FASE2", "L_FASE3", "L_FASE4",   nullptr,   "S_AMBAR", "S_ROJO"};

namespace {

TPropAssignment Prop(const char* name, TPropValue value) { return {name, std::move(value)}; }
TPropAssignment Flag(const char* name, bool value) { return {name, TPropValue(value)}; }
TPropAssignment Colour(const char* name, TColor c) {
  return {name, TPropValue(static_cast<long long>(c))};
}
TPropAssignment Word(const char* name, const char* text) {
  return {name, TPropValue(std::string(text))};
}

// The picture devices draw their art scaled into their box, over whatever lies behind them.
const std::vector<TPropAssignment> kPictureDevice = {Flag("Stretch", true),
                                                    Flag("Transparent", true)};

std::vector<TPropAssignment> With(std::vector<TPropAssignment> a,
                                  const std::vector<TPropAssignment>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

template <class T>
T* TForm2::Place(const char* name, TControl* parent, int left, int top, int width, int height,
                 std::vector<TPropAssignment> props) {
  auto* c = new T(this);
  c->Name = name;
  c->SetParent(parent);
  props.push_back(Prop("Left", static_cast<long long>(left)));
  props.push_back(Prop("Top", static_cast<long long>(top)));
  props.push_back(Prop("Width", static_cast<long long>(width)));
  props.push_back(Prop("Height", static_cast<long long>(height)));
  // Applied in the class's published order, whatever the order above: a switch's stored State
  // comes before its SwitchType, which then shows the open picture.
  for (std::string& p : ApplyProperties(c, props)) LayoutProblems.push_back(std::string(name) + "." + p);
  return c;
}

TStaticText* TForm2::Text(TControl* parent, const char* caption, int left, int top,
                          std::vector<TPropAssignment> props) {
  ++FTextCount;
  const std::string name = "StaticText" + std::to_string(FTextCount);
  auto* t = new TStaticText(this);
  t->Name = name;
  t->SetParent(parent);
  // Captions size themselves and show the window through; a later entry of props overrides.
  std::vector<TPropAssignment> all = {Flag("Transparent", true), Flag("AutoSize", true),
                                      Word("Caption", caption),
                                      Prop("Left", static_cast<long long>(left)),
                                      Prop("Top", static_cast<long long>(top))};
  all.insert(all.end(), props.begin(), props.end());
  for (std::string& p : ApplyProperties(t, all)) LayoutProblems.push_back(name + "." + p);
  Texts.push_back(t);
  return t;
}

void TForm2::BuildLayout(TTimerClock* clock) {
  Name = "Form2";
  SetCaption("Torvane");
  SetBounds(0, 0, kClientWidth, kClientHeight);
  SetColor(clBtnFace);

  // The backdrop and the strip lie under everything else.
  Image1 = Place<TImage>("Image1", this, 712, 8, 217, 281,
                         {Flag("Stretch", true), Flag("Transparent", true)});
  Image1->SetPicture(TPicture::LoadFrame("BACKDROP"));
  Fondo = Place<TImage>("Fondo", this, 136, 413, 745, 30,
                        {Flag("Stretch", true), Flag("Transparent", true)});
  Fondo->SetPicture(TPicture::LoadFrame("FRAMES_40"));

  // The operator's control panel; the positions inside it are relative to it.
  Panel = Place<TGroupBox>("Panel", this, 8, 8, 177, 385, {Word("Caption", " PANEL DE MANDO ")});
  ComienzoBtn = Place<TPushButton>("ComienzoBtn", Panel, 9, 24, 36, 31,
                                   With({Word("ButtonColor", "pbcBlue")}, kPictureDevice));
  SubirBtn = Place<TPushButton>("SubirBtn", Panel, 9, 128, 40, 40,
                                With({Word("ButtonColor", "pbcBlack")}, kPictureDevice));
  BajarBtn = Place<TPushButton>("BajarBtn", Panel, 9, 188, 40, 40, kPictureDevice);
  RearmeBtn = Place<TPushButton>("RearmeBtn", Panel, 117, 309, 40, 40,
                                 With({Word("ButtonColor", "pbcBlue")}, kPictureDevice));
  PB_PE = Place<TSwitch>("PB_PE", Panel, 3, 281, 93, 89,
                         With({Word("SwitchType", "Emergency"), Flag("State", true)}, kPictureDevice));
  L_FASE0 = Place<TSimpleShape>("L_FASE0", Panel, 73, 31, 14, 14, {Colour("ColorON", clLime)});
  L_FASE1 = Place<TSimpleShape>("L_FASE1", Panel, 73, 52, 14, 14);
  L_FASE2 = Place<TSimpleShape>("L_FASE2", Panel, 73, 73, 14, 14, {Colour("ColorON", clLime)});
  L_FASE3 = Place<TSimpleShape>("L_FASE3", Panel, 73, 94, 14, 14, {Colour("ColorON", clLime)});
  L_FASE4 = Place<TSimpleShape>("L_FASE4", Panel, 73, 115, 14, 14, {Colour("ColorON", clLime)});
  L_VALIDAR = Place<TSimpleShape>("L_VALIDAR", Panel, 55, 168, 23, 17);
  L_ERROR = Place<TSimpleShape>("L_ERROR", Panel, 73, 198, 23, 20, {Colour("ColorON", clRed)});

  Text(Panel, "FASE", 70, 14, {Flag("Font.Bold", true)});
  Text(Panel, "0-Nivelado", 92, 31);
  Text(Panel, "1-Semáforos", 92, 52);
  Text(Panel, "2-Elevación", 92, 73);
  Text(Panel, "3-Fin elevación", 92, 94);
  Text(Panel, "4-Descenso", 92, 115);
  Text(Panel, "Validar", 82, 170);
  Text(Panel, "ERROR", 100, 201, {Flag("Font.Bold", true)});
  Text(Panel, "COMIENZO", 4, 57);
  // "SUBIR" is centred under its button.
  Text(Panel, "SUBIR", 9, 170, {Flag("AutoSize", false), Word("Alignment", "taCenter")})
      ->SetBounds(5, 170, 48, 14);
  Text(Panel, "BAJAR", 12, 230);
  Text(Panel, "REARME", 114, 351);

  // Traffic lights on both banks: a grey housing with the red lamp over the amber one.
  const std::vector<TPropAssignment> housing = {Colour("Brush.Color", clGray),
                                                Colour("Pen.Color", clBlack)};
  Shape1 = Place<TShape>("Shape1", this, 211, 350, 25, 57, housing);
  Shape2 = Place<TShape>("Shape2", this, 748, 350, 25, 57, housing);
  S1R = Place<TSimpleShape>("S1R", this, 212, 361, 23, 17, {Colour("ColorON", clRed)});
  S1A = Place<TSimpleShape>("S1A", this, 212, 384, 23, 17);
  S2R = Place<TSimpleShape>("S2R", this, 749, 361, 23, 17, {Colour("ColorON", clRed)});
  S2A = Place<TSimpleShape>("S2A", this, 749, 384, 23, 17);
  const std::vector<TPropAssignment> big = {Word("Font.Name", "MS Sans Serif"),
                                            Prop("Font.Size", 12LL)};
  Text(this, "S1", 214, 329, big);
  Text(this, "S2", 751, 329, big);

  // Limit switches under the river, moved by the cam of the deck.
  const auto limit = With({Word("SwitchType", "LimitSwitch")}, kPictureDevice);
  FC_A = Place<TSwitch>("FC_A", this, 312, 481, 17, 52, limit);
  FC_B = Place<TSwitch>("FC_B", this, 360, 481, 17, 52, limit);
  FC_C = Place<TSwitch>("FC_C", this, 480, 481, 17, 52, limit);
  FC_D = Place<TSwitch>("FC_D", this, 520, 481, 17, 52, limit);
  Text(this, "FC_A", 306, 535);
  Text(this, "FC_B ", 354, 535);
  Text(this, "FC_C", 474, 535);
  Text(this, "FC_D", 514, 535);

  // The power circuit over its wiring backdrop.
  MagnetoTermico = Place<TSwitch>("MagnetoTermico", this, 763, 27, 38, 47,
                                  With({Word("SwitchType", "Termico3D")}, kPictureDevice));
  Termico = Place<TSwitch>("Termico", this, 734, 194, 49, 51,
                           With({Flag("State", true)}, kPictureDevice));
  KM1 = Place<TRelay>("KM1", this, 710, 89, 43, 54, kPictureDevice);
  KM2 = Place<TRelay>("KM2", this, 787, 89, 43, 54, kPictureDevice);
  KM3 = Place<TRelay>("KM3", this, 813, 194, 42, 56, kPictureDevice);
  KM4 = Place<TRelay>("KM4", this, 885, 196, 41, 54, kPictureDevice);
  Motor = Place<TMotor>("Motor", this, 779, 295, 93, 62,
                        With({Flag("AutoSize", true)}, kPictureDevice));
  // Not one of the window's designed captions: kept out of Texts and hidden until a fault.
  SlowMark = new TStaticText(this);
  SlowMark->Name = "SlowMark";
  SlowMark->SetParent(this);
  for (std::string& p : ApplyProperties(SlowMark, {Flag("Transparent", true), Flag("AutoSize", true),
                                                   Colour("Font.Color", clRed), Flag("Font.Bold", true),
                                                   Prop("Left", 779LL), Prop("Top", 359LL)}))
    LayoutProblems.push_back("SlowMark." + p);
  SlowMark->SetVisible(false);
  Text(this, "KM1", 688, 109);
  Text(this, "KM2", 762, 109);
  Text(this, "FE", 716, 212);
  Text(this, "KM3", 789, 215);
  Text(this, "KM4", 860, 215);

  ElevationMeter = Place<TMeter>("ElevationMeter", this, 211, 457, 43, 20,
                                 {Word("Alignment", "taRightJustify"), Word("BevelKind", "bkSoft"),
                                  Flag("AutoSize", false), Word("Caption", "   000"),
                                  Word("Font.Name", "Tahoma"), Prop("Font.Size", 10LL)});
  Text(this, "Elevación", 157, 460);

  V2AtascoBtn = Place<TSpeedButton>("V2AtascoBtn", this, 789, 466, 65, 20,
                                    {Word("Caption", "Sim. Atasco"), Prop("GroupIndex", 2LL)});
  V2ReparacionBtn =
      Place<TSpeedButton>("V2ReparacionBtn", this, 789, 483, 65, 20,
                          {Word("Caption", "Reparación"), Prop("GroupIndex", 2LL), Flag("Down", true)});

  const char* legend[] = {"KM1 - Contactor de elevación",
                          "KM2 - Contactor de descenso",
                          "KM3 - Contactor velocidad rápida",
                          "KM4 - Contactor velocidad lenta",
                          "FE - Relé térmico",
                          "FC_A - Final de carrera del descenso",
                          "FC_D - Final de carrera del ascenso"};
  int y = 490;
  for (const char* line : legend) {
    Text(this, line, 10, y);
    y += 14;
  }

  Timer1 = new TTimer(this, clock);
  Timer1->Name = "Timer1";
  Timer1->SetInterval(kTickMs);
}

TForm2::TForm2(TComponent* owner, TSimulatorBackEnd* backEnd, TTimerClock* clock)
    : TForm(owner) {
  // 1. The layout.
  BuildLayout(clock);
  Timer1->OnTimer = TNotifyEvent(this, &TForm2::Timer1Timer);
  V2AtascoBtn->OnClick = TNotifyEvent(this, &TForm2::V2AtascoBtnClick);
  V2ReparacionBtn->OnClick = TNotifyEvent(this, &TForm2::V2ReparacionBtnClick);

  // 2. The bridge belongs to the application; it is shown on this form.
  Bridge = new TBridge(owner != nullptr ? owner : this);
  Bridge->Name = "Bridge";
  Bridge->SetParent(this);
  Bridge->FreeNotification(this);
  // The deck takes no clicks: they belong to the devices seen through its empty corners.
  Bridge->SetEnabled(false);
  // The elevation read-out stands in front of the deck's pier.
  ElevationMeter->SetParent(nullptr);
  ElevationMeter->SetParent(this);

  // 3. Two frame changes so that the limit switches and the elevation start defined.
  Bridge->SetSimTimer(Timer1);
  Bridge->SetTripTime(kSlowTripTime);
  Bridge->SetLeft(243);
  Bridge->SetTop(64);
  Bridge->SetFrame(6);
  Bridge->SetFrame(0);
  Bridge->SetSimTimer(Timer1);

  // 4. The window's own receiving pins.
  FFCAIn.OnChange = TPinChangeEvent(this, &TForm2::FC_AChange);
  FFCBIn.OnChange = TPinChangeEvent(this, &TForm2::FC_BChange);
  FFCCIn.OnChange = TPinChangeEvent(this, &TForm2::FC_CChange);
  FFCDIn.OnChange = TPinChangeEvent(this, &TForm2::FC_DChange);

  // 5. The PLC window (it raises when there is no simulator to couple to).
  try {
    PLC = new TPLC(this, backEnd, clock);
  } catch (...) {
    // The deck may belong to someone else, and its outputs point at this form's pins.
    delete Bridge;
    throw;
  }
  PLC->Name = "PLC";

  // 6-8. Symbols, fault tests, then the window is shown.
  PLC->SetInputNames(kFirstByte, InputNames);
  PLC->SetOutputNames(kFirstByte, OutputNames);
  PLC->AddTest(kThermalTest, "Se va a probar que salte");
  PLC->AddTest(kMainsTest, "Se simula un fallo de alimentación");
  PLC->OnTest = TTestEvent(this, &TForm2::PLCTest);
  PLC->Show();

  // 9.
  Bridge->ConnectElevationOutTo(ElevationMeter->ByteIn);

  // 10. Emergency stop released, mains present, breaker closed.
  PB_PE->SetState(true);
  MagnetoTermico->ACInPin->SetState(true);
  MagnetoTermico->SetState(true);

  // 11. The breaker feeds both direction contactors.
  MagnetoTermico->ConnectACPinOutTo(KM1->ACInPin);
  MagnetoTermico->ConnectACPinOutTo(KM2->ACInPin);

  // 12-14. Inputs of the PLC; each connection pushes the level it has now.
  ComienzoBtn->SetConnectedPin(PLC->GetInputPin(kFirstByte, 0));
  SubirBtn->SetConnectedPin(PLC->GetInputPin(kFirstByte, 1));
  BajarBtn->SetConnectedPin(PLC->GetInputPin(kFirstByte, 2));
  PB_PE->ConnectAuxPinOutTo(PLC->GetInputPin(kFirstByte, 3));
  Bridge->ConnectFCAOutTo(PLC->GetInputPin(kFirstByte, 4));
  Bridge->ConnectFCAOutTo(FC_AIn);
  Bridge->ConnectFCBOutTo(PLC->GetInputPin(kFirstByte, 5));
  Bridge->ConnectFCBOutTo(FC_BIn);
  Bridge->ConnectFCCOutTo(PLC->GetInputPin(kFirstByte, 6));
  Bridge->ConnectFCCOutTo(FC_CIn);
  Bridge->ConnectFCDOutTo(PLC->GetInputPin(kFirstByte, 7));
  Bridge->ConnectFCDOutTo(FC_DIn);
  Termico->ConnectAuxPinOutTo(PLC->GetInputPin(kFirstByte + 1, 0));
  RearmeBtn->SetConnectedPin(PLC->GetInputPin(kFirstByte + 1, 1));
  // A click shorter than a tick must still be seen by the program.
  for (TPushButton* b : {ComienzoBtn, SubirBtn, BajarBtn, RearmeBtn}) b->HoldUntilExchanged = true;

  // 15-17. Contactors.
  PLC->ConnectOutput(kFirstByte, 0, KM1->RelayPin);
  KM1->ConnectACOutTo(KM1PowerIn);
  KM1->OnChange = TRelay::TChangeEvent(this, &TForm2::KM1Change);
  FKM1PowerIn.OnChange = TPinChangeEvent(this, &TForm2::KM1PowerChange);
  PLC->ConnectOutput(kFirstByte, 1, KM2->RelayPin);
  KM2->ConnectACOutTo(KM2PowerIn);
  KM2->OnChange = TRelay::TChangeEvent(this, &TForm2::KM2Change);
  FKM2PowerIn.OnChange = TPinChangeEvent(this, &TForm2::KM2PowerChange);
  PLC->ConnectOutput(kFirstByte, 2, KM3->RelayPin);
  KM3->OnChange = TRelay::TChangeEvent(this, &TForm2::KM3Change);
  PLC->ConnectOutput(kFirstByte, 3, KM4->RelayPin);
  KM4->OnChange = TRelay::TChangeEvent(this, &TForm2::KM4Change);

  // 18. Lamps; one output lights the same lamp of both traffic lights.
  PLC->ConnectOutput(kFirstByte, 4, L_VALIDAR->InPin);
  PLC->ConnectOutput(kFirstByte, 5, L_ERROR->InPin);
  PLC->ConnectOutput(kFirstByte + 1, 0, L_FASE0->InPin);
  PLC->ConnectOutput(kFirstByte + 1, 1, L_FASE1->InPin);
  PLC->ConnectOutput(kFirstByte + 1, 2, L_FASE2->InPin);
  PLC->ConnectOutput(kFirstByte + 1, 3, L_FASE3->InPin);
  PLC->ConnectOutput(kFirstByte + 1, 4, L_FASE4->InPin);
  PLC->ConnectOutput(kFirstByte + 1, 6, S1A->InPin);
  PLC->ConnectOutput(kFirstByte + 1, 6, S2A->InPin);
  PLC->ConnectOutput(kFirstByte + 1, 7, S1R->InPin);
  PLC->ConnectOutput(kFirstByte + 1, 7, S2R->InPin);

  // Closing the thermal relay again repairs a motor it tripped.
  Termico->OnChange = TSwitch::TChangeEvent(this, &TForm2::TermicoChange);
  MagnetoTermico->OnChange = TSwitch::TChangeEvent(this, &TForm2::MagnetoTermicoChange);
}

TForm2::~TForm2() {
  Timer1->SetEnabled(false);
  // The deck's limit-switch outputs point at this form's pins: it must not outlive them.
  if (Bridge != nullptr) {
    TBridge* b = Bridge;
    Bridge = nullptr;
    b->RemoveFreeNotification(this);
    delete b;
  }
}

void TForm2::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  if (operation == opRemove && component == Bridge) Bridge = nullptr;
}

// The plant's clock: the PLC sees the inputs and answers, the deck moves, then the power
// circuit decides whether the deck and the motor may go on.
void TForm2::Timer1Timer(TObject* sender) {
  (void)sender;
  ++FTicks;
  // 1. Outputs applied here drive coils and lamps, whose handlers run inside the call.
  PLC->ExchangeImage();
  // The program has now read the panel and run on it: quick clicks may let go.
  for (TPushButton* b : {ComienzoBtn, SubirBtn, BajarBtn, RearmeBtn}) b->Exchanged();
  if (Bridge == nullptr) return;
  // 2.
  Bridge->SimulationStep();
  // 3. Raising and lowering together is a short circuit: the breaker trips and stays open
  //    until the user closes it.
  if (KM1->ContactClosed() && KM2->ContactClosed()) MagnetoTermico->SetState(false);
  // 4. The deck moves only with a direction and a speed contactor energised and power through
  //    the breaker. With the mains present that power is the breaker's position; a mains
  //    failure takes it away as well. A tripped motor does not turn, so the deck waits.
  if ((KM1->ContactClosed() || KM2->ContactClosed()) &&
      (KM3->ContactClosed() || KM4->ContactClosed())) {
    const bool s = MagnetoTermico->ACOutPin->State;
    Motor->ACPin->SetState(s);
    if (s) {
      if (Motor->Status == TMotor::Running)
        Bridge->Continue();
      else
        Bridge->Pause();
    }
  } else {
    Motor->ACPin->SetState(false);
    Bridge->Pause();
  }
  ShowMotorFault();
  ShowSupply();
  OnTick(this);
}

void TForm2::KM1PowerChange(bool state, void* sender) {
  (void)sender;
  if (Bridge == nullptr) return;
  if (state) {
    Bridge->Reverse = false;  // raising: the frames count up
    Bridge->Continue();
    Motor->ACPin->SetState(true);
  } else {
    Bridge->Pause();
    Motor->ACPin->SetState(false);
  }
}

void TForm2::KM2PowerChange(bool state, void* sender) {
  (void)sender;
  if (Bridge == nullptr) return;
  if (state) {
    Bridge->Reverse = true;  // lowering
    Bridge->Continue();
    Motor->ACPin->SetState(true);
  } else {
    Bridge->Pause();
    // KM1 may be feeding the motor now.
    if (!FKM1PowerIn.State) Motor->ACPin->SetState(false);
  }
}

void TForm2::KM1Change(bool level) { (void)level; }
void TForm2::KM2Change(bool level) { (void)level; }

// The speed contactor energised last chooses the time of a whole run.
void TForm2::KM3Change(bool level) {
  if (!level) return;
  FTripTime = kFastTripTime;
  SetMotorSlowness(FSlowness);
}

void TForm2::KM4Change(bool level) {
  if (!level) return;
  FTripTime = kSlowTripTime;
  SetMotorSlowness(FSlowness);
}

void TForm2::SetMotorSlowness(double factor) {
  FSlowness = factor < 1.0 ? 1.0 : factor;
  if (SlowMark != nullptr) {
    char caption[48];
    std::snprintf(caption, sizeof caption, "Slow motor \u00d7%.2g", FSlowness);
    SlowMark->SetCaption(caption);
    SlowMark->SetVisible(FSlowness > 1.0);
  }
  if (Bridge != nullptr)
    Bridge->SetTripTime(static_cast<int>(std::lround(FTripTime * FSlowness)));
}

// The switch pictures on the window follow the deck.
void TForm2::FC_AChange(bool state, void* sender) {
  (void)sender;
  FC_A->SetState(state);
}
void TForm2::FC_BChange(bool state, void* sender) {
  (void)sender;
  FC_B->SetState(state);
}
void TForm2::FC_CChange(bool state, void* sender) {
  (void)sender;
  FC_C->SetState(state);
}
void TForm2::FC_DChange(bool state, void* sender) {
  (void)sender;
  FC_D->SetState(state);
}

void TForm2::TermicoChange(bool level) {
  if (level) Motor->REPAIR();
  ShowMotorFault();
}

// The motor model forgets a trip as soon as its supply goes (a program that sees the thermal
// relay drops the contactors), but the relay stays open until someone closes it: the picture
// shows the trip for as long as that lasts, so the fault is seen until it is cleared.
void TForm2::ShowMotorFault() {
  const int shown =
      !Termico->State && Motor->Status != TMotor::Overheated ? TMotor::Tripped : Motor->Status;
  if (shown < 0 || static_cast<std::size_t>(shown) >= Motor->Pictures.size()) return;
  if (Motor->Picture().Name() != Motor->Pictures[static_cast<std::size_t>(shown)].Name())
    Motor->SetImage(shown);
}

void TForm2::MagnetoTermicoChange(bool level) {
  (void)level;
  ShowSupply();
}

// A breaker still shows ON when the mains fail behind it, and relays only mark their supply in a
// corner: the whole circuit must look dead, or a student hunts the fault in the program.
void TForm2::ShowSupply() {
  const char* name = !MainsOn()                ? "BACKDROP_DEAD"
                     : !MagnetoTermico->State ? "BACKDROP_OPEN"
                                              : "BACKDROP";
  if (Image1->Picture().Name() != name) Image1->SetPicture(TPicture::LoadFrame(name));
}

void TForm2::PLCTest(int index) {
  switch (index) {
    case 0: ThermalFault(); break;
    case 1: SetMains(!MainsOn()); break;
    default: break;  // nothing chosen
  }
}

void TForm2::ThermalFault() {
  Termico->SetState(false);
  Motor->ErrTRIP();
}

void TForm2::SetMains(bool on) {
  MagnetoTermico->ACInPin->SetState(on);
  ShowSupply();
}

void TForm2::ResetPlant() {
  SetMains(true);
  SetMotorSlowness(1.0);
  for (TRelay* k : {KM1, KM2, KM3, KM4}) k->SetWelded(false);
  for (TIOModule* m : {PLC->FirstModule, PLC->SecondModule}) {
    if (m == nullptr) continue;
    for (int i = 0; i < 16; ++i) {
      m->SetInputFault(i, -1);
      m->SetInputBounce(i, 0);
    }
  }
  // Through the buttons, so they show the repair as a click does.
  if (V2AtascoBtn->Down()) V2ReparacionBtn->Click();
  if (Bridge != nullptr) {
    Bridge->Repair();
    Bridge->SetFrame(0);
  }
  MagnetoTermico->SetState(true);
  Termico->SetState(true);
  Motor->REPAIR();
  Motor->ACPin->SetState(false);
}

void TForm2::V2AtascoBtnClick(TObject* sender) {
  (void)sender;
  if (Bridge != nullptr) Bridge->Jam();
}

void TForm2::V2ReparacionBtnClick(TObject* sender) {
  (void)sender;
  if (Bridge != nullptr) Bridge->Repair();
}
