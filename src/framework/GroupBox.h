#pragma once
// A framed container with a title. Disabling it locks every control inside.
#include <string>

#include "framework/Control.h"
#include "framework/StaticText.h"

class TGroupBox : public TControl {
 public:
  explicit TGroupBox(TComponent* owner);
  std::string_view ClassName() const override { return "TGroupBox"; }
  void GetProperties(TPropList& out) const override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& text);

  TFont Font{this};

 private:
  std::string FCaption;
};
