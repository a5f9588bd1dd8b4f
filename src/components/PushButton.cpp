#include "components/PushButton.h"

#include <string>

#include "components/VisualSignaling.h"
#include "framework/Registry.h"

namespace {

// White, black, blue, red; released before pressed. A colour takes the pair at twice its value.
constexpr std::string_view kColorPictures[] = {"WHITE_OFF", "WHITE_ON", "BLACK_OFF", "BLACK_ON",
                                               "BLUE_OFF",  "BLUE_ON",  "RED_OFF",   "RED_ON"};

constexpr std::string_view kTypeNames[] = {"pbtIdeal", "pbtRebounce", "pbtSwitch"};
constexpr std::string_view kOutputNames[] = {"pbotNA", "pbotNC"};
constexpr std::string_view kColorNames[] = {"pbcWhite", "pbcBlack", "pbcBlue", "pbcRed"};

template <std::size_t N>
bool InRange(long long v, const std::string_view (&)[N]) {
  return v >= 0 && v < static_cast<long long>(N);
}

TPicture PictureByName(const std::string& name) {
  return name.empty() ? TPicture() : TPicture::LoadFrame(name);
}

}  // namespace

TPushButton::TPushButton(TComponent* owner) : TImage(owner) {
  ButtonType = pbtIdeal;
  FOutPin.SetState(OutputType == pbotNC);
  OnMouseUp = TMouseEvent(this, &TPushButton::PMouseUp);
  OnMouseDown = TMouseEvent(this, &TPushButton::PMouseDown);
  SetAutoSize(true);
  SetPBColor(pbcWhite);
  SetAutoSize(false);
  SetStretch(true);
  SetTransparent(true);
  SetVisible(true);
  SetEnabled(true);
}

void TPushButton::SetState(bool level) {
  SetPicture(level ? ImageDown : ImageUp);
  if (level != State) OnChange(level);
  State = level;
  FOutPin.SetState(ContactLevel(level));
}

void TPushButton::PMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x,
                             int y) {
  (void)sender;
  (void)button;
  (void)shift;
  (void)x;
  (void)y;
  FReleasePending = false;
  SetState(!(ButtonType == pbtSwitch && State));
  if (ButtonType != pbtSwitch) FUnread = true;
}

void TPushButton::PMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x,
                           int y) {
  (void)sender;
  (void)button;
  (void)shift;
  (void)x;
  (void)y;
  if (ButtonType == pbtSwitch) return;
  if (HoldUntilExchanged && FUnread) {
    FReleasePending = true;
    return;
  }
  SetState(false);
}

void TPushButton::Exchanged() {
  FUnread = false;
  if (!FReleasePending) return;
  FReleasePending = false;
  SetState(false);
}

void TPushButton::SetPBColor(TPushButtonColor color) {
  // Anything but a known colour falls back to white, and is stored as white.
  const bool known = color == pbcBlack || color == pbcBlue || color == pbcRed;
  const std::size_t pair = known ? 2u * static_cast<std::size_t>(color) : 0u;
  TPicture up = TPicture::LoadFrame(kColorPictures[pair]);
  TPicture down = TPicture::LoadFrame(kColorPictures[pair + 1]);
  ImageUp = up;
  ImageDown = down;
  SetPicture(ImageUp);
  ButtonColor = known ? color : pbcWhite;
}

void TPushButton::SetPBType(TPushButtonType type) {
  if (type != ButtonType) ButtonType = type;
}

void TPushButton::SetPBOType(TPushButtonOutputType type) {
  OutputType = type;
  State = false;
  FUnread = false;
  FReleasePending = false;
  FOutPin.SetState(ContactLevel(false));
}

void TPushButton::SetImageUp(const TPicture* p) {
  if (p != nullptr) ImageUp = *p;
}

void TPushButton::SetImageDown(const TPicture* p) {
  if (p != nullptr) ImageDown = *p;
}

void TPushButton::SetConnectedPin(TInputPin* pin) { FOutPin.ConnectTo(pin); }

void TPushButton::SetConnection(TComponent* c) {
  if (c == nullptr || c->ClassName() != "TVisualSignaling") return;
  // The name is the contract; the cast guards against a stranger that only borrows the name.
  auto* lamp = dynamic_cast<TVisualSignaling*>(c);
  if (lamp == nullptr) return;
  ConnectedAO = c;
  // The lamp may go first (a window freeing its controls, a gallery deleting one): it tells
  // the button, which then forgets both the lamp and its input.
  FreeNotification(c);
  FLamps.emplace_back(c, lamp->InPin);
  SetConnectedPin(lamp->InPin);
}

void TPushButton::Notification(TComponent* component, TOperation operation) {
  TImage::Notification(component, operation);
  if (operation != opRemove) return;
  for (auto it = FLamps.begin(); it != FLamps.end();) {
    if (it->first == component) {
      FOutPin.Disconnect(it->second);
      it = FLamps.erase(it);
    } else {
      ++it;
    }
  }
  if (component == ConnectedAO) ConnectedAO = nullptr;
}

void TPushButton::GetProperties(TPropList& out) const {
  TImage::GetProperties(out);
  // Pictures are stored by resource name whenever not empty; the lamp by its component name,
  // looked up among the button's owner's components.
  static const TPropInfo props[] = {
      TPROP_STRING(
          TPushButton, "ImageUp", std::string(s->ImageUp.Name()),
          {
            const TPicture p = PictureByName(v);
            if (!p.Empty()) s->SetImageUp(&p);
          },
          ""),
      TPROP_STRING(
          TPushButton, "ImageDown", std::string(s->ImageDown.Name()),
          {
            const TPicture p = PictureByName(v);
            if (!p.Empty()) s->SetImageDown(&p);
          },
          ""),
      TPROP_BOOL(TPushButton, "State", s->State, s->SetState(v), false),
      TPROP_ENUM(TPushButton, "ButtonType", s->ButtonType,
                 if (InRange(v, kTypeNames)) s->SetPBType(static_cast<TPushButtonType>(v)),
                 pbtIdeal, kTypeNames),
      TPROP_ENUM(TPushButton, "OutputType", s->OutputType,
                 if (InRange(v, kOutputNames))
                     s->SetPBOType(static_cast<TPushButtonOutputType>(v)),
                 pbotNA, kOutputNames),
      TPROP_ENUM(TPushButton, "ButtonColor", s->ButtonColor,
                 if (InRange(v, kColorNames)) s->SetPBColor(static_cast<TPushButtonColor>(v)),
                 pbcWhite, kColorNames),
      TPROP_REFERENCE(
          TPushButton, "ConnectedAO",
          s->ConnectedAO != nullptr ? s->ConnectedAO->Name : std::string(),
          {
            if (s->Owner() != nullptr) s->SetConnection(s->Owner()->FindComponent(v));
          }),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

namespace PushButton {
void Register() { RegisterComponentClass<TPushButton>("Automation", "TPushButton"); }
}  // namespace PushButton
