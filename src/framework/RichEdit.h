#pragma once
// A multi-line text box (plain text here; the view may render it richly). Read-only boxes take
// text only from code.
#include <string>

#include "framework/Control.h"
#include "framework/StaticText.h"

class TRichEdit : public TControl {
 public:
  explicit TRichEdit(TComponent* owner);
  std::string_view ClassName() const override { return "TRichEdit"; }
  void GetProperties(TPropList& out) const override;

  // The whole text, lines separated by '\n'.
  const std::string& Text() const { return FText; }
  void SetText(const std::string& text);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v);

  TFont Font{this};

 private:
  std::string FText;
  bool FReadOnly = false;
};
