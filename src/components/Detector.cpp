#include "components/Detector.h"

#include <string>

#include "framework/Registry.h"

namespace {

constexpr std::string_view kTypeNames[] = {"dtNO", "dtNC"};

TPicture BitmapOrNone(const std::string& name) {
  return name.empty() ? TPicture() : TPicture::LoadBitmap(name);
}

}  // namespace

TDetector::TDetector(TComponent* owner) : TImage(owner) {
  FActive = false;
  FValue = 0;
  FThreshold = 0;
  FType = dtNO;
  ByteIn->OnNewData = TByteDataEvent(this, &TDetector::NewDataEventB);
  WordIn->OnNewData = TWordDataEvent(this, &TDetector::NewDataEventW);
  FImageON = TPicture::LoadBitmap("DETECTOR_ON");
  FImageOFF = TPicture::LoadBitmap("DETECTOR_OFF");
  SetTransparent(true);
  SetAutoSize(true);
  Update();
}

TDetector::~TDetector() {
  delete ByteIn;
  delete WordIn;
}

void TDetector::NewDataEventB(unsigned char v) { NewDataEventW(v); }

void TDetector::NewDataEventW(unsigned short v) {
  if (v == FValue) return;
  FValue = v;
  Update();
}

void TDetector::SetThreshold(unsigned short t) {
  FThreshold = t;
  Update();
}

void TDetector::SetType(TDetectorType t) {
  if (t == FType || (t != dtNO && t != dtNC)) return;
  FType = t;
  Update();
}

void TDetector::SetImageON(const TPicture* p) {
  if (p == nullptr) return;
  FImageON = *p;
  Update();
}

void TDetector::SetImageOFF(const TPicture* p) {
  if (p == nullptr) return;
  FImageOFF = *p;
  Update();
}

void TDetector::ConnectTo(TInputPin* p) { FOutput.ConnectTo(p); }

void TDetector::Update() {
  const bool active = FValue >= FThreshold;
  if (active != FActive) {
    FActive = active;
    SetPicture(FActive ? FImageON : FImageOFF);
  }
  FOutput.SetState(FType == dtNO ? FActive : !FActive);
}

void TDetector::GetProperties(TPropList& out) const {
  TImage::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_STRING(TDetector, "Picture", std::string(s->Picture().Name()),
                   s->SetPicture(BitmapOrNone(v)), "DETECTOR_ON"),
      TPROP_STRING(TDetector, "ImageON", std::string(s->ImageON().Name()),
                   if (!v.empty()) {
                     const TPicture p = TPicture::LoadBitmap(v);
                     s->SetImageON(&p);
                   },
                   "DETECTOR_ON"),
      TPROP_STRING(TDetector, "ImageOFF", std::string(s->ImageOFF().Name()),
                   if (!v.empty()) {
                     const TPicture p = TPicture::LoadBitmap(v);
                     s->SetImageOFF(&p);
                   },
                   "DETECTOR_OFF"),
      // Out of the 16-bit range is ignored rather than wrapped.
      TPROP_INT(TDetector, "Threshold", s->Threshold(),
                if (v >= 0 && v <= 0xFFFF) s->SetThreshold(static_cast<unsigned short>(v)), 0),
      TPROP_ENUM(TDetector, "Type", s->Type(),
                 if (v == dtNO || v == dtNC) s->SetType(static_cast<TDetectorType>(v)), dtNO,
                 kTypeNames),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

namespace Detector {
// This class's page name is written in lower case.
void Register() { RegisterComponentClass<TDetector>("automation", "TDetector"); }
}  // namespace Detector
