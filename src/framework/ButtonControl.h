#pragma once
// Clickable captioned controls: the common base and the plain push button. The user's click
// reaches the model through Click(); a control that is disabled, or sits inside a disabled
// container, ignores it, as on screen.
#include <string>

#include "framework/Control.h"
#include "framework/StaticText.h"

class TButtonControl : public TControl {
 public:
  explicit TButtonControl(TComponent* owner);
  std::string_view ClassName() const override { return "TButtonControl"; }
  void GetProperties(TPropList& out) const override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& text);

  // Enabled and every parent enabled.
  bool AcceptsInput() const;

  TFont Font{this};

 private:
  std::string FCaption;
};

class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* owner);
  std::string_view ClassName() const override { return "TButton"; }
  void Click() override;
};
