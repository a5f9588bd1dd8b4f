// The clickable control models used by the PLC window: grouping, events, and locking by a
// disabled container.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ButtonControl.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/Form.h"
#include "framework/GroupBox.h"
#include "framework/RadioButton.h"
#include "framework/SpeedButton.h"

namespace {

struct Clicks {
  std::vector<std::string> log;
  void Click(TObject* sender) { log.push_back(std::string(static_cast<TComponent*>(sender)->Name)); }
};

template <class T>
T* Make(TComponent* owner, TControl* parent, const char* name, Clicks& clicks) {
  auto* c = new T(owner);
  c->Name = name;
  c->SetParent(parent);
  c->OnClick = TNotifyEvent(&clicks, &Clicks::Click);
  return c;
}

TEST(RadioButtons, SiblingsAreExclusiveAndOnlyBecomingCheckedClicks) {
  TComponent root(nullptr);
  TGroupBox box(&root), other(&root);
  Clicks clicks;
  auto* a = Make<TRadioButton>(&root, &box, "a", clicks);
  auto* b = Make<TRadioButton>(&root, &box, "b", clicks);
  auto* c = Make<TRadioButton>(&root, &other, "c", clicks);
  a->Click();
  c->Click();
  EXPECT_TRUE(a->Checked());
  EXPECT_TRUE(c->Checked());  // another parent, another group
  b->SetChecked(true);        // from code: still a click
  EXPECT_FALSE(a->Checked());
  b->Click();  // already checked: nothing
  EXPECT_EQ(clicks.log, (std::vector<std::string>{"a", "c", "b"}));
}

TEST(SpeedButtons, GroupedButtonsToggleExclusivelyAndClickEveryTime) {
  TComponent root(nullptr);
  TGroupBox box(&root);
  Clicks clicks;
  auto* on = Make<TSpeedButton>(&root, &box, "on", clicks);
  auto* off = Make<TSpeedButton>(&root, &box, "off", clicks);
  auto* lone = Make<TSpeedButton>(&root, &box, "lone", clicks);
  auto* other = Make<TSpeedButton>(&root, &box, "other", clicks);
  on->SetGroupIndex(1);
  off->SetGroupIndex(1);
  other->SetGroupIndex(2);
  on->SetDown(true);
  other->SetDown(true);
  off->Click();
  EXPECT_TRUE(off->Down());
  EXPECT_FALSE(on->Down());
  EXPECT_TRUE(other->Down());  // another group index
  off->Click();                // down already, all-up not allowed: stays down
  EXPECT_TRUE(off->Down());
  lone->Click();
  EXPECT_FALSE(lone->Down());  // no group: a plain button
  lone->SetDown(true);
  EXPECT_FALSE(lone->Down());
  EXPECT_EQ(clicks.log, (std::vector<std::string>{"off", "off", "lone"}));
}

TEST(Buttons, ADisabledContainerLocksEverythingInside) {
  TComponent root(nullptr);
  TForm form(&root);
  TGroupBox box(&root);
  box.SetParent(&form);
  Clicks clicks;
  auto* button = Make<TButton>(&root, &box, "button", clicks);
  auto* check = Make<TCheckBox>(&root, &box, "check", clicks);
  auto* radio = Make<TRadioButton>(&root, &box, "radio", clicks);
  auto* speed = Make<TSpeedButton>(&root, &box, "speed", clicks);
  speed->SetGroupIndex(1);
  box.SetEnabled(false);
  button->Click();
  check->Click();
  radio->Click();
  speed->Click();
  EXPECT_TRUE(clicks.log.empty());
  EXPECT_FALSE(check->Checked());
  EXPECT_FALSE(speed->Down());
  // Code still sets state (a program may lock a group and set it).
  check->SetChecked(true);
  EXPECT_TRUE(check->Checked());
  box.SetEnabled(true);
  button->Click();
  check->Click();
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(clicks.log, (std::vector<std::string>{"check", "button", "check"}));
}

TEST(ComboBoxes, OnlyTheUsersChoiceRaisesChange) {
  TComponent root(nullptr);
  TComboBox box(&root);
  Clicks clicks;
  box.Name = "box";
  box.OnChange = TNotifyEvent(&clicks, &Clicks::Click);
  EXPECT_EQ(box.AddItem("one"), 0);
  EXPECT_EQ(box.AddItem("two"), 1);
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(box.Text(), "");
  box.SetItemIndex(1);
  EXPECT_EQ(box.Text(), "two");
  box.SetItemIndex(5);  // outside: nothing selected
  EXPECT_EQ(box.ItemIndex(), -1);
  box.Select(7);
  box.Select(0);
  EXPECT_EQ(box.Text(), "one");
  box.SetEnabled(false);
  box.Select(1);
  EXPECT_EQ(box.ItemIndex(), 0);
  EXPECT_EQ(clicks.log, (std::vector<std::string>{"box"}));
  box.Clear();
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(box.Count(), 0);
}

TEST(Forms, ContentSizeCoversVisibleChildrenAndCloseHides) {
  TComponent root(nullptr);
  TForm form(&root);
  TGroupBox a(&root), b(&root), hidden(&root);
  a.SetParent(&form);
  b.SetParent(&form);
  hidden.SetParent(&form);
  a.SetBounds(0, 0, 100, 50);
  b.SetBounds(40, 60, 70, 20);
  hidden.SetBounds(0, 0, 500, 500);
  hidden.SetVisible(false);
  int w = 0, h = 0;
  form.ContentSize(w, h);
  EXPECT_EQ(w, 110);
  EXPECT_EQ(h, 80);
  Clicks clicks;
  form.Name = "form";
  form.OnClose = TNotifyEvent(&clicks, &Clicks::Click);
  form.Show();
  form.Close();
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(clicks.log, (std::vector<std::string>{"form"}));
}

}  // namespace
