#include "components/Relay.h"

#include "framework/Registry.h"

namespace {
// Loaded in index order (coil + 2 * supply), which is not alphabetical.
constexpr std::string_view kRelayPictures[] = {"RELAY_OFF_AC_OFF", "RELAY_ON_AC_OFF",
                                                "RELAY_OFF_AC_ON", "RELAY_ON_AC_ON"};

std::size_t PictureIndex(bool coil, bool supply) {
  return static_cast<std::size_t>(coil) + 2u * static_cast<std::size_t>(supply);
}
}  // namespace

TRelay::TRelay(TComponent* owner) : TImage(owner) {
  FACInPin.OnChange = TPinChangeEvent(this, &TRelay::SetACInState);
  FRelayPin.OnChange = TPinChangeEvent(this, &TRelay::SetRelayState);
  SetAutoSize(true);
  SetTransparent(true);
  LoadPictures(true);
  SetPicture(Pictures[0]);
  SetAutoSize(false);
  SetStretch(true);
  SetVisible(true);
}

void TRelay::LoadPictures(bool unused) {
  (void)unused;
  // Load into a fresh list first: a missing resource leaves the old pictures in place.
  std::vector<TPicture> loaded;
  loaded.reserve(std::size(kRelayPictures));
  for (std::string_view name : kRelayPictures) loaded.push_back(TPicture::LoadFrame(name));
  Pictures.swap(loaded);
}

void TRelay::SetRelayState(bool level, void* sender) {
  (void)sender;
  if (level == State) return;
  if (level && FWelded) FWeldedShut = true;
  SetPicture(Pictures[PictureIndex(level || FWeldedShut, ACInputState)]);
  State = level;
  UpdateACOutState();
  OnChange(level);
}

void TRelay::SetACInState(bool level, void* sender) {
  (void)sender;
  if (level == ACInputState) return;
  SetPicture(Pictures[PictureIndex(ContactClosed(), level)]);
  ACInputState = level;
  UpdateACOutState();
}

void TRelay::UpdateACOutState() {
  const bool out = ContactClosed() && ACInputState;
  if (out == ACOutState) return;
  ACOutState = out;
  FACOutPin.SetState(out);
}

void TRelay::SetWelded(bool welded) {
  FWelded = welded;
  FWeldedShut = welded && State;
  SetPicture(Pictures[PictureIndex(ContactClosed(), ACInputState)]);
  UpdateACOutState();
}

void TRelay::ConnectACOutTo(TInputPin* pin) {
  if (pin == nullptr) return;
  FACOutPin.ConnectTo(pin);
}

void TRelay::GetProperties(TPropList& out) const {
  TImage::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_BOOL(TRelay, "ACInputState", s->ACInputState, s->SetACInState(v, nullptr), false),
      TPROP_BOOL(TRelay, "State", s->State, s->SetRelayState(v, nullptr), false),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

namespace Relay {
void Register() { RegisterComponentClass<TRelay>("Automation", "TRelay"); }
}  // namespace Relay
