#include "components/VisualSignaling.h"

#include "framework/Registry.h"

TVisualSignaling::TVisualSignaling(TComponent* owner) : TShape(owner) {
  SetShape(stCircle);
  SetBounds(Left(), Top(), 16, 16);
  Brush.SetColor(ColorOFF);
  FInPin.OnChange = TPinChangeEvent(this, &TVisualSignaling::SetState);
}

void TVisualSignaling::SetState(bool level, void* sender) {
  (void)sender;
  if (level == State) return;
  State = level;
  Brush.SetColor(State ? ColorON : ColorOFF);
}

void TVisualSignaling::SetColorON(TColor c) {
  ColorON = c;
  if (State) Brush.SetColor(c);
}

void TVisualSignaling::SetColorOFF(TColor c) {
  ColorOFF = c;
  if (!State) Brush.SetColor(c);
}

void TVisualSignaling::GetProperties(TPropList& out) const {
  TShape::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_COLOR(TVisualSignaling, "ColorOFF", s->ColorOFF,
                  s->SetColorOFF(static_cast<TColor>(v)), clGray),
      TPROP_COLOR(TVisualSignaling, "ColorON", s->ColorON, s->SetColorON(static_cast<TColor>(v)),
                  clLime),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

namespace VisualSignaling {
void Register() { RegisterComponentClass<TVisualSignaling>("Automation", "TVisualSignaling"); }
}  // namespace VisualSignaling
