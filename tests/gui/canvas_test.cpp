// How the canvas routes the user's actions to the models and follows their changes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QTest>
#include <QToolTip>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "framework/Menus.h"
#include "framework/Shape.h"
#include "framework/StaticText.h"
#include "gui/Canvas.h"

namespace {

struct Events {
  std::vector<std::string> log;
  void Down(TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    log.push_back("down " + static_cast<TComponent*>(s)->Name + " b" + std::to_string(b) + " s" +
                  std::to_string(sh) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void Up(TObject* s, TMouseButton b, TShiftState, int x, int y) {
    log.push_back("up " + static_cast<TComponent*>(s)->Name + " b" + std::to_string(b) + " " +
                  std::to_string(x) + "," + std::to_string(y));
  }
  void Click(TObject* s) { log.push_back("click " + static_cast<TComponent*>(s)->Name); }
  void Item(TObject* s) { log.push_back("item " + static_cast<TMenuItem*>(s)->Caption); }
  void Wire(TControl* c) {
    c->OnMouseDown = TMouseEvent(this, &Events::Down);
    c->OnMouseUp = TMouseEvent(this, &Events::Up);
    c->OnClick = TNotifyEvent(this, &Events::Click);
  }
};

struct CanvasTest : ::testing::Test {
  TForm form{nullptr};
  TCanvas canvas;
  Events ev;
  TShape* back = nullptr;
  TShape* front = nullptr;
  TStaticText* label = nullptr;

  void SetUp() override {
    form.Name = "form";
    form.SetBounds(0, 0, 200, 100);
    back = Make<TShape>("back", 10, 10, 50, 50);
    front = Make<TShape>("front", 30, 30, 50, 50);
    label = Make<TStaticText>("label", 100, 10, 60, 12);
    label->SetAutoSize(false);
    label->SetBounds(100, 10, 60, 12);
    canvas.SetRoot(&form);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
  }
  template <class T>
  T* Make(const char* name, int l, int t, int w, int h) {
    auto* c = new T(&form);
    c->Name = name;
    c->SetBounds(l, t, w, h);
    c->SetParent(&form);
    ev.Wire(c);
    return c;
  }
};

TEST_F(CanvasTest, TakesTheRootsSizeAndFindsTheTopmostControl) {
  EXPECT_EQ(canvas.size(), QSize(200, 100));
  EXPECT_EQ(canvas.ControlAt({40, 40}, true), front);
  EXPECT_EQ(canvas.ControlAt({15, 15}, true), back);
  EXPECT_EQ(canvas.ControlAt({190, 90}, true), &form);
  EXPECT_EQ(canvas.ControlAt({250, 50}, true), nullptr);
  front->SetEnabled(false);
  EXPECT_EQ(canvas.ControlAt({40, 40}, true), back) << "a disabled control lets the mouse through";
  EXPECT_EQ(canvas.ControlAt({40, 40}, false), front) << "but still shows its hint";
  front->SetVisible(false);
  EXPECT_EQ(canvas.ControlAt({40, 40}, false), back);
}

TEST_F(CanvasTest, PressAndReleaseReachTheControlInItsOwnCoordinates) {
  QTest::mousePress(&canvas, Qt::LeftButton, Qt::ShiftModifier, QPoint(40, 35));
  QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::ShiftModifier, QPoint(41, 36));
  EXPECT_EQ(ev.log, (std::vector<std::string>{"down front b0 s9 10,5", "click front",
                                               "up front b0 11,6"}));
}

TEST_F(CanvasTest, AReleaseOutsideGoesToThePressedControlWithoutAClick) {
  QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(15, 15));
  QTest::mouseRelease(&canvas, Qt::LeftButton, {}, QPoint(150, 80));
  EXPECT_EQ(ev.log, (std::vector<std::string>{"down back b0 s8 5,5", "up back b0 140,70"}));
}

TEST_F(CanvasTest, TooltipShowsTheHintOfTheControlUnderTheCursor) {
  label->SetHint("E124.0");
  back->SetHint("hidden");  // a hint without ShowHint is not shown
  QHelpEvent onShape(QEvent::ToolTip, QPoint(15, 15), canvas.mapToGlobal(QPoint(15, 15)));
  QApplication::sendEvent(&canvas, &onShape);
  EXPECT_FALSE(QToolTip::isVisible());

  label->SetShowHint(true);
  label->SetEnabled(false);  // disabled controls still show their hint
  QHelpEvent onLabel(QEvent::ToolTip, QPoint(110, 15), canvas.mapToGlobal(QPoint(110, 15)));
  QApplication::sendEvent(&canvas, &onLabel);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), "E124.0");
  QToolTip::hideText();
}

TEST_F(CanvasTest, RightClickOpensTheMenuOfTheControlAndDeliversTheChosenItem) {
  auto* menu = new TPopupMenu(&form);
  TMenuItem* set = menu->Add("Set");
  TMenuItem* reset = menu->Add("Reset");
  set->OnClick = TNotifyEvent(&ev, &Events::Item);
  reset->OnClick = TNotifyEvent(&ev, &Events::Item);
  reset->Enabled = false;
  label->SetPopupMenu(menu);

  QTest::mousePress(canvas.windowHandle(), Qt::RightButton, {}, QPoint(120, 15));
  auto* qmenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(qmenu, nullptr);
  EXPECT_EQ(qmenu, canvas.OpenMenu());
  EXPECT_EQ(menu->PopupComponent(), label);
  const auto actions = qmenu->actions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_EQ(actions[0]->text(), "Set");
  EXPECT_TRUE(actions[0]->isEnabled());
  EXPECT_EQ(actions[1]->text(), "Reset");
  EXPECT_FALSE(actions[1]->isEnabled());

  QTest::mouseClick(qmenu, Qt::LeftButton, {}, qmenu->actionGeometry(actions[0]).center());
  EXPECT_EQ(ev.log.back(), "item Set");
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the menu closed";
}

TEST_F(CanvasTest, AMenuWhoseControlDiesWhileOpenDeliversNothing) {
  auto* menu = new TPopupMenu(&form);
  TMenuItem* set = menu->Add("Set");
  set->OnClick = TNotifyEvent(&ev, &Events::Item);
  label->SetPopupMenu(menu);
  QTest::mousePress(canvas.windowHandle(), Qt::RightButton, {}, QPoint(120, 15));
  QPointer<QMenu> qmenu = canvas.OpenMenu();
  ASSERT_FALSE(qmenu.isNull());
  QAction* action = qmenu->actions().value(0);
  delete label;
  label = nullptr;
  if (!qmenu.isNull() && action != nullptr) action->trigger();
  for (const auto& e : ev.log) EXPECT_NE(e, "item Set");
}

TEST_F(CanvasTest, ChangesRepaintAndABurstCostsOnePaint) {
  back->Brush.SetColor(clRed);
  QApplication::processEvents();
  const int before = canvas.PaintCount();
  for (int i = 0; i < 16; ++i) {
    back->Brush.SetColor(i % 2 ? clYellow : clLime);
    label->SetCaption("X" + std::to_string(i));
  }
  QApplication::processEvents();
  EXPECT_EQ(canvas.PaintCount() - before, 1);
  EXPECT_EQ(canvas.grab().toImage().pixelColor(15, 15), QColor(255, 255, 0));
}

TEST_F(CanvasTest, ControlsAddedLaterAreWatchedAndADestroyedRootLeavesAnEmptyCanvas) {
  auto* late = new TShape(&form);
  late->SetBounds(170, 60, 20, 20);
  late->SetParent(&form);
  late->Brush.SetColor(clBlue);
  EXPECT_EQ(canvas.grab().toImage().pixelColor(180, 70), QColor(0, 0, 255));
  late->Brush.SetColor(clRed);
  QApplication::processEvents();
  EXPECT_EQ(canvas.grab().toImage().pixelColor(180, 70), QColor(255, 0, 0));

  auto* other = new TForm(nullptr);
  canvas.SetRoot(other);
  delete other;
  EXPECT_EQ(canvas.Root(), nullptr);
  QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(15, 15));
  EXPECT_TRUE(ev.log.empty());
}

}  // namespace
