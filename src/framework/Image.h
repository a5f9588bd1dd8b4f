#pragma once
// A control that shows one picture, stretched to its bounds or at natural size.
#include "framework/Control.h"
#include "framework/Picture.h"

class TImage : public TControl {
 public:
  explicit TImage(TComponent* owner);
  std::string_view ClassName() const override { return "TImage"; }
  void GetProperties(TPropList& out) const override;

  const TPicture& Picture() const { return FPicture; }
  // Shows a copy of the picture (a handle copy; nothing is decoded). With AutoSize the control
  // takes the picture's natural size.
  void SetPicture(const TPicture& picture);

  bool Stretch() const { return FStretch; }
  void SetStretch(bool v);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  bool Center() const { return FCenter; }
  void SetCenter(bool v);

 private:
  void FitToPicture();

  TPicture FPicture;
  bool FStretch = false;
  bool FAutoSize = false;
  bool FTransparent = false;
  bool FCenter = false;
};
