#pragma once
// The model of a top-level window: a control with a caption and a background colour that
// hosts the plant's or the PLC's controls. The GUI shows it in a real window.
#include <string>

#include "framework/Control.h"

class TForm : public TControl {
 public:
  explicit TForm(TComponent* owner);
  std::string_view ClassName() const override { return "TForm"; }
  void GetProperties(TPropList& out) const override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& text);
  TColor Color() const { return FColor; }
  void SetColor(TColor c);

 private:
  std::string FCaption;
  TColor FColor = clBtnFace;
};
