#include "gui/TimersView.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "plc/EmbeddedPlc.h"
#include "plc/WatchOperand.h"

namespace {

void SetRows(QTableWidget* t, const std::vector<int>& numbers, const char* letter) {
  if (t->rowCount() != static_cast<int>(numbers.size())) t->setRowCount(static_cast<int>(numbers.size()));
  for (int r = 0; r < t->rowCount(); ++r) {
    const QString name = QStringLiteral("%1 %2").arg(QLatin1String(letter)).arg(numbers[static_cast<std::size_t>(r)]);
    if (t->item(r, 0) == nullptr || t->item(r, 0)->text() != name) {
      for (int c = 0; c < t->columnCount(); ++c) {
        auto* item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        t->setItem(r, c, item);
      }
      t->item(r, 0)->setText(name);
    }
  }
}

void SetCell(QTableWidget* t, int r, int c, const QString& text) {
  if (t->item(r, c)->text() != text) t->item(r, c)->setText(text);
}

QString BaseText(int ms) {
  return ms >= 1000 ? QStringLiteral("%1 s").arg(ms / 1000) : QStringLiteral("%1 ms").arg(ms);
}

}  // namespace

TTimersView::TTimersView(TEmbeddedPlc& plc, QWidget* parent) : QWidget(parent), FPlc(plc) {
  setWindowTitle(tr("Timers and counters"));
  auto* column = new QVBoxLayout(this);
  column->addWidget(new QLabel(tr("Timers the program uses"), this));
  FTimers = new QTableWidget(0, 6, this);
  FTimers->setObjectName(QStringLiteral("timers"));
  FTimers->setHorizontalHeaderLabels({tr("Timer"), tr("Value"), tr("Units"), tr("Time base"), tr("State"), tr("Q")});
  column->addWidget(FTimers, 2);
  column->addWidget(new QLabel(tr("Counters the program uses"), this));
  FCounters = new QTableWidget(0, 3, this);
  FCounters->setObjectName(QStringLiteral("counters"));
  FCounters->setHorizontalHeaderLabels({tr("Counter"), tr("Value"), tr("Q")});
  column->addWidget(FCounters, 1);
  for (QTableWidget* t : {FTimers, FCounters}) {
    t->verticalHeader()->hide();
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // S5T#2M28S500MS must show whole.
    t->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    t->verticalHeader()->setDefaultSectionSize(22);
  }
  FTimer = new QTimer(this);
  FTimer->setInterval(100);
  connect(FTimer, &QTimer::timeout, this, &TTimersView::Refresh);
  FTimer->start();
  // Wide enough for the longest headings of the languages it speaks.
  resize(620, 360);
  Refresh();
}

void TTimersView::Refresh() {
  const softplc::Cpu& cpu = FPlc.Cpu();
  const std::vector<int> timers = cpu.TimersInUse();
  SetRows(FTimers, timers, "T");
  for (int r = 0; r < FTimers->rowCount(); ++r) {
    const int n = timers[static_cast<std::size_t>(r)];
    const softplc::TimerInfo t = cpu.Timer(n);
    TWatchOperand op;
    op.Kind = TWatchKind::Timer;
    op.Byte = n;
    SetCell(FTimers, r, 1, QString::fromStdString(FormatWatchValue(ReadWatchOperand(cpu, op), op.Kind, TWatchFormat::S5Time)));
    SetCell(FTimers, r, 2, QString::number(t.units));
    SetCell(FTimers, r, 3, BaseText(t.baseMs));
    SetCell(FTimers, r, 4, t.running ? tr("running") : tr("stopped"));
    SetCell(FTimers, r, 5, t.q ? QStringLiteral("1") : QStringLiteral("0"));
  }
  const std::vector<int> counters = cpu.CountersInUse();
  SetRows(FCounters, counters, "Z");
  for (int r = 0; r < FCounters->rowCount(); ++r) {
    const int n = counters[static_cast<std::size_t>(r)];
    SetCell(FCounters, r, 1, QString::number(cpu.CounterValue(n)));
    SetCell(FCounters, r, 2, cpu.CounterBit(n) ? QStringLiteral("1") : QStringLiteral("0"));
  }
}
