#include "components/Valve.h"

#include "framework/Registry.h"

namespace {
constexpr std::string_view kValvePictures[] = {"VALVE_OFF_FLOW_OFF", "VALVE_ON_FLOW_OFF",
                                               "VALVE_ON_FLOW_ON"};

std::size_t PictureIndex(bool open, bool flow) {
  return open ? 1u + static_cast<std::size_t>(flow) : 0u;
}
}  // namespace

TValve::TValve(TComponent* owner) : TImage(owner) {
  FFlowInPin.OnChange = TPinChangeEvent(this, &TValve::SetFlowInState);
  FValvePin.OnChange = TPinChangeEvent(this, &TValve::SetValveState);
  SetAutoSize(true);
  SetTransparent(true);
  LoadPictures(true);
  SetPicture(Pictures[0]);
  SetAutoSize(false);
  SetStretch(true);
  SetVisible(true);
}

void TValve::LoadPictures(bool unused) {
  (void)unused;
  std::vector<TPicture> loaded;
  loaded.reserve(std::size(kValvePictures));
  for (std::string_view name : kValvePictures) loaded.push_back(TPicture::LoadFrame(name));
  Pictures.swap(loaded);
}

void TValve::SetValveState(bool level, void* sender) {
  (void)sender;
  if (level == State) return;
  SetPicture(Pictures[PictureIndex(level, FlowInputState)]);
  State = level;
  UpdateFlowOutState();
}

void TValve::SetFlowInState(bool level, void* sender) {
  (void)sender;
  if (level == FlowInputState) return;
  SetPicture(Pictures[PictureIndex(State, level)]);
  FlowInputState = level;
  UpdateFlowOutState();
}

void TValve::UpdateFlowOutState() {
  const bool out = State && FlowInputState;
  if (out == FlowOutState) return;
  FlowOutState = out;
  FFlowOutPin.SetState(out);
}

void TValve::ConnectFlowOutTo(TInputPin* pin) {
  if (pin == nullptr) return;
  FFlowOutPin.ConnectTo(pin);
}

void TValve::GetProperties(TPropList& out) const {
  TImage::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_BOOL(TValve, "FlowInputState", s->FlowInputState, s->SetFlowInState(v, nullptr),
                 false),
      TPROP_BOOL(TValve, "State", s->State, s->SetValveState(v, nullptr), false),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

namespace Valve {
void Register() { RegisterComponentClass<TValve>("Automation", "TValve"); }
}  // namespace Valve
