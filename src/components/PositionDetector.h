#pragma once
// A position sensor (photo-electric barrier, proximity sensor, inductive loop or reed switch)
// that senses other controls of its window by rectangle geometry. The owner registers the moving
// controls and calls Detection whenever they move; the verdict becomes State, an output pin, a
// picture swap and an event.
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/Image.h"
#include "signals/Iopin.h"

enum TPositionDetectorType {
  pdPHOTO_HOR,
  pdPHOTO_VER,
  pdPROX_HOR,
  pdPROX_VER,
  pdLOOP,
  pdREED_HOR,
  pdREED_VER,
  pdCUSTOM
};

using TDetectionChangeEvent = TMethod<bool>;

// A detection test supplied by the owner: an object and one of its member functions
// bool f(TControl* control, int x, int y), given the control under test and the detector's
// reference point. Like the framework's events it never allocates; unassigned it is skipped.
class TDetectionFunc {
 public:
  TDetectionFunc() = default;
  TDetectionFunc(std::nullptr_t) {}  // NOLINT: allows `Func = nullptr`
  template <class C>
  TDetectionFunc(C* object, bool (C::*method)(TControl*, int, int)) {
    using Ptr = bool (C::*)(TControl*, int, int);
    static_assert(sizeof(Ptr) <= sizeof(FStorage), "member pointer too large");
    FObject = object;
    std::memcpy(FStorage, &method, sizeof(Ptr));
    FThunk = method ? &Thunk<C> : nullptr;
  }
  bool Assigned() const { return FThunk != nullptr; }
  bool operator()(TControl* c, int x, int y) const {
    return FThunk != nullptr && FThunk(FObject, FStorage, c, x, y);
  }

 private:
  struct Probe {
    virtual ~Probe() = default;
    bool F(TControl*, int, int);
  };
  template <class C>
  static bool Thunk(void* object, const unsigned char* storage, TControl* c, int x, int y) {
    using Ptr = bool (C::*)(TControl*, int, int);
    Ptr method;
    std::memcpy(&method, storage, sizeof(Ptr));
    return (static_cast<C*>(object)->*method)(c, x, y);
  }

  void* FObject = nullptr;
  alignas(void*) unsigned char FStorage[sizeof(bool (Probe::*)(TControl*, int, int))] = {};
  bool (*FThunk)(void*, const unsigned char*, TControl*, int, int) = nullptr;
};

class TPositionDetector : public TImage, private TControlObserver {
 public:
  // Per-position results exist for this many watched controls.
  static constexpr int MaxControls = 20;

  explicit TPositionDetector(TComponent* owner);
  ~TPositionDetector() override;
  std::string_view ClassName() const override { return "TPositionDetector"; }
  void GetProperties(TPropList& out) const override;

  // Geometry writers that snap the control back to its bitmap and move the reference point.
  int GetLeft() const { return Left(); }
  int GetTop() const { return Top(); }
  int GetWidth() const { return Width(); }
  int GetHeight() const { return Height(); }
  void SetLeft(int v);
  void SetTop(int v);
  void SetHeight(int v);
  void SetWith(int v);

  const TPicture& PictureOFF() const { return FPictureOFF; }
  const TPicture& PictureON() const { return FPictureON; }
  // Copy the picture (null is ignored) and show the one for the present State.
  void SetPictureOFF(const TPicture* p);
  void SetPictureON(const TPicture* p);

  TPositionDetectorType Type() const { return FType; }
  void SetType(TPositionDetectorType t);

  bool State() const { return FState; }
  void SetState(bool b);
  // Shows PictureON or PictureOFF for the present State.
  void Update();

  // Appends a control unless present and returns its position; -1 for null or when the list
  // already holds MaxControls.
  int AddControl(TControl* c);
  // Removes one control (its later neighbours' results move up with them), or all of them.
  void Release(TControl* c);
  void Release();
  const std::vector<TControl*>& Controls() const { return FControls; }
  // The last result of Detection(control) for the control at this position.
  bool Result(int position) const;

  // Scans every watched control; the first one detected wins.
  bool Detection();
  // Tests one control (adding it to the list when absent) and sets State from every result.
  bool Detection(TControl* c);

  void RefCompute();
  int RefX() const { return FRefX; }
  int RefY() const { return FRefY; }

  void OutputConnectTo(TInputPin* p);
  const TOutputPin& Output() const { return FOutput; }

  TDetectionChangeEvent OnDetectionChange;
  TDetectionFunc CustomDetectionFunc;
  TControl* DetectedControl = nullptr;

 private:
  using TTypeFunc = bool (TPositionDetector::*)();

  bool PhotoHorDetectionFunc();
  bool PhotoVerDetectionFunc();
  bool ProxHorDetectionFunc();
  bool ProxVerDetectionFunc();
  bool LoopDetectionFunc();
  bool ReedHorDetectionFunc();
  bool ReedVerDetectionFunc();

  void LoadTarget(const TControl* c);
  bool RunTest(TControl* c);
  int IndexOf(const TControl* c) const;

  void ControlChanged(TControl*) override {}
  void ControlDestroyed(TControl* control) override;

  std::vector<TControl*> FControls;
  std::array<bool, MaxControls> FResults{};
  TOutputPin FOutput;
  TPicture FPictureON;
  TPicture FPictureOFF;
  bool FState = false;
  std::int16_t FRefX = 0, FRefY = 0;
  TPositionDetectorType FType = pdPHOTO_HOR;
  std::int16_t FCx = 0, FCy = 0;
  std::uint16_t FCw = 0, FCh = 0;
  TTypeFunc FTypeFunc = nullptr;
};

namespace PositionDetector {
void Register();
}
