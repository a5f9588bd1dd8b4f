#include "gui/ClockBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <utility>

#include "framework/Timer.h"
#include "gui/ClockDriver.h"

const double TClockBar::kSpeeds[6] = {0.1, 0.25, 0.5, 1.0, 2.0, 5.0};

TClockBar::TClockBar(TClockDriver& driver, TTimerClock& clock, std::function<void()> step,
                     QWidget* parent)
    : QWidget(parent), FDriver(driver), FClock(clock), FStepFn(std::move(step)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(6, 2, 6, 2);
  row->addWidget(new QLabel(tr("Plant time"), this));
  FTime = new QLabel(this);
  FTime->setObjectName(QStringLiteral("plantTime"));
  // Digits of equal width, so the time does not jitter as it counts.
  QFont mono = FTime->font();
  mono.setFamily(QStringLiteral("DejaVu Sans Mono"));
  FTime->setFont(mono);
  FTime->setMinimumWidth(FTime->fontMetrics().horizontalAdvance(QStringLiteral("0:00:00.000")) + 4);
  row->addWidget(FTime);
  FPause = new QToolButton(this);
  FPause->setObjectName(QStringLiteral("pause"));
  FPause->setCheckable(true);
  FPause->setText(tr("Pause"));
  FPause->setToolTip(tr("Stops the plant, the CPU and its timers together"));
  row->addWidget(FPause);
  FStep = new QToolButton(this);
  FStep->setObjectName(QStringLiteral("step"));
  FStep->setText(tr("Step"));
  FStep->setToolTip(tr("One plant tick of 50 ms: inputs to the CPU, one CPU cycle, one plant step"));
  FStep->setEnabled(false);
  row->addWidget(FStep);
  row->addSpacing(12);
  row->addWidget(new QLabel(tr("Speed"), this));
  FSpeed = new QComboBox(this);
  FSpeed->setObjectName(QStringLiteral("speed"));
  for (double s : kSpeeds) FSpeed->addItem(QStringLiteral("%1\u00D7").arg(s), s);
  FSpeed->setCurrentIndex(3);
  row->addWidget(FSpeed);
  row->addStretch(1);
  const struct {
    const char* name;
    QString text;
    void (TClockBar::*signal)();
  } views[] = {{"watch", tr("Variable table…"), &TClockBar::WatchRequested},
               {"chart", tr("Timing chart…"), &TClockBar::ChartRequested},
               {"timers", tr("Timers…"), &TClockBar::TimersRequested}};
  for (const auto& v : views) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(v.name));
    b->setText(v.text);
    connect(b, &QToolButton::clicked, this, v.signal);
    row->addWidget(b);
  }

  connect(FPause, &QToolButton::toggled, this, [this](bool paused) {
    FDriver.SetPaused(paused);
    FStep->setEnabled(paused);
    FPause->setText(paused ? tr("Resume") : tr("Pause"));
    Refresh();
  });
  connect(FStep, &QToolButton::clicked, this, [this] {
    if (!FDriver.Paused() || !FStepFn) return;
    FStepFn();
    Refresh();
  });
  connect(FSpeed, &QComboBox::currentIndexChanged, this,
          [this](int i) { FDriver.SetSpeed(FSpeed->itemData(i).toDouble()); });
  auto* refresh = new QTimer(this);
  refresh->setInterval(100);
  connect(refresh, &QTimer::timeout, this, &TClockBar::Refresh);
  refresh->start();
  Refresh();
}

QString TClockBar::TimeText(std::uint64_t ms) {
  const std::uint64_t h = ms / 3600000, m = ms / 60000 % 60, s = ms / 1000 % 60, rest = ms % 1000;
  const QString mss = QStringLiteral("%1:%2.%3")
                          .arg(m, 2, 10, QLatin1Char('0'))
                          .arg(s, 2, 10, QLatin1Char('0'))
                          .arg(rest, 3, 10, QLatin1Char('0'));
  return h > 0 ? QStringLiteral("%1:").arg(h) + mss : mss;
}

void TClockBar::Refresh() { FTime->setText(TimeText(FClock.Now())); }
