#pragma once
// A mechanism whose position is a frame number: it shows one picture out of an ordered list and
// moves through the list at a rate derived from the time a full run should take. It does not
// run by itself; its owner calls SimulationStep once per tick of the owner's timer, and the timer
// is read only for its interval.
#include <string_view>
#include <vector>

#include "framework/Image.h"
#include "framework/Picture.h"
#include "signals/Method.h"

class TTimer;

// (frame number, sender); the sender is the animation.
using TFrameEvent = TMethod<int, void*>;

enum TPlayState : int { psStopped = 0, psPlaying = 1, psPaused = 2, psJammed = 3 };

class TFrameAnimation : public TImage {
 public:
  explicit TFrameAnimation(TComponent* owner);
  ~TFrameAnimation() override;
  std::string_view ClassName() const override { return "TFrameAnimation"; }
  void GetProperties(TPropList& out) const override;

  // Appends frames prefix0 ... prefix<count-1> of type "FRAMES", shows the first of them and
  // makes the run cover all `count` frames. A missing picture throws EResNotFound; frames loaded
  // before it stay in the list.
  void LoadResources(std::string_view prefix, int count);
  void AddFrame(const TPicture& picture);

  // Shows frame n; out-of-range numbers are ignored. OnFrameChange runs first, while
  // FrameNumber() still reports the old frame.
  void SetFrame(int n);

  void Play(int from, int to);
  void Play();
  void Continue();
  void Pause();
  // One tick: accumulates the rate and moves by whole frames, stopping at the run's bounds.
  void SimulationStep();

  // Zero keeps the previous trip time and rate.
  void SetTripTime(int ms);
  void SetSimTimer(TTimer* timer);

  // Both show frame 0 (FrameNumber is left alone), then resize.
  void SetWidth(int w);
  void SetHeight(int h);
  int GetWidth() const { return Width(); }
  int GetHeight() const { return Height(); }

  TTimer* SimTimer() const { return FSimTimer; }
  float FrameAccumulator() const { return FFrameAccumulator; }
  float FramesPerTick() const { return FFramesPerTick; }
  int FrameCount() const { return FFrameCount; }
  int FrameNumber() const { return FFrameNumber; }
  int TripTime() const { return FTripTime; }
  int FromFrame() const { return FFromFrame; }
  int ToFrame() const { return FToFrame; }
  const std::vector<TPicture>& Frames() const { return FFrames; }

  void Notification(TComponent* component, TOperation operation) override;

  TFrameEvent OnFrameChange;
  TFrameEvent OnEnd;
  // Owners write these directly: the bridge jams and repairs through PlayState, the main window
  // picks the direction before it continues the run.
  TPlayState PlayState = psStopped;
  bool Reverse = false;

 private:
  // The layout names the timer; it is looked up among the owner's components.
  std::string SimTimerName() const;
  void SetSimTimerByName(const std::string& name);

  TTimer* FSimTimer = nullptr;
  float FFrameAccumulator = 0.0f;
  float FFramesPerTick = 0.0f;
  int FFrameCount = 0;
  int FFrameNumber = 0;
  int FTripTime = 0;
  int FFromFrame = 0;
  int FToFrame = 0;
  std::vector<TPicture> FFrames;
};

namespace AnimationCode {
void Register();
}
