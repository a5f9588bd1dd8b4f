#include "plc/ESModule.h"

#include <algorithm>

#include "framework/Registry.h"

namespace {

constexpr TColor kModuleColor = RGBColor(100, 100, 100);
constexpr TColor kLedOff = RGBColor(124, 124, 124);
constexpr TColor kLedOn = clYellow;
constexpr TColor kFaultRing = clRed;
constexpr TColor kLabelColor = RGBColor(128, 255, 255);
constexpr int kFontSize = 7;

// Column offsets from the module's left edge.
constexpr int kInLedX = 5;
constexpr int kInNumberX = 15;
constexpr int kInLabelX = 24;
constexpr int kOutLabelX = 84;
constexpr int kOutNumberX = 145;
constexpr int kOutLedX = 154;
constexpr int kLedWidth = 9;
constexpr int kRowHeight = 12;
constexpr int kLabelWidth = 60;

template <class T>
int IndexOf(const std::vector<T*>& list, const TControl* item) {
  if (item == nullptr) return -1;
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i] == item) return static_cast<int>(i);
  return -1;
}

}  // namespace

std::string ProcessImageAddress(bool output, int byteAddress, int bit) {
  return std::string(output ? "A" : "E") + std::to_string(byteAddress) + "." +
         std::to_string(bit);
}

TIOModule::TIOModule(TComponent* owner) : TShape(owner) {
  TComponent* partOwner = owner != nullptr ? owner : this;

  SetBounds(0, 0, kMinWidth, kMinHeight);
  Brush.SetColor(kModuleColor);
  Pen.SetColor(kModuleColor);

  ForcingMenu = new TPopupMenu(partOwner);
  SetItem = ForcingMenu->Add("Set");
  ResetItem = ForcingMenu->Add("Reset");
  SetItem->OnClick = TNotifyEvent(this, &TIOModule::ForceSet);
  ResetItem->OnClick = TNotifyEvent(this, &TIOModule::ForceReset);
  ForcingMenu->FreeNotification(this);
  SetForcingEnabled(false);

  ByteCount = 2;
  InputByteCount = 2;
  OutputByteCount = 2;

  for (int i = 0; i < 16; ++i) {
    const auto k = static_cast<std::size_t>(i);
    FInputPins[k] = std::make_unique<TInputPin>();
    InputPins[k] = FInputPins[k].get();
    InputPins[k]->OnChange = TPinChangeEvent(this, &TIOModule::InputLedChange);
  }
  for (int i = 0; i < 16; ++i) {
    const auto k = static_cast<std::size_t>(i);
    FOutputPins[k] = std::make_unique<TOutputPin>();
    OutputPins[k] = FOutputPins[k].get();
    OutputPins[k]->OnChange = TPinChangeEvent(this, &TIOModule::OutputLedChange);
  }

  RackLeft = 0;
  RackTop = 0;

  Parts.reserve(96);
  for (int i = 0; i < 16; ++i) {
    const int top = RackTop + RowOffset(i);
    const int byteAddress = i < 8 ? Address : Address + 1;
    const int bit = i % 8;
    TShape* inLed = MakeLed(partOwner, RackLeft + kInLedX, top);
    InputLeds.push_back(inLed);
    TStaticText* inLabel = MakeLabel(partOwner, RackLeft + kInLabelX, top, taLeftJustify,
                                     ProcessImageAddress(false, byteAddress, bit));
    InputLabels.push_back(inLabel);
    MakeBitNumber(partOwner, RackLeft + kInNumberX, top, bit);
    TShape* outLed = MakeLed(partOwner, RackLeft + kOutLedX, top);
    OutputLeds.push_back(outLed);
    TStaticText* outLabel = MakeLabel(partOwner, RackLeft + kOutLabelX, top, taRightJustify,
                                      ProcessImageAddress(true, byteAddress, bit));
    outLabel->SetPopupMenu(ForcingMenu);
    OutputLabels.push_back(outLabel);
    MakeBitNumber(partOwner, RackLeft + kOutNumberX, top, bit);
  }
}

// The pins go with the module. Devices keep pointers to them but never use them once the
// windows are being torn down, and nothing else frees them. A menu that outlives the module
// (it belongs to the window) must not call back into it.
TIOModule::~TIOModule() {
  if (SetItem != nullptr) SetItem->OnClick = nullptr;
  if (ResetItem != nullptr) ResetItem->OnClick = nullptr;
}

TShape* TIOModule::MakeLed(TComponent* owner, int left, int top) {
  auto* led = new TShape(owner);
  led->SetBounds(left, top, kLedWidth, kRowHeight);
  led->Pen.SetColor(kModuleColor);
  led->Brush.SetColor(kLedOff);
  led->SetVisible(true);
  led->FreeNotification(this);
  Parts.push_back(led);
  return led;
}

TStaticText* TIOModule::MakeLabel(TComponent* owner, int left, int top, TAlignment alignment,
                                  const std::string& text) {
  auto* label = new TStaticText(owner);
  label->SetAutoSize(false);
  label->SetBounds(left, top, kLabelWidth, kRowHeight);
  label->SetColor(kLabelColor);
  label->SetTransparent(false);
  label->Font.SetSize(kFontSize);
  label->SetAlignment(alignment);
  label->SetBevelKind(bkFlat);
  label->SetCaption(text);
  label->SetVisible(true);
  label->FreeNotification(this);
  Parts.push_back(label);
  return label;
}

TStaticText* TIOModule::MakeBitNumber(TComponent* owner, int left, int top, int bit) {
  auto* number = new TStaticText(owner);
  number->SetLeft(left);
  number->SetTop(top);
  number->SetAutoSize(true);
  number->Font.SetSize(kFontSize);
  number->Font.SetColor(clSilver);
  number->SetColor(kModuleColor);
  number->SetTransparent(false);
  number->SetAlignment(taCenter);
  number->SetCaption(std::to_string(bit));
  number->SetVisible(true);
  number->FreeNotification(this);
  Parts.push_back(number);
  return number;
}

void TIOModule::SetBounds(int left, int top, int width, int height) {
  TShape::SetBounds(left, top, std::max(width, kMinWidth), std::max(height, kMinHeight));
}

void TIOModule::Notification(TComponent* component, TOperation operation) {
  TShape::Notification(component, operation);
  if (operation != opRemove) return;
  // A window tears its controls down newest first, so the parts usually go before the module;
  // the module then forgets them rather than paint or force through dead pointers.
  auto forget = [component](auto& list) {
    for (auto& p : list)
      if (p != nullptr && static_cast<TComponent*>(p) == component) p = nullptr;
  };
  forget(InputLeds);
  forget(OutputLeds);
  forget(InputLabels);
  forget(OutputLabels);
  forget(Parts);
  if (component == ForcingMenu) {
    ForcingMenu = nullptr;
    SetItem = nullptr;
    ResetItem = nullptr;
  }
}

void TIOModule::Relabel() {
  for (int i = 0; i < 16; ++i) {
    const int byteAddress = i < 8 ? Address : Address + 1;
    const auto k = static_cast<std::size_t>(i);
    if (TStaticText* in = InputLabels[k]) {
      const std::string text = ProcessImageAddress(false, byteAddress, i % 8);
      in->SetCaption(text);
      in->SetHint(text);
      in->SetShowHint(true);
    }
    if (TStaticText* out = OutputLabels[k]) {
      const std::string text = ProcessImageAddress(true, byteAddress, i % 8);
      out->SetCaption(text);
      out->SetHint(text);
      out->SetShowHint(true);
    }
  }
}

void TIOModule::SetAddress(int address) {
  if (address == Address) return;
  Address = address;
  Relabel();
}

TInputPin* TIOModule::InputPin(int index) const {
  if (index < 0 || index > 15) return nullptr;
  return InputPins[static_cast<std::size_t>(index)];
}

void TIOModule::ConnectOutputPin(int index, TInputPin* receiver) {
  if (receiver == nullptr || index < 0 || index > 15) return;
  OutputPins[static_cast<std::size_t>(index)]->ConnectTo(receiver);
}

void TIOModule::SetName(std::vector<TStaticText*>& labels, int byteAddress, int bit,
                        const char* name) {
  // The half follows the parity of the byte address, not its distance from Address; the two
  // agree for the even addresses the rack uses.
  const int half = (byteAddress & 1) == 0 ? 0 : 8;
  const int index = half + bit;
  if (index < 0 || index >= 16) return;
  if (TStaticText* label = labels[static_cast<std::size_t>(index)])
    label->SetCaption(name != nullptr ? name : "");
}

void TIOModule::SetInputNames(const TSymbolNames& names) {
  for (int i = 0; i < 16; ++i)
    SetName(InputLabels, i < 8 ? Address : Address + 1, i % 8, names[static_cast<std::size_t>(i)]);
}

void TIOModule::SetOutputNames(const TSymbolNames& names) {
  for (int i = 0; i < 16; ++i)
    SetName(OutputLabels, i < 8 ? Address : Address + 1, i % 8, names[static_cast<std::size_t>(i)]);
}

unsigned char TIOModule::InputByte(int j) const {
  if (j < 0 || j > 1) return 0;
  unsigned value = 0;
  for (int k = 0; k < 8; ++k)
    if (InputState(8 * j + k)) value |= 1u << k;
  return static_cast<unsigned char>(value);
}

bool TIOModule::InputState(int index) const {
  if (index < 0 || index > 15) return false;
  const auto k = static_cast<std::size_t>(index);
  if (FInputFaults[k] >= 0) return FInputFaults[k] == 1;
  const bool now = InputPins[k]->State;
  // The first exchange after the edge still sees the old level, the next the new one, ...
  if (FBounceLeft[k] > 0 && (FBounce[k] - FBounceLeft[k]) % 2 == 0) return !now;
  return now;
}

void TIOModule::SetInputBounce(int index, int exchanges) {
  if (index < 0 || index > 15) return;
  const auto k = static_cast<std::size_t>(index);
  FBounce[k] = exchanges < 0 ? 0 : exchanges;
  FBounceLeft[k] = 0;
}

void TIOModule::InputsExchanged() {
  for (int& left : FBounceLeft)
    if (left > 0) --left;
}

int TIOModule::InputFault(int index) const {
  return index < 0 || index > 15 ? -1 : FInputFaults[static_cast<std::size_t>(index)];
}

void TIOModule::SetInputFault(int index, int level) {
  if (index < 0 || index > 15) return;
  const auto k = static_cast<std::size_t>(index);
  FInputFaults[k] = level < 0 ? -1 : (level != 0 ? 1 : 0);
  if (k < InputLeds.size() && InputLeds[k] != nullptr) {
    InputLeds[k]->Brush.SetColor(InputState(index) ? kLedOn : kLedOff);
    InputLeds[k]->Pen.SetColor(FInputFaults[k] < 0 ? kModuleColor : kFaultRing);
  }
}

void TIOModule::SetOutputByte(int j, unsigned char value) {
  if (j < 0 || j > 1) return;
  for (int k = 0; k < 8; ++k)
    OutputPins[static_cast<std::size_t>(8 * j + k)]->SetState(((value >> k) & 1) != 0);
}

void TIOModule::ResetOutputs() {
  for (TOutputPin* pin : OutputPins) pin->SetState(false);
}

void TIOModule::SetForcingEnabled(bool enabled) {
  ForcingEnabled = enabled;
  if (SetItem != nullptr) SetItem->Enabled = enabled;
  if (ResetItem != nullptr) ResetItem->Enabled = enabled;
}

void TIOModule::InputLedChange(bool state, void* sender) {
  for (std::size_t k = 0; k < 16; ++k) {
    if (InputPins[k] != sender) continue;
    FBounceLeft[k] = FBounce[k];
    if (FInputFaults[k] >= 0) state = FInputFaults[k] == 1;  // the PLC side does not see it
    if (TShape* led = InputLeds[k]) led->Brush.SetColor(state ? kLedOn : kLedOff);
    return;
  }
}

void TIOModule::OutputLedChange(bool state, void* sender) {
  for (std::size_t k = 0; k < 16; ++k) {
    if (OutputPins[k] != sender) continue;
    if (TShape* led = OutputLeds[k]) led->Brush.SetColor(state ? kLedOn : kLedOff);
    return;
  }
}

void TIOModule::Force(bool state) {
  if (ForcingMenu == nullptr) return;
  const int i = IndexOf(OutputLabels, ForcingMenu->PopupComponent());
  if (i < 0) return;
  OutputPins[static_cast<std::size_t>(i)]->SetState(state);
}

void TIOModule::ForceSet(TObject*) { Force(true); }
void TIOModule::ForceReset(TObject*) { Force(false); }

void TIOModule::Reposition() {
  const int dx = RackLeft - Left();
  const int dy = RackTop - Top();
  TShape::SetBounds(RackLeft, RackTop, Width(), Height());
  for (TControl* part : Parts)
    if (part != nullptr)
      part->SetBounds(part->Left() + dx, part->Top() + dy, part->Width(), part->Height());
}

void TIOModule::SetRackLeft(int x) {
  RackLeft = x;
  Reposition();
}

void TIOModule::SetRackTop(int y) {
  RackTop = y;
  Reposition();
}

void TIOModule::SetParentWindow(TControl* window) {
  SetParent(window);
  for (TControl* part : Parts)
    if (part != nullptr) part->SetParent(window);
}

namespace ESModule {
void Register() { RegisterComponentClass<TIOModule>("PLC", "TIOModule"); }
}  // namespace ESModule
