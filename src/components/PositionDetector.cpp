#include "components/PositionDetector.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "framework/Registry.h"

namespace {

struct TTypeInfo {
  std::string_view Off;
  std::string_view On;
};

constexpr TTypeInfo kTypes[] = {
    {"PHOTOHOR_OFF", "PHOTOHOR_ON"}, {"PHOTOVER_OFF", "PHOTOVER_ON"},
    {"PROXHOR_OFF", "PROXHOR_ON"},   {"PROXVER_OFF", "PROXVER_ON"},
    {"LOOP_OFF", "LOOP_ON"},         {"REEDHOR_OFF", "REEDHOR_ON"},
    {"REEDVER_OFF", "REEDVER_ON"},
};

constexpr std::string_view kTypeNames[] = {"pdPHOTO_HOR", "pdPHOTO_VER", "pdPROX_HOR",
                                           "pdPROX_VER",  "pdLOOP",      "pdREED_HOR",
                                           "pdREED_VER",  "pdCUSTOM"};

std::int16_t To16(int v) { return static_cast<std::int16_t>(v); }



void SetPictureByName(TPositionDetector* d, const std::string& name, bool on) {
  if (name.empty()) return;
  const TPicture pic = TPicture::LoadBitmap(name);
  if (on)
    d->SetPictureON(&pic);
  else
    d->SetPictureOFF(&pic);
}

}  // namespace

TPositionDetector::TPositionDetector(TComponent* owner) : TImage(owner) {
  FState = false;
  SetTransparent(true);
  SetType(pdPHOTO_HOR);
  FCx = FCy = 0;
  FCw = FCh = 0;
  FControls.reserve(MaxControls);
}

TPositionDetector::~TPositionDetector() {
  for (TControl* c : FControls) c->RemoveObserver(this);
}

void TPositionDetector::SetType(TPositionDetectorType t) {
  if (t < pdPHOTO_HOR || t > pdCUSTOM) return;
  FType = t;
  SetAutoSize(true);
  static constexpr TTypeFunc kFuncs[] = {
      &TPositionDetector::PhotoHorDetectionFunc, &TPositionDetector::PhotoVerDetectionFunc,
      &TPositionDetector::ProxHorDetectionFunc,  &TPositionDetector::ProxVerDetectionFunc,
      &TPositionDetector::LoopDetectionFunc,     &TPositionDetector::ReedHorDetectionFunc,
      &TPositionDetector::ReedVerDetectionFunc,
  };
  if (t != pdCUSTOM) {
    const auto i = static_cast<std::size_t>(t);
    FPictureOFF = TPicture::LoadBitmap(kTypes[i].Off);
    FPictureON = TPicture::LoadBitmap(kTypes[i].On);
    FTypeFunc = kFuncs[i];
  }
  Update();
  SetAutoSize(false);
  RefCompute();
}

void TPositionDetector::SetLeft(int v) {
  TControl::SetLeft(v);
  SetType(FType);
}

void TPositionDetector::SetTop(int v) {
  TControl::SetTop(v);
  SetType(FType);
}

void TPositionDetector::SetHeight(int v) {
  TControl::SetHeight(v);
  SetType(FType);
}

void TPositionDetector::SetWith(int v) {
  TControl::SetWidth(v);
  SetType(FType);
}

void TPositionDetector::SetPictureOFF(const TPicture* p) {
  if (p == nullptr) return;
  FPictureOFF = *p;
  Update();
}

void TPositionDetector::SetPictureON(const TPicture* p) {
  if (p == nullptr) return;
  FPictureON = *p;
  Update();
}

void TPositionDetector::Update() { SetPicture(FState ? FPictureON : FPictureOFF); }

void TPositionDetector::SetState(bool b) {
  if (b == FState) return;
  FState = b;
  Update();
  FOutput.SetState(b);
  OnDetectionChange(b);
}

int TPositionDetector::IndexOf(const TControl* c) const {
  const auto it = std::find(FControls.begin(), FControls.end(), c);
  return it == FControls.end() ? -1 : static_cast<int>(it - FControls.begin());
}

int TPositionDetector::AddControl(TControl* c) {
  if (c == nullptr) return -1;
  const int pos = IndexOf(c);
  if (pos >= 0) return pos;
  if (static_cast<int>(FControls.size()) >= MaxControls) return -1;
  FControls.push_back(c);
  FResults[FControls.size() - 1] = false;
  // A watched control that is destroyed leaves the list instead of dangling in it.
  c->AddObserver(this);
  return static_cast<int>(FControls.size()) - 1;
}

void TPositionDetector::Release(TControl* c) {
  const int pos = IndexOf(c);
  if (pos < 0) return;
  c->RemoveObserver(this);
  FControls.erase(FControls.begin() + pos);
  // Results move with their controls.
  for (std::size_t i = static_cast<std::size_t>(pos); i < FControls.size(); ++i)
    FResults[i] = FResults[i + 1];
  FResults[FControls.size()] = false;
  if (DetectedControl == c) DetectedControl = nullptr;
}

void TPositionDetector::Release() {
  for (TControl* c : FControls) c->RemoveObserver(this);
  FControls.clear();
  FResults.fill(false);
  DetectedControl = nullptr;
}

void TPositionDetector::ControlDestroyed(TControl* control) { Release(control); }

bool TPositionDetector::Result(int position) const {
  return position >= 0 && position < static_cast<int>(FControls.size()) &&
         FResults[static_cast<std::size_t>(position)];
}

void TPositionDetector::LoadTarget(const TControl* c) {
  FCx = To16(c->Left());
  FCy = To16(c->Top());
  FCw = static_cast<std::uint16_t>(c->Width());
  FCh = static_cast<std::uint16_t>(c->Height());
}

bool TPositionDetector::RunTest(TControl* c) {
  if (CustomDetectionFunc.Assigned()) {
    RefCompute();
    return CustomDetectionFunc(c, FRefX, FRefY);
  }
  if (FTypeFunc != nullptr) return (this->*FTypeFunc)();
  return false;
}

bool TPositionDetector::Detection() {
  DetectedControl = nullptr;
  bool found = false;
  for (TControl* c : FControls) {
    LoadTarget(c);
    if (RunTest(c)) {
      DetectedControl = c;
      found = true;
      break;
    }
  }
  SetState(found);
  return found;
}

bool TPositionDetector::Detection(TControl* c) {
  if (c == nullptr) {
    SetState(false);
    return false;
  }
  const int pos = AddControl(c);
  LoadTarget(c);
  RefCompute();
  const bool result = RunTest(c);
  // A control beyond the list's capacity is tested but has no slot: it cannot hold the
  // detector on, so State stays as the recorded results say.
  if (pos < 0) return result;
  FResults[static_cast<std::size_t>(pos)] = result;
  bool any = false;
  for (std::size_t i = 0; i < FControls.size(); ++i) any = any || FResults[i];
  SetState(any);
  return result;
}

void TPositionDetector::RefCompute() {
  const int l = Left(), t = Top(), w = Width(), h = Height();
  switch (FType) {
    case pdPHOTO_HOR:
    case pdPROX_HOR:
      FRefX = To16(l + w);
      FRefY = To16(t + h / 2);
      break;
    case pdPHOTO_VER:
    case pdPROX_VER:
      FRefX = To16(l + w / 2);
      FRefY = To16(t + h);
      break;
    case pdLOOP:
    case pdREED_HOR:
    case pdREED_VER:
      FRefX = To16(l + w / 2);
      FRefY = To16(t + h / 2);
      break;
    case pdCUSTOM:
      break;
  }
}

// A horizontal beam at mid-height: the target's left edge lies between 24 px inside the
// detector and its right edge, and the target spans the beam.
bool TPositionDetector::PhotoHorDetectionFunc() {
  FRefX = To16(Left() + Width());
  FRefY = To16(Top() + Height() / 2);
  return Left() + 24 < FCx && FCx <= FRefX && FCy <= FRefY && FRefY <= FCy + FCh;
}

bool TPositionDetector::ProxHorDetectionFunc() { return PhotoHorDetectionFunc(); }

// A vertical beam at mid-width: the target's top edge lies between 26 px below the detector's
// top and its bottom edge, and the target spans the beam.
bool TPositionDetector::PhotoVerDetectionFunc() {
  FRefX = To16(Left() + Width() / 2);
  FRefY = To16(Top() + Height());
  return Top() + 26 < FCy && FCy <= FRefY && FCx <= FRefX && FRefX <= FCx + FCw;
}

bool TPositionDetector::ProxVerDetectionFunc() { return PhotoVerDetectionFunc(); }

// The target strictly covers the reference point stored by the last RefCompute.
bool TPositionDetector::LoopDetectionFunc() {
  return FCy < FRefY && FRefY < FCy + FCh && FCx < FRefX && FRefX < FCx + FCw;
}

// The target strictly spans the centre line and strictly contains a probe point just beyond
// either side of the detector.
bool TPositionDetector::ReedHorDetectionFunc() {
  const int w2 = Width() / 2;
  FRefX = To16(Left() + w2);
  FRefY = To16(Top() + Height() / 2);
  if (!(FCy < FRefY && FRefY < FCy + FCh)) return false;
  const int xa = FRefX + w2 + 5;
  const int xb = FRefX - w2 - 3;
  return (FCx < xa && xa < FCx + FCw) || (FCx < xb && xb < FCx + FCw);
}

bool TPositionDetector::ReedVerDetectionFunc() {
  const int h2 = Height() / 2;
  FRefX = To16(Left() + Width() / 2);
  FRefY = To16(Top() + h2);
  if (!(FCx < FRefX && FRefX < FCx + FCw)) return false;
  const int ya = FRefY + h2 + 5;
  const int yb = FRefY - h2 - 3;
  return (FCy < ya && ya < FCy + FCh) || (FCy < yb && yb < FCy + FCh);
}

void TPositionDetector::OutputConnectTo(TInputPin* p) { FOutput.ConnectTo(p); }

void TPositionDetector::GetProperties(TPropList& out) const {
  TImage::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_INT(TPositionDetector, "Left", s->GetLeft(), s->SetLeft(ClampToInt(v)), 0),
      TPROP_INT(TPositionDetector, "Top", s->GetTop(), s->SetTop(ClampToInt(v)), 0),
      TPROP_INT(TPositionDetector, "Height", s->GetHeight(), s->SetHeight(ClampToInt(v)), 0),
      TPROP_STRING(TPositionDetector, "PictureOFF", std::string(s->PictureOFF().Name()),
                   SetPictureByName(s, v, false), "PHOTOHOR_OFF"),
      TPROP_STRING(TPositionDetector, "PictureON", std::string(s->PictureON().Name()),
                   SetPictureByName(s, v, true), "PHOTOHOR_ON"),
      TPROP_ENUM(TPositionDetector, "Type", s->Type(),
                 if (v >= pdPHOTO_HOR && v <= pdCUSTOM) s->SetType(static_cast<TPositionDetectorType>(v)),
                 pdPHOTO_HOR, kTypeNames),
      TPROP_BOOL(TPositionDetector, "State", s->State(), s->SetState(v), false),
  };
  for (const TPropInfo& p : props) PublishProperty(out, p);
}

namespace PositionDetector {
void Register() { RegisterComponentClass<TPositionDetector>("Automation", "TPositionDetector"); }
}  // namespace PositionDetector
