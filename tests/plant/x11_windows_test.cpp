// The plant's windows on a real X server (Xvfb at 1366x768) under real pointer events sent by
// xdotool: quick clicks reach the PLC, the mouse is captured across all its buttons.
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/PlantSession.h"
#include "gui/Canvas.h"
#include "gui/GuiSupport.h"
#include "gui/MainWindow.h"

namespace {

// Counts the mouse releases a widget receives, to know when xdotool's events have all arrived.
class ReleaseCounter : public QObject {
 public:
  int Count = 0;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::MouseButtonRelease) ++Count;
    return QObject::eventFilter(o, e);
  }
};

// Runs xdotool with the given arguments; false when it cannot run or fails.
bool XDo(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral("xdotool"), args);
  return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

class X11Plant : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    InitGuiSupport();
    session = std::make_unique<TPlantSession>();
    window = std::make_unique<TMainWindow>(&session->Form());
    window->move(0, 0);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->Canvas()->installEventFilter(&releases);
  }
  void TearDown() override {
    window.reset();
    session.reset();
  }
  TForm2& Form() { return session->Form(); }
  QStringList At(const TControl* c) {
    const QPoint p = window->Canvas()->mapToGlobal(window->Canvas()->ControlRect(c).center());
    return {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())};
  }
  // Waits until the canvas has had `n` more releases than before.
  bool Released(int before, int n) {
    return QTest::qWaitFor([&] { return releases.Count >= before + n; }, 5000);
  }
  void Tick() { session->Clock().Advance(TForm2::kTickMs); }
  bool PlcReads(int byteAddress, int bit) {
    return (session->Plc().Cpu().InputByte(byteAddress) >> bit & 1) != 0;
  }

  std::unique_ptr<TPlantSession> session;
  std::unique_ptr<TMainWindow> window;
  ReleaseCounter releases;
};

TEST_F(X11Plant, AnInstantClickOnEachPanelButtonIsReadByThePlcOnce) {
  struct Case {
    TPushButton* button;
    int byte, bit;
  };
  for (const Case& c : {Case{Form().ComienzoBtn, 124, 0}, Case{Form().SubirBtn, 124, 1},
                        Case{Form().BajarBtn, 124, 2}, Case{Form().RearmeBtn, 125, 1}}) {
    SCOPED_TRACE(c.button->Name);
    const int before = releases.Count;
    ASSERT_TRUE(XDo(At(c.button) << QStringLiteral("click") << QStringLiteral("1")));
    ASSERT_TRUE(Released(before, 1));
    Tick();
    EXPECT_TRUE(PlcReads(c.byte, c.bit)) << "the click fell between two exchanges";
    Tick();
    EXPECT_FALSE(PlcReads(c.byte, c.bit));
    EXPECT_FALSE(c.button->State);
  }
}

TEST_F(X11Plant, ASecondMouseButtonNeitherPressesAnotherButtonNorLeavesTheFirstDown) {
  struct Watch {
    bool Pressed = false;
    void Change(bool level) { Pressed = Pressed || level; }
  } subir;
  Form().SubirBtn->OnChange = TPushButton::TChangeEvent(&subir, &Watch::Change);
  const int before = releases.Count;
  ASSERT_TRUE(XDo(At(Form().ComienzoBtn) << QStringLiteral("mousedown") << QStringLiteral("1")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Form().ComienzoBtn->State; }, 5000));
  Tick();  // the PLC reads the held press
  ASSERT_TRUE(XDo(At(Form().SubirBtn) << QStringLiteral("mousedown") << QStringLiteral("3")
                                      << QStringLiteral("mouseup") << QStringLiteral("3")
                                      << QStringLiteral("mouseup") << QStringLiteral("1")));
  ASSERT_TRUE(Released(before, 2));
  Tick();  // the captured second press is one more quick press: read, then let go
  Tick();
  EXPECT_FALSE(subir.Pressed);
  EXPECT_FALSE(Form().SubirBtn->State);
  EXPECT_FALSE(Form().ComienzoBtn->State) << "stuck down after the mouse was up";
  EXPECT_FALSE(PlcReads(124, 0));
}

}  // namespace
