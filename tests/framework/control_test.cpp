#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Form.h"
#include "framework/Menus.h"
#include "framework/Shape.h"
#include "framework/StaticText.h"

namespace {

// Logs what it is told, as "changed:<name>", "destroyed:<name>", "children:<name>".
class TLogObserver : public TControlObserver {
 public:
  std::vector<std::string> Log;
  TControl* RemoveFrom = nullptr;  // when set, unsubscribes itself on its first change
  void ControlChanged(TControl* c) override {
    Log.push_back("changed:" + c->Name);
    if (RemoveFrom != nullptr) RemoveFrom->RemoveObserver(this);
  }
  void ControlDestroyed(TControl* c) override { Log.push_back("destroyed:" + c->Name); }
  void ChildrenChanged(TControl* c) override { Log.push_back("children:" + c->Name); }
};

TControl* Make(TComponent* owner, const char* name) {
  auto* c = new TControl(owner);
  c->Name = name;
  return c;
}

TEST(Parent, ChildrenFollowSetParentInOrderAndMoveBetweenParents) {
  TForm form(nullptr);
  TControl* panel = Make(&form, "panel");
  TControl* a = Make(&form, "a");
  TControl* b = Make(&form, "b");
  panel->SetParent(&form);
  a->SetParent(&form);
  b->SetParent(&form);
  EXPECT_EQ(form.Children(), (std::vector<TControl*>{panel, a, b}));
  a->SetParent(panel);
  EXPECT_EQ(form.Children(), (std::vector<TControl*>{panel, b}));
  EXPECT_EQ(panel->Children(), (std::vector<TControl*>{a}));
  EXPECT_EQ(a->Parent(), panel);
}

TEST(Parent, RefusesACycle) {
  TForm form(nullptr);
  TControl* panel = Make(&form, "panel");
  TControl* inner = Make(&form, "inner");
  panel->SetParent(&form);
  inner->SetParent(panel);
  form.SetParent(inner);  // would make form its own ancestor
  EXPECT_EQ(form.Parent(), nullptr);
  panel->SetParent(panel);
  EXPECT_EQ(panel->Parent(), &form);
}

TEST(Parent, DestroyingAChildOrTheParentLeavesNoDanglingLinks) {
  TForm owner(nullptr);
  TControl* parent = Make(&owner, "parent");
  TControl* kept = Make(&owner, "kept");
  TControl* gone = Make(&owner, "gone");
  kept->SetParent(parent);
  gone->SetParent(parent);
  delete gone;
  EXPECT_EQ(parent->Children(), (std::vector<TControl*>{kept}));
  delete parent;  // kept is owned by `owner`, not by its parent, so it survives
  EXPECT_EQ(kept->Parent(), nullptr);
}

TEST(Observer, ToldOfRealChangesOnlyAndOfDestruction) {
  TForm form(nullptr);
  form.Name = "form";
  auto* shape = new TShape(&form);
  shape->Name = "shape";
  TLogObserver obs;
  shape->AddObserver(&obs);
  shape->AddObserver(&obs);  // once is enough
  form.AddObserver(&obs);

  shape->Brush.SetColor(clYellow);
  shape->Brush.SetColor(clYellow);  // unchanged: silent
  shape->SetBounds(shape->Left(), shape->Top(), shape->Width(), shape->Height());
  shape->Pen.SetStyle(psClear);
  shape->SetParent(&form);
  EXPECT_EQ(obs.Log, (std::vector<std::string>{"changed:shape", "changed:shape", "children:form"}));

  obs.Log.clear();
  delete shape;
  EXPECT_EQ(obs.Log, (std::vector<std::string>{"children:form", "destroyed:shape"}));
  form.RemoveObserver(&obs);
}

TEST(Observer, RemovingItselfDuringANotificationSkipsNobody) {
  TLogObserver first, second;  // declared first: they outlive the shape they watch
  TShape shape(nullptr);
  shape.Name = "s";
  first.RemoveFrom = &shape;
  shape.AddObserver(&first);
  shape.AddObserver(&second);
  shape.SetVisible(false);
  EXPECT_EQ(first.Log.size(), 1u);
  EXPECT_EQ(second.Log.size(), 1u) << "the observer after the removed one is still told";
  shape.SetVisible(true);
  EXPECT_EQ(first.Log.size(), 1u);
  EXPECT_EQ(second.Log.size(), 2u);
}

struct MenuTarget {
  std::vector<std::string> clicks;
  void Clicked(TObject* sender) { clicks.push_back(static_cast<TMenuItem*>(sender)->Caption); }
};

TEST(PopupMenu, ItemClickReachesItsHandlerAndADisabledItemDoesNothing) {
  TForm form(nullptr);
  auto* menu = new TPopupMenu(&form);
  TMenuItem* set = menu->Add("Set");
  TMenuItem* reset = menu->Add("Reset");
  EXPECT_EQ(menu->Items(), (std::vector<TMenuItem*>{set, reset}));
  MenuTarget target;
  set->OnClick = TNotifyEvent(&target, &MenuTarget::Clicked);
  reset->OnClick = TNotifyEvent(&target, &MenuTarget::Clicked);
  set->Click();
  reset->Enabled = false;
  reset->Click();
  EXPECT_EQ(target.clicks, (std::vector<std::string>{"Set"}));
}

TEST(PopupMenu, LinksBetweenMenuAndControlSurviveEitherBeingDestroyed) {
  TForm form(nullptr);
  auto* menu = new TPopupMenu(&form);
  auto* label = new TStaticText(&form);
  label->SetPopupMenu(menu);
  menu->SetPopupComponent(label);
  EXPECT_EQ(label->PopupMenu(), menu);
  delete label;
  EXPECT_EQ(menu->PopupComponent(), nullptr);

  auto* other = new TStaticText(&form);
  other->SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(other->PopupMenu(), nullptr);
}

TEST(PopupMenu, AnItemDestroyedOnItsOwnLeavesTheList) {
  TPopupMenu menu(nullptr);
  TMenuItem* a = menu.Add("A");
  TMenuItem* b = menu.Add("B");
  delete a;
  EXPECT_EQ(menu.Items(), (std::vector<TMenuItem*>{b}));
}

struct MouseLog {
  std::vector<std::string> events;
  void Down(TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    events.push_back("down " + static_cast<TComponent*>(s)->Name + " " + std::to_string(b) + " " +
                     std::to_string(sh) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void Up(TObject* s, TMouseButton b, TShiftState, int x, int y) {
    events.push_back("up " + static_cast<TComponent*>(s)->Name + " " + std::to_string(b) + " " +
                     std::to_string(x) + "," + std::to_string(y));
  }
  void Click(TObject* s) { events.push_back("click " + static_cast<TComponent*>(s)->Name); }
};

TEST(Mouse, EntryPointsPassTheFrameworkArgumentsThrough) {
  TShape shape(nullptr);
  shape.Name = "led";
  MouseLog log;
  shape.OnMouseDown = TMouseEvent(&log, &MouseLog::Down);
  shape.OnMouseUp = TMouseEvent(&log, &MouseLog::Up);
  shape.OnClick = TNotifyEvent(&log, &MouseLog::Click);
  shape.MouseDown(mbRight, ssShift | ssRight, 3, 4);
  shape.MouseUp(mbRight, ssShift, 3, 5);
  shape.Click();
  EXPECT_EQ(log.events, (std::vector<std::string>{"down led 1 17 3,4", "up led 1 3,5", "click led"}));
}

TEST(Control, NegativeSizesAreClampedAndHintNeedsShowHint) {
  TControl c(nullptr);
  c.SetBounds(5, 6, -3, 10);
  EXPECT_EQ(c.BoundsRect(), (TRect{5, 6, 5, 16}));
  c.SetHint("E124.0");
  EXPECT_FALSE(c.HasTooltip());
  c.SetShowHint(true);
  EXPECT_TRUE(c.HasTooltip());
  c.SetHint("");
  EXPECT_FALSE(c.HasTooltip());
}

}  // namespace
