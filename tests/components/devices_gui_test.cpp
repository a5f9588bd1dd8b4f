// The devices on a real canvas: Qt mouse events reach their handlers, and every state change
// shows up on screen. Set TORVANE_DEVICES_PNG to a path to also save the sheet of all states.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "components/Meter.h"
#include "components/Motor.h"
#include "components/PushButton.h"
#include "components/Relay.h"
#include "components/SimpleShape.h"
#include "components/Switch.h"
#include "components/Valve.h"
#include "components/VisualSignaling.h"
#include "framework/Form.h"
#include "gui/Canvas.h"
#include "gui/GuiSupport.h"

namespace {

struct DevicesOnCanvas : ::testing::Test {
  TForm form{nullptr};
  TCanvas canvas;

  void SetUp() override {
    InitGuiSupport();
    form.SetBounds(0, 0, 240, 140);
    canvas.SetRoot(&form);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
  }
  template <class T>
  T* Place(int l, int t, int w, int h) {
    auto* c = new T(&form);
    c->SetParent(&form);
    c->SetBounds(l, t, w, h);
    return c;
  }
  QImage Look(const TControl* c) { return canvas.grab(canvas.ControlRect(c)).toImage(); }
  QPoint Centre(const TControl* c) { return canvas.ControlRect(c).center(); }
};

TEST_F(DevicesOnCanvas, ClickOnASwitchTogglesItAndItsPictureButNotALimitSwitch) {
  auto* thermal = Place<TSwitch>(10, 10, 49, 51);
  auto* limit = Place<TSwitch>(80, 10, 17, 52);
  limit->SetSwitchType(LimitSwitch);
  TInputPin aux;
  thermal->ConnectAuxPinOutTo(&aux);
  const QImage open = Look(thermal);

  QTest::mouseClick(&canvas, Qt::LeftButton, {}, Centre(thermal));
  EXPECT_TRUE(thermal->State);
  EXPECT_TRUE(aux.State);
  const QImage closed = Look(thermal);
  EXPECT_NE(closed, open) << "the closed picture reaches the screen";

  QTest::mouseClick(&canvas, Qt::RightButton, {}, Centre(thermal));
  EXPECT_FALSE(thermal->State);
  EXPECT_EQ(Look(thermal), open);

  const QImage limitBefore = Look(limit);
  QTest::mouseClick(&canvas, Qt::LeftButton, {}, Centre(limit));
  EXPECT_FALSE(limit->State);
  EXPECT_EQ(Look(limit), limitBefore);
}

TEST_F(DevicesOnCanvas, ButtonHeldOnTheCanvasDrivesItsContactAndLinkedLamp) {
  auto* button = Place<TPushButton>(10, 10, 36, 31);
  auto* lamp = Place<TVisualSignaling>(60, 15, 16, 16);
  button->SetPBColor(pbcBlue);
  button->SetConnection(lamp);
  const QImage released = Look(button);
  const QPoint lampCentre = Centre(lamp);

  QTest::mousePress(&canvas, Qt::LeftButton, {}, Centre(button));
  EXPECT_TRUE(button->State);
  EXPECT_TRUE(button->OutPin->State);
  EXPECT_NE(Look(button), released);
  EXPECT_EQ(canvas.grab().toImage().pixelColor(lampCentre), QColor(0, 255, 0));

  QTest::mouseRelease(&canvas, Qt::LeftButton, {}, Centre(button));
  EXPECT_FALSE(button->State);
  EXPECT_FALSE(lamp->State);
  EXPECT_EQ(Look(button), released);
  EXPECT_EQ(canvas.grab().toImage().pixelColor(lampCentre), QColor(128, 128, 128));

  button->SetPBType(pbtSwitch);
  QTest::mouseClick(&canvas, Qt::LeftButton, {}, Centre(button));
  EXPECT_TRUE(button->State) << "a latching button stays down after the release";
  EXPECT_TRUE(lamp->State);
}

TEST_F(DevicesOnCanvas, SignalChangesRepaintRelayLampAndMeter) {
  auto* relay = Place<TRelay>(10, 10, 43, 54);
  auto* lamp = Place<TSimpleShape>(70, 10, 14, 14);
  auto* meter = Place<TMeter>(100, 10, 43, 20);
  meter->SetCaption("   000");
  TOutputPin coil, plcBit;
  TOutputByte elevation;
  coil.ConnectTo(relay->RelayPin);
  plcBit.ConnectTo(lamp->InPin);
  elevation.ConnectTo(meter->ByteIn);
  const QImage relayOff = Look(relay), meterZero = Look(meter);
  QApplication::processEvents();
  const int paints = canvas.PaintCount();

  coil.SetState(true);
  plcBit.SetState(true);
  elevation.SetValue(45);
  QApplication::processEvents();
  EXPECT_GT(canvas.PaintCount(), paints) << "a model change schedules a repaint by itself";
  EXPECT_NE(Look(relay), relayOff);
  EXPECT_NE(Look(meter), meterZero);
  EXPECT_EQ(canvas.grab().toImage().pixelColor(Centre(lamp)), QColor(255, 255, 0));
}

bool Uniform(const QImage& img) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != img.pixel(0, 0)) return false;
  return true;
}

// One cell of the sheet: a device in one state, with a caption under it.
struct Cell {
  std::string group;  // the states of one device variant, which must all look different
  TControl* control;
};

// A caption sized to its text with some slack: an exactly fitting word-wrapped caption may
// lose its last word to rounding when painted.
TStaticText* Caption(TForm& form, const std::string& text, int points, int x, int y) {
  auto* caption = new TStaticText(&form);
  caption->SetParent(&form);
  caption->Font.SetSize(points);
  caption->SetCaption(text);
  caption->SetAutoSize(false);
  caption->SetBounds(x, y, caption->Width() + 8, caption->Height());
  return caption;
}

TEST(DeviceSheet, EveryStateOfEveryDeviceLooksDifferentAtTheWindowsSizes) {
  InitGuiSupport();
  TForm form(nullptr);
  form.SetColor(clBtnFace);
  std::vector<Cell> cells;
  int x = 0, y = 8, rowHeight = 0, width = 0;
  std::string row;

  auto newRow = [&](const std::string& title) {
    y += rowHeight + (rowHeight > 0 ? 22 : 0);
    rowHeight = 0;
    Caption(form, title, 8, 8, y);
    x = 160;
    row = title;
  };
  auto place = [&](TControl* c, int w, int h, const std::string& state,
                   const std::string& variant = "") {
    c->SetParent(&form);
    c->SetBounds(x, y, w, h);
    const TStaticText* caption = Caption(form, state, 7, x, y + h + 2);
    cells.push_back({row + variant, c});
    x += std::max(w, caption->Width()) + 10;
    width = std::max(width, x);
    rowHeight = std::max(rowHeight, h);
  };
  std::vector<TOutputPin*> sources;  // drive the devices through their pins, as a window does
  auto source = [&](TInputPin* to, bool level) {
    auto* p = new TOutputPin;
    sources.push_back(p);
    p->ConnectTo(to);
    p->SetState(level);
  };

  newRow("TRelay 43x54");
  for (int i = 0; i < 4; ++i) {
    auto* r = new TRelay(&form);
    source(r->RelayPin, (i & 1) != 0);
    source(r->ACInPin, (i & 2) != 0);
    place(r, 43, 54, std::string((i & 1) ? "coil on" : "coil off") + ((i & 2) ? ", AC" : ""));
  }
  newRow("TValve 45x48");
  for (int i = 0; i < 3; ++i) {
    auto* v = new TValve(&form);
    source(v->ValvePin, i > 0);
    source(v->FlowInPin, i == 2);
    place(v, 45, 48, i == 0 ? "closed" : i == 1 ? "open" : "open, flow");
  }
  struct SwitchRow {
    TSwitchType type;
    const char* title;
    int w, h;
  };
  for (const SwitchRow& s : {SwitchRow{Termico, "Termico 49x51", 49, 51},
                             SwitchRow{Termico3D, "Termico3D 38x47", 38, 47},
                             SwitchRow{LimitSwitch, "LimitSwitch 17x52", 17, 52},
                             SwitchRow{Emergency, "Emergency 93x89", 93, 89},
                             SwitchRow{Emergency2, "Emergency2 105x127", 105, 127},
                             SwitchRow{Interruptor, "Interruptor 40x60", 40, 60}}) {
    newRow(std::string("TSwitch ") + s.title);
    for (bool closed : {false, true}) {
      auto* sw = new TSwitch(&form);
      sw->SetSwitchType(s.type);
      sw->SetState(closed);
      place(sw, s.w, s.h, closed ? "closed" : "open");
    }
  }
  for (int size : {31, 40}) {
    newRow(size == 31 ? "TPushButton 36x31" : "TPushButton 40x40");
    for (TPushButtonColor colour : {pbcWhite, pbcBlack, pbcBlue, pbcRed}) {
      for (bool pressed : {false, true}) {
        auto* b = new TPushButton(&form);
        b->SetPBColor(colour);
        b->SetState(pressed);
        const char* names[] = {"white", "black", "blue", "red"};
        place(b, size == 31 ? 36 : 40, size, std::string(names[colour]) + (pressed ? " down" : " up"),
              names[colour]);
      }
    }
  }
  for (TMotorType type : {mtMotor, mtBomb}) {
    newRow(type == mtMotor ? "TMotor 93x62" : "TMotor mtBomb 67x52");
    const char* names[] = {"stopped", "running", "tripped", "overheated"};
    for (int status = 0; status < 4; ++status) {
      auto* m = new TMotor(&form);
      m->SetMotorType(type);
      source(m->ACPin, status >= 1);
      if (status >= 2) m->ErrTRIP();
      if (status == 3) m->ErrOVERHEAT();
      place(m, type == mtMotor ? 93 : 67, type == mtMotor ? 62 : 52, names[status]);
    }
  }
  newRow("TSimpleShape 14x14 / 23x17");
  for (TColor on : {clLime, clRed, clYellow}) {
    for (bool lit : {false, true}) {
      auto* l = new TSimpleShape(&form);
      l->SetColorON(on);
      source(l->InPin, lit);
      place(l, on == clLime ? 14 : 23, on == clLime ? 14 : 17, lit ? "on" : "off",
            std::to_string(on));
    }
  }
  newRow("TVisualSignaling 16x16");
  for (bool lit : {false, true}) {
    auto* l = new TVisualSignaling(&form);
    source(l->InPin, lit);
    place(l, 16, 16, lit ? "on" : "off");
  }
  newRow("TMeter 43x20");
  auto* fresh = new TMeter(&form);
  place(fresh, fresh->Width(), fresh->Height(), "new");
  for (int value : {-1, 45, 255}) {
    auto* m = new TMeter(&form);
    m->SetCaption("   000");
    if (value >= 0) m->SetMeterValueB(static_cast<unsigned char>(value));
    place(m, 43, 20, value < 0 ? "layout" : std::to_string(value));
  }
  form.SetBounds(0, 0, width, y + rowHeight + 24);

  TCanvas canvas;
  canvas.SetRoot(&form);
  const QImage sheet = canvas.grab().toImage();
  if (const char* out = std::getenv("TORVANE_DEVICES_PNG")) {
    ASSERT_TRUE(sheet.save(QString::fromLocal8Bit(out), "PNG")) << out;
  }

  // Every state of a device must look different from its other states, and none is blank.
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const QImage a = sheet.copy(canvas.ControlRect(cells[i].control));
    EXPECT_FALSE(Uniform(a)) << cells[i].group << ": cell " << i << " is blank";
    for (std::size_t j = i + 1; j < cells.size(); ++j) {
      if (cells[j].group != cells[i].group) continue;
      const QImage b = sheet.copy(canvas.ControlRect(cells[j].control));
      EXPECT_NE(a, b) << cells[i].group << ": cells " << i << " and " << j << " look the same";
    }
  }
  for (TOutputPin* p : sources) delete p;
}

}  // namespace
