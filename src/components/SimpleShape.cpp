#include "components/SimpleShape.h"

#include "framework/Registry.h"

TSimpleShape::TSimpleShape(TComponent* owner) : TShape(owner) {
  State = false;
  ColorOFF = clSilver;
  ColorON = clYellow;
  Brush.SetColor(ColorOFF);
  SetShape(stCircle);
  SetBounds(Left(), Top(), 20, 20);
  FInPin.SetState(State);
  FInPin.OnChange = TPinChangeEvent(this, &TSimpleShape::SetState);
}

void TSimpleShape::SetState(bool level, void* sender) {
  (void)sender;
  if (level != State) {
    State = level;
    Brush.SetColor(State ? ColorON : ColorOFF);
  }
  OnChange(level);
}

void TSimpleShape::SetColorON(TColor c) {
  ColorON = c;
  if (State) Brush.SetColor(c);
}

void TSimpleShape::SetColorOFF(TColor c) {
  ColorOFF = c;
  if (!State) Brush.SetColor(c);
}

void TSimpleShape::GetProperties(TPropList& out) const {
  TShape::GetProperties(out);
  // The figure is published again with a circle as its default; it keeps its place.
  for (TPropInfo& p : out)
    if (p.Name == "Shape") p.Default = TPropValue(static_cast<long long>(stCircle));
  static const TPropInfo props[] = {
      TPROP_COLOR(TSimpleShape, "ColorOFF", s->ColorOFF, s->SetColorOFF(static_cast<TColor>(v)),
                  clSilver),
      TPROP_COLOR(TSimpleShape, "ColorON", s->ColorON, s->SetColorON(static_cast<TColor>(v)),
                  clYellow),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

namespace SimpleShape {
void Register() { RegisterComponentClass<TSimpleShape>("automation", "TSimpleShape"); }
}  // namespace SimpleShape
