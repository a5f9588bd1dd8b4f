// The process components painted by the real canvas in several states each. The picture is
// written to $TORVANE_GALLERY_PNG (or the temp folder) for people to look at; the test reads
// back the pixels that prove each state reached the screen.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cstdlib>
#include <string>

#include "components/Clock.h"
#include "components/Deposit.h"
#include "components/Detector.h"
#include "components/MotorValve.h"
#include "components/PositionDetector.h"
#include "framework/Form.h"
#include "gui/Canvas.h"
#include "gui/GuiSupport.h"

namespace {

const TColor kBack = RGBColor(236, 236, 236);

struct Gallery {
  TForm Form{nullptr};
  TTimerClock Clock;
  TTimer* Timer = new TTimer(&Form, &Clock);

  Gallery() {
    InitGuiSupport();
    Form.SetBounds(0, 0, 820, 560);
    Form.SetColor(kBack);
    Timer->SetInterval(100);
  }

  template <class T>
  T* Add(int left, int top) {
    auto* c = new T(&Form);
    c->SetParent(&Form);
    c->SetLeft(left);
    c->SetTop(top);
    return c;
  }

  TStaticText* Label(int left, int top, const std::string& text, bool bold = false) {
    auto* t = Add<TStaticText>(left, top);
    t->SetTransparent(true);
    t->Font.SetBold(bold);
    t->SetCaption(text);
    // Room to spare: an auto-sized caption can wrap its last word away.
    t->SetAutoSize(false);
    t->SetBounds(left, top, t->Width() + 24, t->Height());
    return t;
  }

  // A tank in a black-walled vessel, brought to its state by running its own steps.
  TDeposit* Tank(int left, int top, int steps, bool drain, int minLevel, const char* caption) {
    auto* wall = Add<TShape>(left, top);
    wall->SetBounds(left, top, 64, 128);
    wall->Brush.SetStyle(bsClear);
    wall->Pen.SetWidth(2);
    auto* d = Add<TDeposit>(left + 2);
    d->SetBounds(left + 2, top + 126, 60, 0);  // bottom edge on the vessel floor
    d->SetMaxLevel(124);
    d->SetMinLevel(minLevel);
    d->SetTimer(Timer);
    d->SetLevel(drain ? 124 : minLevel);
    if (drain) {
      d->SetOutputFlow(0, 2000.0f);
      d->GetOutputFlowOpenPin(0)->SetState(true);
    } else {
      d->SetInputFlow(0, 2000.0f);
      d->GetInputFlowOpenPin(0)->SetState(true);
    }
    for (int i = 0; i < steps; ++i) d->SimulationStep();
    Label(left, top + 132, caption);
    return d;
  }

 private:
  template <class T>
  T* Add(int left) {
    auto* c = new T(&Form);
    c->SetParent(&Form);
    c->SetLeft(left);
    return c;
  }
};

bool Near(QColor a, QColor b) {
  return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 &&
         std::abs(a.blue() - b.blue()) < 8;
}

// Pixels of a rectangle that are not the form's background.
int Drawn(const QImage& img, const QRect& r) {
  int n = 0;
  const QColor back = ToQColor(kBack);
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (img.pixelColor(x, y) != back) ++n;
  return n;
}

QRect RectOf(const TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }

TEST(ProcessGallery, EveryComponentPaintsEachOfItsStates) {
  Gallery g;
  g.Label(10, 6, "Tank (TDeposit)", true);
  TDeposit* filling = g.Tank(10, 28, 12, false, 0, "filling");
  TDeposit* overflow = g.Tank(90, 28, 40, false, 0, "overflow");
  TDeposit* draining = g.Tank(170, 28, 10, true, 0, "draining");
  TDeposit* empty = g.Tank(250, 28, 40, true, 6, "empty");
  EXPECT_EQ(filling->State(), 2);
  EXPECT_EQ(overflow->State(), 5);
  EXPECT_EQ(draining->State(), 4);
  EXPECT_EQ(empty->State(), 1);

  g.Label(340, 6, "Motorised valve (TMotorValve)", true);
  TMotorValve* valves[4];
  const int frames[] = {0, 3, 6, 9};
  const char* names[] = {"closed", "frame 3", "frame 6", "open"};
  for (int i = 0; i < 4; ++i) {
    valves[i] = g.Add<TMotorValve>(340 + i * 110, 40);
    valves[i]->SetWidth(91);
    valves[i]->SetHeight(53);
    valves[i]->SetValvePosition(frames[i]);
    g.Label(340 + i * 110, 98, names[i]);
  }
  // A valve that opened by itself, driven through its timer: frame 5 after 28 ticks.
  TMotorValve* moving = g.Add<TMotorValve>(340, 120);
  moving->SetWidth(91);
  moving->SetHeight(53);
  moving->SetSimTimer(g.Timer);
  moving->openInputPin->SetState(true);
  for (int i = 0; i < 28; ++i) moving->SimulationStep();
  EXPECT_EQ(moving->ValvePosition(), 5);
  g.Label(340, 178, "opening, tick 28");

  g.Label(10, 190, "Position detector (TPositionDetector): off / on", true);
  const TPositionDetectorType types[] = {pdPROX_HOR, pdPROX_VER, pdLOOP, pdREED_HOR, pdREED_VER};
  const char* typeNames[] = {"prox hor", "prox ver", "loop", "reed hor", "reed ver"};
  TPositionDetector* onDetectors[5];
  for (int i = 0; i < 5; ++i) {
    auto* off = g.Add<TPositionDetector>(10 + i * 90, 216);
    off->SetType(types[i]);
    auto* on = g.Add<TPositionDetector>(50 + i * 90, 216);
    on->SetType(types[i]);
    on->SetState(true);
    onDetectors[i] = on;
    g.Label(10 + i * 90, 258, typeNames[i]);
  }
  // Photo barriers with a box crossing the beam; the lower one has no box and stays off.
  auto* box = g.Add<TShape>(0, 0);
  box->SetBounds(110, 290, 40, 34);
  box->Brush.SetColor(RGBColor(200, 140, 60));
  auto* beamOn = g.Add<TPositionDetector>(10, 300);
  auto* beamOff = g.Add<TPositionDetector>(10, 340);
  EXPECT_TRUE(beamOn->Detection(box));
  EXPECT_FALSE(beamOff->Detection(nullptr));
  g.Label(220, 300, "photo hor, box in the beam");
  g.Label(220, 340, "photo hor, clear");
  auto* verOff = g.Add<TPositionDetector>(470, 200);
  verOff->SetType(pdPHOTO_VER);
  auto* verOn = g.Add<TPositionDetector>(500, 200);
  verOn->SetType(pdPHOTO_VER);
  verOn->SetState(true);
  g.Label(462, 404, "photo ver");

  g.Label(10, 380, "Threshold detector (TDetector)", true);
  auto* active = g.Add<TDetector>(10, 410);
  auto* inactive = g.Add<TDetector>(110, 410);
  inactive->SetThreshold(100);
  inactive->WordIn->SetValue(99);
  auto* nc = g.Add<TDetector>(210, 410);
  nc->SetType(dtNC);
  nc->SetThreshold(100);
  g.Label(10, 434, "0 >= 0: on");
  g.Label(110, 434, "99 < 100: off");
  g.Label(210, 434, "NC, below: drives true");
  EXPECT_TRUE(nc->Output().State);

  g.Label(560, 380, "Stopwatch (TClock)", true);
  auto* fresh = g.Add<TClock>(560, 410);
  auto* running = g.Add<TClock>(560, 450);
  running->SetTimer(g.Timer);
  running->fnStart(true);
  for (int i = 0; i < 39300; ++i) running->Tick();  // 1 h 5 min 30 s at 100 ms
  auto* wrapped = g.Add<TClock>(560, 490);
  TTimer second(&g.Form, &g.Clock);
  second.SetInterval(1000);
  wrapped->SetTimer(&second);
  wrapped->fnStart(true);
  for (int i = 0; i < 86399; ++i) wrapped->Tick();
  EXPECT_EQ(running->Caption(), "   01:05:30   ");
  EXPECT_EQ(wrapped->Caption(), "   23:59:59   ");
  g.Label(680, 414, "new");
  g.Label(680, 454, "running");
  g.Label(680, 494, "one second to midnight");

  TCanvas canvas;
  canvas.SetRoot(&g.Form);
  const QImage img = canvas.grab().toImage();
  const char* out = std::getenv("TORVANE_GALLERY_PNG");
  const QString path = out != nullptr ? QString::fromLocal8Bit(out)
                                      : QDir::temp().filePath("process-library.png");
  EXPECT_TRUE(img.save(path));

  // Tanks: the liquid's colour at the middle of each rectangle, the alarm colour in overflow.
  auto centre = [&](const TControl* c) {
    return img.pixelColor(c->Left() + c->Width() / 2, c->Top() + c->Height() / 2);
  };
  EXPECT_TRUE(Near(centre(filling), QColor(0, 0, 255)));
  EXPECT_TRUE(Near(centre(overflow), QColor(255, 0, 0)));
  EXPECT_TRUE(Near(centre(draining), QColor(0, 0, 255)));
  EXPECT_EQ(overflow->Height(), 124);
  EXPECT_LT(filling->Height(), 124);
  // Pictures: every image reached the screen, and on and off differ.
  for (TMotorValve* v : valves) EXPECT_GT(Drawn(img, RectOf(v)), 200);
  EXPECT_NE(img.copy(RectOf(valves[0])), img.copy(RectOf(valves[3])));
  for (TPositionDetector* d : onDetectors) EXPECT_GT(Drawn(img, RectOf(d)), 20);
  EXPECT_NE(img.copy(RectOf(beamOn)), img.copy(RectOf(beamOff)));
  EXPECT_NE(img.copy(RectOf(active)), img.copy(RectOf(inactive)));
  EXPECT_GT(Drawn(img, RectOf(fresh)), 50);
}

}  // namespace
