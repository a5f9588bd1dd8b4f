// The demo window's own behaviour: toggling inputs by clicking them and resetting outputs.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "app/DemoWindow.h"
#include "gui/Canvas.h"

namespace {

QPoint Centre(const TControl* c) {
  return QPoint(c->Left() + c->Width() / 2, c->Top() + c->Height() / 2);
}

TEST(Demo, ClickingAnInputLabelOrLedTogglesThatInput) {
  TDemoWindow w;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  TIOModule& m = *w.Form().Module;
  EXPECT_EQ(m.InputLabels[1]->Caption(), "SUBIR");
  EXPECT_EQ(m.InputLabels[1]->Hint(), "E124.1");
  QTest::mouseClick(&w.Canvas(), Qt::LeftButton, {}, Centre(m.InputLabels[1]));
  EXPECT_TRUE(m.InputPins[1]->State);
  EXPECT_EQ(m.InputByte(0), 2);
  EXPECT_EQ(m.InputLeds[1]->Brush.Color(), clYellow);
  QTest::mouseClick(&w.Canvas(), Qt::LeftButton, {}, Centre(m.InputLeds[1]));
  EXPECT_FALSE(m.InputPins[1]->State);
  QTest::mouseClick(&w.Canvas(), Qt::LeftButton, {}, Centre(m.InputLabels[9]));
  EXPECT_EQ(m.InputByte(1), 2);
  QTest::mouseClick(&w.Canvas(), Qt::LeftButton, {}, Centre(m.OutputLabels[9]));
  EXPECT_FALSE(m.OutputPins[9]->State) << "outputs are forced through the menu, not by a click";
}

TEST(Demo, ResetButtonSwitchesEveryOutputOff) {
  TDemoWindow w;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  TIOModule& m = *w.Form().Module;
  EXPECT_TRUE(m.ForcingEnabled);
  m.SetOutputByte(0, 0xFF);
  m.SetOutputByte(1, 0x81);
  QTest::mouseClick(&w.Canvas(), Qt::LeftButton, {}, Centre(w.Form().ResetButton));
  EXPECT_EQ(m.OutputPins[0]->State, false);
  for (auto* pin : m.OutputPins) EXPECT_FALSE(pin->State);
}

TEST(Demo, ModuleFigureIsWrittenAtTheModulesSizePlusMargin) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(QDir(dir.path()).mkdir("fig"));
  const QString path = dir.filePath("fig/io-module.png");
  QString error;
  ASSERT_TRUE(RenderModuleFigure(path, error)) << error.toStdString();
  const QImage img(path);
  EXPECT_EQ(img.size(), QSize(184, 243));
  EXPECT_EQ(img.pixelColor(8 + 2, 8 + 2), QColor(100, 100, 100));
  // Input LED of row 1 (SUBIR) is lit, row 0 is not.
  EXPECT_EQ(img.pixelColor(8 + 9, 8 + 5 + 13 + 6), QColor(255, 255, 0));
  EXPECT_EQ(img.pixelColor(8 + 9, 8 + 5 + 6), QColor(124, 124, 124));
}

}  // namespace
