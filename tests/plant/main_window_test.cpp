// The plant window on screen (offscreen platform): its size and caption, real mouse clicks
// reaching the devices through the panel frame and past the deck's empty corners, the jam
// buttons as widgets, and a layout in which no caption collides with another or with a device.
#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PlantSession.h"
#include "gui/Canvas.h"
#include "gui/ControlWidgets.h"
#include "gui/GuiSupport.h"
#include "gui/MainWindow.h"
#include "gui/WindowPlacement.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGuiSupport();
    session = std::make_unique<TPlantSession>();
    window = std::make_unique<TMainWindow>(&session->Form());
    window->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    window.reset();
    session.reset();
  }
  TForm2& Form() { return session->Form(); }
  QPoint CentreOf(const TControl* c) { return window->Canvas()->ControlRect(c).center(); }
  bool Input(int byteAddress, int bit) { return Form().PLC->GetInputPin(byteAddress, bit)->State; }

  std::unique_ptr<TPlantSession> session;
  std::unique_ptr<TMainWindow> window;
};

TEST_F(MainWindowTest, ShowsThePlantAtItsDesignedSizeUnderItsCaption) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Torvane"));
  // The menu bar sits above the designed client area.
  EXPECT_EQ(window->Canvas()->size(), QSize(929, 596));
  EXPECT_EQ(window->size(), QSize(929, 596 + window->Canvas()->y()));
  EXPECT_GT(window->Canvas()->y(), 0);
  // The panel and the jam buttons are widgets; "Reparación" starts down.
  auto* repair = qobject_cast<QToolButton*>(window->Widgets()->WidgetFor(Form().V2ReparacionBtn));
  ASSERT_NE(repair, nullptr);
  EXPECT_EQ(repair->text(), QStringLiteral("Reparación"));
  EXPECT_NE(window->Widgets()->WidgetFor(Form().Panel), nullptr);
}

TEST_F(MainWindowTest, MouseButtonsInsideThePanelReachThePlc) {
  TCanvas* canvas = window->Canvas();
  // The panel's frame is a widget over the canvas; the press must pass through it.
  const QPoint subir = CentreOf(Form().SubirBtn);
  ASSERT_EQ(canvas->ControlAt(subir, true), Form().SubirBtn);
  QTest::mousePress(canvas, Qt::LeftButton, {}, subir);
  EXPECT_TRUE(Input(124, 1));
  QTest::mouseRelease(canvas, Qt::LeftButton, {}, subir);
  session->Clock().Advance(TForm2::kTickMs);  // held until the PLC has read it
  EXPECT_FALSE(Input(124, 1));
  QTest::mouseClick(canvas, Qt::LeftButton, {}, CentreOf(Form().PB_PE));
  EXPECT_FALSE(Input(124, 3));
}

TEST_F(MainWindowTest, DevicesBehindTheDecksEmptyCornerTakeTheirClicks) {
  // The thermal relay's left edge and KM1 lie inside the deck picture's box.
  const QRect deck = window->Canvas()->ControlRect(Form().Bridge);
  const QPoint termico = window->Canvas()->ControlRect(Form().Termico).topLeft() + QPoint(8, 20);
  ASSERT_TRUE(deck.contains(termico));
  QTest::mouseClick(window->Canvas(), Qt::LeftButton, {}, termico);
  EXPECT_FALSE(Form().Termico->State);
  EXPECT_FALSE(Input(125, 0));
}

TEST_F(MainWindowTest, TheJamButtonsAreRealButtons) {
  auto* jam = qobject_cast<QToolButton*>(window->Widgets()->WidgetFor(Form().V2AtascoBtn));
  ASSERT_NE(jam, nullptr);
  QTest::mouseClick(jam, Qt::LeftButton);
  EXPECT_EQ(Form().Bridge->PlayState, psJammed);
  EXPECT_TRUE(Form().V2AtascoBtn->Down());
}

// Where a control lies on the window.
QRect OnWindow(const TControl* c) {
  QRect r(c->Left(), c->Top(), c->Width(), c->Height());
  for (const TControl* p = c->Parent(); p != nullptr && p->Parent() != nullptr; p = p->Parent())
    r.translate(p->Left(), p->Top());
  return r;
}

TEST_F(MainWindowTest, NoCaptionCollidesWithAnotherOrWithADevice) {
  TForm2& f = Form();
  // Pictures meant as background: captions may lie over them.
  const std::vector<const TControl*> background = {f.Panel, f.Image1, f.Fondo, f.Bridge};
  std::vector<const TControl*> devices;
  for (TComponent* c : f.Components()) {
    auto* control = dynamic_cast<TControl*>(c);
    if (control == nullptr || !control->Visible() || control->Parent() == nullptr) continue;
    if (std::find(background.begin(), background.end(), control) != background.end()) continue;
    if (std::find(f.Texts.begin(), f.Texts.end(), control) != f.Texts.end()) continue;
    // Only what this window shows (the PLC window's rack belongs to this form too).
    const TControl* root = control;
    while (root->Parent() != nullptr) root = root->Parent();
    if (root != &f) continue;
    devices.push_back(control);
  }
  ASSERT_GT(devices.size(), 30u);
  const QRect windowRect(0, 0, f.Width(), f.Height());
  const QRect panel = OnWindow(f.Panel);
  for (std::size_t i = 0; i < f.Texts.size(); ++i) {
    const TStaticText* t = f.Texts[i];
    const QRect r = OnWindow(t);
    const std::string name = t->Caption();
    EXPECT_TRUE(windowRect.contains(r)) << name;
    if (t->Parent() == f.Panel) {
      EXPECT_TRUE(panel.adjusted(2, 2, -2, -2).contains(r)) << name;
    }
    for (std::size_t j = i + 1; j < f.Texts.size(); ++j)
      EXPECT_FALSE(r.intersects(OnWindow(f.Texts[j]))) << name << " / " << f.Texts[j]->Caption();
    for (const TControl* d : devices)
      EXPECT_FALSE(r.intersects(OnWindow(d))) << name << " / " << d->Name;
  }
}

TEST_F(MainWindowTest, WindowsArePlacedFromTheScreensFreeSpace) {
  const QSize frame(2, 24);  // a window manager's border and title
  const QSize plant = window->size() + frame;
  const QSize plc = QSize(Form().PLC->Width(), Form().PLC->Height()) + frame;
  const QSize sim = QSize(640, 572) + frame;
  std::vector<QRect> keep = window->KeepClear();
  ASSERT_EQ(keep.size(), 3u);
  for (QRect& r : keep) r.translate(1, 23);
  EXPECT_TRUE(keep[0].contains(window->Canvas()->ControlRect(Form().ComienzoBtn).translated(1, 23 + window->Canvas()->y())));

  // A large screen has room for all: nothing covers anything.
  const QRect large(0, 0, 1920, 1050);
  TWindowPlacement p = PlaceWindows(large, plant, plc, sim, keep);
  for (const QRect& r : {p.Plant, p.Plc, p.Simulator}) EXPECT_TRUE(large.contains(r));
  EXPECT_FALSE(p.Plc.intersects(p.Plant));
  EXPECT_FALSE(p.Simulator.intersects(p.Plant));
  EXPECT_FALSE(p.Simulator.intersects(p.Plc));

  // A laptop screen: the PLC window may overlap the plant, but not its panel or traffic lights,
  // and no more than the strip it lacks beside it. (The simulator window cannot help covering
  // one of them here.)
  const QRect laptop(0, 0, 1366, 738);
  p = PlaceWindows(laptop, plant, plc, sim, keep);
  for (const QRect& r : {p.Plant, p.Plc, p.Simulator}) EXPECT_TRUE(laptop.contains(r));
  for (const QRect& k : keep) EXPECT_FALSE(p.Plc.intersects(k.translated(p.Plant.topLeft())));
  const QRect covered = p.Plc.intersected(p.Plant);
  EXPECT_LE(covered.width() * covered.height(),
            (plc.width() - (laptop.width() - plant.width())) * plc.height());
  EXPECT_FALSE(p.Simulator.intersects(p.Plc));

  // The simulator window as it is: wide with its program editor, but able to shrink. It takes
  // the room left beside the plant instead of lying over it, on both screens.
  const QSize wide = QSize(1280, 640) + frame;
  const QSize least = QSize(360, 280) + frame;
  for (const QRect& screen : {large, laptop}) {
    SCOPED_TRACE(screen.width());
    p = PlaceWindows(screen, plant, plc, wide, keep, least);
    for (const QRect& r : {p.Plant, p.Plc, p.Simulator}) EXPECT_TRUE(screen.contains(r));
    for (const QRect& k : keep)
      for (const QRect& w : {p.Plc, p.Simulator})
        EXPECT_FALSE(w.intersects(k.translated(p.Plant.topLeft())));
    EXPECT_FALSE(p.Simulator.intersects(p.Plc));
    EXPECT_FALSE(p.Simulator.intersects(p.Plant));
    EXPECT_GE(p.Simulator.width(), least.width());
    EXPECT_GE(p.Simulator.height(), least.height());
  }
  p = PlaceWindows(large, plant, plc, wide, keep, least);
  EXPECT_FALSE(p.Plc.intersects(p.Plant));
  EXPECT_EQ(p.Simulator.height(), wide.height()) << "a large screen has the height it asks for";
}

}  // namespace

namespace {

// Closing asks first (the program editor hooks its unsaved-changes question here).
TEST_F(MainWindowTest, AWindowThatMayNotCloseStaysOpen) {
  int asked = 0;
  bool allow = false;
  window->CanClose = [&] {
    ++asked;
    return allow;
  };
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  allow = true;
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(asked, 2);
}

}  // namespace
