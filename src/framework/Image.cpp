#include "framework/Image.h"

TImage::TImage(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 105, 105); }

void TImage::SetPicture(const TPicture& picture) {
  if (picture == FPicture) return;
  FPicture = picture;
  FitToPicture();
  Changed();
}

void TImage::FitToPicture() {
  if (FAutoSize && !FPicture.Empty())
    SetBounds(Left(), Top(), FPicture.Width(), FPicture.Height());
}

void TImage::SetStretch(bool v) {
  if (v == FStretch) return;
  FStretch = v;
  Changed();
}

void TImage::SetAutoSize(bool v) {
  if (v == FAutoSize) return;
  FAutoSize = v;
  FitToPicture();
  Changed();
}

void TImage::SetTransparent(bool v) {
  if (v == FTransparent) return;
  FTransparent = v;
  Changed();
}

void TImage::SetCenter(bool v) {
  if (v == FCenter) return;
  FCenter = v;
  Changed();
}

void TImage::GetProperties(TPropList& out) const {
  TControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_BOOL(TImage, "AutoSize", s->AutoSize(), s->SetAutoSize(v), false),
      TPROP_BOOL(TImage, "Center", s->Center(), s->SetCenter(v), false),
      TPROP_BOOL(TImage, "Stretch", s->Stretch(), s->SetStretch(v), false),
      TPROP_BOOL(TImage, "Transparent", s->Transparent(), s->SetTransparent(v), false),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}
