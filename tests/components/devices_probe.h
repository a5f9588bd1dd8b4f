#pragma once
// Probes for the field-device tests: everything a device does (picture shown, events fired,
// levels reaching receivers) lands in one ordered log, so a test can check both what happened
// and in which order.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/Image.h"
#include "signals/Iopin.h"

using TLog = std::vector<std::string>;

// Calls a function from a bound-method event of any signature.
template <typename... Args>
struct TProbe {
  std::function<void(Args...)> Fn;
  void Fire(Args... a) { Fn(a...); }
  TMethod<Args...> Method() { return TMethod<Args...>(this, &TProbe::Fire); }
};

// A receiver pin that logs "<name>=<level>" whenever its level changes, optionally with a note
// taken at that moment (for instance the device's State).
class TPinProbe {
 public:
  TPinProbe(TLog& log, std::string name, std::function<std::string()> note = nullptr)
      : FLog(log), FName(std::move(name)), FNote(std::move(note)) {
    Pin.OnChange = TPinChangeEvent(this, &TPinProbe::Changed);
  }
  TInputPin Pin;

 private:
  void Changed(bool level, void*) {
    FLog.push_back(FName + (level ? "=1" : "=0") + (FNote ? " " + FNote() : std::string()));
  }
  TLog& FLog;
  std::string FName;
  std::function<std::string()> FNote;
};

// Logs "pic=<NAME>" each time the image starts showing another picture.
class TPictureProbe : public TControlObserver {
 public:
  TPictureProbe(TLog& log, TImage& image) : FLog(log), FImage(&image) {
    FLast = std::string(image.Picture().Name());
    image.AddObserver(this);
  }
  ~TPictureProbe() override {
    if (FImage != nullptr) FImage->RemoveObserver(this);
  }
  TPictureProbe(const TPictureProbe&) = delete;
  TPictureProbe& operator=(const TPictureProbe&) = delete;

  void ControlChanged(TControl*) override {
    const std::string now(FImage->Picture().Name());
    if (now != FLast) FLog.push_back("pic=" + now);
    FLast = now;
  }
  void ControlDestroyed(TControl*) override { FImage = nullptr; }

 private:
  TLog& FLog;
  TImage* FImage;
  std::string FLast;
};

inline std::string Shown(const TImage& image) { return std::string(image.Picture().Name()); }
