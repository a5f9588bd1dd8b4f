#pragma once
// A panel push button with one contact: momentary (down while held) or latching (each press
// toggles), normally open or normally closed, with a cap in one of four colours.
#include <string_view>
#include <utility>
#include <vector>

#include "framework/Image.h"
#include "framework/Picture.h"
#include "signals/Iopin.h"

enum TPushButtonType { pbtIdeal, pbtRebounce, pbtSwitch };
enum TPushButtonOutputType { pbotNA, pbotNC };
enum TPushButtonColor { pbcWhite, pbcBlack, pbcBlue, pbcRed };

class TPushButton : public TImage {
 public:
  using TChangeEvent = TMethod<bool>;

  explicit TPushButton(TComponent* owner);
  std::string_view ClassName() const override { return "TPushButton"; }
  void GetProperties(TPropList& out) const override;

  // The contact: State XOR (OutputType is pbotNC).
  TOutputPin* const OutPin = &FOutPin;
  // Fired on a change of State while State still holds the old value.
  TChangeEvent OnChange;
  TPicture ImageUp;    // released
  TPicture ImageDown;  // pressed
  bool State = false;
  TPushButtonColor ButtonColor = pbcWhite;
  TPushButtonType ButtonType = pbtIdeal;
  TPushButtonOutputType OutputType = pbotNA;
  // The signalling lamp the contact drives, or null; not owned. Dropped (and its input
  // disconnected) when the lamp is destroyed.
  TComponent* ConnectedAO = nullptr;
  // A reader that samples the contact now and then (the PLC's input exchange) can miss a quick
  // click altogether. With this set, a momentary press let go before the reader has taken it
  // stays down until Exchanged() says it was read; a press held longer is released at once.
  bool HoldUntilExchanged = false;

  // Shows the picture and re-offers the contact's level on every call, changed or not.
  void SetState(bool level);
  void PMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void PMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  // Loads the colour's pictures and shows the released one, whatever State is.
  void SetPBColor(TPushButtonColor color);
  void SetPBType(TPushButtonType type);
  // Stores the contact kind and releases the button (without picture or event), so the
  // contact sits at the released level of the new kind and still equals State XOR NC.
  void SetPBOType(TPushButtonOutputType type);
  // Null is ignored; the display catches up at the next SetState.
  void SetImageUp(const TPicture* p);
  void SetImageDown(const TPicture* p);
  void SetConnectedPin(TInputPin* pin);
  // Links a TVisualSignaling lamp to the contact; anything else is ignored.
  void SetConnection(TComponent* c);
  // The reader has taken the contact's level: a release held back for it happens now.
  void Exchanged();
  bool ReleasePending() const { return FReleasePending; }

  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool ContactLevel(bool pressed) const { return pressed != (OutputType == pbotNC); }

  TOutputPin FOutPin;
  bool FUnread = false;          // pressed since the reader last took the contact
  bool FReleasePending = false;  // let go before that
  // Every lamp ever linked stays wired to the contact; each is forgotten when it dies.
  std::vector<std::pair<TComponent*, TInputPin*>> FLamps;
};

namespace PushButton {
void Register();
}
