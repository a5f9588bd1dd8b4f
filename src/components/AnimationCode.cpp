#include "components/AnimationCode.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "framework/Registry.h"
#include "framework/Timer.h"

TFrameAnimation::TFrameAnimation(TComponent* owner) : TImage(owner) {
  SetAutoSize(true);
  SetVisible(true);
}

TFrameAnimation::~TFrameAnimation() = default;

void TFrameAnimation::LoadResources(std::string_view prefix, int count) {
  std::string name(prefix);
  const std::size_t base = name.size();
  for (int i = 0; i < count; ++i) {
    name.resize(base);
    name += std::to_string(i);
    FFrames.push_back(TPicture::Load("FRAMES", name));
  }
  // With nothing loaded there is no first frame to show; the control keeps what it showed.
  if (!FFrames.empty()) SetPicture(FFrames.front());
  SetAutoSize(false);
  SetStretch(true);
  // Assigned, not added: the run covers the frames just loaded.
  FFrameCount = std::max(count, 0);
  FFromFrame = 0;
  FToFrame = FFrameCount;
}

void TFrameAnimation::AddFrame(const TPicture& picture) {
  FFrames.push_back(picture);
  ++FFrameCount;
}

void TFrameAnimation::SetFrame(int n) {
  if (n < 0 || n >= FFrameCount) return;
  if (n != FFrameNumber) OnFrameChange(n, this);
  FFrameNumber = n;
  SetPicture(FFrames[static_cast<std::size_t>(n)]);
}

void TFrameAnimation::Play(int from, int to) {
  if (PlayState == psJammed || PlayState == psPlaying) return;
  FFromFrame = from;
  FToFrame = to;
  PlayState = psPlaying;
}

void TFrameAnimation::Play() { Play(FFromFrame, FToFrame); }

void TFrameAnimation::Continue() {
  if (PlayState != psJammed) PlayState = psPlaying;
}

void TFrameAnimation::Pause() {
  if (PlayState != psJammed) PlayState = psPaused;
}

void TFrameAnimation::SimulationStep() {
  if (PlayState != psPlaying) return;
  if (Reverse)
    FFrameAccumulator -= FFramesPerTick;
  else
    FFrameAccumulator += FFramesPerTick;
  // Whole frames only; the fraction (with its sign) carries over to the next tick. An absurd
  // rate (a huge timer interval over a tiny trip time) is capped so the truncation stays defined.
  constexpr float kMaxStep = 1.0e9f;
  const int k = FFrameAccumulator >= kMaxStep    ? static_cast<int>(kMaxStep)
                : FFrameAccumulator <= -kMaxStep ? -static_cast<int>(kMaxStep)
                                                 : static_cast<int>(FFrameAccumulator);
  if (k == 0) return;
  FFrameAccumulator -= static_cast<float>(k);
  int target = FFrameNumber + k;
  if (!Reverse && target >= FToFrame) {
    PlayState = psStopped;
    target = FToFrame - 1;
    OnEnd(FToFrame, this);
  } else if (Reverse && target <= FFromFrame) {
    PlayState = psStopped;
    OnEnd(FFromFrame, this);
    target = FFromFrame;
  }
  if (target != FFrameNumber) SetFrame(target);
}

void TFrameAnimation::SetTripTime(int ms) {
  if (ms == 0) return;
  FTripTime = ms;
  FFramesPerTick = 0.0f;
  if (FSimTimer != nullptr) {
    // The product wraps as an unsigned 32-bit number; the quotient is taken in floating point
    // and kept as a 32-bit float, which the tick arithmetic depends on to the last bit.
    const std::uint32_t product =
        FSimTimer->Interval() * static_cast<std::uint32_t>(FFrameCount);
    FFramesPerTick = static_cast<float>(static_cast<double>(product) / FTripTime);
  }
}

void TFrameAnimation::SetSimTimer(TTimer* timer) {
  if (timer != FSimTimer) {
    // The timer belongs to the window, not to us: be told if it goes first.
    if (FSimTimer != nullptr) RemoveFreeNotification(FSimTimer);
    if (timer != nullptr) FreeNotification(timer);
    FSimTimer = timer;
  }
  SetTripTime(FTripTime);
}

void TFrameAnimation::Notification(TComponent* component, TOperation operation) {
  TImage::Notification(component, operation);
  // The rate already computed stays; only a later SetTripTime needs a timer again.
  if (operation == opRemove && component == FSimTimer) FSimTimer = nullptr;
}

void TFrameAnimation::SetWidth(int w) {
  if (!FFrames.empty()) SetPicture(FFrames.front());
  TControl::SetWidth(w);
}

void TFrameAnimation::SetHeight(int h) {
  if (!FFrames.empty()) SetPicture(FFrames.front());
  TControl::SetHeight(h);
}

std::string TFrameAnimation::SimTimerName() const {
  return FSimTimer != nullptr ? FSimTimer->Name : std::string();
}

void TFrameAnimation::SetSimTimerByName(const std::string& name) {
  if (name.empty()) {
    SetSimTimer(nullptr);
    return;
  }
  // A name that does not denote a timer of the same window leaves the timer as it was.
  if (Owner() == nullptr) return;
  if (auto* timer = dynamic_cast<TTimer*>(Owner()->FindComponent(name))) SetSimTimer(timer);
}

void TFrameAnimation::GetProperties(TPropList& out) const {
  TImage::GetProperties(out);
  // Height, Width and AutoSize are published again by this class, in its own order.
  std::erase_if(out, [](const TPropInfo& p) {
    return p.Name == "Height" || p.Name == "Width" || p.Name == "AutoSize";
  });
  static const TPropInfo props[] = {
      TPROP_INT(TFrameAnimation, "Height", s->GetHeight(),
                s->SetHeight(static_cast<int>(v)), 105),
      TPROP_INT(TFrameAnimation, "Width", s->GetWidth(), s->SetWidth(static_cast<int>(v)), 105),
      TPROP_INT(TFrameAnimation, "FrameNumber", s->FrameNumber(),
                s->SetFrame(static_cast<int>(v)), 0),
      TPROP_INT(TFrameAnimation, "TripTime", s->TripTime(),
                s->SetTripTime(static_cast<int>(v)), 0),
      TPROP_REFERENCE(TFrameAnimation, "SimTimer", s->SimTimerName(), s->SetSimTimerByName(v)),
      TPROP_BOOL(TFrameAnimation, "AutoSize", s->AutoSize(), s->SetAutoSize(v), true),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

namespace AnimationCode {
void Register() { RegisterComponentClass<TFrameAnimation>("Automation", "TFrameAnimation"); }
}  // namespace AnimationCode
