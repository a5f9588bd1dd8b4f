#include "components/Deposit.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "framework/Registry.h"

namespace {

// Float to int toward zero, saturating instead of overflowing: a nearly balanced tank can
// produce a reciprocal far beyond the int range.
int TruncSat(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

int IntervalOf(const TTimer* t) {
  return static_cast<int>(std::min<unsigned>(t->Interval(), static_cast<unsigned>(INT_MAX)));
}

// Indexed properties are stored as one text each, the entries separated by blanks
// ("5000 0 0" for the flows, "1 0 0" for the open flags).
std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    if (j > i) words.push_back(text.substr(i, j - i));
    i = j;
  }
  return words;
}

std::string FlowsText(const TDeposit* d, float (TDeposit::*get)(int) const, int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, (d->*get)(i));
    if (i > 0) text += ' ';
    text.append(buf, res.ptr);
  }
  return text;
}

void ApplyFlowsText(TDeposit* d, void (TDeposit::*set)(int, float), const std::string& text) {
  const auto words = SplitWords(text);
  for (std::size_t i = 0; i < words.size(); ++i) {
    float v = 0.0f;
    const auto& w = words[i];
    const auto res = std::from_chars(w.data(), w.data() + w.size(), v);
    // An entry that is not a number leaves that flow as it was.
    if (res.ec == std::errc() && res.ptr == w.data() + w.size())
      (d->*set)(static_cast<int>(i), v);
  }
}

std::string OpenText(const TDeposit* d, bool (TDeposit::*get)(int) const, int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    if (i > 0) text += ' ';
    text += (d->*get)(i) ? '1' : '0';
  }
  return text;
}

void ApplyOpenText(TDeposit* d, void (TDeposit::*set)(int, bool), const std::string& text) {
  const auto words = SplitWords(text);
  for (std::size_t i = 0; i < words.size(); ++i) {
    const auto& w = words[i];
    if (w == "1" || w == "true")
      (d->*set)(static_cast<int>(i), true);
    else if (w == "0" || w == "false")
      (d->*set)(static_cast<int>(i), false);
  }
}

TTimer* FindTimer(const TComponent* self, const std::string& name) {
  if (self->Owner() == nullptr || name.empty()) return nullptr;
  return dynamic_cast<TTimer*>(self->Owner()->FindComponent(name));
}


}  // namespace

TDeposit::TDeposit(TComponent* owner) : TShape(owner) {
  SetSourceNum(3);
  SetSinkNum(3);
  // The level word and the filled pin are members; the pins' handlers are bound by Resize.
  RefreshRatio = 1;
  DefaultColor = clBlue;
  AlarmColor = clRed;
  Pen.SetStyle(psClear);
  Brush.SetColor(DefaultColor);
  FMinLevel = 0;
  FMaxLevel = 1000;
  FBottom = Height() + Top();
  FRate = 1.0f;
  FInterval = 1;
  FFillupTime = 1000;
  RecomputeFillupTime();
  FAccumulator = 0.0f;
  FState = 0;
  FConstructed = true;
}

TDeposit::~TDeposit() = default;

void TDeposit::Resize(TSide& side, int n, void (TDeposit::*handler)(bool, void*)) {
  // Retired pins stay alive (a device may still hold one) but no longer reach the tank: their
  // handler would copy the new pins' levels over flags set since.
  for (TInputPin* pin : side.Pins) pin->OnChange = nullptr;
  side.Pins.clear();
  side.Flows.assign(static_cast<std::size_t>(n), 0.0f);
  side.Open.assign(static_cast<std::size_t>(n), false);
  for (int i = 0; i < n; ++i) {
    FPins.push_back(std::make_unique<TInputPin>());
    TInputPin* pin = FPins.back().get();
    pin->OnChange = TPinChangeEvent(this, handler);
    side.Pins.push_back(pin);
  }
}

void TDeposit::SetSourceNum(int n) {
  if (n < 0 || n == SourceNum()) return;
  Resize(FIn, n, &TDeposit::InputOpenEvent);
  // The dropped inlets no longer feed the tank; a tank under construction has nothing to
  // recompute yet.
  if (FConstructed) SetFlow();
}

void TDeposit::SetSinkNum(int n) {
  if (n < 0 || n == SinkNum()) return;
  Resize(FOut, n, &TDeposit::OutputOpenEvent);
  if (FConstructed) SetFlow();
}

TInputPin* TDeposit::GetInputFlowOpenPin(int i) const {
  return i >= 0 && i < SourceNum() ? FIn.Pins[static_cast<std::size_t>(i)] : nullptr;
}

TInputPin* TDeposit::GetOutputFlowOpenPin(int i) const {
  return i >= 0 && i < SinkNum() ? FOut.Pins[static_cast<std::size_t>(i)] : nullptr;
}

float TDeposit::GetInputFlow(int i) const {
  return i >= 0 && i < SourceNum() ? FIn.Flows[static_cast<std::size_t>(i)] : 0.0f;
}

float TDeposit::GetOutputFlow(int i) const {
  return i >= 0 && i < SinkNum() ? FOut.Flows[static_cast<std::size_t>(i)] : 0.0f;
}

void TDeposit::SetInputFlow(int i, float v) {
  if (!(v >= 0.0f) || i < 0 || i >= SourceNum()) return;  // also refuses NaN
  FIn.Flows[static_cast<std::size_t>(i)] = v;
  SetFlow();
}

void TDeposit::SetOutputFlow(int i, float v) {
  if (!(v >= 0.0f) || i < 0 || i >= SinkNum()) return;
  FOut.Flows[static_cast<std::size_t>(i)] = v;
  SetFlow();
}

bool TDeposit::GetInputOpen(int i) const {
  return i >= 0 && i < SourceNum() && FIn.Open[static_cast<std::size_t>(i)];
}

bool TDeposit::GetOutputOpen(int i) const {
  return i >= 0 && i < SinkNum() && FOut.Open[static_cast<std::size_t>(i)];
}

void TDeposit::SetInputOpen(int i, bool open) {
  if (i < 0 || i >= SourceNum()) return;
  FIn.Open[static_cast<std::size_t>(i)] = open;
  SetFlow();
}

void TDeposit::SetOutputOpen(int i, bool open) {
  if (i < 0 || i >= SinkNum()) return;
  FOut.Open[static_cast<std::size_t>(i)] = open;
  SetFlow();
}

void TDeposit::CopyPins(TSide& side) {
  for (std::size_t i = 0; i < side.Pins.size(); ++i) side.Open[i] = side.Pins[i]->State;
}

void TDeposit::InputOpenEvent(bool, void*) {
  CopyPins(FIn);
  SetFlow();
}

void TDeposit::OutputOpenEvent(bool, void*) {
  CopyPins(FOut);
  SetFlow();
}

void TDeposit::SetFlow() {
  const int old = FState;
  // Reciprocals are summed in single precision on purpose: the truncated fill-up time depends
  // on it (an inlet of 4000 ms gives 3999).
  float in = 0.0f, out = 0.0f;
  for (std::size_t i = 0; i < FIn.Flows.size(); ++i)
    if (FIn.Open[i] && FIn.Flows[i] != 0.0f)
      in = static_cast<float>(static_cast<double>(in) + 1.0 / static_cast<double>(FIn.Flows[i]));
  for (std::size_t i = 0; i < FOut.Flows.size(); ++i)
    if (FOut.Open[i] && FOut.Flows[i] != 0.0f)
      out = static_cast<float>(static_cast<double>(out) + 1.0 / static_cast<double>(FOut.Flows[i]));
  const float net = in - out;
  FState = net > 0.0f ? dsFilling : (net < 0.0f ? dsDraining : dsIdle);
  if (net != 0.0f) {
    int t = TruncSat(1.0 / static_cast<double>(net));
    // Flows faster than a millisecond would truncate to a zero fill-up time and an undefined
    // rate; the fastest expressible time keeps the tank moving the right way.
    if (t == 0) t = net > 0.0f ? 1 : -1;
    SetFillupTime(t);
  } else {
    FRate = 0.0f;
  }
  if (FState != old) {
    if (old == dsOverflow) Brush.SetColor(DefaultColor);
    OnChange(FState, Height());
  }
}

void TDeposit::SetFillupTime(int t) {
  if (t == 0) return;  // no defined rate: keep the present one
  FFillupTime = t;
  FRate = static_cast<float>(static_cast<double>(FInterval) *
                             static_cast<double>(static_cast<float>(FMaxLevel - FMinLevel)) /
                             static_cast<double>(t));
}

void TDeposit::RecomputeFillupTime() {
  if (FRate == 0.0f) return;  // idle: the fill-up time of the last flow stays meaningful
  FFillupTime = TruncSat(static_cast<double>(FMaxLevel - FMinLevel) *
                         static_cast<double>(FInterval) / static_cast<double>(FRate));
}

void TDeposit::SetTimer(TTimer* t) {
  FSimTimer = t;
  if (t == nullptr) return;
  FInterval = IntervalOf(t);
  RecomputeFillupTime();
}

void TDeposit::SetLevel(int v) { ApplyLevel(v, true); }

void TDeposit::ApplyLevel(int v, bool raiseMax) {
  FBottom = Height() + Top();
  if (raiseMax && Height() > FMaxLevel) FMaxLevel = Height();
  if (v >= FMinLevel && v <= FMaxLevel) SetBounds(Left(), FBottom - v, Width(), v);
  FFilledOut.SetState(v > FMinLevel);
}

void TDeposit::SetMinLevel(int v) {
  if (v < 0 || v > FMaxLevel) return;
  FMinLevel = v;
  if (Height() < FMinLevel) SetLevel(FMinLevel);
  RecomputeFillupTime();
}

void TDeposit::SetMaxLevel(int v) {
  if (v < 0 || v < FMinLevel) return;
  FMaxLevel = v;
  // Lowering the maximum below the level: the level drops just under it, and the new maximum
  // stays (the taller rectangle must not pull it back up).
  if (Height() > FMaxLevel) ApplyLevel(std::max(v - 1, FMinLevel), false);
  RecomputeFillupTime();
}

void TDeposit::SetFHeight(int v) {
  if (v < 0) return;
  SetHeight(std::min(v, FMaxLevel));
}

void TDeposit::ConnectWordOutTo(TInputWord* w) { FLevelOut.ConnectTo(w); }

void TDeposit::ConnectFilledOutTo(TInputPin* p) { FFilledOut.ConnectTo(p); }

void TDeposit::SimulationStep(TObject*) {
  const int h0 = Height();
  const int old = FState;
  if (FState == dsFilling) {
    FAccumulator += FRate;
    if (static_cast<double>(FMaxLevel) <
        static_cast<double>(h0) + static_cast<double>(FAccumulator)) {
      FState = dsOverflow;
      Brush.SetColor(AlarmColor);
      SetLevel(FMaxLevel);
      FAccumulator = 0.0f;
    } else if (static_cast<double>(FAccumulator) >= static_cast<double>(RefreshRatio)) {
      const int n = TruncSat(static_cast<double>(FAccumulator));
      SetLevel(h0 + n);
      FAccumulator -= static_cast<float>(n);
    }
  } else if (FState == dsDraining) {
    FAccumulator += FRate;
    if (static_cast<double>(h0) + static_cast<double>(FAccumulator) <=
        static_cast<double>(FMinLevel)) {
      FState = dsEmpty;
      SetLevel(FMinLevel);
      FAccumulator = 0.0f;
    } else if (static_cast<double>(FAccumulator) <= -static_cast<double>(RefreshRatio)) {
      const int n = TruncSat(static_cast<double>(FAccumulator));
      SetLevel(h0 + n);
      FAccumulator -= static_cast<float>(n);
    }
  }
  const int h1 = Height();
  if (FState != old) {
    OnChange(FState, h1);
    FFilledOut.SetState(FState != dsEmpty);
  }
  FLevelOut.SetValue(static_cast<unsigned short>(
      TruncSat(static_cast<double>(h1) + static_cast<double>(FAccumulator))));
  if (h1 != h0) {
    OnLevelChange(h1);
    FLevelOut.SetValue(static_cast<unsigned short>(h1));
  }
  FFilledOut.SetState(h1 > FMinLevel);
}

void TDeposit::GetProperties(TPropList& out) const {
  TShape::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_INT(TDeposit, "FillupTime", s->FillupTime(),
                s->SetFillupTime(ClampToInt(v)),
                1000),
      TPROP_REFERENCE(TDeposit, "SimTimer", s->SimTimer() ? s->SimTimer()->Name : std::string(),
                      s->SetTimer(FindTimer(s, v))),
      TPROP_STRING(TDeposit, "InputFlow", FlowsText(s, &TDeposit::GetInputFlow, s->SourceNum()),
                   ApplyFlowsText(s, &TDeposit::SetInputFlow, v), "0 0 0"),
      TPROP_STRING(TDeposit, "OutputFlow", FlowsText(s, &TDeposit::GetOutputFlow, s->SinkNum()),
                   ApplyFlowsText(s, &TDeposit::SetOutputFlow, v), "0 0 0"),
      TPROP_STRING(TDeposit, "InputFlowOpen", OpenText(s, &TDeposit::GetInputOpen, s->SourceNum()),
                   ApplyOpenText(s, &TDeposit::SetInputOpen, v), "0 0 0"),
      TPROP_STRING(TDeposit, "OutputFlowOpen", OpenText(s, &TDeposit::GetOutputOpen, s->SinkNum()),
                   ApplyOpenText(s, &TDeposit::SetOutputOpen, v), "0 0 0"),
      TPROP_INT(TDeposit, "MinLevel", s->MinLevel(),
                s->SetMinLevel(static_cast<int>(std::clamp<long long>(v, -1, INT_MAX))), 0),
      TPROP_INT(TDeposit, "MaxLevel", s->MaxLevel(),
                s->SetMaxLevel(static_cast<int>(std::clamp<long long>(v, -1, INT_MAX))), 1000),
      TPROP_INT(TDeposit, "Level", s->GetLevel(),
                s->SetLevel(static_cast<int>(std::clamp<long long>(v, -1, INT_MAX))), 0),
      TPROP_INT(TDeposit, "RefreshRatio", s->RefreshRatio,
                s->RefreshRatio = ClampToInt(v), 1),
      TPROP_COLOR(TDeposit, "AlarmColor", s->AlarmColor, s->AlarmColor = static_cast<TColor>(v),
                  clRed),
      TPROP_COLOR(TDeposit, "DefaultColor", s->DefaultColor,
                  s->DefaultColor = static_cast<TColor>(v), clBlue),
      TPROP_INT(TDeposit, "Height", s->GetFHeight(),
                s->SetFHeight(static_cast<int>(std::clamp<long long>(v, -1, INT_MAX))), 0),
  };
  for (const TPropInfo& p : props) PublishProperty(out, p);
}

namespace Deposit {
void Register() { RegisterComponentClass<TDeposit>("Automation", "TDeposit"); }
}  // namespace Deposit
