#include "bridge/BridgeCode.h"

namespace {

// Limit-switch levels by frame, FC_A ... FC_D. The pairs overlap (A+B on 2-4, C+D on 29-30) so
// a program sees each end approach before the end itself; past FC_D the deck over-travels with
// nothing active. Frame 40 is listed although 40 loaded frames never reach it.
struct TSwitchBand {
  int First, Last;
  bool A, B, C, D;
};

constexpr TSwitchBand kBands[] = {
    {0, 1, true, false, false, false},    {2, 4, true, true, false, false},
    {5, 9, false, true, false, false},    {10, 23, false, false, false, false},
    {24, 28, false, false, true, false},  {29, 30, false, false, true, true},
    {31, 35, false, false, false, true},  {36, 40, false, false, false, false},
};

}  // namespace

TBridge::TBridge(TComponent* owner) : TFrameAnimation(owner) {
  OnFrameChange = TFrameEvent(this, &TBridge::FrameChangeEvent);
  // No frame change happens here: the signals stay false / 0 until the owner sets a frame.
  LoadResources("FRAMES_", kFrames);
}

void TBridge::ConnectFCAOutTo(TInputPin* p) {
  if (p != nullptr) FC_AOut->ConnectTo(p);
}
void TBridge::ConnectFCBOutTo(TInputPin* p) {
  if (p != nullptr) FC_BOut->ConnectTo(p);
}
void TBridge::ConnectFCCOutTo(TInputPin* p) {
  if (p != nullptr) FC_COut->ConnectTo(p);
}
void TBridge::ConnectFCDOutTo(TInputPin* p) {
  if (p != nullptr) FC_DOut->ConnectTo(p);
}

void TBridge::ConnectElevationOutTo(TInputByte* r) {
  if (r == nullptr) return;
  ElevationOut->ConnectTo(r);
  ElevationOut->SetValue(ElevationOf(FrameNumber()));
}

void TBridge::Jam() { PlayState = psJammed; }

void TBridge::Repair() { PlayState = psStopped; }

unsigned char TBridge::ElevationOf(int framenum) {
  // Integer arithmetic, truncating toward zero, then clamped; wide enough for any frame number.
  long long e = (static_cast<long long>(framenum) - 4) * 90 / 30;
  if (e < 0) e = 0;
  if (e > 90) e = 90;
  return static_cast<unsigned char>(e);
}

void TBridge::FrameChangeEvent(int framenum, void* sender) {
  (void)sender;
  ElevationOut->SetValue(ElevationOf(framenum));
  for (const TSwitchBand& band : kBands) {
    if (framenum < band.First || framenum > band.Last) continue;
    FC_AOut->SetState(band.A);
    FC_BOut->SetState(band.B);
    FC_COut->SetState(band.C);
    FC_DOut->SetState(band.D);
    return;
  }
}
