#include "gui/WatchWindow.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "plc/EmbeddedPlc.h"

namespace {

QTableWidgetItem* ReadOnly(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

}  // namespace

TWatchWindow::TWatchWindow(TEmbeddedPlc& plc, QWidget* parent) : QWidget(parent), FPlc(plc) {
  setWindowTitle(tr("Variable table"));
  auto* column = new QVBoxLayout(this);
  FBanner = new QLabel(this);
  FBanner->setObjectName(QStringLiteral("forceBanner"));
  FBanner->setStyleSheet(QStringLiteral(
      "QLabel { background: #c00000; color: white; font-weight: bold; padding: 3px; }"));
  FBanner->hide();
  column->addWidget(FBanner);

  auto* add = new QHBoxLayout;
  FEdit = new QLineEdit(this);
  FEdit->setPlaceholderText(tr("E124.1, AW126, MD20, DB1.DBW2, T 3, Z 1 or \"SUBIR\""));
  auto* addBtn = new QPushButton(tr("Add"), this);
  add->addWidget(new QLabel(tr("Operand"), this));
  add->addWidget(FEdit, 1);
  add->addWidget(addBtn);
  column->addLayout(add);

  FTable = new QTableWidget(0, ColCount, this);
  FTable->setHorizontalHeaderLabels(
      {tr("Operand"), tr("Address"), tr("Format"), tr("Value"), tr("Modify value"),
       tr("Force", "column: whether the operand is forced")});
  FTable->horizontalHeader()->setSectionResizeMode(ColValue, QHeaderView::Stretch);
  FTable->verticalHeader()->setDefaultSectionSize(24);
  FTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  FTable->setColumnWidth(ColOperand, 110);
  FTable->setColumnWidth(ColAddress, 90);
  FTable->setColumnWidth(ColFormat, 90);
  FTable->setColumnWidth(ColModify, 110);
  FTable->setColumnWidth(ColForced, 60);
  column->addWidget(FTable, 1);

  auto* buttons = new QHBoxLayout;
  auto button = [this, buttons](const QString& text, const char* name) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    buttons->addWidget(b);
    return b;
  };
  QPushButton* modify = button(tr("Modify"), "modify");
  QPushButton* force = button(tr("Force"), "force");
  QPushButton* unforce = button(tr("Unforce"), "unforce");
  QPushButton* unforceAll = button(tr("Unforce all"), "unforceAll");
  QPushButton* remove = button(tr("Remove"), "remove");
  buttons->addStretch(1);
  QPushButton* open = button(tr("Open…"), "open");
  QPushButton* save = button(tr("Save…"), "save");
  column->addLayout(buttons);
  FStatus = new QLabel(this);
  FStatus->setObjectName(QStringLiteral("status"));
  FStatus->setWordWrap(true);
  column->addWidget(FStatus);

  auto addFromEdit = [this] {
    if (AddOperand(FEdit->text())) FEdit->clear();
  };
  connect(addBtn, &QPushButton::clicked, this, addFromEdit);
  connect(FEdit, &QLineEdit::returnPressed, this, addFromEdit);
  connect(modify, &QPushButton::clicked, this, [this] { ModifySelected(); });
  connect(force, &QPushButton::clicked, this, [this] { ForceSelected(); });
  connect(unforce, &QPushButton::clicked, this, &TWatchWindow::UnforceSelected);
  connect(unforceAll, &QPushButton::clicked, this, &TWatchWindow::UnforceAll);
  connect(remove, &QPushButton::clicked, this, [this] {
    std::vector<int> rows = TargetRows();
    std::sort(rows.rbegin(), rows.rend());
    for (int r : rows) {
      FTable->removeRow(r);
      FRows.erase(FRows.begin() + r);
    }
  });
  connect(open, &QPushButton::clicked, this, &TWatchWindow::Open);
  connect(save, &QPushButton::clicked, this, &TWatchWindow::SaveAs);

  // Ten times a second, whatever the plant's speed: a paused plant shows still values.
  FTimer = new QTimer(this);
  FTimer->setInterval(100);
  connect(FTimer, &QTimer::timeout, this, &TWatchWindow::Refresh);
  FTimer->start();
  resize(640, 420);
  Refresh();
}

bool TWatchWindow::AddOperand(const QString& text) {
  TWatchRow row;
  const std::string problem = MakeWatchRow(text.trimmed().toStdString(), FPlc.Symbols(), row);
  if (!problem.empty()) {
    FStatus->setText(QString::fromStdString(problem));
    return false;
  }
  FRows.push_back(row);
  const int r = FTable->rowCount();
  FTable->insertRow(r);
  FTable->setItem(r, ColOperand, ReadOnly(QString::fromStdString(row.Text)));
  FTable->setItem(r, ColAddress, ReadOnly(QString::fromStdString(row.Operand.Address())));
  auto* formats = new QComboBox(FTable);
  for (TWatchFormat f : WatchFormats(row.Operand.Kind))
    formats->addItem(QString::fromLatin1(WatchFormatName(f)), static_cast<int>(f));
  formats->setCurrentIndex(formats->findData(static_cast<int>(row.Format)));
  connect(formats, &QComboBox::currentIndexChanged, this, [this, formats] {
    for (int i = 0; i < FTable->rowCount(); ++i)
      if (FTable->cellWidget(i, ColFormat) == formats)
        FRows[static_cast<std::size_t>(i)].Format = static_cast<TWatchFormat>(formats->currentData().toInt());
    Refresh();
  });
  FTable->setCellWidget(r, ColFormat, formats);
  FTable->setItem(r, ColValue, ReadOnly(QString()));
  FTable->setItem(r, ColModify, new QTableWidgetItem(QString()));
  FTable->setItem(r, ColForced, ReadOnly(QString()));
  FStatus->clear();
  Refresh();
  return true;
}

void TWatchWindow::SetFormat(int row, TWatchFormat format) {
  auto* box = qobject_cast<QComboBox*>(FTable->cellWidget(row, ColFormat));
  const int i = box != nullptr ? box->findData(static_cast<int>(format)) : -1;
  if (i >= 0) box->setCurrentIndex(i);
}

void TWatchWindow::SetModifyValue(int row, const QString& value) {
  FTable->item(row, ColModify)->setText(value);
}

std::vector<int> TWatchWindow::TargetRows() const {
  std::set<int> chosen;
  for (const QModelIndex& i : FTable->selectionModel()->selectedRows()) chosen.insert(i.row());
  return {chosen.begin(), chosen.end()};
}

namespace {

// The rows to act on: the selected ones, else every row that has a value typed in.
std::vector<int> WithValues(const QTableWidget& table, std::vector<int> rows) {
  if (!rows.empty()) return rows;
  for (int r = 0; r < table.rowCount(); ++r)
    if (!table.item(r, TWatchWindow::ColModify)->text().trimmed().isEmpty()) rows.push_back(r);
  return rows;
}

}  // namespace

int TWatchWindow::WriteSelected(
    const std::function<std::string(const TWatchRow&, std::uint32_t, const std::string&)>& write,
    QStringList& problems) {
  int done = 0;
  for (int r : WithValues(*FTable, TargetRows())) {
    const TWatchRow& row = FRows[static_cast<std::size_t>(r)];
    std::uint32_t raw = 0;
    std::string error;
    const std::string value = FTable->item(r, ColModify)->text().trimmed().toStdString();
    if (!ParseWatchValue(value, row.Operand, raw, error) || !(error = write(row, raw, value)).empty()) {
      problems << QString::fromStdString(error);
      continue;
    }
    ++done;
  }
  return done;
}

bool TWatchWindow::ModifySelected() {
  QStringList problems;
  const int done = WriteSelected(
      [this](const TWatchRow& row, std::uint32_t raw, const std::string&) {
        return ModifyWatchOperand(FPlc.Cpu(), row.Operand, raw);
      },
      problems);
  FStatus->setText(problems.isEmpty()
                       ? (done == 1 ? tr("1 value is written at the next cycle")
                                    : tr("%n values are written at the next cycle", nullptr, done))
                       : problems.join(QLatin1Char('\n')));
  Refresh();
  return problems.isEmpty();
}

bool TWatchWindow::ForceSelected() {
  QStringList problems;
  const int done = WriteSelected(
      [this](const TWatchRow& row, std::uint32_t raw, const std::string& value) {
        std::string error = ForceWatchOperand(FPlc.Cpu(), row.Operand, raw);
        if (error.empty() && OnMark) OnMark("force " + row.Text + " " + value);
        return error;
      },
      problems);
  FStatus->setText(problems.isEmpty()
                       ? (done == 1 ? tr("1 operand forced") : tr("%n operands forced", nullptr, done))
                       : problems.join(QLatin1Char('\n')));
  Refresh();
  return problems.isEmpty();
}

void TWatchWindow::UnforceSelected() {
  for (int r : TargetRows()) {
    const TWatchRow& row = FRows[static_cast<std::size_t>(r)];
    if (!WatchOperandForced(FPlc.Cpu(), row.Operand)) continue;
    UnforceWatchOperand(FPlc.Cpu(), row.Operand);
    if (OnMark) OnMark("unforce " + row.Text);
  }
  Refresh();
}

void TWatchWindow::UnforceAll() {
  if (FPlc.Cpu().HasForces() && OnMark) OnMark("unforce all");
  FPlc.Cpu().UnforceAll();
  FStatus->setText(tr("Every force ended"));
  Refresh();
}

void TWatchWindow::Refresh() {
  const softplc::Cpu& cpu = FPlc.Cpu();
  for (int r = 0; r < FTable->rowCount(); ++r) {
    const TWatchRow& row = FRows[static_cast<std::size_t>(r)];
    bool exists = true;
    const std::uint32_t raw = ReadWatchOperand(cpu, row.Operand, &exists);
    const QString text = exists ? QString::fromStdString(FormatWatchValue(raw, row.Operand.Kind, row.Format))
                                : tr("(not in the program)");
    if (FTable->item(r, ColValue)->text() != text) FTable->item(r, ColValue)->setText(text);
    const bool forced = WatchOperandForced(cpu, row.Operand);
    const QString mark = forced ? tr("F") : QString();
    QTableWidgetItem* f = FTable->item(r, ColForced);
    if (f->text() != mark) {
      f->setText(mark);
      f->setForeground(QColor(0xC0, 0, 0));
      f->setTextAlignment(Qt::AlignCenter);
      QFont bold = f->font();
      bold.setBold(true);
      f->setFont(bold);
    }
  }
  const std::vector<softplc::ForcedByte> forces = cpu.Forces();
  int bits = 0;
  for (const softplc::ForcedByte& b : forces) bits += __builtin_popcount(b.mask);
  FBanner->setVisible(bits > 0);
  if (bits > 0)
    FBanner->setText(bits == 1 ? tr("FORCE ACTIVE: 1 bit of the inputs and outputs is forced")
                               : tr("FORCE ACTIVE: %n bits of the inputs and outputs are forced", nullptr, bits));
}

bool TWatchWindow::SaveTo(const QString& path, QString& error) const {
  const QByteArray bytes = QByteArray::fromStdString(WatchTableText(FRows));
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush() || !f.commit()) {
    error = tr("%1: cannot save the table (%2)").arg(path, f.errorString());
    return false;
  }
  return true;
}

bool TWatchWindow::LoadFrom(const QString& path, QStringList& errors) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    errors << tr("%1: cannot open the table (%2)").arg(path, f.errorString());
    return false;
  }
  std::vector<std::string> messages;
  const std::vector<TWatchRow> rows =
      ParseWatchTable(f.readAll().toStdString(), path.toStdString(), FPlc.Symbols(), messages);
  for (const std::string& m : messages) errors << QString::fromStdString(m);
  FTable->setRowCount(0);
  FRows.clear();
  for (const TWatchRow& row : rows) {
    AddOperand(QString::fromStdString(row.Text));
    SetFormat(FTable->rowCount() - 1, row.Format);
  }
  FStatus->setText(errors.isEmpty() ? tr("Opened %1").arg(path) : errors.join(QLatin1Char('\n')));
  return errors.isEmpty();
}

void TWatchWindow::SaveAs() {
  const QString path = QFileDialog::getSaveFileName(this, tr("Save the variable table"), tr("table.vat.txt"),
                                                    tr("Variable tables (*.txt);;All files (*)"));
  if (path.isEmpty()) return;
  QString error;
  FStatus->setText(SaveTo(path, error) ? tr("Saved %1").arg(path) : error);
}

void TWatchWindow::Open() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Open a variable table"), QString(),
                                                    tr("Variable tables (*.txt);;All files (*)"));
  if (path.isEmpty()) return;
  QStringList errors;
  LoadFrom(path, errors);
}
