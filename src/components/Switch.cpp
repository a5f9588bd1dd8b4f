#include "components/Switch.h"

#include <string>

#include "framework/Registry.h"

namespace {

struct TPicturePair {
  std::string_view Off;
  std::string_view On;
};

// Indexed by TSwitchType; Custom has no pair.
constexpr TPicturePair kTypePictures[] = {
    {"TERMICO_OFF", "TERMICO_ON"},         {"TERMICO3D_OFF", "TERMICO3D_ON"},
    {"LIMIT_SWITCH_OFF", "LIMIT_SWITCH_ON"}, {"EMERGEN1_OFF", "EMERGEN1_ON"},
    {"EMERGEN2_OFF", "EMERGEN2_ON"},       {"INTERRUPTOR_OFF", "INTERRUPTOR_ON"},
};

constexpr std::string_view kTypeNames[] = {"Termico",    "Termico3D",   "LimitSwitch", "Emergency",
                                           "Emergency2", "Interruptor", "Custom"};

// A picture named in a stored layout; an empty name stands for "no picture".
TPicture PictureByName(const std::string& name) {
  return name.empty() ? TPicture() : TPicture::LoadFrame(name);
}

}  // namespace

TSwitch::TSwitch(TComponent* owner) : TImage(owner) {
  // Live supply from the start, set before the handler exists so nothing is sent yet.
  FACInPin.SetState(true);
  FACInPin.OnChange = TPinChangeEvent(this, &TSwitch::UpdateACOutput);
  OnMouseDown = TMouseEvent(this, &TSwitch::PMouseDown);
  SetAutoSize(true);
  SetState(false);
  SetSwitchType(Termico);
  SetTransparent(true);
  SetVisible(true);
  SetEnabled(true);
  SetAutoSize(false);
  SetStretch(true);
}

void TSwitch::SetState(bool level) {
  SetPicture(level ? ImageDown : ImageUp);
  if (level != State) {
    State = level;
    OnChange(level);
    FACOutPin.SetState(level && FACInPin.State);
    FAuxOutPin.SetState(level);
  }
  State = level;
}

void TSwitch::SetSwitchType(TSwitchType type) {
  if (type == Custom) {
    ImageUp = TPicture();
    ImageDown = TPicture();
    // Recorded, so that a stored layout says Custom and brings back the user's pictures
    // rather than the pictures of the type the switch had before.
    SwitchType = Custom;
    return;
  }
  const auto index = static_cast<std::size_t>(type);
  if (index >= std::size(kTypePictures)) return;  // not a type: ignored like any bad index
  // Both are loaded before anything changes, so a missing resource leaves the switch intact.
  TPicture down = TPicture::LoadFrame(kTypePictures[index].On);
  TPicture up = TPicture::LoadFrame(kTypePictures[index].Off);
  ImageDown = down;
  ImageUp = up;
  SetPicture(ImageUp);
  SwitchType = type;
}

void TSwitch::SetImageUp(const TPicture* p) {
  if (p != nullptr) ImageUp = *p;
}

void TSwitch::SetImageDown(const TPicture* p) {
  if (p != nullptr) ImageDown = *p;
}

void TSwitch::UpdateACOutput(bool level, void* sender) {
  (void)level;
  (void)sender;
  FACOutPin.SetState(State && FACInPin.State);
}

void TSwitch::ConnectACPinOutTo(TInputPin* pin) {
  if (pin != nullptr) FACOutPin.ConnectTo(pin);
}

void TSwitch::ConnectAuxPinOutTo(TInputPin* pin) {
  if (pin != nullptr) FAuxOutPin.ConnectTo(pin);
}

void TSwitch::PMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
  (void)sender;
  (void)button;
  (void)shift;
  (void)x;
  (void)y;
  if (SwitchType == LimitSwitch) return;
  SetState(!State);
}

void TSwitch::GetProperties(TPropList& out) const {
  TImage::GetProperties(out);
  // Pictures are stored by resource name whenever they are not empty, hence the empty default.
  static const TPropInfo props[] = {
      TPROP_STRING(
          TSwitch, "ImageUp", std::string(s->ImageUp.Name()),
          {
            const TPicture p = PictureByName(v);
            if (!p.Empty()) s->SetImageUp(&p);
          },
          ""),
      TPROP_STRING(
          TSwitch, "ImageDown", std::string(s->ImageDown.Name()),
          {
            const TPicture p = PictureByName(v);
            if (!p.Empty()) s->SetImageDown(&p);
          },
          ""),
      TPROP_BOOL(TSwitch, "State", s->State, s->SetState(v), false),
      TPROP_BOOL(TSwitch, "ACInputState", s->GetACInputState(), s->SetACInputState(v), true),
      // A stored Custom type keeps the pictures the layout gave just before it.
      TPROP_ENUM(TSwitch, "SwitchType", s->SwitchType,
                 if (v == Custom) s->SwitchType = Custom;
                 else if (v >= 0 && v < std::ssize(kTypeNames))
                     s->SetSwitchType(static_cast<TSwitchType>(v)),
                 Termico, kTypeNames),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

namespace Switch {
void Register() { RegisterComponentClass<TSwitch>("Automation", "TSwitch"); }
}  // namespace Switch
