#pragma once
// A drop-down list. ItemIndex set from code raises nothing; the user's choice (Select) raises
// OnChange, as on screen.
#include <string>
#include <vector>

#include "framework/Control.h"
#include "framework/StaticText.h"

enum TComboBoxStyle { csDropDown, csDropDownList };

class TComboBox : public TControl {
 public:
  explicit TComboBox(TComponent* owner);
  std::string_view ClassName() const override { return "TComboBox"; }
  void GetProperties(TPropList& out) const override;

  const std::vector<std::string>& Items() const { return FItems; }
  // Appends an item and returns its index.
  int AddItem(const std::string& text);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }

  // -1 when nothing is selected; an index outside the list selects nothing.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int index);
  // The selected item's text, empty when nothing is selected.
  std::string Text() const;

  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle s);
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool v) { FAutoComplete = v; }

  // The user picks entry index in the open list. Ignored while disabled (or inside a disabled
  // container) and for an index outside the list.
  void Select(int index);

  TNotifyEvent OnChange;
  TFont Font{this};

 private:
  std::vector<std::string> FItems;
  int FItemIndex = -1;
  TComboBoxStyle FStyle = csDropDown;
  bool FAutoComplete = true;
};
