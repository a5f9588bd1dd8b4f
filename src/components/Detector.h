#pragma once
// A threshold switch: it watches an 8- or 16-bit value (a tank's level, a valve's position),
// compares it with Threshold and drives one contact, normally open or normally closed. It shows
// one picture while the value is at or above the threshold and another below it.
#include "framework/Image.h"
#include "signals/Iobyte.h"
#include "signals/Iopin.h"
#include "signals/Ioword.h"

enum TDetectorType { dtNO, dtNC };

class TDetector : public TImage {
 public:
  explicit TDetector(TComponent* owner);
  ~TDetector() override;
  std::string_view ClassName() const override { return "TDetector"; }
  void GetProperties(TPropList& out) const override;

  // Both inputs feed one value: whichever changed last sets it.
  TInputByte* const ByteIn = new TInputByte;
  TInputWord* const WordIn = new TInputWord;
  void NewDataEventB(unsigned char v);
  void NewDataEventW(unsigned short v);

  unsigned short Threshold() const { return FThreshold; }
  // Re-evaluates even when the threshold is unchanged.
  void SetThreshold(unsigned short t);
  TDetectorType Type() const { return FType; }
  void SetType(TDetectorType t);

  const TPicture& ImageON() const { return FImageON; }
  const TPicture& ImageOFF() const { return FImageOFF; }
  // The detector keeps its own copy of the picture (null is ignored); the displayed picture
  // follows at the next change of the active state.
  void SetImageON(const TPicture* p);
  void SetImageOFF(const TPicture* p);

  void ConnectTo(TInputPin* p);
  const TOutputPin& Output() const { return FOutput; }

  // The evaluation: active = value >= Threshold; the contact is offered on every call.
  void Update();
  bool Active() const { return FActive; }
  unsigned short Value() const { return FValue; }

 private:
  TOutputPin FOutput;
  unsigned short FThreshold = 0;
  unsigned short FValue = 0;
  bool FActive = false;
  TPicture FImageON;
  TPicture FImageOFF;
  TDetectorType FType = dtNO;
};

namespace Detector {
void Register();
}
