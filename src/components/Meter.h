#pragma once
// A numeric read-out: shows the last value that reached either of its inputs as a plain
// decimal number. The caption is its only record of the value.
#include <string_view>

#include "framework/StaticText.h"
#include "signals/Iobyte.h"
#include "signals/Ioword.h"

class TMeter : public TStaticText {
 public:
  explicit TMeter(TComponent* owner);
  std::string_view ClassName() const override { return "TMeter"; }

  // 8-bit input; its handler is SetMeterValueB.
  TInputByte* const ByteIn = &FByteIn;
  // 16-bit input; its handler is SetMeterValueW.
  TInputWord* const WordIn = &FWordIn;

  void SetMeterValueB(unsigned char value);
  void SetMeterValueW(unsigned short value);

 private:
  TInputByte FByteIn;
  TInputWord FWordIn;
};

namespace Meter {
void Register();
}
