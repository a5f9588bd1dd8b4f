#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Form.h"
#include "plc/ESModule.h"

namespace {

constexpr TColor kGrey = RGBColor(124, 124, 124);
constexpr TColor kDark = RGBColor(100, 100, 100);

// Logs "<name>=<level>" for every change of the receivers it is wired to.
struct Device {
  std::vector<std::string>* log;
  std::string name;
  TInputPin pin;
  void Changed(bool s, void*) { log->push_back(name + (s ? "=1" : "=0")); }
  Device(std::vector<std::string>* l, std::string n) : log(l), name(std::move(n)) {
    pin.OnChange = TPinChangeEvent(this, &Device::Changed);
  }
};

struct Module : ::testing::Test {
  TForm window{nullptr};
  TIOModule* m = nullptr;
  void SetUp() override { m = new TIOModule(&window); }
  std::vector<std::string> Captions(const std::vector<TStaticText*>& labels) {
    std::vector<std::string> out;
    for (auto* l : labels) out.push_back(l->Caption());
    return out;
  }
  std::vector<std::string> Hints(const std::vector<TStaticText*>& labels) {
    std::vector<std::string> out;
    for (auto* l : labels) out.push_back(l->ShowHint() ? l->Hint() : "-");
    return out;
  }
  static std::vector<std::string> Addresses(const char* prefix, int first) {
    std::vector<std::string> out;
    for (int i = 0; i < 16; ++i)
      out.push_back(prefix + std::to_string(first + i / 8) + "." + std::to_string(i % 8));
    return out;
  }
  int LitInputs() const {
    int n = 0;
    for (auto* led : m->InputLeds) n += led->Brush.Color() == clYellow;
    return n;
  }
};

TEST_F(Module, ANewModuleShowsByteZeroAndOneWithoutTooltipsAndAllLedsGrey) {
  EXPECT_EQ(Captions(m->InputLabels), Addresses("E", 0));
  EXPECT_EQ(Captions(m->OutputLabels), Addresses("A", 0));
  EXPECT_EQ(Hints(m->InputLabels), std::vector<std::string>(16, "-"));
  for (auto* led : m->InputLeds) EXPECT_EQ(led->Brush.Color(), kGrey);
  for (auto* led : m->OutputLeds) EXPECT_EQ(led->Brush.Color(), kGrey);
  EXPECT_EQ(m->InputPin(16), nullptr);
  EXPECT_EQ(m->InputPin(-1), nullptr);
  EXPECT_EQ(m->InputPin(15), m->InputPins[15]);
  EXPECT_EQ(m->Address, 0);
  EXPECT_EQ(m->ByteCount, 2);
  EXPECT_EQ(m->InputByteCount, 2);
  EXPECT_EQ(m->OutputByteCount, 2);
  ASSERT_NE(m->ForcingMenu, nullptr);
  ASSERT_EQ(m->ForcingMenu->Items().size(), 2u);
  EXPECT_EQ(m->ForcingMenu->Items()[0]->Caption, "Set");
  EXPECT_EQ(m->ForcingMenu->Items()[1]->Caption, "Reset");
  EXPECT_FALSE(m->ForcingEnabled);
  EXPECT_FALSE(m->SetItem->Enabled);
  EXPECT_FALSE(m->ResetItem->Enabled);
  EXPECT_EQ(m->ForcingMenu->Owner(), &window) << "parts and menu belong to the module's owner";
  EXPECT_EQ(m->InputLabels[0]->Owner(), &window);
}

TEST_F(Module, GeometryAndColoursOfEveryRow) {
  EXPECT_EQ(m->BoundsRect(), (TRect{0, 0, 168, 227}));
  EXPECT_EQ(m->Brush.Color(), kDark);
  EXPECT_EQ(m->Pen.Color(), kDark);
  ASSERT_EQ(m->Parts.size(), 96u);
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    const int top = 5 + 13 * i + (i >= 8 ? 8 : 0);
    const auto k = static_cast<std::size_t>(i);
    // Six parts per row, in creation order.
    TControl* const* row = &m->Parts[6 * k];
    EXPECT_EQ(row[0], m->InputLeds[k]);
    EXPECT_EQ(row[1], m->InputLabels[k]);
    EXPECT_EQ(row[3], m->OutputLeds[k]);
    EXPECT_EQ(row[4], m->OutputLabels[k]);
    EXPECT_EQ(m->InputLeds[k]->BoundsRect(), (TRect{5, top, 14, top + 12}));
    EXPECT_EQ(m->InputLeds[k]->Pen.Color(), kDark);
    EXPECT_EQ(m->OutputLeds[k]->BoundsRect(), (TRect{154, top, 163, top + 12}));
    EXPECT_EQ(m->InputLabels[k]->BoundsRect(), (TRect{24, top, 84, top + 12}));
    EXPECT_EQ(m->OutputLabels[k]->BoundsRect(), (TRect{84, top, 144, top + 12}));
    for (TStaticText* label : {m->InputLabels[k], m->OutputLabels[k]}) {
      EXPECT_EQ(label->Color(), RGBColor(128, 255, 255));
      EXPECT_FALSE(label->Transparent());
      EXPECT_FALSE(label->AutoSize());
      EXPECT_EQ(label->Font.Size(), 7);
      EXPECT_EQ(label->BevelKind(), bkFlat);
    }
    EXPECT_EQ(m->InputLabels[k]->Alignment(), taLeftJustify);
    EXPECT_EQ(m->OutputLabels[k]->Alignment(), taRightJustify);
    EXPECT_EQ(m->InputLabels[k]->PopupMenu(), nullptr);
    EXPECT_EQ(m->OutputLabels[k]->PopupMenu(), m->ForcingMenu);
    for (int col : {2, 5}) {
      auto* number = dynamic_cast<TStaticText*>(row[col]);
      ASSERT_NE(number, nullptr);
      EXPECT_EQ(number->Caption(), std::to_string(i % 8));
      EXPECT_EQ(number->Left(), col == 2 ? 15 : 145);
      EXPECT_EQ(number->Top(), top);
      EXPECT_TRUE(number->AutoSize());
      EXPECT_EQ(number->Font.Size(), 7);
      EXPECT_EQ(number->Font.Color(), clSilver);
      EXPECT_EQ(number->Color(), kDark);
      EXPECT_FALSE(number->Transparent());
      EXPECT_EQ(number->Alignment(), taCenter);
    }
    for (int col = 0; col < 6; ++col) EXPECT_TRUE(row[col]->Visible());
  }
  EXPECT_EQ(m->InputLeds[15]->Top(), 208) << "last row";
  EXPECT_EQ(m->InputLeds[8]->Top() - m->InputLeds[7]->Top(), 21) << "13 plus the byte gap";
}

TEST_F(Module, NeverSmallerThanItsRows) {
  m->SetBounds(0, 0, 100, 100);
  EXPECT_EQ(m->Width(), 168);
  EXPECT_EQ(m->Height(), 227);
  m->SetBounds(0, 0, 200, 240);
  EXPECT_EQ(m->Width(), 200);
}

TEST_F(Module, AddressingShowsAddressesWithEqualTooltipsAndKeepsNamesOnTheSameAddress) {
  m->SetAddress(124);
  EXPECT_EQ(Captions(m->InputLabels), Addresses("E", 124));
  EXPECT_EQ(Captions(m->OutputLabels), Addresses("A", 124));
  EXPECT_EQ(Hints(m->InputLabels), Addresses("E", 124));
  EXPECT_EQ(Hints(m->OutputLabels), Addresses("A", 124));
  EXPECT_EQ(m->InputLabels[15]->Caption(), "E125.7");
  EXPECT_EQ(m->OutputLabels[3]->Caption(), "A124.3");

  TSymbolNames names{};
  names[1] = "SUBIR";
  m->SetInputNames(names);
  m->SetAddress(124);
  EXPECT_EQ(m->InputLabels[1]->Caption(), "SUBIR") << "the same address changes nothing";
  m->SetAddress(126);
  EXPECT_EQ(m->InputLabels[1]->Caption(), "E126.1") << "a new address overwrites names";
}

TEST_F(Module, NullNamesClearTheirLabelsAndTooltipsKeepTheAddress) {
  m->SetAddress(124);
  TSymbolNames names{"PARADA_E", "SUBIR", "BAJAR", "COMIENZO", "FC_A", "FC_B", "FC_C", "FC_D",
                     "TERMICO", "MAGNETO", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  m->SetInputNames(names);
  EXPECT_EQ(m->InputLabels[0]->Caption(), "PARADA_E");
  EXPECT_EQ(m->InputLabels[9]->Caption(), "MAGNETO");
  for (int i = 10; i < 16; ++i) {
    const auto k = static_cast<std::size_t>(i);
    EXPECT_EQ(m->InputLabels[k]->Caption(), "");
    EXPECT_EQ(m->InputLabels[k]->Hint(), "E125." + std::to_string(i - 8));
    EXPECT_TRUE(m->InputLabels[k]->HasTooltip());
  }
  EXPECT_EQ(m->InputLabels[0]->Hint(), "E124.0");
  TSymbolNames outs{"KM1"};
  m->SetOutputNames(outs);
  EXPECT_EQ(m->OutputLabels[0]->Caption(), "KM1");
  EXPECT_EQ(m->OutputLabels[1]->Caption(), "");
  EXPECT_EQ(m->InputLabels[0]->Caption(), "PARADA_E") << "outputs do not touch inputs";
}

TEST_F(Module, NamingChoosesTheHalfByTheParityOfTheByteAddress) {
  // With an odd first byte the first eight names belong to an odd byte and land on indices
  // 8-15, the last eight on 0-7.
  m->SetAddress(125);
  TSymbolNames names{"a0", "a1", "a2", "a3", "a4", "a5", "a6", "a7",
                     "b0", "b1", "b2", "b3", "b4", "b5", "b6", "b7"};
  m->SetInputNames(names);
  EXPECT_EQ(m->InputLabels[0]->Caption(), "b0");
  EXPECT_EQ(m->InputLabels[8]->Caption(), "a0");
  EXPECT_EQ(m->InputLabels[15]->Caption(), "a7");
  EXPECT_EQ(m->InputLabels[8]->Hint(), "E126.0");
}

TEST_F(Module, InputBytesAreBuiltFromThePinsLowestBitFirst) {
  m->InputPins[1]->SetState(true);
  m->InputPins[7]->SetState(true);
  EXPECT_EQ(m->InputByte(0), 130);
  EXPECT_EQ(m->InputByte(1), 0);
  m->InputPins[8]->SetState(true);
  m->InputPins[15]->SetState(true);
  EXPECT_EQ(m->InputByte(1), 129);
  EXPECT_EQ(m->InputByte(2), 0);
  EXPECT_EQ(m->InputByte(-1), 0);
  EXPECT_EQ(ImageWord(m->InputByte(0), m->InputByte(1)), 0x8281) << "first byte high";
  EXPECT_EQ(ImageWordByte(0x8281, 0), 0x82);
  EXPECT_EQ(ImageWordByte(0x8281, 1), 0x81);
}

TEST_F(Module, InputLedsMirrorTheirPinsWhenDrivenByADevice) {
  TOutputPin button;
  button.ConnectTo(m->InputPin(1));
  button.SetState(true);
  EXPECT_EQ(m->InputLeds[1]->Brush.Color(), clYellow);
  EXPECT_EQ(LitInputs(), 1);
  button.SetState(false);
  EXPECT_EQ(m->InputLeds[1]->Brush.Color(), kGrey);
}

TEST_F(Module, OutputByteDrivesDevicesLowestBitFirstAndLightsExactlyItsLeds) {
  std::vector<std::string> log;
  std::vector<std::unique_ptr<Device>> devices;
  for (int i = 0; i < 16; ++i) {
    devices.push_back(std::make_unique<Device>(&log, "q" + std::to_string(i)));
    m->ConnectOutputPin(i, &devices.back()->pin);
  }
  m->SetOutputByte(0, 0xFF);
  log.clear();
  m->SetOutputByte(1, 5);
  EXPECT_EQ(log, (std::vector<std::string>{"q8=1", "q10=1"}));
  for (int i = 8; i < 16; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const bool on = i == 8 || i == 10;
    EXPECT_EQ(m->OutputPins[k]->State, on) << i;
    EXPECT_EQ(m->OutputLeds[k]->Brush.Color(), on ? clYellow : kGrey) << i;
  }
  EXPECT_EQ(m->OutputLeds[0]->Brush.Color(), clYellow) << "byte 0 untouched";

  log.clear();
  m->SetOutputByte(1, 0x0A);  // bits 1 and 3 on, 0 and 2 off: seen in bit order
  EXPECT_EQ(log, (std::vector<std::string>{"q8=0", "q9=1", "q10=0", "q11=1"}));
  log.clear();
  m->SetOutputByte(2, 0xFF);
  m->SetOutputByte(-1, 0xFF);
  EXPECT_TRUE(log.empty());

  m->ResetOutputs();
  EXPECT_EQ(log, (std::vector<std::string>{"q0=0", "q1=0", "q2=0", "q3=0", "q4=0", "q5=0", "q6=0",
                                           "q7=0", "q9=0", "q11=0"}));
  for (auto* led : m->OutputLeds) EXPECT_EQ(led->Brush.Color(), kGrey);
}

TEST_F(Module, ConnectOutputPinIgnoresBadIndexesAndNullAndPushesTheLevel) {
  std::vector<std::string> log;
  Device lamp(&log, "lamp");
  m->ConnectOutputPin(16, &lamp.pin);
  m->ConnectOutputPin(-1, &lamp.pin);
  m->ConnectOutputPin(3, nullptr);
  for (auto* pin : m->OutputPins) EXPECT_TRUE(pin->Connections().empty());
  m->OutputPins[3]->SetState(true);
  m->ConnectOutputPin(3, &lamp.pin);
  EXPECT_EQ(log, (std::vector<std::string>{"lamp=1"}));
}

TEST_F(Module, ForcingActsOnTheOutputOfTheLabelTheMenuWasOpenedOnAndOnlyWhenEnabled) {
  std::vector<std::string> log;
  Device contactor(&log, "KM4");
  m->ConnectOutputPin(3, &contactor.pin);
  m->ForcingMenu->SetPopupComponent(m->OutputLabels[3]);
  m->SetItem->Click();
  EXPECT_FALSE(m->OutputPins[3]->State) << "forcing is off after construction";

  m->SetForcingEnabled(true);
  EXPECT_TRUE(m->SetItem->Enabled);
  EXPECT_TRUE(m->ResetItem->Enabled);
  m->SetItem->Click();
  EXPECT_TRUE(m->OutputPins[3]->State);
  EXPECT_TRUE(contactor.pin.State);
  EXPECT_EQ(m->OutputLeds[3]->Brush.Color(), clYellow);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(m->OutputPins[static_cast<std::size_t>(i)]->State, i == 3) << i;

  m->ResetItem->Click();
  EXPECT_FALSE(contactor.pin.State);
  EXPECT_EQ(log, (std::vector<std::string>{"KM4=1", "KM4=0"}));

  // Opened on something that is not an output label: nothing to force.
  m->ForcingMenu->SetPopupComponent(m->InputLabels[3]);
  m->SetItem->Click();
  m->ForcingMenu->SetPopupComponent(nullptr);
  m->SetItem->Click();
  EXPECT_FALSE(m->OutputPins[3]->State);

  m->SetForcingEnabled(false);
  m->ForcingMenu->SetPopupComponent(m->OutputLabels[3]);
  m->SetItem->Click();
  EXPECT_FALSE(m->OutputPins[3]->State);
}

TEST_F(Module, MovingCarriesEveryPartAlong) {
  std::vector<TRect> before;
  for (auto* p : m->Parts) before.push_back(p->BoundsRect());
  m->SetRackLeft(300);
  m->SetRackTop(40);
  EXPECT_EQ(m->BoundsRect(), (TRect{300, 40, 468, 267}));
  for (std::size_t i = 0; i < m->Parts.size(); ++i) {
    const TRect b = before[i];
    EXPECT_EQ(m->Parts[i]->BoundsRect(), (TRect{b.Left + 300, b.Top + 40, b.Right + 300, b.Bottom + 40}));
  }
  m->SetRackLeft(10);
  EXPECT_EQ(m->InputLeds[0]->Left(), 15);
  EXPECT_EQ(m->OutputLeds[15]->BoundsRect(), (TRect{164, 248, 173, 260}));
}

TEST_F(Module, SetParentWindowPutsTheModuleFirstThenThePartsInOrder) {
  m->SetParentWindow(&window);
  ASSERT_EQ(window.Children().size(), 97u);
  EXPECT_EQ(window.Children()[0], m);
  for (std::size_t i = 0; i < 96; ++i) EXPECT_EQ(window.Children()[i + 1], m->Parts[i]);
}

TEST(ModuleLifetime, AModuleWithoutOwnerOwnsAndFreesItsParts) {
  auto* m = new TIOModule(nullptr);
  EXPECT_EQ(m->Components().size(), 97u);
  EXPECT_EQ(m->InputLabels[0]->Owner(), m);
  delete m;  // the sanitizer build would report leaked parts or pins
}

TEST(ModuleLifetime, AModuleDestroyedBeforeItsWindowLeavesAHarmlessMenu) {
  TForm window(nullptr);
  auto* m = new TIOModule(&window);
  m->SetParentWindow(&window);
  TMenuItem* set = m->SetItem;
  TStaticText* label = m->OutputLabels[0];
  m->SetForcingEnabled(true);
  delete m;
  label->PopupMenu()->SetPopupComponent(label);
  set->Click();  // must not call into the dead module
  EXPECT_FALSE(set->OnClick.Assigned());
  EXPECT_EQ(window.Children().size(), 96u);
}

TEST(ModuleLifetime, PartsDestroyedBeforeTheModuleAreForgotten) {
  // A window tears down its newest controls first, so the parts die before the module.
  auto* window = new TForm(nullptr);
  auto* m = new TIOModule(window);
  m->SetParentWindow(window);
  EXPECT_EQ(window->Components().size(), 98u);
  delete m->InputLeds[0];
  delete m->OutputLabels[2];
  EXPECT_EQ(m->InputLeds[0], nullptr);
  EXPECT_EQ(m->OutputLabels[2], nullptr);
  EXPECT_EQ(m->Parts[0], nullptr);
  m->InputPins[0]->SetState(true);  // its LED is gone: nothing to paint
  m->InputPins[1]->SetState(true);
  EXPECT_EQ(m->InputLeds[1]->Brush.Color(), clYellow);
  m->SetAddress(124);
  m->SetRackLeft(20);
  EXPECT_EQ(m->InputLeds[1]->Left(), 25);
  delete window;
}

TEST(ProcessImage, AddressTexts) {
  EXPECT_EQ(ProcessImageAddress(false, 124, 0), "E124.0");
  EXPECT_EQ(ProcessImageAddress(true, 125, 7), "A125.7");
  EXPECT_EQ(ProcessImageAddress(true, 0, 3), "A0.3");
}

}  // namespace
