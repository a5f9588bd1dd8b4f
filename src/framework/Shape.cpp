#include "framework/Shape.h"

void TBrush::SetColor(TColor c) {
  if (c == FColor) return;
  FColor = c;
  FOwner->Changed();
}

void TBrush::SetStyle(TBrushStyle s) {
  if (s == FStyle) return;
  FStyle = s;
  FOwner->Changed();
}

void TPen::SetColor(TColor c) {
  if (c == FColor) return;
  FColor = c;
  FOwner->Changed();
}

void TPen::SetStyle(TPenStyle s) {
  if (s == FStyle) return;
  FStyle = s;
  FOwner->Changed();
}

void TPen::SetWidth(int w) {
  if (w < 0 || w == FWidth) return;
  FWidth = w;
  FOwner->Changed();
}

TShape::TShape(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 65, 65); }

void TShape::SetShape(TShapeType s) {
  if (s == FShape) return;
  FShape = s;
  Changed();
}

namespace {
constexpr std::string_view kShapeNames[] = {"stRectangle", "stSquare",      "stRoundRect",
                                            "stRoundSquare", "stEllipse", "stCircle"};
constexpr std::string_view kBrushStyles[] = {"bsSolid", "bsClear"};
constexpr std::string_view kPenStyles[] = {"psSolid",        "psDash",  "psDot", "psDashDot",
                                           "psDashDotDot", "psClear"};
}  // namespace

void TShape::GetProperties(TPropList& out) const {
  TControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_COLOR(TShape, "Brush.Color", s->Brush.Color(),
                  s->Brush.SetColor(static_cast<TColor>(v)), clWhite),
      TPROP_ENUM(TShape, "Brush.Style", s->Brush.Style(),
                 s->Brush.SetStyle(static_cast<TBrushStyle>(v)), bsSolid, kBrushStyles),
      TPROP_COLOR(TShape, "Pen.Color", s->Pen.Color(), s->Pen.SetColor(static_cast<TColor>(v)),
                  clBlack),
      TPROP_ENUM(TShape, "Pen.Style", s->Pen.Style(), s->Pen.SetStyle(static_cast<TPenStyle>(v)),
                 psSolid, kPenStyles),
      TPROP_INT(TShape, "Pen.Width", s->Pen.Width(), s->Pen.SetWidth(static_cast<int>(v)), 1),
      TPROP_ENUM(TShape, "Shape", s->Shape(), s->SetShape(static_cast<TShapeType>(v)), stRectangle,
                 kShapeNames),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}
