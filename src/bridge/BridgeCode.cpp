#include "bridge/BridgeCode.h"

#include <array>
#include <cstdint>

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

constexpr int kLastListedFrame = 40;
enum : std::uint8_t { kA = 1, kB = 2, kC = 4, kD = 8 };

// The bands unrolled into one entry per frame, so a frame change costs one lookup.
constexpr std::array<std::uint8_t, kLastListedFrame + 1> kSwitchesByFrame = [] {
  std::array<std::uint8_t, kLastListedFrame + 1> t{};
  for (const TSwitchBand& band : kBands)
    for (int f = band.First; f <= band.Last; ++f)
      t[static_cast<std::size_t>(f)] = static_cast<std::uint8_t>(
          (band.A ? kA : 0) | (band.B ? kB : 0) | (band.C ? kC : 0) | (band.D ? kD : 0));
  return t;
}();

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
  if (framenum < 0 || framenum > kLastListedFrame) return;
  const std::uint8_t on = kSwitchesByFrame[static_cast<std::size_t>(framenum)];
  FC_AOut->SetState((on & kA) != 0);
  FC_BOut->SetState((on & kB) != 0);
  FC_COut->SetState((on & kC) != 0);
  FC_DOut->SetState((on & kD) != 0);
}
