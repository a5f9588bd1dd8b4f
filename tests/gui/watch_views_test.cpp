// The views that watch and steer a running CPU, driven through their shown widgets: the variable
// table (add, format, modify, force, files), the CPU window's force line, the timing chart
// (cursor, zoom, live, exports), the clock bar and the timers view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "framework/Timer.h"
#include "gui/ChartView.h"
#include "gui/ClockBar.h"
#include "gui/ClockDriver.h"
#include "gui/SimulatorWindow.h"
#include "gui/TimersView.h"
#include "gui/WatchWindow.h"
#include "plc/EmbeddedPlc.h"
#include "scenario/Recorder.h"

namespace {

QString Cell(const QTableWidget* t, int r, int c) { return t->item(r, c) ? t->item(r, c)->text() : QString(); }

QPushButton* Button(QWidget& w, const char* name) { return w.findChild<QPushButton*>(QString::fromLatin1(name)); }
QToolButton* Tool(QWidget& w, const char* name) { return w.findChild<QToolButton*>(QString::fromLatin1(name)); }

class WatchViews : public ::testing::Test {
 protected:
  void SetUp() override {
    plc.SetSymbols({{"SUBIR", "E124.1"}, {"KM1", "A124.0"}});
    ASSERT_TRUE(plc.Cpu().Load({{"w.awl", "  U E 124.1\n  = A 124.0\n  L MW 10\n  + 1\n  T MW 10\n"
                                          "  U E 124.1\n  L S5T#2S\n  SE T 1\n  ZV Z 2\n"}},
                               plc.Symbols()).ok);
    plc.SetMode(softplc::CpuMode::Run);
  }
  void Cycle() {
    clock.Advance(50);
    plc.Scan();
  }
  void Add(TWatchWindow& w, const char* text) {
    w.OperandEdit()->setFocus();
    QTest::keyClicks(w.OperandEdit(), QString::fromLatin1(text));
    QTest::keyClick(w.OperandEdit(), Qt::Key_Return);
  }
  void Select(TWatchWindow& w, int row) {
    w.Table()->clearSelection();
    w.Table()->selectRow(row);
  }

  TTimerClock clock;
  TEmbeddedPlc plc{&clock};
};

TEST_F(WatchViews, TheVariableTableWatchesModifiesAndForces) {
  TWatchWindow w(plc);
  TSimulatorWindowView cpuWindow(plc);
  w.show();
  cpuWindow.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  Add(w, "\"SUBIR\"");
  Add(w, "KM1");
  Add(w, "MW 10");
  Add(w, "EX 3");  // not an operand: refused with a reason, no row
  ASSERT_EQ(w.Table()->rowCount(), 3);
  EXPECT_FALSE(w.StatusLine()->text().isEmpty());
  EXPECT_EQ(w.OperandEdit()->text(), QStringLiteral("EX 3"));  // kept for correcting
  EXPECT_EQ(Cell(w.Table(), 0, TWatchWindow::ColAddress), QStringLiteral("E 124.1"));

  std::vector<std::string> marks;  // what the chart is told
  w.OnMark = [&marks](const std::string& m) { marks.push_back(m); };
  // Force the input: the program's answer shows, and both windows say a force is active.
  w.SetModifyValue(0, QStringLiteral("TRUE"));
  Select(w, 0);
  QTest::mouseClick(Button(w, "force"), Qt::LeftButton);
  Cycle();
  w.Refresh();
  cpuWindow.Refresh();
  EXPECT_EQ(Cell(w.Table(), 1, TWatchWindow::ColValue), QStringLiteral("TRUE"));
  EXPECT_EQ(Cell(w.Table(), 0, TWatchWindow::ColForced), QStringLiteral("F"));
  EXPECT_TRUE(w.ForceBanner()->isVisible());
  EXPECT_TRUE(cpuWindow.ForceLabel()->isVisible());
  EXPECT_NE(cpuWindow.ForceLabel()->text().indexOf(QStringLiteral("1 bit")), -1);
  QTest::mouseClick(Button(w, "unforceAll"), Qt::LeftButton);
  QTest::mouseClick(Button(w, "unforceAll"), Qt::LeftButton);  // nothing left to end: no mark
  EXPECT_EQ(marks, (std::vector<std::string>{"force \"SUBIR\" TRUE", "unforce all"}));
  cpuWindow.Refresh();
  EXPECT_FALSE(w.ForceBanner()->isVisible());
  EXPECT_FALSE(cpuWindow.ForceLabel()->isVisible());
  EXPECT_EQ(Cell(w.Table(), 0, TWatchWindow::ColForced), QString());

  // Modify lands at the next cycle, before the program adds one; the format changes the text.
  w.SetModifyValue(2, QStringLiteral("100"));
  Select(w, 2);
  QTest::mouseClick(Button(w, "modify"), Qt::LeftButton);
  w.SetFormat(2, TWatchFormat::Dec);
  const QString before = Cell(w.Table(), 2, TWatchWindow::ColValue);
  Cycle();
  w.Refresh();
  EXPECT_NE(before, QStringLiteral("101"));
  EXPECT_EQ(Cell(w.Table(), 2, TWatchWindow::ColValue), QStringLiteral("101"));
  // A value that does not fit is refused, naming it.
  w.SetModifyValue(1, QStringLiteral("2"));
  Select(w, 1);
  EXPECT_FALSE(w.ForceSelected());
  EXPECT_NE(w.StatusLine()->text().indexOf(QStringLiteral("'2'")), -1);
}

TEST_F(WatchViews, TablesGoToAndComeFromPlainTextFilesOnlyWhenAsked) {
  QTemporaryDir dir;
  TWatchWindow w(plc);
  w.show();
  Add(w, "\"SUBIR\"");
  Add(w, "MW 10");
  w.SetFormat(1, TWatchFormat::Dec);
  EXPECT_TRUE(QDir(dir.path()).isEmpty());  // nothing written on its own
  const QString path = dir.filePath(QStringLiteral("t.txt"));
  QString error;
  ASSERT_TRUE(w.SaveTo(path, error)) << error.toStdString();
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("\"SUBIR\" BOOL\nMW 10 DEC\n"));
  EXPECT_FALSE(w.SaveTo(dir.filePath(QStringLiteral("no/such/folder/t.txt")), error));
  EXPECT_NE(error.indexOf(QStringLiteral("no/such/folder")), -1);

  const QString bad = dir.filePath(QStringLiteral("bad.txt"));
  QFile out(bad);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write("// watch list\nAW 124 HEX\n  MX 3 HEX\nT 1 REAL\n\nMD 4 REAL\n");
  out.close();
  QStringList errors;
  EXPECT_FALSE(w.LoadFrom(bad, errors));
  ASSERT_EQ(errors.size(), 2);
  EXPECT_TRUE(errors[0].startsWith(bad + QStringLiteral(":3:3: "))) << errors[0].toStdString();
  EXPECT_TRUE(errors[1].startsWith(bad + QStringLiteral(":4:5: the format REAL"))) << errors[1].toStdString();
  ASSERT_EQ(w.Rows().size(), 2u);  // the good lines are kept
  EXPECT_EQ(w.Rows()[1].Format, TWatchFormat::Real);
  ASSERT_TRUE(w.LoadFrom(path, errors = {}));
  ASSERT_EQ(w.Rows().size(), 2u);
  EXPECT_EQ(w.Rows()[1].Format, TWatchFormat::Dec);
}

TEST_F(WatchViews, TheTimersViewListsWhatTheProgramUses) {
  TTimersView v(plc);
  v.show();
  plc.Cpu().Force(softplc::ByteArea::Input, 124, 0x02, 0x02);
  Cycle();
  v.Refresh();
  ASSERT_EQ(v.Timers()->rowCount(), 1);
  EXPECT_EQ(Cell(v.Timers(), 0, 0), QStringLiteral("T 1"));
  EXPECT_EQ(Cell(v.Timers(), 0, 1), QStringLiteral("S5T#2S"));
  EXPECT_EQ(Cell(v.Timers(), 0, 3), QStringLiteral("10 ms"));
  EXPECT_EQ(Cell(v.Timers(), 0, 4), QStringLiteral("running"));
  for (int i = 0; i < 40; ++i) Cycle();
  v.Refresh();
  EXPECT_EQ(Cell(v.Timers(), 0, 4), QStringLiteral("stopped"));
  EXPECT_EQ(Cell(v.Timers(), 0, 5), QStringLiteral("1"));
  ASSERT_EQ(v.Counters()->rowCount(), 1);
  EXPECT_EQ(Cell(v.Counters(), 0, 0), QStringLiteral("Z 2"));
  EXPECT_EQ(Cell(v.Counters(), 0, 1), QStringLiteral("1"));
}

TEST(ClockBar, PauseStepAndSpeedDriveTheOneClock) {
  TTimerClock clock;
  TClockDriver driver(clock);
  int steps = 0;
  TClockBar bar(driver, clock, [&] {
    ++steps;
    clock.Advance(50);
  });
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  EXPECT_FALSE(bar.StepButton()->isEnabled());
  QTest::mouseClick(bar.PauseButton(), Qt::LeftButton);
  EXPECT_TRUE(driver.Paused());
  ASSERT_TRUE(bar.StepButton()->isEnabled());
  QTest::mouseClick(bar.StepButton(), Qt::LeftButton);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(bar.TimeLabel()->text(), QStringLiteral("00:00.050"));
  QTest::mouseClick(bar.PauseButton(), Qt::LeftButton);
  EXPECT_FALSE(driver.Paused());
  EXPECT_FALSE(bar.StepButton()->isEnabled());
  bar.SpeedBox()->setCurrentIndex(0);
  EXPECT_DOUBLE_EQ(driver.Speed(), 0.1);
  bar.SpeedBox()->setCurrentIndex(5);
  EXPECT_DOUBLE_EQ(driver.Speed(), 5.0);
  EXPECT_EQ(TClockBar::TimeText(3723004), QStringLiteral("1:02:03.004"));
}

TEST(ChartWindow, CursorZoomLiveAndScrollFollowTheRecord) {
  scenario::Recorder r;
  const int a = r.AddTrace("E124.1 SUBIR", 1);
  const int b = r.AddTrace("A124.0 KM1", 1);
  for (int i = 0; i < 30; ++i) r.Set(r.AddTrace("A125." + std::to_string(i) + " LAMP", 1), 0, 0);
  for (std::uint64_t t = 0; t <= 120000; t += 50) {
    r.Set(a, (t / 1000) % 2, t);
    r.Set(b, t >= 90000 ? 1 : 0, t);
    r.SetNow(t);
  }
  TChartWindow w(r);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  TChartView* v = w.View();
  // Live: the last 60 s of plant time.
  EXPECT_EQ(v->Span().To, 120000u);
  EXPECT_EQ(v->Span().From, 60000u);
  // A click reads the time and every value there.
  const int x = v->width() - 10;
  QTest::mouseClick(v, Qt::LeftButton, {}, QPoint(x, 40));
  const std::uint64_t at = v->TimeAt(x);
  EXPECT_EQ(static_cast<std::uint64_t>(v->CursorTime()), at);
  const QString reading = w.ReadingText();
  EXPECT_NE(reading.indexOf(QStringLiteral("A124.0 KM1=1")), -1) << reading.toStdString();
  EXPECT_NE(reading.indexOf(QStringLiteral("E124.1 SUBIR=%1").arg((at / 1000) % 2)), -1);
  EXPECT_EQ(w.Reading()->toolTip(), reading);
  EXPECT_NE(w.Reading()->text().indexOf(QString::number(static_cast<double>(at) / 1000.0, 'f', 3)), -1);
  // However long the reading, the window keeps its width.
  EXPECT_LE(w.minimumSizeHint().width(), 700);
  // Zoom in halves the span; the live right edge stays on the present.
  QTest::mouseClick(Tool(w, "zoomIn"), Qt::LeftButton);
  EXPECT_EQ(v->Span().To - v->Span().From, 30000u);
  EXPECT_EQ(v->Span().To, 120000u);
  // Scrolling back leaves live; new plant time then does not move the view.
  w.ScrollBar()->setValue(0);
  EXPECT_FALSE(v->Live());
  EXPECT_FALSE(w.LiveButton()->isChecked());
  EXPECT_EQ(v->Span().From, 0u);
  r.SetNow(121000);
  v->Refresh();
  EXPECT_EQ(v->Span().From, 0u);
  QTest::mouseClick(w.LiveButton(), Qt::LeftButton);
  EXPECT_EQ(v->Span().To, 121000u);
  // A paused plant records nothing new: the live view stands still.
  const TChartSpan still = v->Span();
  v->Refresh();
  EXPECT_EQ(v->Span().From, still.From);
  EXPECT_EQ(v->Span().To, still.To);
}

TEST(ChartWindow, ATypedOperandBecomesATraceOrIsRefusedWithTheReason) {
  scenario::Recorder r;
  r.AddTrace("E124.1 SUBIR", 1);
  TChartWindow w(r);
  w.show();
  EXPECT_FALSE(w.TraceEdit()->isVisible());  // nobody to add traces
  std::vector<std::string> asked;
  w.OnAddTrace = [&](const std::string& text) -> std::string {
    asked.push_back(text);
    if (text != "MW 10") return "'" + text + "' is not an address";
    r.AddTrace("MW 10", 16);
    return {};
  };
  w.EnableAddTrace();
  ASSERT_TRUE(w.TraceEdit()->isVisible());
  QTest::keyClicks(w.TraceEdit(), QStringLiteral("MX 3"));
  QTest::keyClick(w.TraceEdit(), Qt::Key_Return);
  EXPECT_EQ(w.Reading()->text(), QStringLiteral("'MX 3' is not an address"));
  EXPECT_EQ(w.TraceEdit()->text(), QStringLiteral("MX 3"));  // kept for correcting
  w.TraceEdit()->clear();
  QTest::keyClicks(w.TraceEdit(), QStringLiteral(" MW 10 "));
  QTest::keyClick(w.TraceEdit(), Qt::Key_Return);
  EXPECT_EQ(asked, (std::vector<std::string>{"MX 3", "MW 10"}));
  EXPECT_EQ(r.Traces(), 2);
  EXPECT_TRUE(w.TraceEdit()->text().isEmpty());
  EXPECT_EQ(w.Reading()->text(), QStringLiteral("MW 10 is recorded from now on."));
}

TEST(ChartWindow, ExportsWriteTheRecordedSpanWholeOrNotAtAll) {
  scenario::Recorder r;
  const int a = r.AddTrace("E124.1 SUBIR", 1);
  r.Set(a, 0, 0);
  r.Set(a, 1, 500);
  r.Mark(500, "fault FC_C stuck");
  r.SetNow(2000);
  QTemporaryDir dir;
  QString error;
  const QString png = dir.filePath(QStringLiteral("c.png")), svg = dir.filePath(QStringLiteral("c.svg")),
                vcd = dir.filePath(QStringLiteral("c.vcd"));
  ASSERT_TRUE(ExportChartPng(r, png, error)) << error.toStdString();
  ASSERT_TRUE(ExportChartSvg(r, svg, error)) << error.toStdString();
  ASSERT_TRUE(ExportChartVcd(r, vcd, error)) << error.toStdString();
  const QImage image(png);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.height(), ChartHeight(r));
  // The high half of the trace is drawn in the right part of the picture only.
  const int row = ChartHeight(r) - 4 - 8;
  EXPECT_NE(image.pixelColor(image.width() - 20, row), image.pixelColor(image.width() / 10 + 200, row));
  QSvgRenderer rendered(svg);
  EXPECT_TRUE(rendered.isValid());
  QFile f(vcd);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray text = f.readAll();
  EXPECT_TRUE(text.startsWith("$version")) << text.constData();
  EXPECT_NE(text.indexOf("#500\n1!"), -1) << text.constData();
  EXPECT_FALSE(ExportChartSvg(r, dir.filePath(QStringLiteral("none/c.svg")), error));
  EXPECT_NE(error.indexOf(QStringLiteral("none/c.svg")), -1);
}

}  // namespace
