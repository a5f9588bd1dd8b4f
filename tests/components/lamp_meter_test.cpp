#include <gtest/gtest.h>

#include "components/Meter.h"
#include "components/SimpleShape.h"
#include "components/VisualSignaling.h"
#include "devices_probe.h"
#include "framework/Properties.h"
#include "signals/Iobyte.h"
#include "signals/Ioword.h"

namespace {

TEST(Lamp, NewLampIsADarkSilverCircle) {
  TSimpleShape lamp(nullptr);
  EXPECT_EQ(lamp.Shape(), stCircle);
  EXPECT_EQ(lamp.Width(), 20);
  EXPECT_EQ(lamp.Height(), 20);
  EXPECT_EQ(lamp.Brush.Color(), RGBColor(192, 192, 192));
  EXPECT_FALSE(lamp.State);
  EXPECT_FALSE(lamp.InPin->State);
}

TEST(Lamp, LightsThroughItsPinOnceAndDirectCallsRepeatTheEvent) {
  TLog log;
  TSimpleShape lamp(nullptr);
  TProbe<bool> event;
  event.Fn = [&](bool level) {
    log.push_back(std::string("event=") + (level ? "1" : "0") + " yellow=" +
                  (lamp.Brush.Color() == RGBColor(255, 255, 0) ? "1" : "0"));
  };
  lamp.OnChange = event.Method();
  TOutputPin plcOutput;
  plcOutput.ConnectTo(lamp.InPin);
  plcOutput.SetState(true);
  plcOutput.SetState(true);
  EXPECT_EQ(log, (TLog{"event=1 yellow=1"}));
  lamp.SetState(true, nullptr);
  EXPECT_EQ(log, (TLog{"event=1 yellow=1", "event=1 yellow=1"}));
  plcOutput.SetState(false);
  EXPECT_EQ(log.back(), "event=0 yellow=0");
  EXPECT_EQ(lamp.Brush.Color(), clSilver);
}

TEST(Lamp, ColourChangesShowOnlyForTheMatchingState) {
  TSimpleShape lamp(nullptr);
  lamp.SetColorON(clRed);
  EXPECT_EQ(lamp.Brush.Color(), clSilver);
  lamp.SetColorOFF(clGray);
  EXPECT_EQ(lamp.Brush.Color(), clGray);
  lamp.SetState(true, nullptr);
  EXPECT_EQ(lamp.Brush.Color(), clRed);
  lamp.SetColorOFF(clBlack);
  EXPECT_EQ(lamp.Brush.Color(), clRed);
  lamp.SetColorON(clLime);
  EXPECT_EQ(lamp.Brush.Color(), clLime);
}

TEST(Lamp, LayoutSetsColoursAndFigureButCannotLightIt) {
  TSimpleShape lamp(nullptr);
  const TPropList props = PublishedProperties(&lamp);
  EXPECT_EQ(FindProperty(props, "State"), nullptr);
  const TPropInfo* shape = FindProperty(props, "Shape");
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(std::get<long long>(shape->Default), stCircle);
  const auto rejected =
      ApplyProperties(&lamp, {{"ColorON", static_cast<long long>(RGBColor(255, 128, 0))},
                              {"ColorOFF", static_cast<long long>(clMaroon)},
                              {"Shape", std::string("stRectangle")},
                              {"State", true}});
  EXPECT_EQ(rejected, (std::vector<std::string>{"State"}));
  EXPECT_EQ(lamp.Shape(), stRectangle);
  EXPECT_EQ(lamp.Brush.Color(), clMaroon);
  lamp.SetState(true, nullptr);
  EXPECT_EQ(lamp.Brush.Color(), RGBColor(255, 128, 0));
}

TEST(SignallingLamp, FollowsItsInputOnlyOnChangeAndRecolours) {
  TVisualSignaling lamp(nullptr);
  EXPECT_EQ(lamp.ClassName(), "TVisualSignaling");
  EXPECT_EQ(lamp.Shape(), stCircle);
  EXPECT_EQ(lamp.Brush.Color(), lamp.ColorOFF);
  lamp.InPin->SetState(true);
  EXPECT_EQ(lamp.Brush.Color(), lamp.ColorON);
  ApplyProperties(&lamp, {{"ColorON", static_cast<long long>(clBlue)}});
  EXPECT_EQ(lamp.Brush.Color(), clBlue);
  lamp.InPin->SetState(false);
  EXPECT_EQ(lamp.Brush.Color(), lamp.ColorOFF);
}

TEST(Meter, ShowsSixZerosUntilAValueArrivesAndFiltersTheInitialZero) {
  TMeter meter(nullptr);
  EXPECT_EQ(meter.Caption(), "   000000");
  EXPECT_EQ(meter.Alignment(), taRightJustify);
  EXPECT_EQ(meter.BevelKind(), bkSoft);
  EXPECT_EQ(meter.Font.Size(), 10);
  EXPECT_FALSE(meter.AutoSize());
  const int width = meter.Width();
  EXPECT_GT(width, 0);
  TOutputByte elevation;
  elevation.ConnectTo(meter.ByteIn);  // pushes 0, which the input byte filters
  EXPECT_EQ(meter.Caption(), "   000000");
  elevation.SetValue(45);
  EXPECT_EQ(meter.Caption(), "45");
  elevation.SetValue(90);
  EXPECT_EQ(meter.Caption(), "90");
  elevation.SetValue(255);
  EXPECT_EQ(meter.Caption(), "255");
  EXPECT_EQ(meter.Width(), width) << "the field keeps its size";
}

TEST(Meter, TheLaterInputWinsAcrossByteAndWord) {
  TMeter meter(nullptr);
  TOutputWord level;
  TOutputByte position;
  level.ConnectTo(meter.WordIn);
  position.ConnectTo(meter.ByteIn);
  level.SetValue(65535);
  EXPECT_EQ(meter.Caption(), "65535");
  position.SetValue(7);
  EXPECT_EQ(meter.Caption(), "7");
  level.SetValue(1000);
  EXPECT_EQ(meter.Caption(), "1000");
  meter.SetMeterValueB(0);
  EXPECT_EQ(meter.Caption(), "0");
  ApplyProperties(&meter, {{"Caption", std::string("   000")}, {"Width", 43LL}, {"Height", 20LL}});
  EXPECT_EQ(meter.Caption(), "   000");
  EXPECT_EQ(meter.Width(), 43);
}

}  // namespace
