// The plant's windows on a real X server (Xvfb at 1366x768) under real pointer events sent by
// xdotool: quick clicks reach the PLC, the mouse is captured across all its buttons, the
// windows are placed on a laptop's screen and come back through the plant window's menu.
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
#include "gui/PLCWindow.h"
#include "gui/SimulatorWindow.h"
#include "gui/WindowPlacement.h"
#include "plc/CPU_Frame.h"
#include <QMenu>
#include <QMenuBar>
#include <QRegion>
#include <QScreen>

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

class X11Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    InitGuiSupport();
    session = std::make_unique<TPlantSession>();
    main = std::make_unique<TMainWindow>(&session->Form());
    plc = std::make_unique<TPLCWindow>(session->Form().PLC);
    sim = std::make_unique<TSimulatorWindowView>(session->Plc());
    ShowPlantWindows(*main, *plc, sim.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(plc.get()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(sim.get()));
  }
  void TearDown() override {
    sim.reset();
    plc.reset();
    main.reset();
    session.reset();
  }
  TPLC* Plc() { return session->Form().PLC; }
  // Opens the plant window's menu and chooses the item, both with real clicks.
  bool Choose(QAction* item) {
    QMenuBar* bar = main->MenuBar();
    QAction* title = nullptr;
    for (QAction* a : bar->actions())
      if (a->menu() != nullptr && a->menu()->actions().contains(item)) title = a;
    if (title == nullptr) return false;
    const QPoint t = bar->mapToGlobal(bar->actionGeometry(title).center());
    if (!XDo({"mousemove", QString::number(t.x()), QString::number(t.y()), "click", "1"}))
      return false;
    QMenu* menu = title->menu();
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000)) return false;
    const QPoint i = menu->mapToGlobal(menu->actionGeometry(item).center());
    if (!XDo({"mousemove", QString::number(i.x()), QString::number(i.y()), "click", "1"}))
      return false;
    return QTest::qWaitFor([menu] { return !menu->isVisible(); }, 5000);
  }
  // The middle of the largest part of `in` outside `minus`, or (-1, -1).
  static QPoint Outside(const QRect& in, const QRect& minus) {
    QRect best;
    for (const QRect& r : QRegion(in).subtracted(QRegion(minus)))
      if (r.width() * r.height() > best.width() * best.height()) best = r;
    return best.isEmpty() ? QPoint(-1, -1) : best.center();
  }
  // The top-level window X shows at a global point.
  static QWidget* TopAt(const QPoint& p) {
    QWidget* w = QApplication::widgetAt(p);
    return w != nullptr ? w->window() : nullptr;
  }

  std::unique_ptr<TPlantSession> session;
  std::unique_ptr<TMainWindow> main;
  std::unique_ptr<TPLCWindow> plc;
  std::unique_ptr<TSimulatorWindowView> sim;
};

TEST_F(X11Windows, OnALaptopScreenEveryWindowIsOnScreenAndNothingHidesThePanelOrTheLights) {
  const QRect screen = main->screen()->availableGeometry();
  ASSERT_EQ(screen.size(), QSize(1366, 768));
  for (QWidget* w : {static_cast<QWidget*>(main.get()), static_cast<QWidget*>(plc.get()),
                     static_cast<QWidget*>(sim.get())})
    EXPECT_TRUE(screen.contains(w->frameGeometry())) << w->windowTitle().toStdString();
  for (const QRect& k : main->KeepClear()) {
    const QRect global(main->mapToGlobal(k.topLeft()), k.size());
    EXPECT_FALSE(plc->frameGeometry().intersects(global));
    EXPECT_FALSE(sim->frameGeometry().intersects(global));
  }
  // The simulator window comes up where it is seen, in front of the plant where they overlap,
  // and no larger than the room it was given.
  EXPECT_EQ(TopAt(sim->geometry().center()), sim.get());
  const QPoint both =
      Outside(sim->frameGeometry().intersected(main->frameGeometry()), plc->frameGeometry());
  if (both != QPoint(-1, -1)) {
    EXPECT_EQ(TopAt(both), sim.get());
  }
  EXPECT_LT(sim->width(), sim->sizeHint().width());
  EXPECT_TRUE(sim->EditorFolded()) << "too narrow for the figures and the program side by side";
  EXPECT_EQ(TopAt(plc->geometry().center()), plc.get());
}

TEST_F(X11Windows, ClosedWindowsComeBackFromThePlantWindowsMenu) {
  plc->close();
  sim->close();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !plc->isVisible() && !sim->isVisible(); }, 5000));
  ASSERT_TRUE(Choose(main->ShowPlcAction()));
  EXPECT_TRUE(QTest::qWaitFor([this] { return plc->isVisible(); }, 5000));
  ASSERT_TRUE(Choose(main->ShowSimulatorAction()));
  EXPECT_TRUE(QTest::qWaitFor([this] { return sim->isVisible(); }, 5000));
  EXPECT_TRUE(QTest::qWaitForWindowExposed(sim.get()));
  EXPECT_EQ(TopAt(Outside(sim->frameGeometry(), plc->frameGeometry())), sim.get());
}

TEST_F(X11Windows, AfterHideOnRunningTheMenuStopsTheCpuAndUnfoldsThePlcWindow) {
  TCPU* cpu = Plc()->Faceplate;
  Plc()->HideOnRunCheckBox->SetChecked(true);
  cpu->RunPBtn->Click();
  session->Clock().Advance(1000);  // the faceplate polls the CPU's state
  ASSERT_TRUE(Plc()->Collapsed());
  ASSERT_FALSE(sim->isVisible());
  const int folded = Plc()->Height();
  // Pulled open by hand, the folded window shows its controls.
  ASSERT_TRUE(XDo({"windowsize", QString::number(plc->winId()), QString::number(plc->width()),
                   "300"}));
  ASSERT_TRUE(QTest::qWaitFor([this] { return plc->height() == 300; }, 5000));
  EXPECT_TRUE(QTest::qWaitFor([this] { return Plc()->Height() == 300; }, 5000))
      << "the model stayed at " << Plc()->Height();
  EXPECT_EQ(plc->Canvas()->height(), 300);
  // The menu gives the window back with the CPU stopped.
  ASSERT_TRUE(Choose(main->ShowPlcAction()));
  EXPECT_TRUE(cpu->StopBtn->Checked());
  session->Clock().Advance(1000);  // it unfolds as the CPU reports STOP
  EXPECT_FALSE(Plc()->Collapsed());
  EXPECT_GT(Plc()->Height(), folded);
  EXPECT_TRUE(plc->isVisible());
}

}  // namespace
