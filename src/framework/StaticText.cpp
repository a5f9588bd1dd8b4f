#include "framework/StaticText.h"

#include "framework/Properties.h"

namespace {

void EstimateText(const TFont& font, const std::string& text, int& width, int& height) {
  // About 0.6 em per character at 96 dpi; good enough for headless layout.
  const int px = font.Size() * 96 / 72;
  width = static_cast<int>(text.size()) * px * 6 / 10;
  height = px + px / 3;
}

TTextMeasure gMeasure = &EstimateText;

}  // namespace

void SetTextMeasure(TTextMeasure measure) { gMeasure = measure != nullptr ? measure : &EstimateText; }

void MeasureText(const TFont& font, const std::string& text, int& width, int& height) {
  gMeasure(font, text, width, height);
}

// A font may stand alone (no owner), e.g. when a view builds one to measure text.
void TFont::Notify(bool resize) {
  if (FOwner == nullptr) return;
  if (resize) {
    if (auto* t = dynamic_cast<TStaticText*>(FOwner)) t->AdjustSize();
  }
  FOwner->Changed();
}

void TFont::SetName(const std::string& n) {
  if (n == FName) return;
  FName = n;
  Notify(true);
}

void TFont::SetSize(int points) {
  if (points <= 0 || points == FSize) return;
  FSize = points;
  Notify(true);
}

void TFont::SetColor(TColor c) {
  if (c == FColor) return;
  FColor = c;
  Notify(false);
}

void TFont::SetBold(bool b) {
  if (b == FBold) return;
  FBold = b;
  Notify(true);
}

TStaticText::TStaticText(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 65, 17); }

void TStaticText::SetCaption(const std::string& text) {
  if (text == FCaption) return;
  FCaption = text;
  AdjustSize();
  Changed();
}

void TStaticText::SetAlignment(TAlignment a) {
  if (a == FAlignment) return;
  FAlignment = a;
  Changed();
}

void TStaticText::SetAutoSize(bool a) {
  if (a == FAutoSize) return;
  FAutoSize = a;
  AdjustSize();
  Changed();
}

void TStaticText::SetBorderStyle(TStaticBorderStyle b) {
  if (b == FBorderStyle) return;
  FBorderStyle = b;
  AdjustSize();
  Changed();
}

void TStaticText::SetBevelKind(TBevelKind b) {
  if (b == FBevelKind) return;
  FBevelKind = b;
  AdjustSize();
  Changed();
}

void TStaticText::SetBevelInner(TBevelCut c) {
  if (c == FBevelInner) return;
  FBevelInner = c;
  AdjustSize();
  Changed();
}

void TStaticText::SetBevelOuter(TBevelCut c) {
  if (c == FBevelOuter) return;
  FBevelOuter = c;
  AdjustSize();
  Changed();
}

int TStaticText::FrameWidth() const {
  int w = 0;
  if (FBorderStyle == sbsSingle) w += 1;
  if (FBorderStyle == sbsSunken) w += 1;
  if (FBevelKind == bkFlat) w += 1;
  if (FBevelKind == bkTile || FBevelKind == bkSoft)
    w += (FBevelInner != bvNone ? 1 : 0) + (FBevelOuter != bvNone ? 1 : 0);
  return w;
}

void TStaticText::SetColor(TColor c) {
  if (c == FColor) return;
  FColor = c;
  Changed();
}

void TStaticText::SetTransparent(bool t) {
  if (t == FTransparent) return;
  FTransparent = t;
  Changed();
}

void TStaticText::AdjustSize() {
  if (!FAutoSize) return;
  int w = 0, h = 0;
  MeasureText(Font, FCaption, w, h);
  const int frame = FrameWidth();
  SetBounds(Left(), Top(), w + 2 * frame, h + 2 * frame);
}

namespace {
constexpr std::string_view kAlignments[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr std::string_view kBorders[] = {"sbsNone", "sbsSingle", "sbsSunken"};
constexpr std::string_view kBevels[] = {"bkNone", "bkTile", "bkSoft", "bkFlat"};
constexpr std::string_view kCuts[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
}  // namespace

void TStaticText::GetProperties(TPropList& out) const {
  TControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_ENUM(TStaticText, "Alignment", s->Alignment(),
                 s->SetAlignment(static_cast<TAlignment>(v)), taLeftJustify, kAlignments),
      TPROP_BOOL(TStaticText, "AutoSize", s->AutoSize(), s->SetAutoSize(v), true),
      TPROP_ENUM(TStaticText, "BevelKind", s->BevelKind(),
                 s->SetBevelKind(static_cast<TBevelKind>(v)), bkNone, kBevels),
      TPROP_ENUM(TStaticText, "BevelInner", s->BevelInner(),
                 s->SetBevelInner(static_cast<TBevelCut>(v)), bvRaised, kCuts),
      TPROP_ENUM(TStaticText, "BevelOuter", s->BevelOuter(),
                 s->SetBevelOuter(static_cast<TBevelCut>(v)), bvLowered, kCuts),
      TPROP_ENUM(TStaticText, "BorderStyle", s->BorderStyle(),
                 s->SetBorderStyle(static_cast<TStaticBorderStyle>(v)), sbsNone, kBorders),
      TPROP_STRING(TStaticText, "Caption", s->Caption(), s->SetCaption(v), ""),
      TPROP_COLOR(TStaticText, "Color", s->Color(), s->SetColor(static_cast<TColor>(v)),
                  clBtnFace),
      TPROP_COLOR(TStaticText, "Font.Color", s->Font.Color(),
                  s->Font.SetColor(static_cast<TColor>(v)), clBlack),
      TPROP_STRING(TStaticText, "Font.Name", s->Font.Name(), s->Font.SetName(v), "Tahoma"),
      TPROP_INT(TStaticText, "Font.Size", s->Font.Size(), s->Font.SetSize(static_cast<int>(v)), 8),
      TPROP_BOOL(TStaticText, "Font.Bold", s->Font.Bold(), s->Font.SetBold(v), false),
      TPROP_BOOL(TStaticText, "Transparent", s->Transparent(), s->SetTransparent(v), false),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}
