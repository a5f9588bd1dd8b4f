// The PLC coupling on screen: the PLC window's real widgets drive the models, the simulator
// window really hides and shows, the About window, the start-up message, and the pictures of
// both windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <fstream>
#include <iostream>
#include <sstream>

#include "framework/Timer.h"
#include "gui/AboutWindow.h"
#include "gui/Canvas.h"
#include "gui/ControlPainter.h"
#include "gui/ControlWidgets.h"
#include "gui/PLCWindow.h"
#include "gui/SimulatorWindow.h"
#include "gui/StartupErrorBox.h"
#include "plc/CPU_Frame.h"
#include "plc/EmbeddedPlc.h"
#include "plc/ESModule.h"
#include "plc/FakeSimulator.h"
#include "plc/PLCFormSource.h"
#include "plc/StartupCheck.h"

namespace {

template <class W>
W* Widget(TPLCWindow& window, const TControl* model) {
  auto* w = qobject_cast<W*>(window.Widgets()->WidgetFor(model));
  EXPECT_NE(w, nullptr);
  return w;
}

void ClickWidget(QWidget* w) {
  ASSERT_NE(w, nullptr);
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
}

// The plant's side of the PLC, on the embedded soft PLC with its own window.
class PlcScreens : public ::testing::Test {
 protected:
  void SetUp() override {
    view = std::make_unique<TSimulatorWindowView>(embedded);
    plc = new TPLC(&root, &embedded, &clock);
    window = std::make_unique<TPLCWindow>(plc);
    plc->Show();
  }
  void TearDown() override {
    window.reset();
    delete plc;
  }
  void Poll() { clock.Advance(TCPU::kPollInterval); }

  TTimerClock clock;
  TEmbeddedPlc embedded{&clock};
  std::unique_ptr<TSimulatorWindowView> view;
  TComponent root{nullptr};
  TPLC* plc = nullptr;
  std::unique_ptr<TPLCWindow> window;
};

TEST_F(PlcScreens, TheWindowFollowsItsModel) {
  EXPECT_EQ(window->windowTitle(), "PLC");
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_EQ(window->size(), QSize(506, 356));
  ClickWidget(Widget<QCheckBox>(*window, plc->OnTopCheckBox));
  EXPECT_EQ(plc->FormStyle(), fsNormal);
  EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(window->isVisible());
  window->close();
  EXPECT_FALSE(plc->Visible());
  EXPECT_FALSE(window->isVisible());
}

TEST_F(PlcScreens, ControlsStartAsTheModelSays) {
  EXPECT_TRUE(Widget<QToolButton>(*window, plc->ManBtn)->isChecked());
  EXPECT_FALSE(Widget<QToolButton>(*window, plc->AutoBtn)->isChecked());
  EXPECT_FALSE(Widget<QComboBox>(*window, plc->TestCbx)->isEnabled());
  EXPECT_FALSE(Widget<QToolButton>(*window, plc->PowerOFFBtn)->isEnabled());
  EXPECT_TRUE(Widget<QCheckBox>(*window, plc->OnTopCheckBox)->isChecked());
  EXPECT_EQ(Widget<QCheckBox>(*window, plc->HideOnRunCheckBox)->text(), "Hilde on running");
  auto* stop = Widget<QRadioButton>(*window, plc->Faceplate->StopBtn);
  EXPECT_TRUE(stop->isChecked());
  // The selector's buttons stand where the faceplate puts them, in window coordinates.
  EXPECT_EQ(stop->geometry().topLeft(),
            QPoint(82 + plc->Faceplate->StopBtn->Left(), 94 + plc->Faceplate->StopBtn->Top()));
}

TEST_F(PlcScreens, AutoUnlocksTheTestsAndLockedWidgetsDoNothing) {
  plc->AddTest("Fallo térmico", "Se va a probar que salte");
  plc->AddTest("Apagado", "Se simula un fallo de alimentación");
  std::vector<int> executed;
  struct Sink {
    std::vector<int>* out;
    void Run(int i) { out->push_back(i); }
  } sink{&executed};
  plc->OnTest = TTestEvent(&sink, &Sink::Run);
  auto* exe = Widget<QToolButton>(*window, plc->TestExeBtn);
  ClickWidget(exe);
  EXPECT_TRUE(executed.empty());
  ClickWidget(Widget<QToolButton>(*window, plc->AutoBtn));
  EXPECT_TRUE(plc->AutoBtn->Down());
  auto* combo = Widget<QComboBox>(*window, plc->TestCbx);
  EXPECT_TRUE(combo->isEnabled());
  ASSERT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->currentText(), "Fallo térmico");
  emit combo->activated(1);
  EXPECT_EQ(plc->DescriptionEdt->Text(), "Se simula un fallo de alimentación");
  ClickWidget(exe);
  EXPECT_EQ(executed, std::vector<int>{1});
  // The power buttons sit in a group that is never enabled.
  ClickWidget(Widget<QToolButton>(*window, plc->PowerOFFBtn));
  EXPECT_TRUE(plc->PowerONBtn->Down());
}

TEST_F(PlcScreens, HidePlcSimReallyHidesAndShowsTheSimulatorWindow) {
  ASSERT_TRUE(view->isVisible());
  auto* hide = Widget<QCheckBox>(*window, plc->HideCheckBox);
  ClickWidget(hide);
  EXPECT_TRUE(hide->isChecked());
  EXPECT_FALSE(view->isVisible());
  ClickWidget(hide);
  EXPECT_TRUE(view->isVisible());
  // Closing the simulator window by hand hides it too; the PLC window can bring it back.
  view->close();
  EXPECT_FALSE(embedded.Window.Visible());
  ClickWidget(hide);
  ClickWidget(hide);
  EXPECT_TRUE(view->isVisible());
}

TEST_F(PlcScreens, HideOnRunningCollapsesTheWindowAndHidesTheSimulator) {
  ClickWidget(Widget<QCheckBox>(*window, plc->HideOnRunCheckBox));
  ClickWidget(Widget<QRadioButton>(*window, plc->Faceplate->RunBtn));
  EXPECT_EQ(embedded.Cpu().Mode(), softplc::CpuMode::Run);
  Poll();
  EXPECT_FALSE(view->isVisible());
  EXPECT_EQ(window->height(), 10);
  EXPECT_FALSE(Widget<QCheckBox>(*window, plc->HideCheckBox)->isEnabled());
  // The simulator's own STOP button: the faceplate follows at its next poll, and the PLC
  // window comes back with the simulator window.
  plc->Show();
  view->ModeButton(2)->click();
  Poll();
  EXPECT_TRUE(plc->Faceplate->StopBtn->Checked());
  EXPECT_TRUE(view->isVisible());
  EXPECT_EQ(window->height(), 356);
}

TEST_F(PlcScreens, TheSimulatorWindowShowsStateCyclesAndTheProcessImage) {
  plc->GetInputPin(124, 1)->SetState(true);
  plc->GetInputPin(125, 7)->SetState(true);
  plc->ExchangeImage();
  view->Refresh();
  EXPECT_EQ(view->StateLabel()->text(), "STOP");
  EXPECT_EQ(view->ImageTable(0)->item(0, 0)->text(), "IB 124");
  EXPECT_EQ(view->ImageTable(0)->item(0, 1)->text(), "00000010");
  EXPECT_EQ(view->ImageTable(0)->item(1, 2)->text(), "80");
  EXPECT_EQ(view->ImageTable(1)->item(0, 0)->text(), "QB 124");
  EXPECT_EQ(view->ImageTable(2)->item(0, 0)->text(), "MB 0");
  embedded.Cpu().SetMemoryByte(3, 0xA5);
  view->AreaStart(2)->setValue(3);
  EXPECT_EQ(view->ImageTable(2)->item(0, 0)->text(), "MB 3");
  EXPECT_EQ(view->ImageTable(2)->item(0, 3)->text(), "165");
  view->ModeButton(0)->click();
  EXPECT_EQ(view->StateLabel()->text(), "RUN_P");
  view->ModeButton(3)->click();
  EXPECT_NE(embedded.Cpu().Mode(), softplc::CpuMode::Run);
  EXPECT_TRUE(view->CyclesLabel()->text().startsWith("Cycles: "));
  EXPECT_TRUE(view->ScanLabel()->text().contains("max"));
}

TEST_F(PlcScreens, AProgramWithErrorsIsRefusedWithItsMessages) {
  const QString path = QDir::temp().filePath("torvane_plc_gui_broken.awl");
  {
    std::ofstream f(path.toStdString());
    f << "ORGANIZATION_BLOCK OB 1\nBEGIN\n  U E 124.1\n  = A 124.0\n  NOSUCH 1\nEND_ORGANIZATION_BLOCK\n";
  }
  const std::string before = embedded.ProgramPath();
  EXPECT_FALSE(view->LoadProgramFile(path));
  EXPECT_EQ(embedded.ProgramPath(), before);
  EXPECT_TRUE(view->StatusLabel()->text().contains("refused")) << view->StatusLabel()->text().toStdString();
  ASSERT_GE(view->DiagnosticsList()->count(), 1);
  const QString first = view->DiagnosticsList()->item(0)->text();
  EXPECT_FALSE(first.isEmpty());
  QFile::remove(path);
}

TEST_F(PlcScreens, NewestDiagnosticsAndLoadErrorsAreInViewAndReloadRetriesTheRefusedFile) {
  const QDir tmp = QDir::temp();
  const QString good = tmp.filePath("torvane_plc_gui_good.awl");
  const QString bad = tmp.filePath("torvane_plc_gui_retry.awl");
  const char* body = "ORGANIZATION_BLOCK OB 1\nBEGIN\n  U E 124.1\n  = A 124.0\n";
  std::ofstream(good.toStdString()) << body << "END_ORGANIZATION_BLOCK\n";
  std::ofstream(bad.toStdString()) << body << "  NOSUCH 1\nEND_ORGANIZATION_BLOCK\n";
  ASSERT_TRUE(view->LoadProgramFile(good));
  view->show();
  QListWidget* list = view->DiagnosticsList();
  const auto inView = [list](int row) {
    return list->viewport()->rect().intersects(list->visualItemRect(list->item(row)));
  };
  for (int i = 0; i < 40; ++i) view->ModeButton(i % 2 == 0 ? 0 : 2)->click();
  QApplication::processEvents();
  ASSERT_GT(list->count(), 20);
  ASSERT_FALSE(embedded.Cpu().Diagnostics().empty());
  const std::string newest = embedded.Cpu().Diagnostics().back().text;
  EXPECT_TRUE(list->item(0)->text().contains(QString::fromStdString(newest)));
  EXPECT_TRUE(inView(0));

  EXPECT_FALSE(view->LoadProgramFile(bad));
  QApplication::processEvents();
  EXPECT_TRUE(list->item(0)->text().startsWith(bad + ":5:")) << list->item(0)->text().toStdString();
  EXPECT_TRUE(inView(0));
  // Reload tries the refused file again, not the program that still runs.
  EXPECT_FALSE(view->ReloadProgram());
  EXPECT_TRUE(view->StatusLabel()->text().contains("refused"));
  std::ofstream(bad.toStdString()) << body << "END_ORGANIZATION_BLOCK\n";
  EXPECT_TRUE(view->ReloadProgram());
  EXPECT_EQ(embedded.ProgramPath(), bad.toStdString());
  QFile::remove(good);
  QFile::remove(bad);
}

TEST_F(PlcScreens, TheCheckedModePositionIsPlainlyMarked) {
  TCPU* cpu = plc->Faceplate;
  ASSERT_TRUE(cpu->StopBtn->Checked());
  ASSERT_FALSE(cpu->RunBtn->Checked());
  // Dark pixels in the indicator circle at the left of each position.
  const auto mark = [&](const TControl* model) {
    QWidget* w = window->Widgets()->WidgetFor(model);
    const QImage img = w->grab().toImage();
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < std::min(img.height(), img.width()); ++x)
        if (qGray(img.pixel(x, y)) < 90) ++dark;
    return dark;
  };
  EXPECT_GE(mark(cpu->StopBtn), mark(cpu->RunBtn) + 6);
}

// Every captioned group box's frame encloses its controls: none is cut by the frame's top line.
// The frame's top is where its right edge starts (the caption stands at the left), read off
// the picture.
TEST_F(PlcScreens, GroupFramesEncloseTheirControls) {
  int checked = 0;
  for (QGroupBox* box : window->findChildren<QGroupBox*>()) {
    if (box->title().isEmpty() || !box->isVisible()) continue;
    const QImage img = box->grab().toImage();
    const int background = qGray(img.pixel(img.width() / 2, img.height() - 4));
    int frameTop = -1;
    for (int y = 0; y < img.height() && frameTop < 0; ++y)
      for (int x = img.width() - 3; x < img.width(); ++x)
        if (std::abs(qGray(img.pixel(x, y)) - background) > 24) frameTop = y;
    ASSERT_GE(frameTop, 0) << box->title().toStdString();
    for (QWidget* child : box->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (!child->isVisibleTo(box)) continue;
      ++checked;
      EXPECT_GT(child->geometry().top(), frameTop + 1)
          << box->title().toStdString() << ": " << child->objectName().toStdString();
    }
  }
  EXPECT_GE(checked, 7) << "POWER, Restart and Sim. Control hold seven controls";
}

// The faceplate's title keeps its light text on light cyan (contrast about 1.4) but gets a
// dark halo, so its letters stand out.
TEST_F(PlcScreens, TheLightTitleOnLightCyanIsReadable) {
  EXPECT_LT(ContrastRatio(QColor(240, 240, 240), QColor(128, 223, 223)), 2.0);
  EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 0.01);
  const QImage img = window->grab().toImage();
  const QRect title(3, 3, 70, 18);
  int dark = 0;
  for (int y = title.top(); y <= title.bottom(); ++y)
    for (int x = title.left(); x <= title.right(); ++x)
      if (qGray(img.pixel(x, y)) < 80) ++dark;
  EXPECT_GE(dark, 40) << "the halo around the letters";
}

// A module's label text keeps air from its bevel: the first column of ink lies at least three
// pixels inside the label (one of bevel, two of air), on the side the text is aligned to.
TEST_F(PlcScreens, ModuleLabelsKeepAirFromTheirBevel) {
  TSymbolNames in{};
  in[0] = "COMIENZO";
  TSymbolNames out{};
  out[0] = "KM1";
  plc->SetInputNames(124, in);
  plc->SetOutputNames(124, out);
  QApplication::processEvents();
  const QImage img = window->grab().toImage();
  const auto inkColumns = [&](const TStaticText* label) {
    const QRect r(label->Left(), label->Top(), label->Width(), label->Height());
    int first = -1, last = -1;
    for (int x = r.left() + 1; x < r.right(); ++x)
      for (int y = r.top() + 1; y < r.bottom(); ++y)
        if (qGray(img.pixel(x, y)) < 60) {
          if (first < 0) first = x - r.left();
          last = r.right() - x;
        }
    return std::make_pair(first, last);
  };
  EXPECT_GE(inkColumns(plc->FirstModule->InputLabels[0]).first, 3);
  EXPECT_GE(inkColumns(plc->FirstModule->OutputLabels[0]).second, 3);
}

TEST_F(PlcScreens, SourcesAndASymbolTableChosenTogetherLoadAsOneProgram) {
  const QDir tmp = QDir::temp();
  const QString ob1 = tmp.filePath("torvane_plc_gui_ob1.awl");
  const QString fc = tmp.filePath("torvane_plc_gui_fc.awl");
  const QString table = tmp.filePath("torvane_plc_gui_symbols.SDF");
  std::ofstream(ob1.toStdString()) << "ORGANIZATION_BLOCK OB 1\nBEGIN\n  CALL \"Copy\"\nEND_ORGANIZATION_BLOCK\n";
  std::ofstream(fc.toStdString()) << "FUNCTION FC 3 : VOID\nBEGIN\n  U E 124.1\n  = A 124.0\nEND_FUNCTION\n";
  std::ofstream(table.toStdString()) << "\"Copy\",\"FC 3\",\"FC 3\",\"\"\n";
  EXPECT_TRUE(view->LoadProgramFiles({table, ob1, fc})) << view->StatusLabel()->text().toStdString();
  EXPECT_TRUE(view->StatusLabel()->text().contains("and 1 more")) << view->StatusLabel()->text().toStdString();
  EXPECT_EQ(embedded.ProgramPath(), ob1.toStdString());
  // Without the table the symbolic call cannot be resolved.
  EXPECT_FALSE(view->LoadProgramFiles({ob1, fc}));
  for (const QString& p : {ob1, fc, table}) QFile::remove(p);
}

TEST_F(PlcScreens, AboutOpensWithABoldTitleAndOkClosesIt) {
  TAboutWindow* about = window->About();
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(about->isVisible());
  ClickWidget(Widget<QPushButton>(*window, plc->BitBtn1));
  EXPECT_TRUE(plc->AboutBox->Visible());
  EXPECT_TRUE(about->isVisible());
  EXPECT_TRUE(about->Text()->isReadOnly());
  const QTextBlock title = about->Text()->document()->firstBlock();
  EXPECT_TRUE(title.text().startsWith("Torvane"));
  const QTextCharFormat fmt = title.begin().fragment().charFormat();
  EXPECT_EQ(fmt.fontWeight(), QFont::Bold);
  EXPECT_EQ(fmt.fontPointSize(), 10.0);
  EXPECT_TRUE(about->Text()->toPlainText().contains("licence"));
  about->OkButton()->click();
  EXPECT_FALSE(about->isVisible());
  EXPECT_FALSE(plc->AboutBox->Visible());
}

TEST(StartupFailure, HeadlessGoesToStandardErrorWithANonZeroStatus) {
  TFakeSimulator sim;
  sim.Running = false;
  std::ostringstream captured;
  std::streambuf* old = std::cerr.rdbuf(captured.rdbuf());
  int status = 0;
  try {
    TComponent root(nullptr);
    new TPLC(&root, &sim);
  } catch (const std::exception& e) {
    status = ShowStartupFailure(e, true);
  }
  std::cerr.rdbuf(old);
  EXPECT_NE(status, 0);
  EXPECT_EQ(captured.str().substr(0, captured.str().find('\n')),
            "PLCSim must be executed before the simulation");
}

TEST(StartupFailure, TheGuiShowsAMessageBox) {
  TFakeSimulator sim;
  sim.Running = false;
  QString shown;
  QTimer::singleShot(0, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  std::ostringstream sink;
  std::streambuf* old = std::cerr.rdbuf(sink.rdbuf());
  int status = 0;
  try {
    CheckSimulatorAtStartup(&sim);
  } catch (const std::exception& e) {
    status = ShowStartupFailure(e, false);
  }
  std::cerr.rdbuf(old);
  EXPECT_EQ(shown, "PLCSim must be executed before the simulation");
  EXPECT_EQ(status, kExitNoSimulator);
}

// Renders both windows and keeps the pictures in the build folder (and, when asked to, in
// docs/). Checks what a picture can show: the rack's parts stand where they should.
TEST(Pictures, PlcAndSimulatorWindows) {
  TTimerClock clock;
  TEmbeddedPlc embedded(&clock);
  TSimulatorWindowView view(embedded);
  TComponent root(nullptr);
  auto* plc = new TPLC(&root, &embedded, &clock);
  TSymbolNames in = {"COMIENZO", "SUBIR", "BAJAR", "PARADA_E", "FC_A", "FC_B", "FC_C", "FC_D",
                        "FE-TERMICO", "REARME"};
  TSymbolNames out = {"KM1",     "KM2",     "KM3",     "KM4",     "L_VALIDAR", "L_ERROR",
                         nullptr,   nullptr,   "L_FASE0", "L_FASE1", "L_FASE2",   "L_FASE3",
                         "L_FASE4", nullptr,   "S_AMBAR", "S_ROJO"};
  plc->SetInputNames(124, in);
  plc->SetOutputNames(124, out);
  plc->AddTest("Fallo térmico", "Se va a probar que salte");
  plc->AddTest("Apagado", "Se simula un fallo de alimentación");
  TPLCWindow window(plc);
  plc->Show();
  // A small program in RUN, a few ticks into the plant's life.
  const QString program = QDir::temp().filePath("copy.awl");
  {
    std::ofstream f(program.toStdString());
    f << "// E124.1 drives A124.0; the phase-0 lamp follows the lower limit switch\n"
         "      U     E 124.1\n      =     A 124.0\n"
         "      U     E 124.4\n      =     A 125.0\n";
  }
  ASSERT_TRUE(view.LoadProgramFile(program));
  for (int bit : {1, 3, 4}) plc->GetInputPin(124, bit)->SetState(true);
  plc->GetInputPin(125, 0)->SetState(true);
  plc->Faceplate->RunBtn->Click();
  for (int tick = 0; tick < 6; ++tick) {
    clock.Advance(50);
    plc->ExchangeImage();
  }
  ASSERT_TRUE(plc->FirstModule->OutputPins[0]->State);
  view.Refresh();
  QApplication::processEvents();

  const QImage plcShot = window.grab().toImage();
  const QImage simShot = view.grab().toImage();
  ASSERT_EQ(plcShot.size(), QSize(506, 356));
  // Faceplate body, module body, and the gap between them.
  EXPECT_EQ(plcShot.pixelColor(160, 60), QColor(100, 100, 100));
  EXPECT_EQ(plcShot.pixelColor(250, 3), QColor(100, 100, 100));
  // The RUN LED is lit, the STOP LED is not.
  EXPECT_EQ(plcShot.pixelColor(11 + 6, 189 + 7), QColor(0, 255, 0));
  EXPECT_EQ(plcShot.pixelColor(11 + 6, 208 + 7), QColor(128, 128, 128));
  EXPECT_FALSE(simShot.isNull());

  // Beside the test binary, whatever folder the test was started from.
  const QString dir = QCoreApplication::applicationDirPath();
  EXPECT_TRUE(plcShot.save(dir + "/plc-window.png"));
  EXPECT_TRUE(simShot.save(dir + "/simulator-window.png"));
  if (qEnvironmentVariableIsSet("TORVANE_WRITE_DOCS")) {
    const QString docs = QStringLiteral(TORVANE_SOURCE_DIR) + "/docs";
    QDir().mkpath(docs);
    plcShot.save(docs + "/plc-window.png");
    simShot.save(docs + "/simulator-window.png");
  }
  window.close();
  delete plc;
  QFile::remove(program);
}

}  // namespace
