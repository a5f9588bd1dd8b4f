#pragma once
// A valve: the command input opens it, and the flow reaching it passes on only while it is
// open. A closed valve has one picture whatever waits at its inlet.
#include <string_view>
#include <vector>

#include "framework/Image.h"
#include "framework/Picture.h"
#include "signals/Iopin.h"

class TValve : public TImage {
 public:
  explicit TValve(TComponent* owner);
  std::string_view ClassName() const override { return "TValve"; }
  void GetProperties(TPropList& out) const override;

  // Valve command; its handler is SetValveState.
  TInputPin* const ValvePin = &FValvePin;
  // Flow arriving at the inlet; its handler is SetFlowInState.
  TInputPin* const FlowInPin = &FFlowInPin;
  // Flow leaving the valve.
  TOutputPin* const FlowOutPin = &FFlowOutPin;

  bool State = false;           // open
  bool FlowOutState = false;    // last level sent on FlowOutPin
  bool FlowInputState = false;  // flow present at the inlet
  // Closed; open without flow; open with flow.
  std::vector<TPicture> Pictures;

  void SetValveState(bool level, void* sender);
  void SetFlowInState(bool level, void* sender);
  void UpdateFlowOutState();
  void ConnectFlowOutTo(TInputPin* pin);
  void LoadPictures(bool unused);

 private:
  TInputPin FValvePin;
  TInputPin FFlowInPin;
  TOutputPin FFlowOutPin;
};

namespace Valve {
void Register();
}
