#include "components/Clock.h"

#include <cstdio>

#include "framework/Registry.h"

namespace {

TTimer* FindTimer(const TComponent* self, const std::string& name) {
  if (self->Owner() == nullptr || name.empty()) return nullptr;
  return dynamic_cast<TTimer*>(self->Owner()->FindComponent(name));
}

}  // namespace

TClock::TClock(TComponent* owner) : TStaticText(owner) {
  // A sunk edge with a blank ring inside it, so the digits stand clear of the edge.
  SetBevelKind(bkTile);
  SetBevelInner(bvSpace);
  SetBevelOuter(bvLowered);
  SetAutoSize(true);
  SetAlignment(taCenter);
  Font.SetSize(10);
  Font.SetColor(cl3DDkShadow);
  SetCaption("   00:00:00   ");
}

void TClock::fnStart(bool b) { FRunning = b; }

void TClock::fnReset(bool b) {
  if (!b) return;
  FHours = FMinutes = FSeconds = 0;
  UpdateTime();
}

void TClock::SetTimer(TTimer* t) {
  FTimer = t;
  FIncrement = t != nullptr && t->Interval() <= 1000 ? static_cast<int>(t->Interval()) : 0;
}

void TClock::Tick(TObject*) {
  if (!FRunning) return;
  FMilliseconds += FIncrement;
  if (FMilliseconds < 1000) return;
  const int n = FMilliseconds / 1000;
  FMilliseconds -= n * 1000;
  FSeconds += n;
  if (FSeconds >= 60) {
    FSeconds -= 60;
    if (++FMinutes >= 60) {
      FMinutes = 0;
      if (++FHours >= 24) FHours = 0;
    }
  }
  UpdateTime();
}

void TClock::UpdateTime() {
  char text[32];
  std::snprintf(text, sizeof text, "   %02d:%02d:%02d   ", FHours, FMinutes, FSeconds);
  SetCaption(text);
}

void TClock::GetProperties(TPropList& out) const {
  TStaticText::GetProperties(out);
  // Reset and Start are commands without a reader: they read as false and are never stored.
  static const TPropInfo props[] = {
      TPROP_BOOL(TClock, "Reset", false, s->fnReset(v), false),
      TPROP_BOOL(TClock, "Start", false, s->fnStart(v), false),
      TPROP_REFERENCE(TClock, "Timer", s->Timer() ? s->Timer()->Name : std::string(),
                      s->SetTimer(FindTimer(s, v))),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

namespace Clock {
void Register() { RegisterComponentClass<TClock>("Automation", "TClock"); }
}  // namespace Clock
