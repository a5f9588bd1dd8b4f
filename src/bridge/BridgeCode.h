#pragma once
// The lift bridge's deck: a 40-frame animation from lowered (frame 0) to fully raised (frame 39)
// that reports what the control system senses of it — four limit switches and the elevation in
// degrees — recomputed from the frame number on every frame change. Whether and which way the
// deck moves is decided by its owner from the contactors.
#include <string_view>

#include "components/AnimationCode.h"
#include "signals/Iobyte.h"
#include "signals/Iopin.h"

class TBridge : public TFrameAnimation {
 public:
  explicit TBridge(TComponent* owner);
  std::string_view ClassName() const override { return "TBridge"; }

  static constexpr int kFrames = 40;

  // Each may be called several times to fan a signal out; null is ignored.
  void ConnectFCAOutTo(TInputPin* p);
  void ConnectFCBOutTo(TInputPin* p);
  void ConnectFCCOutTo(TInputPin* p);
  void ConnectFCDOutTo(TInputPin* p);
  // Also pushes the elevation of the frame shown now.
  void ConnectElevationOutTo(TInputByte* r);

  // Stops the deck where it is; Play, Continue and Pause do nothing until Repair.
  void Jam();
  // Back to Stopped, jammed or not; the next Continue moves the deck again.
  void Repair();

  // Handler of OnFrameChange: runs before the new frame is shown.
  void FrameChangeEvent(int framenum, void* sender);

  // Elevation in degrees for a frame: flat up to frame 4, 3 degrees a frame, 90 from frame 34.
  static unsigned char ElevationOf(int framenum);

 private:
  // The signals live as long as the bridge; the public pointers below name them.
  TOutputPin FFCA, FFCB, FFCC, FFCD;
  TOutputByte FElevation;

 public:
  TOutputPin* const FC_AOut = &FFCA;  // lower end position
  TOutputPin* const FC_BOut = &FFCB;  // near the lower end
  TOutputPin* const FC_COut = &FFCC;  // near the upper end
  TOutputPin* const FC_DOut = &FFCD;  // upper end position
  TOutputByte* const ElevationOut = &FElevation;
};
