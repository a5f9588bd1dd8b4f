#pragma once
// A stopwatch display: hours, minutes and seconds of the milliseconds counted from a timer's
// ticks while started. It advances only when its owner calls Tick on each tick of Timer.
#include <string>

#include "framework/StaticText.h"
#include "framework/Timer.h"

// The system colour of the dark shadow of 3-D elements, as the framework encodes system colours.
constexpr TColor cl3DDkShadow = 0xFF000015u;

class TClock : public TStaticText {
 public:
  explicit TClock(TComponent* owner);
  std::string_view ClassName() const override { return "TClock"; }
  void GetProperties(TPropList& out) const override;

  // Start and stop keep every counter, the gathered milliseconds included.
  void fnStart(bool b);
  // True zeroes hours, minutes and seconds and shows it at once; false does nothing.
  void fnReset(bool b);
  TTimer* Timer() const { return FTimer; }
  // Reads the timer's interval once. No timer, or one slower than a second, stands still.
  void SetTimer(TTimer* t);

  // One tick of the timer; the sender argument lets OnTimer be bound to it directly.
  void Tick(TObject* sender = nullptr);
  void UpdateTime();

  bool Running() const { return FRunning; }
  int Increment() const { return FIncrement; }
  int Hours() const { return FHours; }
  int Minutes() const { return FMinutes; }
  int Seconds() const { return FSeconds; }
  int Milliseconds() const { return FMilliseconds; }

 private:
  TTimer* FTimer = nullptr;
  bool FRunning = false;
  int FIncrement = 0;
  int FHours = 0;
  int FMinutes = 0;
  int FSeconds = 0;
  int FMilliseconds = 0;
};

namespace Clock {
void Register();
}
