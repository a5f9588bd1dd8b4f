#include "gui/ChartView.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <QSvgGenerator>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "scenario/Recorder.h"

namespace {

constexpr int kLabelWidth = 190;
constexpr int kAxisHeight = 22;
constexpr int kRowHeight = 16;
constexpr int kExportWidth = 1400;

const QColor kBackground(0xFF, 0xFF, 0xFF);
const QColor kGrid(0xE4, 0xE4, 0xE4);
const QColor kHigh(0x1B, 0x8A, 0x2E);
const QColor kHighFill(0xC8, 0xEC, 0xCE);
const QColor kLow(0x50, 0x50, 0x50);
const QColor kMarker(0xD0, 0x20, 0x20);
const QColor kCursor(0x20, 0x50, 0xD0);

double PixelsPerMs(QSize size, TChartSpan span) {
  const double w = std::max(1, size.width() - kLabelWidth);
  return w / static_cast<double>(std::max<std::uint64_t>(span.To - span.From, 1));
}

double XOf(std::uint64_t t, QSize size, TChartSpan span) {
  return kLabelWidth + (static_cast<double>(t) - static_cast<double>(span.From)) * PixelsPerMs(size, span);
}

// A step between grid lines of about 100 pixels: 1, 2 or 5 times a power of ten ms.
std::uint64_t GridStep(QSize size, TChartSpan span) {
  const double msPerGrid = 100.0 / PixelsPerMs(size, span);
  std::uint64_t step = 1;
  for (;;) {
    for (std::uint64_t m : {1u, 2u, 5u})
      if (static_cast<double>(step * m) >= msPerGrid) return step * m;
    step *= 10;
  }
}

QString Seconds(std::uint64_t ms, std::uint64_t step) {
  const int decimals = step >= 1000 ? 0 : step >= 100 ? 1 : step >= 10 ? 2 : 3;
  return QString::number(static_cast<double>(ms) / 1000.0, 'f', decimals) + QStringLiteral(" s");
}

QString ValueText(std::uint64_t v, int width) {
  if (width == 1) return QString::number(v);
  return QString::number(v);
}

void PaintTrace(QPainter& p, QSize size, const scenario::Recorder& r, int id, TChartSpan span,
                int top) {
  const auto& changes = r.Changes(id);
  const double right = size.width();
  const double hi = top + 4, lo = top + kRowHeight - 4;
  // From the last change at or before the left edge.
  auto it = std::upper_bound(changes.begin(), changes.end(), span.From,
                             [](std::uint64_t t, const scenario::Recorder::Change& c) { return t < c.timeMs; });
  if (it != changes.begin()) --it;
  const std::uint64_t end = std::min(r.Now(), span.To);
  for (; it != changes.end() && it->timeMs <= end; ++it) {
    const auto next = std::next(it);
    const std::uint64_t until = next == changes.end() ? r.Now() : std::min(next->timeMs, r.Now());
    const double x0 = std::max<double>(kLabelWidth, XOf(it->timeMs, size, span));
    const double x1 = std::min(right, XOf(std::max(until, it->timeMs), size, span));
    if (x1 < kLabelWidth) continue;
    if (r.Width(id) == 1) {
      if (it->value != 0) {
        p.fillRect(QRectF(x0, hi, std::max(x1 - x0, 1.0), lo - hi), kHighFill);
        p.setPen(QPen(kHigh, 1.5));
        p.drawLine(QPointF(x0, hi), QPointF(x1, hi));
      } else {
        p.setPen(QPen(kLow, 1.0));
        p.drawLine(QPointF(x0, lo), QPointF(x1, lo));
      }
      if (it->timeMs >= span.From && it != changes.begin()) {
        p.setPen(QPen(kLow, 1.0));
        p.drawLine(QPointF(x0, hi), QPointF(x0, lo));
      }
    } else {
      // A bus: two lines that cross at each change, the value written inside when it fits.
      p.setPen(QPen(kHigh, 1.0));
      const double mid = (hi + lo) / 2;
      const double edge = std::min(3.0, (x1 - x0) / 2);
      QPolygonF shape;
      shape << QPointF(x0, mid) << QPointF(x0 + edge, hi) << QPointF(x1 - edge, hi) << QPointF(x1, mid)
            << QPointF(x1 - edge, lo) << QPointF(x0 + edge, lo) << QPointF(x0, mid);
      p.drawPolyline(shape);
      const QString text = ValueText(it->value, r.Width(id));
      if (p.fontMetrics().horizontalAdvance(text) + 6 < x1 - x0) {
        p.setPen(Qt::black);
        p.drawText(QRectF(x0 + 3, hi, x1 - x0 - 6, lo - hi), Qt::AlignVCenter | Qt::AlignLeft, text);
      }
    }
  }
}

bool WriteFile(const QString& path, const QByteArray& data, QString& error) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.flush() || !f.commit()) {
    error = QCoreApplication::translate("TChartWindow", "%1: cannot write the chart (%2)").arg(path, f.errorString());
    return false;
  }
  return true;
}

}  // namespace

int ChartHeight(const scenario::Recorder& r) { return kAxisHeight + kRowHeight * r.Traces() + 4; }

TChartSpan RecordedSpan(const scenario::Recorder& r) {
  TChartSpan s{r.Start(), r.Now()};
  if (s.To <= s.From) s.To = s.From + 1000;
  return s;
}

void PaintChart(QPainter& p, QSize size, const scenario::Recorder& r, TChartSpan span,
                std::int64_t cursorMs) {
  if (span.To <= span.From) span.To = span.From + 1;
  p.fillRect(QRect(QPoint(0, 0), size), kBackground);
  QFont small = p.font();
  small.setPointSizeF(8);
  p.setFont(small);
  const int bottom = kAxisHeight + kRowHeight * r.Traces();
  // Time grid and axis.
  const std::uint64_t step = GridStep(size, span);
  for (std::uint64_t t = span.From / step * step; t <= span.To; t += step) {
    const double x = XOf(t, size, span);
    if (x < kLabelWidth) continue;
    p.setPen(kGrid);
    p.drawLine(QPointF(x, kAxisHeight), QPointF(x, bottom));
    p.setPen(Qt::black);
    p.drawText(QPointF(x + 2, kAxisHeight - 6), Seconds(t, step));
  }
  p.setPen(Qt::black);
  p.drawLine(QPointF(kLabelWidth, kAxisHeight), QPointF(size.width(), kAxisHeight));
  // Rows: name on the left, the value under the cursor at the right of the name column.
  for (int id = 0; id < r.Traces(); ++id) {
    const int top = kAxisHeight + kRowHeight * id;
    if (id % 2 == 1) p.fillRect(QRect(0, top, kLabelWidth, kRowHeight), QColor(0xF4, 0xF4, 0xF4));
    p.setPen(Qt::black);
    p.drawText(QRect(4, top, kLabelWidth - 50, kRowHeight), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromStdString(r.Name(id)));
    std::uint64_t v = 0;
    if (cursorMs >= 0 && r.ValueAt(id, static_cast<std::uint64_t>(cursorMs), v)) {
      p.setPen(kCursor);
      p.drawText(QRect(kLabelWidth - 46, top, 42, kRowHeight), Qt::AlignVCenter | Qt::AlignRight,
                 ValueText(v, r.Width(id)));
    }
    p.save();
    p.setClipRect(QRect(kLabelWidth, top, size.width() - kLabelWidth, kRowHeight));
    PaintTrace(p, size, r, id, span, top);
    p.restore();
  }
  p.setPen(kGrid);
  p.drawLine(kLabelWidth, 0, kLabelWidth, bottom);
  // Markers over the rows, their text along the axis.
  for (const scenario::Recorder::Marker& m : r.Markers()) {
    if (m.timeMs < span.From || m.timeMs > span.To) continue;
    const double x = XOf(m.timeMs, size, span);
    p.setPen(QPen(kMarker, 1.0, Qt::DashLine));
    p.drawLine(QPointF(x, 2), QPointF(x, bottom));
    p.setPen(kMarker);
    p.drawText(QPointF(x + 3, 10), QString::fromStdString(m.text));
  }
  if (cursorMs >= 0 && static_cast<std::uint64_t>(cursorMs) >= span.From &&
      static_cast<std::uint64_t>(cursorMs) <= span.To) {
    const double x = XOf(static_cast<std::uint64_t>(cursorMs), size, span);
    p.setPen(QPen(kCursor, 1.0));
    p.drawLine(QPointF(x, 0), QPointF(x, bottom));
  }
}

const char kChartSvgSignature[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<!-- Torvane timing chart -->\n";

bool ExportChartPng(const scenario::Recorder& r, const QString& path, QString& error) {
  QImage image(kExportWidth, ChartHeight(r), QImage::Format_RGB32);
  {
    QPainter p(&image);
    PaintChart(p, image.size(), r, RecordedSpan(r));
  }
  QByteArray data;
  {
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
      error = QCoreApplication::translate("TChartWindow", "%1: cannot encode the chart as PNG").arg(path);
      return false;
    }
  }
  return WriteFile(path, data, error);
}

bool ExportChartSvg(const scenario::Recorder& r, const QString& path, QString& error) {
  QByteArray data;
  {
    QBuffer buffer(&data);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    const QSize size(kExportWidth, ChartHeight(r));
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Torvane timing chart"));
    svg.setResolution(96);  // so that a viewer shows it at its size in pixels
    QPainter p(&svg);
    PaintChart(p, size, r, RecordedSpan(r));
  }
  // Our mark right after the XML declaration.
  const qsizetype eol = data.indexOf('\n');
  data = QByteArray(kChartSvgSignature) + data.mid(eol + 1);
  return WriteFile(path, data, error);
}

bool ExportChartVcd(const scenario::Recorder& r, const QString& path, QString& error) {
  std::ostringstream out;
  r.WriteVcd(out);
  const std::string s = out.str();
  return WriteFile(path, QByteArray(s.data(), static_cast<qsizetype>(s.size())), error);
}

// --- the view ---

TChartView::TChartView(const scenario::Recorder& r, QWidget* parent) : QWidget(parent), FRecorder(r) {
  setMinimumSize(600, std::min(ChartHeight(r), 300));
  setMouseTracking(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  Refresh();
}

void TChartView::ShowSpan(TChartSpan span) {
  if (span.To <= span.From) span.To = span.From + kMinWindowMs;
  FLive = false;
  FSpan = span;
  emit SpanChanged();
  update();
}

void TChartView::SetLive(bool live) {
  FLive = live;
  Refresh();
  emit SpanChanged();
}

void TChartView::Zoom(double factor, std::uint64_t atMs) {
  const double width = static_cast<double>(FSpan.To - FSpan.From);
  const double newWidth = std::clamp(width * factor, static_cast<double>(kMinWindowMs), 24.0 * 3600 * 1000);
  const double share = width > 0 ? (static_cast<double>(atMs) - static_cast<double>(FSpan.From)) / width : 1.0;
  const double from = std::max(0.0, static_cast<double>(atMs) - share * newWidth);
  const auto f = static_cast<std::uint64_t>(std::llround(from));
  const auto w = static_cast<std::uint64_t>(std::llround(newWidth));
  if (FLive) {
    FSpan = {FRecorder.Now() > w ? FRecorder.Now() - w : 0, std::max(FRecorder.Now(), w)};
    emit SpanChanged();
    update();
    return;
  }
  ShowSpan({f, f + w});
}

void TChartView::SetCursorTime(std::int64_t ms) {
  FCursor = ms;
  emit CursorChanged();
  update();
}

std::uint64_t TChartView::TimeAt(int x) const {
  const double t = static_cast<double>(FSpan.From) +
                   (x - kLabelWidth) / PixelsPerMs(size(), FSpan);
  return t <= 0 ? 0 : static_cast<std::uint64_t>(std::llround(t));
}

void TChartView::Refresh() {
  if (FLive) {
    const std::uint64_t width = FSpan.To - FSpan.From;
    const std::uint64_t now = FRecorder.Now();
    const TChartSpan s{now > width ? now - width : 0, std::max(now, width)};
    if (s.From != FSpan.From || s.To != FSpan.To) {
      FSpan = s;
      emit SpanChanged();
    }
  }
  update();
}

void TChartView::paintEvent(QPaintEvent* e) {
  (void)e;
  QPainter p(this);
  PaintChart(p, size(), FRecorder, FSpan, FCursor);
}

void TChartView::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && e->position().x() >= kLabelWidth)
    SetCursorTime(static_cast<std::int64_t>(TimeAt(static_cast<int>(e->position().x()))));
}

void TChartView::mouseMoveEvent(QMouseEvent* e) {
  if ((e->buttons() & Qt::LeftButton) != 0 && e->position().x() >= kLabelWidth)
    SetCursorTime(static_cast<std::int64_t>(TimeAt(static_cast<int>(e->position().x()))));
}

void TChartView::wheelEvent(QWheelEvent* e) {
  const int delta = e->angleDelta().y();
  if (delta == 0) return;
  const std::uint64_t at = TimeAt(static_cast<int>(e->position().x()));
  if ((e->modifiers() & Qt::ShiftModifier) != 0) {
    // Shift+wheel scrolls by a tenth of the window.
    const std::uint64_t w = FSpan.To - FSpan.From, d = std::max<std::uint64_t>(w / 10, 1);
    const std::uint64_t from = delta > 0 ? (FSpan.From > d ? FSpan.From - d : 0) : FSpan.From + d;
    ShowSpan({from, from + w});
  } else {
    Zoom(delta > 0 ? 0.5 : 2.0, at);
  }
  e->accept();
}

// --- the window ---

TChartWindow::TChartWindow(const scenario::Recorder& r, QWidget* parent)
    : QWidget(parent), FRecorder(r) {
  setWindowTitle(tr("Timing chart"));
  auto* column = new QVBoxLayout(this);
  auto* tools = new QHBoxLayout;
  auto button = [this, tools](const QString& text, const char* name) {
    auto* b = new QToolButton(this);
    b->setText(text);
    b->setObjectName(QString::fromLatin1(name));
    tools->addWidget(b);
    return b;
  };
  QToolButton* zoomIn = button(tr("Zoom in"), "zoomIn");
  QToolButton* zoomOut = button(tr("Zoom out"), "zoomOut");
  FLiveBtn = button(tr("Live"), "live");
  FLiveBtn->setCheckable(true);
  FLiveBtn->setChecked(true);
  tools->addSpacing(16);
  QToolButton* png = button(tr("Export PNG…"), "exportPng");
  QToolButton* svg = button(tr("Export SVG…"), "exportSvg");
  QToolButton* vcd = button(tr("Export VCD…"), "exportVcd");
  tools->addSpacing(16);
  FTraceEdit = new QLineEdit(this);
  FTraceEdit->setObjectName(QStringLiteral("addTrace"));
  FTraceEdit->setPlaceholderText(tr("Add a trace: M20.2, MW 10, T 1, \"SUBIR\""));
  FTraceEdit->setMinimumWidth(220);
  FTraceEdit->hide();
  tools->addWidget(FTraceEdit);
  tools->addStretch(1);
  column->addLayout(tools);
  FView = new TChartView(r, this);
  column->addWidget(FView, 1);
  FScroll = new QScrollBar(Qt::Horizontal, this);
  column->addWidget(FScroll);
  FReading = new QLabel(this);
  FReading->setObjectName(QStringLiteral("reading"));
  // A reading of many traces wraps; it must never widen the window past the screen.
  FReading->setWordWrap(true);
  FReading->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  FReading->setText(tr("Click the chart to read the values at that moment."));
  column->addWidget(FReading);

  connect(zoomIn, &QToolButton::clicked, this, [this] {
    const TChartSpan s = FView->Span();
    FView->Zoom(0.5, s.From + (s.To - s.From) / 2);
  });
  connect(zoomOut, &QToolButton::clicked, this, [this] {
    const TChartSpan s = FView->Span();
    FView->Zoom(2.0, s.From + (s.To - s.From) / 2);
  });
  connect(FLiveBtn, &QToolButton::toggled, FView, &TChartView::SetLive);
  connect(png, &QToolButton::clicked, this, [this] { Export(QStringLiteral("png")); });
  connect(svg, &QToolButton::clicked, this, [this] { Export(QStringLiteral("svg")); });
  connect(vcd, &QToolButton::clicked, this, [this] { Export(QStringLiteral("vcd")); });
  connect(FTraceEdit, &QLineEdit::returnPressed, this, [this] { AddTypedTrace(); });
  connect(FView, &TChartView::SpanChanged, this, &TChartWindow::SyncScroll);
  // The values stand beside the trace names; the line below keeps to the time, the whole
  // reading is its tooltip (and what a copy gets).
  connect(FView, &TChartView::CursorChanged, this, [this] {
    const std::int64_t c = FView->CursorTime();
    FReading->setText(c < 0 ? QString()
                            : tr("Cursor at %1 s; the values at that moment stand beside the names.")
                                  .arg(static_cast<double>(c) / 1000.0, 0, 'f', 3));
    FReading->setToolTip(ReadingText());
  });
  connect(FScroll, &QScrollBar::valueChanged, this, [this](int v) {
    if (FSyncing) return;
    const TChartSpan s = FView->Span();
    const std::uint64_t from = FRecorder.Start() + static_cast<std::uint64_t>(std::max(v, 0)) * 100;
    FView->ShowSpan({from, from + (s.To - s.From)});
    FLiveBtn->setChecked(false);
  });
  auto* timer = new QTimer(this);
  timer->setInterval(100);
  connect(timer, &QTimer::timeout, FView, &TChartView::Refresh);
  timer->start();
  resize(1000, std::min(ChartHeight(r) + 110, 700));
  SyncScroll();
}

void TChartWindow::EnableAddTrace() { FTraceEdit->show(); }

bool TChartWindow::AddTypedTrace() {
  if (!OnAddTrace) return false;
  const std::string problem = OnAddTrace(FTraceEdit->text().trimmed().toStdString());
  if (!problem.empty()) {
    FReading->setText(QString::fromStdString(problem));
    return false;
  }
  FReading->setText(tr("%1 is recorded from now on.").arg(FTraceEdit->text().trimmed()));
  FTraceEdit->clear();
  FView->setMinimumHeight(std::min(ChartHeight(FRecorder), 300));
  FView->update();
  return true;
}

void TChartWindow::SyncScroll() {
  // The bar moves over the recorded span in steps of 100 ms.
  FSyncing = true;
  const TChartSpan s = FView->Span();
  const std::uint64_t start = FRecorder.Start();
  const std::uint64_t width = s.To - s.From;
  const std::uint64_t last = FRecorder.Now() > start + width ? FRecorder.Now() - width : start;
  FScroll->setRange(0, static_cast<int>((last - start) / 100));
  FScroll->setPageStep(static_cast<int>(std::max<std::uint64_t>(width / 100, 1)));
  FScroll->setValue(static_cast<int>((std::max(s.From, start) - start) / 100));
  FLiveBtn->setChecked(FView->Live());
  FSyncing = false;
}

QString TChartWindow::ReadingText() const {
  const std::int64_t c = FView->CursorTime();
  if (c < 0) return {};
  QString s = QStringLiteral("t = %1 s ").arg(static_cast<double>(c) / 1000.0, 0, 'f', 3);
  for (int id = 0; id < FRecorder.Traces(); ++id) {
    std::uint64_t v = 0;
    if (!FRecorder.ValueAt(id, static_cast<std::uint64_t>(c), v)) continue;
    s += QStringLiteral("  %1=%2").arg(QString::fromStdString(FRecorder.Name(id))).arg(v);
  }
  return s;
}

void TChartWindow::Export(const QString& kind) {
  const QString filter = kind == QLatin1String("png") ? tr("PNG image (*.png)")
                         : kind == QLatin1String("svg") ? tr("SVG drawing (*.svg)")
                                                        : tr("Value change dump (*.vcd)");
  QString path = QFileDialog::getSaveFileName(this, tr("Export the chart"), tr("chart") + QLatin1Char('.') + kind, filter);
  if (path.isEmpty()) return;
  QString error;
  const bool ok = kind == QLatin1String("png") ? ExportChartPng(FRecorder, path, error)
                  : kind == QLatin1String("svg") ? ExportChartSvg(FRecorder, path, error)
                                                 : ExportChartVcd(FRecorder, path, error);
  FReading->setText(ok ? tr("Wrote %1").arg(path) : error);
}
