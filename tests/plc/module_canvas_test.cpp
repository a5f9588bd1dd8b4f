// The module on a real canvas: forcing through the real context menu, and the picture it makes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

#include "framework/Form.h"
#include "gui/Canvas.h"
#include "gui/GuiSupport.h"
#include "plc/ESModule.h"

namespace {

struct OnCanvas : ::testing::Test {
  TForm* window = nullptr;
  TIOModule* m = nullptr;
  TCanvas canvas;
  void SetUp() override {
    InitGuiSupport();
    window = new TForm(nullptr);
    window->SetBounds(0, 0, 200, 250);
    m = new TIOModule(window);
    m->SetAddress(124);
    m->SetRackLeft(16);
    m->SetRackTop(10);
    m->SetParentWindow(window);
    canvas.SetRoot(window);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
  }
  void TearDown() override { delete window; }
  QPoint Centre(const TControl* c) const {
    return QPoint(c->Left() + c->Width() / 2, c->Top() + c->Height() / 2);
  }
  QColor PixelAt(const TControl* c) { return canvas.grab().toImage().pixelColor(Centre(c)); }
};

TEST_F(OnCanvas, SetFromTheRealMenuOfAnOutputLabelTurnsThePinAndTheLedOn) {
  TInputPin coil;
  m->ConnectOutputPin(3, &coil);
  m->SetForcingEnabled(true);
  EXPECT_EQ(PixelAt(m->OutputLeds[3]), QColor(124, 124, 124));

  QTest::mousePress(canvas.windowHandle(), Qt::RightButton, {}, Centre(m->OutputLabels[3]));
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  QAction* set = nullptr;
  for (QAction* a : menu->actions())
    if (a->text() == "Set") set = a;
  ASSERT_NE(set, nullptr);
  EXPECT_TRUE(set->isEnabled());
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(set).center());

  EXPECT_TRUE(m->OutputPins[3]->State);
  EXPECT_TRUE(coil.State);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(m->OutputPins[static_cast<std::size_t>(i)]->State, i == 3) << i;
  QApplication::processEvents();
  EXPECT_EQ(PixelAt(m->OutputLeds[3]), QColor(255, 255, 0));
}

TEST_F(OnCanvas, WhileForcingIsOffTheMenuItemsAreDisabledAndDoNothing) {
  QTest::mousePress(canvas.windowHandle(), Qt::RightButton, {}, Centre(m->OutputLabels[5]));
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  for (QAction* a : menu->actions()) EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[0]).center());
  EXPECT_FALSE(m->OutputPins[5]->State);
  if (QApplication::activePopupWidget() != nullptr) QApplication::activePopupWidget()->close();
}

TEST_F(OnCanvas, AnInputLabelHasNoMenuAndItsTooltipIsTheAddress) {
  QTest::mousePress(canvas.windowHandle(), Qt::RightButton, {}, Centre(m->InputLabels[9]));
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(canvas.ControlAt(Centre(m->InputLabels[9]), false), m->InputLabels[9]);
  EXPECT_EQ(m->InputLabels[9]->Hint(), "E125.1");
}

TEST_F(OnCanvas, PaintsTheModuleLedsAndLabelsWhereTheModelSaysWithTheByteGap) {
  m->InputPins[1]->SetState(true);
  QApplication::processEvents();
  const QImage img = canvas.grab().toImage();
  EXPECT_EQ(img.pixelColor(16 + 2, 10 + 2), QColor(100, 100, 100)) << "module body";
  EXPECT_EQ(img.pixelColor(Centre(m->InputLeds[1])), QColor(255, 255, 0));
  EXPECT_EQ(img.pixelColor(Centre(m->InputLeds[0])), QColor(124, 124, 124));
  // Label background (cyan) at the label's right end, left of any left-aligned text.
  EXPECT_EQ(img.pixelColor(m->InputLabels[0]->Left() + 57, m->InputLabels[0]->Top() + 6),
            QColor(128, 255, 255));
  // The gap between the bytes shows the module's body.
  const int gapY = m->InputLeds[7]->Top() + 12 + 4;
  EXPECT_EQ(img.pixelColor(m->InputLabels[7]->Left() + 30, gapY), QColor(100, 100, 100));
}

}  // namespace
