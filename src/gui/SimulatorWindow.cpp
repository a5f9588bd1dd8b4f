#include "gui/SimulatorWindow.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "gui/GuiSupport.h"
#include "gui/ProgramEditor.h"
#include "plc/EmbeddedPlc.h"
#include "softplc/Text.h"

using softplc::CpuMode;

namespace {

QString Place(const std::string& file, int line, int column) {
  if (file.empty() && line == 0) return {};
  QString s = ToQString(file);
  if (line > 0) s += QStringLiteral(":%1").arg(line);
  if (column > 0) s += QStringLiteral(":%1").arg(column);
  return s;
}

QString Micro(std::uint64_t ns) {
  return QString::number(static_cast<double>(ns) / 1000.0, 'f', 1) + QStringLiteral(" µs");
}

const char* const kAreaNames[3] = {"IB", "QB", "MB"};

}  // namespace

TSimulatorWindowView::TSimulatorWindowView(TEmbeddedPlc& plc, QWidget* parent)
    : QWidget(parent, Qt::Window), FPlc(plc) {
  InitGuiSupport();
  setWindowTitle(tr("Torvane PLC simulator"));
  QFont base(TahomaFamily());
  base.setPixelSize(PointsToPixels(8));
  setFont(base);

  // The CPU's figures on the left, the program's text on the right.
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* split = new QSplitter(Qt::Horizontal, this);
  FSplit = split;
  outer->addWidget(split);
  // On a small screen the window is given little room: the figures scroll rather than push the
  // window past the screen's edge.
  FPanel = new QScrollArea(split);
  FPanel->setWidgetResizable(true);
  FPanel->setFrameShape(QFrame::NoFrame);
  auto* panel = new QWidget;
  FPanel->setWidget(panel);
  auto* root = new QVBoxLayout(panel);
  FEditor = new TProgramEditor(plc, split);
  split->addWidget(FPanel);
  split->addWidget(FEditor);
  split->setStretchFactor(1, 1);

  auto* program = new QGroupBox(tr("Program"), panel);
  auto* pg = new QGridLayout(program);
  pg->addWidget(new QLabel(tr("File:"), program), 0, 0);
  FProgram = new QLabel(program);
  FProgram->setTextInteractionFlags(Qt::TextSelectableByMouse);
  pg->addWidget(FProgram, 0, 1, 1, 3);
  pg->addWidget(new QLabel(tr("Blocks:"), program), 1, 0);
  FBlocks = new QLabel(program);
  FBlocks->setWordWrap(true);
  pg->addWidget(FBlocks, 1, 1, 1, 3);
  pg->addWidget(new QLabel(tr("Size:"), program), 2, 0);
  FSize = new QLabel(program);
  pg->addWidget(FSize, 2, 1);
  FLoad = new QPushButton(tr("Load…"), program);
  FReload = new QPushButton(tr("Reload"), program);
  pg->addWidget(FLoad, 2, 2);
  pg->addWidget(FReload, 2, 3);
  pg->setColumnStretch(1, 1);
  root->addWidget(program);

  auto* cpu = new QGroupBox(QStringLiteral("CPU"), panel);
  auto* cg = new QGridLayout(cpu);
  FState = new QLabel(cpu);
  FState->setAlignment(Qt::AlignCenter);
  FState->setMinimumWidth(70);
  FState->setAutoFillBackground(true);
  QFont bold = base;
  bold.setBold(true);
  FState->setFont(bold);
  cg->addWidget(FState, 0, 0);
  const char* modes[4] = {"RUN-P", "RUN", "STOP", "MRES"};
  for (int i = 0; i < 4; ++i) {
    FModeButtons[i] = new QPushButton(QString::fromLatin1(modes[i]), cpu);
    cg->addWidget(FModeButtons[i], 0, i + 1);
  }
  FCycles = new QLabel(cpu);
  FScan = new QLabel(cpu);
  cg->addWidget(FCycles, 1, 0, 1, 2);
  cg->addWidget(FScan, 1, 2, 1, 3);
  FForce = new QLabel(cpu);
  FForce->setStyleSheet(QStringLiteral(
      "QLabel { background: #c00000; color: white; font-weight: bold; padding: 2px; }"));
  FForce->hide();
  cg->addWidget(FForce, 2, 0, 1, 3);
  FWatch = new QPushButton(tr("Variable table…"), cpu);
  FTimersBtn = new QPushButton(tr("Timers…"), cpu);
  cg->addWidget(FWatch, 2, 3);
  cg->addWidget(FTimersBtn, 2, 4);
  connect(FWatch, &QPushButton::clicked, this, &TSimulatorWindowView::WatchRequested);
  connect(FTimersBtn, &QPushButton::clicked, this, &TSimulatorWindowView::TimersRequested);
  root->addWidget(cpu);

  auto* diag = new QGroupBox(tr("Diagnostics"), panel);
  auto* dl = new QVBoxLayout(diag);
  FDiag = new QListWidget(diag);
  FDiag->setMinimumHeight(90);
  // The list takes what room is left; asking for more would make the figures scroll.
  FDiag->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
  dl->addWidget(FDiag);
  root->addWidget(diag, 1);

  auto* image = new QGroupBox(tr("Process image"), panel);
  auto* il = new QHBoxLayout(image);
  const int defaults[3] = {124, 124, 0};
  const int limits[3] = {softplc::Cpu::kInputBytes, softplc::Cpu::kOutputBytes,
                         softplc::Cpu::kMemoryBytes};
  QFont mono(QStringLiteral("DejaVu Sans Mono"));
  mono.setPixelSize(PointsToPixels(8));
  for (int a = 0; a < 3; ++a) {
    auto* column = new QVBoxLayout;
    auto* start = new QHBoxLayout;
    start->addWidget(new QLabel(tr("%1 from").arg(QLatin1String(kAreaNames[a])), image));
    FStart[a] = new QSpinBox(image);
    FStart[a]->setRange(0, limits[a] - kRowsPerArea);
    FStart[a]->setValue(defaults[a]);
    start->addWidget(FStart[a], 1);
    column->addLayout(start);
    connect(FStart[a], &QSpinBox::valueChanged, this, [this] { RefreshTable(); });
    auto* table = new QTableWidget(kRowsPerArea, 4, image);
    table->setHorizontalHeaderLabels({tr("Byte"), tr("Bits 7…0"), tr("Hex"), tr("Dec")});
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(17);
    table->horizontalHeader()->setMinimumSectionSize(20);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int widths[4] = {52, 66, 32, 36};
    int total = 0;
    for (int c = 0; c < 4; ++c) {
      table->setColumnWidth(c, widths[c]);
      total += widths[c];
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setFixedHeight(17 * kRowsPerArea + table->horizontalHeader()->sizeHint().height() + 4);
    table->setFixedWidth(total + 2 * table->frameWidth());
    for (int r = 0; r < kRowsPerArea; ++r)
      for (int c = 0; c < 4; ++c) {
        auto* item = new QTableWidgetItem;
        if (c > 0) item->setFont(mono);
        table->setItem(r, c, item);
      }
    FTable[a] = table;
    column->addWidget(table);
    il->addLayout(column);
  }
  root->addWidget(image);

  FStatus = new QLabel(panel);
  FStatus->setWordWrap(true);
  root->addWidget(FStatus);

  const CpuMode targets[4] = {CpuMode::RunP, CpuMode::Run, CpuMode::Stop, CpuMode::MRes};
  for (int i = 0; i < 4; ++i) {
    const CpuMode m = targets[i];
    connect(FModeButtons[i], &QPushButton::clicked, this, [this, m] {
      FPlc.SetMode(m);
      Refresh();
    });
  }
  connect(FLoad, &QPushButton::clicked, this, [this] {
    const QString start = FPlc.ProgramPath().empty()
                              ? QString()
                              : QFileInfo(ToQString(FPlc.ProgramPath())).absolutePath();
    // Several sources (and their symbol tables) may be chosen together.
    const QStringList paths = QFileDialog::getOpenFileNames(
        this, tr("Load STL program"), start,
        tr("STL programs and symbol tables (*.awl *.stl *.txt *.sdf *.seq *.asc);;All files (*)"));
    if (!paths.isEmpty() && FEditor->MayDiscard(TProgramEditor::TDiscard::Loading)) LoadProgramFiles(paths);
  });
  connect(FReload, &QPushButton::clicked, this, [this] {
    if (FEditor->MayDiscard(TProgramEditor::TDiscard::Reloading)) ReloadProgram();
  });

  FRefresh = new QTimer(this);
  FRefresh->setInterval(200);
  connect(FRefresh, &QTimer::timeout, this, [this] {
    if (isVisible()) Refresh();
  });
  FRefresh->start();

  setMinimumSize(kMinimumSize);
  resize(sizeHint());
  Refresh();
  FPlc.Window.OnVisibleChange = TMethod<bool>(this, &TSimulatorWindowView::VisibleChanged);
  VisibleChanged(FPlc.Window.Visible());
}

TSimulatorWindowView::~TSimulatorWindowView() { FPlc.Window.OnVisibleChange = nullptr; }

QSize TSimulatorWindowView::sizeHint() const { return {1280, 640}; }

bool TSimulatorWindowView::EditorFolded() const {
  const QList<int> sizes = FSplit->sizes();
  return sizes.size() == 2 && sizes[1] == 0;
}

// Too narrow for the figures and the program side by side, the window folds the editor away
// (its splitter handle at the right edge brings it back) and unfolds it once it is wide enough.
// The figures then get the width their layout needs: the scroll area would let the splitter
// squeeze them.
void TSimulatorWindowView::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  const int natural =
      FPanel->widget()->minimumSizeHint().width() + FPanel->verticalScrollBar()->sizeHint().width();
  const int width = e->size().width();
  if (width < natural + kEditorMinimumWidth) {
    if (!EditorFolded()) {
      FSplit->setSizes({width, 0});
      FFoldedForWidth = true;
    }
  } else if (FFoldedForWidth || !FSplitSet) {
    FFoldedForWidth = false;
    FSplit->setSizes({natural, width - natural});
  }
  FSplitSet = true;
}

void TSimulatorWindowView::VisibleChanged(bool visible) {
  FFollowing = true;
  setVisible(visible);
  if (visible) Refresh();
  FFollowing = false;
}

void TSimulatorWindowView::closeEvent(QCloseEvent* e) {
  // Closing only hides: the soft PLC keeps running with Torvane.
  if (!FFollowing) FPlc.Window.Hide();
  e->accept();
}

bool TSimulatorWindowView::LoadProgramFiles(const QStringList& paths) {
  std::vector<std::string> sources;
  std::vector<std::string> tables;
  for (const QString& p : paths) {
    const QString ext = QFileInfo(p).suffix().toLower();
    const bool table = ext == QLatin1String("sdf") || ext == QLatin1String("seq") ||
                       ext == QLatin1String("asc");
    (table ? tables : sources).push_back(p.toStdString());
  }
  FLastLoad = paths;
  const softplc::LoadResult r = FPlc.LoadProgram(sources, tables);
  FEditor->OpenFiles(paths.filter(QRegularExpression(QStringLiteral("^(?!.*\\.(sdf|seq|asc)$)"),
                                                     QRegularExpression::CaseInsensitiveOption)));
  FEditor->ShowMessages(FPlc.LoadMessages(), FPlc.LoadErrorCount());
  ShowLoadResult(r.ok,
                 sources.empty()       ? tr("nothing")
                 : sources.size() == 1 ? QFileInfo(ToQString(sources.front())).fileName()
                                       : tr("%1 and %n more", nullptr, static_cast<int>(sources.size() - 1))
                                             .arg(QFileInfo(ToQString(sources.front())).fileName()),
                 r.errors.size());
  return r.ok;
}

bool TSimulatorWindowView::LoadProgramFile(const QString& path) {
  FLastLoad = QStringList{path};
  const softplc::LoadResult r = FPlc.LoadProgram(path.toStdString());
  FEditor->OpenFiles({path});
  FEditor->ShowMessages(FPlc.LoadMessages(), FPlc.LoadErrorCount());
  ShowLoadResult(r.ok, QFileInfo(path).fileName(), r.errors.size());
  return r.ok;
}

bool TSimulatorWindowView::ReloadProgram() {
  // The files the user chose last, even when they were refused: the point of Reload is to try
  // them again after an edit, not to fall back to the program that still runs.
  if (!FLastLoad.isEmpty()) {
    const QStringList again = FLastLoad;  // the loaders replace the list they would read from
    return again.size() == 1 ? LoadProgramFile(again.front()) : LoadProgramFiles(again);
  }
  const softplc::LoadResult r = FPlc.Reload();
  QStringList files;
  for (const std::string& f : FPlc.ProgramFiles()) files << ToQString(f);
  if (!files.isEmpty()) FEditor->OpenFiles(files);
  FEditor->ShowMessages(FPlc.LoadMessages(), FPlc.LoadErrorCount());
  ShowLoadResult(r.ok, QFileInfo(ToQString(FPlc.ProgramPath())).fileName(), r.errors.size());
  return r.ok;
}

void TSimulatorWindowView::ShowLoadResult(bool ok, const QString& what, std::size_t errors) {
  if (ok)
    FStatus->setText(tr("Loaded %1.").arg(what));
  else
    FStatus->setText(
        tr("%1 refused: %n error(s), see the diagnostics. The running program stays.", nullptr,
           static_cast<int>(errors))
            .arg(what.isEmpty() ? tr("Program") : what));
  FShownLoadMessages = static_cast<std::size_t>(-1);  // redraw the list
  Refresh();
}

void TSimulatorWindowView::Refresh() {
  const softplc::Cpu& cpu = FPlc.Cpu();
  const softplc::ProgramInfo& info = FPlc.Cpu().Info();
  FProgram->setText(FPlc.ProgramPath().empty() ? tr("(none)")
                                               : ToQString(FPlc.ProgramPath()));
  QStringList blocks;
  for (const std::string& b : info.blocks) blocks << ToQString(b);
  FBlocks->setText(cpu.HasProgram() ? blocks.join(QStringLiteral(", ")) : QStringLiteral("—"));
  FSize->setText(cpu.HasProgram() ? tr("%1 instructions, %2 bytes of code")
                                        .arg(info.instructions)
                                        .arg(info.bytecodeBytes)
                                  : QStringLiteral("—"));
  FReload->setEnabled(!FPlc.ProgramPath().empty() || !FLastLoad.isEmpty());
  FEditor->FollowProgram();

  const CpuMode mode = cpu.Mode();
  FState->setText(QString::fromLatin1(softplc::ModeName(mode)));
  QPalette pal = FState->palette();
  const QColor back = mode == CpuMode::Stop   ? QColor(255, 255, 0)
                      : mode == CpuMode::MRes ? QColor(255, 0, 0)
                                              : QColor(0, 255, 0);
  pal.setColor(QPalette::Window, back);
  pal.setColor(QPalette::WindowText, Qt::black);
  FState->setPalette(pal);
  FCycles->setText(tr("Cycles: %1").arg(cpu.CycleCount()));
  int forced = 0;
  for (const softplc::ForcedByte& b : cpu.Forces()) forced += __builtin_popcount(b.mask);
  FForce->setVisible(forced > 0);
  if (forced > 0)
    FForce->setText(forced == 1 ? tr("FORCE ACTIVE: 1 bit forced")
                                : tr("FORCE ACTIVE: %n bits forced", nullptr, forced));
  FScan->setText(tr("Scan time: last %1, max %2")
                     .arg(Micro(FPlc.LastScanNs()), Micro(FPlc.MaxScanNs())));
  RefreshDiagnostics();
  RefreshTable();
}

void TSimulatorWindowView::RefreshDiagnostics() {
  const auto& load = FPlc.LoadMessages();
  const auto& diag = FPlc.Cpu().Diagnostics();
  if (load.size() == FShownLoadMessages && diag.size() == FShownDiagnostics &&
      static_cast<const void*>(load.data()) == FShownLoadData)
    return;
  FShownLoadMessages = load.size();
  FShownDiagnostics = diag.size();
  FShownLoadData = load.data();
  FDiag->clear();
  // Newest first, under the messages of the last load: whatever just happened is at the top,
  // in view, however long the buffer has grown.
  for (const softplc::Message& m : load) {
    const QString where = Place(m.file, m.line, m.column);
    FDiag->addItem((where.isEmpty() ? QString() : where + QStringLiteral(": ")) + ToQString(softplc::Shown(m.text, m.format, m.args)));
  }
  for (auto it = diag.rbegin(); it != diag.rend(); ++it) {
    const softplc::DiagEntry& d = *it;
    QString line = tr("cycle %1: %2").arg(d.cycle).arg(ToQString(softplc::Shown(d.text, d.format, d.args)));
    QStringList at;
    if (!d.block.empty()) at << ToQString(d.block);
    if (d.network > 0) at << tr("network %1").arg(d.network);
    const QString where = Place(d.file, d.line, d.column);
    if (!where.isEmpty()) at << where;
    if (!at.isEmpty()) line += QStringLiteral(" (") + at.join(QStringLiteral(", ")) + QLatin1Char(')');
    if (!d.instruction.empty()) line += QStringLiteral(": ") + ToQString(d.instruction);
    FDiag->addItem(line);
  }
  FDiag->scrollToTop();
}

void TSimulatorWindowView::RefreshTable() {
  const softplc::Cpu& cpu = FPlc.Cpu();
  for (int a = 0; a < 3; ++a) {
    const int start = FStart[a]->value();
    QTableWidget* table = FTable[a];
    for (int i = 0; i < kRowsPerArea; ++i) {
      const int addr = start + i;
      const unsigned v = a == 0   ? cpu.InputByte(addr)
                         : a == 1 ? cpu.OutputByte(addr)
                                  : cpu.MemoryByte(addr);
      table->item(i, 0)->setText(QStringLiteral("%1 %2").arg(QLatin1String(kAreaNames[a])).arg(addr));
      table->item(i, 1)->setText(QStringLiteral("%1").arg(v, 8, 2, QLatin1Char('0')));
      table->item(i, 2)->setText(QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper());
      table->item(i, 3)->setText(QString::number(v));
    }
  }
}
