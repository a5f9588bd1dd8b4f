#include "components/MotorValve.h"

#include <algorithm>
#include <climits>
#include <string>

#include "framework/Registry.h"

namespace {



TTimer* FindTimer(const TComponent* self, const std::string& name) {
  if (self->Owner() == nullptr || name.empty()) return nullptr;
  return dynamic_cast<TTimer*>(self->Owner()->FindComponent(name));
}

}  // namespace

TMotorValve::TMotorValve(TComponent* owner) : TImage(owner) {
  FRangeMax = 255;
  FRangeMin = 55;
  FPosition = static_cast<float>(FRangeMin);
  FSimTimer = nullptr;
  FTripTime = 5000;
  openInputPin->OnChange = TPinChangeEvent(this, &TMotorValve::openInputPinEvent);
  closeInputPin->OnChange = TPinChangeEvent(this, &TMotorValve::closeInputPinEvent);
  FClosedOut.SetState(true);
  FPositionOut.SetValue(static_cast<unsigned char>(FPosition));
  SetAutoSize(true);
  SetTransparent(true);
  FValvePosition = 0;
  for (int i = 0; i < FrameCount; ++i)
    FFrames[static_cast<std::size_t>(i)] = TPicture::LoadFrame("MMOTORVALVE_" + std::to_string(i));
  // The frames are drawn at the control's present size, so showing the first one with
  // auto-sizing on leaves the control as big as it was.
  const int w = Width(), h = Height();
  ShowFrame(0);
  SetAutoSize(false);
  SetBounds(Left(), Top(), w, h);
  SetStretch(true);
  FValveState = vsClosed;
  FDriveState = 0;
}

TMotorValve::~TMotorValve() {
  delete openInputPin;
  delete closeInputPin;
}

void TMotorValve::ShowFrame(int i) {
  FCurrentFrame = FFrames[static_cast<std::size_t>(i)];
  SetPicture(FCurrentFrame);
}

void TMotorValve::openInputPinEvent(bool state, void*) { FOpenCmd = state; }

void TMotorValve::closeInputPinEvent(bool state, void*) { FCloseCmd = state; }

void TMotorValve::SetWidth(int v) {
  ShowFrame(0);
  TControl::SetWidth(v);
}

void TMotorValve::SetHeight(int v) {
  ShowFrame(0);
  TControl::SetHeight(v);
}

void TMotorValve::SetTripTime(int t) {
  // A stroke takes some time: zero has no speed and a negative time would run backwards.
  if (t <= 0) return;
  FTripTime = t;
  const int range = FRangeMax - FRangeMin;
  if (FSimTimer != nullptr)
    FStep = static_cast<float>(
        static_cast<double>(static_cast<long long>(range) * FSimTimer->Interval()) /
        static_cast<double>(t));
  FFrameFactor = static_cast<float>(8.0 / static_cast<double>(range));
}

void TMotorValve::SetSimTimer(TTimer* t) {
  FSimTimer = t;
  SetTripTime(FTripTime);
}

void TMotorValve::SetRangeMin(int v) {
  if (v >= 0 && v < 256 && v < FRangeMax) FRangeMin = v;
}

void TMotorValve::SetRangeMax(int v) {
  if (v >= 0 && v < 256 && v > FRangeMin) FRangeMax = v;
}

void TMotorValve::SetValvePosition(int p) {
  if (p < 0 || p >= FrameCount) return;
  FPosition = static_cast<float>((FRangeMax - FRangeMin) / 10 * p + FRangeMin);
  FValvePosition = p;
  if (p <= 0) {
    FValvePosition = 0;
    FValveState = vsClosed;
  }
  if (p >= 9) {
    FValvePosition = 9;
    FValveState = vsOpen;
  }
  ShowFrame(FValvePosition);
}

void TMotorValve::OutputOpenPinConectTo(TInputPin* p) { FOpenOut.ConnectTo(p); }

void TMotorValve::OutputClosedPinConectTo(TInputPin* p) { FClosedOut.ConnectTo(p); }

void TMotorValve::ConnectByteOutTo(TInputByte* b) {
  if (b == nullptr) return;
  FPositionOut.ConnectTo(b);
  FPositionOut.SetValue(static_cast<unsigned char>(FPosition));
}

void TMotorValve::THERMIC_FAILURE() {
  if (FDriveState == vsThermal) return;
  FDriveState = vsThermal;
  OnChange(vsThermal);
}

void TMotorValve::FAILURE() {
  if (FValveState == vsFailure) return;
  FValveState = vsFailure;
  OnChange(vsFailure);
}

void TMotorValve::REPAIR() {
  if (FValveState == vsFailure) FValveState = vsRepaired;
}

void TMotorValve::SimulationStep(TObject*) {
  if (!FOpenCmd && !FCloseCmd)
    FDriveState = 0;
  else if (FOpenCmd != FCloseCmd)
    FDriveState = 1;
  if (FValveState == vsFailure) return;

  const int oldState = FValveState;
  const int oldFrame = FValvePosition;
  const auto oldByte = static_cast<unsigned char>(FPosition);
  if (FOpenCmd && !FCloseCmd) {
    FValveState = vsOpening;
    FPosition += FStep;
  } else if (FCloseCmd && !FOpenCmd) {
    FValveState = vsClosing;
    FPosition -= FStep;
  }

  if (FPosition <= static_cast<float>(FRangeMin)) {
    FPosition = static_cast<float>(FRangeMin);
    FValvePosition = 0;
    FValveState = vsClosed;
  } else if (FPosition >= static_cast<float>(FRangeMax)) {
    FPosition = static_cast<float>(FRangeMax);
    FValvePosition = 9;
    FValveState = vsOpen;
  } else {
    // Evaluated in double: in single precision 100 x 0.04f would round up to exactly 4 and
    // show frame 5 at position 155. The clamp keeps a factor left stale by a range change
    // from reaching past the frames.
    const double f = (static_cast<double>(FPosition) - FRangeMin) *
                         static_cast<double>(FFrameFactor) + 1.0;
    FValvePosition = static_cast<int>(std::clamp(f, 1.0, static_cast<double>(FrameCount - 2)));
  }

  const auto byte = static_cast<unsigned char>(FPosition);
  if (byte != oldByte) FPositionOut.SetValue(byte);
  if (FValvePosition != oldFrame) ShowFrame(FValvePosition);
  if (FValveState != oldState) {
    OnChange(FValveState);
    FClosedOut.SetState(FValveState == vsClosed);
    FOpenOut.SetState(FValveState == vsOpen);
  }
}

void TMotorValve::GetProperties(TPropList& out) const {
  TImage::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_INT(TMotorValve, "Height", s->GetHeight(), s->SetHeight(ClampToInt(v)), 0),
      TPROP_INT(TMotorValve, "Width", s->GetWidth(), s->SetWidth(ClampToInt(v)), 0),
      TPROP_INT(TMotorValve, "TripTime", s->TripTime(), s->SetTripTime(ClampToInt(v)), 5000),
      TPROP_REFERENCE(TMotorValve, "SimTimer", s->SimTimer() ? s->SimTimer()->Name : std::string(),
                      s->SetSimTimer(FindTimer(s, v))),
      TPROP_INT(TMotorValve, "ValvePosition", s->ValvePosition(),
                s->SetValvePosition(ClampToInt(v)), 0),
      TPROP_BOOL(TMotorValve, "AutoSize", s->AutoSize(), s->SetAutoSize(v), false),
      TPROP_INT(TMotorValve, "RangeMin", s->RangeMin(), s->SetRangeMin(ClampToInt(v)), 55),
      TPROP_INT(TMotorValve, "RangeMax", s->RangeMax(), s->SetRangeMax(ClampToInt(v)), 255),
  };
  for (const TPropInfo& p : props) PublishProperty(out, p);
}

namespace MotorValve {
void Register() { RegisterComponentClass<TMotorValve>("Automation", "TMotorValve"); }
}  // namespace MotorValve
