#pragma once
// The live timing chart: one row per recorded trace (bits as a line that is high or low,
// words as a bus with its value), plant time across, markers where a fault came or went, and a
// cursor that reads the time and every value under it. The painting is shared by the window,
// the PNG and SVG exports and the headless --chart output.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

class QPainter;
class QScrollBar;
class QLabel;
class QLineEdit;
class QToolButton;

namespace scenario {
class Recorder;
}

struct TChartSpan {
  std::uint64_t From = 0;  // plant milliseconds at the left edge
  std::uint64_t To = 60000;
};

// Draws the chart of span into a painter of the given size; cursorMs < 0 draws no cursor.
void PaintChart(QPainter& p, QSize size, const scenario::Recorder& r, TChartSpan span,
                std::int64_t cursorMs = -1);
// The height that shows every trace of r, for exports.
int ChartHeight(const scenario::Recorder& r);
// The whole recorded span, for exports.
TChartSpan RecordedSpan(const scenario::Recorder& r);

// The first bytes of every chart drawing Torvane writes, so that only its own earlier charts
// are ever replaced.
extern const char kChartSvgSignature[];

// Exports; false with a message naming the file when it cannot be written. Files are written
// whole or not at all.
bool ExportChartPng(const scenario::Recorder& r, const QString& path, QString& error);
bool ExportChartSvg(const scenario::Recorder& r, const QString& path, QString& error);
bool ExportChartVcd(const scenario::Recorder& r, const QString& path, QString& error);

class TChartView : public QWidget {
  Q_OBJECT

 public:
  explicit TChartView(const scenario::Recorder& r, QWidget* parent = nullptr);

  TChartSpan Span() const { return FSpan; }
  // Shows [from, from + width); leaves live following.
  void ShowSpan(TChartSpan span);
  // Live: the right edge follows the recorder's present.
  void SetLive(bool live);
  bool Live() const { return FLive; }
  // Zooms by factor (2: twice as much time) around plant time atMs.
  void Zoom(double factor, std::uint64_t atMs);
  void SetCursorTime(std::int64_t ms);
  std::int64_t CursorTime() const { return FCursor; }
  // Plant time under x (widget coordinates).
  std::uint64_t TimeAt(int x) const;
  // Follows the recorder (called ten times a second by the window).
  void Refresh();

  static constexpr std::uint64_t kDefaultWindowMs = 60000;
  static constexpr std::uint64_t kMinWindowMs = 500;

 signals:
  void SpanChanged();
  void CursorChanged();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  const scenario::Recorder& FRecorder;
  TChartSpan FSpan{0, kDefaultWindowMs};
  bool FLive = true;
  std::int64_t FCursor = -1;
};

// The chart window: the view, a scroll bar over the recorded span, zoom, live, exports and the
// cursor's reading.
class TChartWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TChartWindow(const scenario::Recorder& r, QWidget* parent = nullptr);

  TChartView* View() const { return FView; }
  QScrollBar* ScrollBar() const { return FScroll; }
  QLabel* Reading() const { return FReading; }
  QToolButton* LiveButton() const { return FLiveBtn; }
  QLineEdit* TraceEdit() const { return FTraceEdit; }
  // Adds a trace for an operand text (E124.1, MW 10, "SUBIR"); returns why not, or empty. The
  // window's Add field calls it; without it the field is hidden.
  std::function<std::string(const std::string&)> OnAddTrace;
  // Called when OnAddTrace is set, to show the field.
  void EnableAddTrace();
  // Adds the trace typed in the field; false (message below the chart) when refused.
  bool AddTypedTrace();
  // The cursor's whole reading: "t = 12.350 s  E124.1 SUBIR=1 ..." (empty without a cursor).
  QString ReadingText() const;

 private:
  void SyncScroll();
  void Export(const QString& kind);

  const scenario::Recorder& FRecorder;
  TChartView* FView;
  QScrollBar* FScroll;
  QLabel* FReading;
  QToolButton* FLiveBtn;
  QLineEdit* FTraceEdit;
  bool FSyncing = false;
};
