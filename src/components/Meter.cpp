#include "components/Meter.h"

#include <cstdio>

#include "framework/Registry.h"

TMeter::TMeter(TComponent* owner) : TStaticText(owner) {
  SetBevelKind(bkSoft);
  Font.SetSize(10);
  SetAlignment(taRightJustify);
  // The field is sized once to fit six digits and keeps that size.
  SetAutoSize(true);
  SetCaption("   000000");
  SetAutoSize(false);
  FByteIn.OnNewData = TMethod<unsigned char>(this, &TMeter::SetMeterValueB);
  FWordIn.OnNewData = TMethod<unsigned short>(this, &TMeter::SetMeterValueW);
}

void TMeter::SetMeterValueB(unsigned char value) {
  char text[8];
  std::snprintf(text, sizeof text, "%i", value);
  SetCaption(text);
}

void TMeter::SetMeterValueW(unsigned short value) {
  char text[8];
  std::snprintf(text, sizeof text, "%hu", value);
  SetCaption(text);
}

namespace Meter {
void Register() { RegisterComponentClass<TMeter>("Automation", "TMeter"); }
}  // namespace Meter
