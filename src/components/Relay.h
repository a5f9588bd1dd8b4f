#pragma once
// A relay or contactor: the coil input closes a power contact, and the AC supply reaching the
// contact passes on only while the coil is energised. One of four pictures shows both levels
// (coil on/off, supply present/absent) at a glance.
#include <string_view>
#include <vector>

#include "framework/Image.h"
#include "framework/Picture.h"
#include "signals/Iopin.h"

class TRelay : public TImage {
 public:
  using TChangeEvent = TMethod<bool>;

  explicit TRelay(TComponent* owner);
  std::string_view ClassName() const override { return "TRelay"; }
  void GetProperties(TPropList& out) const override;

  // Coil input; its handler is SetRelayState.
  TInputPin* const RelayPin = &FRelayPin;
  // Supply arriving at the contact; its handler is SetACInState.
  TInputPin* const ACInPin = &FACInPin;
  // Switched supply leaving the contact.
  TOutputPin* const ACOutPin = &FACOutPin;

  bool State = false;         // coil energised
  bool ACOutState = false;    // last level sent on ACOutPin
  bool ACInputState = false;  // supply present at the contact
  // Indexed by State + 2 * ACInputState.
  std::vector<TPicture> Pictures;
  // Fired after every change of State, once the output's receivers have reacted.
  TChangeEvent OnChange;

  void SetRelayState(bool level, void* sender);
  void SetACInState(bool level, void* sender);
  // Re-derives the contact's output and sends it only when it changed.
  void UpdateACOutState();
  void ConnectACOutTo(TInputPin* pin);
  // A welded contact: once closed it stays closed when the coil drops, until the weld is
  // repaired (false). The picture shows the contact, not the coil.
  void SetWelded(bool welded);
  bool Welded() const { return FWelded; }
  // The contact conducts: the coil holds it, or it is welded shut.
  bool ContactClosed() const { return State || FWeldedShut; }
  // Reloads the four pictures; the flag is kept for interface compatibility and changes nothing.
  void LoadPictures(bool unused);

 private:
  TInputPin FRelayPin;
  TInputPin FACInPin;
  TOutputPin FACOutPin;
  bool FWelded = false;
  bool FWeldedShut = false;
};

namespace Relay {
void Register();
}
