#include "gui/ProgramEditor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "gui/GuiSupport.h"
#include "gui/StlHighlighter.h"
#include "plc/EmbeddedPlc.h"
#include "softplc/SymbolFile.h"
#include "softplc/Text.h"

namespace {

QFont MonoFont() {
  QFont f(QStringLiteral("DejaVu Sans Mono"));
  f.setStyleHint(QFont::Monospace);
  f.setPixelSize(12);
  return f;
}

// Columns of the status area, in characters.
constexpr int kBitColumn = 4, kAccuColumn = 15, kOperandColumn = 12;
constexpr int kStatusChars = 2 * kBitColumn + 2 * kAccuColumn + kOperandColumn + 1;

QString Pad(const std::string& s, int width) {
  return QString::fromStdString(s).leftJustified(width, QLatin1Char(' '), true);
}

// Addresses are compared in German notation without spaces: "I 124.1" and "E124.1" match.
QString NormalAddress(QString a) {
  a = a.toUpper().remove(QLatin1Char(' '));
  static const QRegularExpression en(QStringLiteral(R"(^(P?)([IQ])(B|W|D)?(\d))"));
  const QRegularExpressionMatch m = en.match(a);
  if (m.hasMatch())
    a.replace(m.capturedStart(2), 1, m.captured(2) == QLatin1String("I") ? QStringLiteral("E") : QStringLiteral("A"));
  return a;
}

class TLineNumbers : public QWidget {
 public:
  explicit TLineNumbers(TCodeEditor* e) : QWidget(e), FEditor(e) {}
  QSize sizeHint() const override { return {FEditor->LineNumberWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* e) override { FEditor->PaintLineNumbers(e); }
  void mousePressEvent(QMouseEvent*) override {}

 private:
  TCodeEditor* FEditor;
};

class TStatusArea : public QWidget {
 public:
  explicit TStatusArea(TCodeEditor* e) : QWidget(e), FEditor(e) {}

 protected:
  void paintEvent(QPaintEvent* e) override { FEditor->PaintStatus(e); }

 private:
  TCodeEditor* FEditor;
};

}  // namespace

// ---------------------------------------------------------------------------------------------

TCodeEditor::TCodeEditor(QWidget* parent) : QPlainTextEdit(parent) {
  setFont(MonoFont());
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 6);
  FNumbers = new TLineNumbers(this);
  FStatusArea = new TStatusArea(this);
  FStatusArea->hide();
  FHighlighter = new TStlHighlighter(document());
  connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { UpdateMargins(); });
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& r, int dy) {
    if (dy != 0) {
      FNumbers->scroll(0, dy);
      FStatusArea->scroll(0, dy);
    } else {
      FNumbers->update(0, r.y(), FNumbers->width(), r.height());
      FStatusArea->update(0, r.y(), FStatusArea->width(), r.height());
    }
  });
  UpdateMargins();
}

int TCodeEditor::LineNumberWidth() const {
  int digits = 1;
  for (int n = std::max(1, blockCount()); n >= 10; n /= 10) ++digits;
  return 14 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 3);
}

int TCodeEditor::StatusWidth() const {
  return FStatus == nullptr ? 0 : 8 + fontMetrics().horizontalAdvance(QLatin1Char('0')) * kStatusChars;
}

void TCodeEditor::UpdateMargins() {
  setViewportMargins(LineNumberWidth(), 0, StatusWidth(), 0);
  const QRect r = contentsRect();
  FNumbers->setGeometry(r.left(), r.top(), LineNumberWidth(), r.height());
  FStatusArea->setGeometry(r.right() - StatusWidth() + 1, r.top(), StatusWidth(), r.height());
  FStatusArea->setVisible(FStatus != nullptr);
}

void TCodeEditor::resizeEvent(QResizeEvent* e) {
  QPlainTextEdit::resizeEvent(e);
  UpdateMargins();
}

void TCodeEditor::SetMarks(std::vector<TMark> marks) {
  FMarks = std::move(marks);
  UpdateSelections();
  FNumbers->update();
}

void TCodeEditor::SetStatus(const TProgramStatus* status) {
  FStatus = status;
  UpdateMargins();
  RefreshStatus();
}

void TCodeEditor::RefreshStatus() {
  UpdateSelections();
  FStatusArea->update();
}

QString TCodeEditor::StatusText(int line) const {
  if (FStatus == nullptr) return {};
  const TProgramStatus::TColumns c = FStatus->Columns(line);
  if (c.Rlo.empty()) return {};
  return (Pad(c.Rlo, kBitColumn) + Pad(c.Sta, kBitColumn) + Pad(c.Accu1, kAccuColumn) +
          Pad(c.Accu2, kAccuColumn) + QString::fromStdString(c.Operand))
      .trimmed();
}

void TCodeEditor::UpdateSelections() {
  QList<QTextEdit::ExtraSelection> list;
  // Lines that hold a statement but did not run in the last scan are greyed.
  if (FStatus != nullptr) {
    QTextCharFormat grey;
    grey.setForeground(QColor(160, 160, 160));
    grey.setFontWeight(QFont::Normal);
    grey.setFontItalic(false);
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
      const int line = b.blockNumber() + 1;
      if (!FStatus->HasStatement(line) || FStatus->Line(line) != nullptr) continue;
      QTextEdit::ExtraSelection s;
      s.cursor = QTextCursor(b);
      s.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      s.format = grey;
      list << s;
    }
  }
  for (const TMark& m : FMarks) {
    const QTextBlock b = document()->findBlockByNumber(m.Line - 1);
    if (!b.isValid()) continue;
    QTextEdit::ExtraSelection line;
    line.cursor = QTextCursor(b);
    line.format.setBackground(m.Warning ? QColor(255, 248, 200) : QColor(255, 226, 226));
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    list << line;
    QTextEdit::ExtraSelection word;
    word.cursor = QTextCursor(b);
    word.cursor.setPosition(b.position() + std::clamp(m.Column - 1, 0, std::max(0, b.length() - 1)));
    word.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    word.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    word.format.setUnderlineColor(m.Warning ? QColor(200, 140, 0) : Qt::red);
    list << word;
  }
  setExtraSelections(list);
}

void TCodeEditor::PaintLineNumbers(QPaintEvent* e) {
  QPainter p(FNumbers);
  p.fillRect(e->rect(), QColor(240, 240, 240));
  QTextBlock b = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(b).translated(contentOffset()).top());
  const int h = fontMetrics().height();
  while (b.isValid() && top <= e->rect().bottom()) {
    const int line = b.blockNumber() + 1;
    const auto mark = std::find_if(FMarks.begin(), FMarks.end(), [line](const TMark& m) { return m.Line == line; });
    if (mark != FMarks.end()) {
      p.setBrush(mark->Warning ? QColor(230, 160, 0) : QColor(220, 0, 0));
      p.setPen(Qt::NoPen);
      p.drawEllipse(QPointF(6, top + h / 2.0), 4, 4);
    }
    p.setPen(QColor(120, 120, 120));
    p.drawText(0, top, FNumbers->width() - 4, h, Qt::AlignRight, QString::number(line));
    top += qRound(blockBoundingRect(b).height());
    b = b.next();
  }
}

void TCodeEditor::PaintStatus(QPaintEvent* e) {
  QPainter p(FStatusArea);
  p.fillRect(e->rect(), QColor(248, 248, 236));
  p.setPen(QColor(200, 200, 180));
  p.drawLine(0, e->rect().top(), 0, e->rect().bottom());
  if (FStatus == nullptr) return;
  QTextBlock b = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(b).translated(contentOffset()).top());
  const int h = fontMetrics().height();
  p.setFont(font());
  while (b.isValid() && top <= e->rect().bottom()) {
    const int line = b.blockNumber() + 1;
    const TProgramStatus::TColumns c = FStatus->Columns(line);
    if (!c.Rlo.empty()) {
      const int cw = fontMetrics().horizontalAdvance(QLatin1Char('0'));
      int x = 6;
      // the RLO in colour, as the eye looks for it first
      p.setPen(c.Rlo == "1" ? QColor(0, 150, 0) : QColor(0, 0, 200));
      p.drawText(x, top, cw * kBitColumn, h, Qt::AlignLeft, QString::fromStdString(c.Rlo));
      x += cw * kBitColumn;
      p.setPen(Qt::black);
      p.drawText(x, top, cw * kBitColumn, h, Qt::AlignLeft, QString::fromStdString(c.Sta));
      x += cw * kBitColumn;
      p.drawText(x, top, cw * kAccuColumn, h, Qt::AlignLeft, QString::fromStdString(c.Accu1));
      x += cw * kAccuColumn;
      p.drawText(x, top, cw * kAccuColumn, h, Qt::AlignLeft, QString::fromStdString(c.Accu2));
      x += cw * kAccuColumn;
      p.setPen(QColor(128, 0, 128));
      p.drawText(x, top, cw * kOperandColumn, h, Qt::AlignLeft, QString::fromStdString(c.Operand));
    }
    top += qRound(blockBoundingRect(b).height());
    b = b.next();
  }
}

QString TCodeEditor::Commented(const std::string& name, const QString& text) const {
  if (FComments == nullptr) return text;
  const auto c = FComments->find(name);
  return c == FComments->end() ? text : tr("%1 (%2)").arg(text, ToQString(c->second));
}

QString TCodeEditor::HoverText(int line, int column) const {
  QStringList parts;
  for (const TMark& m : FMarks)
    if (m.Line == line) parts << (m.Warning ? tr("warning: %1").arg(m.Text) : m.Text);
  const QTextBlock b = document()->findBlockByNumber(line - 1);
  if (b.isValid() && FSymbols != nullptr) {
    const QString text = b.text();
    const int at = column - 1;
    static const QRegularExpression symbol(QStringLiteral(R"re("([^"]*)")re"));
    static const QRegularExpression address(QStringLiteral(
        R"((?<![\w#])(?:P[EAIQ][BWD]|[EAIQM][BWD]?)\s*\d+(?:\.\d)?(?![\w#]))"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto it = symbol.globalMatch(text); it.hasNext();) {
      const QRegularExpressionMatch m = it.next();
      if (at < m.capturedStart() || at >= m.capturedEnd()) continue;
      const auto s = FSymbols->find(m.captured(1).toStdString());
      parts << (s == FSymbols->end() ? tr("\"%1\" is not a known symbol").arg(m.captured(1))
                                     : Commented(s->first, QStringLiteral("\"%1\" = %2").arg(m.captured(1), ToQString(s->second))));
    }
    for (auto it = address.globalMatch(text); it.hasNext();) {
      const QRegularExpressionMatch m = it.next();
      if (at < m.capturedStart() || at >= m.capturedEnd()) continue;
      const QString a = NormalAddress(m.captured());
      QStringList names;
      for (const auto& [name, addr] : *FSymbols)
        if (NormalAddress(ToQString(addr)) == a) names << Commented(name, QStringLiteral("\"%1\"").arg(ToQString(name)));
      const QString written = m.captured().simplified();
      parts << (names.isEmpty() ? tr("%1 has no symbol").arg(written)
                                : QStringLiteral("%1 = %2").arg(written, names.join(QStringLiteral(", "))));
    }
  }
  return parts.join(QLatin1Char('\n'));
}

bool TCodeEditor::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    const QPoint inViewport = viewport()->mapFrom(this, help->pos());
    const QTextCursor c = cursorForPosition(inViewport);
    const QString text = HoverText(c.blockNumber() + 1, c.positionInBlock() + 1);
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), text, this);
    return true;
  }
  return QPlainTextEdit::event(e);
}

void TCodeEditor::GoToLine(int line, int column) {
  const QTextBlock b = document()->findBlockByNumber(std::max(0, line - 1));
  if (!b.isValid()) return;
  QTextCursor c(b);
  c.setPosition(b.position() + std::clamp(column - 1, 0, std::max(0, b.length() - 1)));
  setTextCursor(c);
  centerCursor();
  setFocus();
}

// ---------------------------------------------------------------------------------------------

TProgramEditor::TProgramEditor(TEmbeddedPlc& plc, QWidget* parent)
    : QWidget(parent), FPlc(plc), FProgramStatus(plc.Cpu()) {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);

  auto* bar = new QToolBar(this);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  QAction* actNew = bar->addAction(tr("New"));
  QAction* actSave = bar->addAction(tr("Save"));
  QAction* actSaveAs = bar->addAction(tr("Save As…"));
  bar->addSeparator();
  QAction* actUndo = bar->addAction(tr("Undo"));
  QAction* actRedo = bar->addAction(tr("Redo"));
  bar->addSeparator();
  QAction* actDownload = bar->addAction(tr("Download"));
  actDownload->setToolTip(tr("Compile every tab and, if it compiles, replace the CPU's program"));
  FMonitor = new QCheckBox(tr("Monitor"), bar);
  FMonitor->setToolTip(tr("Program status of the front tab: RLO, STA, ACCU 1, ACCU 2, operand"));
  bar->addWidget(FMonitor);
  actNew->setShortcut(QKeySequence::New);
  actSave->setShortcut(QKeySequence::Save);
  actSaveAs->setShortcut(QKeySequence::SaveAs);
  actDownload->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  for (QAction* a : {actNew, actSave, actSaveAs, actDownload}) a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  root->addWidget(bar);

  auto* findRow = new QHBoxLayout;
  findRow->setContentsMargins(4, 0, 4, 0);
  FFind = new QLineEdit(this);
  FFind->setPlaceholderText(tr("Find (Ctrl+F, Enter for the next)"));
  FFind->setClearButtonEnabled(true);
  findRow->addWidget(FFind, 1);
  auto* gotoLine = new QLineEdit(this);
  gotoLine->setPlaceholderText(tr("Line (Ctrl+L)"));
  gotoLine->setMaximumWidth(110);
  findRow->addWidget(gotoLine);
  findRow->addWidget(new QLabel(tr("Call:"), this));
  FEnvironment = new QComboBox(this);
  FEnvironment->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  FEnvironment->setToolTip(tr("Which execution of a block's lines the status shows"));
  FEnvironment->addItem(tr("first execution"));
  findRow->addWidget(FEnvironment);
  root->addLayout(findRow);

  // The status column's heading, over the column at the editor's right edge.
  FColumnsHeader = new QLabel(this);
  FColumnsHeader->setFont(MonoFont());
  FColumnsHeader->setIndent(6);
  //: Heading of the status column: %1 is the padded mnemonics RLO, STA, ACCU 1 and ACCU 2.
  FColumnsHeader->setText(tr("%1Operand").arg(QStringLiteral("RLO").leftJustified(kBitColumn) +
                                               QStringLiteral("STA").leftJustified(kBitColumn) +
                                               QStringLiteral("ACCU 1").leftJustified(kAccuColumn) +
                                               QStringLiteral("ACCU 2").leftJustified(kAccuColumn)));
  FColumnsHeader->hide();
  auto* headerRow = new QHBoxLayout;
  headerRow->setContentsMargins(0, 0, 0, 0);
  headerRow->addStretch(1);
  headerRow->addWidget(FColumnsHeader);
  root->addLayout(headerRow);

  auto* split = new QSplitter(Qt::Vertical, this);
  FTabs = new QTabWidget(split);
  FTabs->setDocumentMode(true);
  FTabs->setMovable(false);
  FMessages = new QListWidget(split);
  FMessages->setToolTip(tr("Click a message to go to its place"));
  split->addWidget(FTabs);
  split->addWidget(FMessages);
  split->setStretchFactor(0, 5);
  split->setStretchFactor(1, 1);
  split->setSizes({460, 90});
  root->addWidget(split, 1);
  FStatusLine = new QLabel(this);
  FStatusLine->setWordWrap(true);
  root->addWidget(FStatusLine);

  Ask = [this](const QString& question) {
    const auto r = QMessageBox::question(this, QStringLiteral("Torvane"), question,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return r == QMessageBox::Yes ? Yes : r == QMessageBox::No ? No : Cancel;
  };
  AskSavePath = [this](const QString& suggestion) {
    return QFileDialog::getSaveFileName(this, tr("Save STL program"), suggestion,
                                        tr("STL programs (*.awl *.stl);;All files (*)"));
  };

  connect(actNew, &QAction::triggered, this, [this] { NewProgram(); });
  connect(actSave, &QAction::triggered, this, [this] { Save(); });
  connect(actSaveAs, &QAction::triggered, this, [this] { SaveAs(); });
  connect(actUndo, &QAction::triggered, this, [this] {
    if (Current()) Current()->undo();
  });
  connect(actRedo, &QAction::triggered, this, [this] {
    if (Current()) Current()->redo();
  });
  connect(actDownload, &QAction::triggered, this, [this] { Download(); });
  connect(FMonitor, &QCheckBox::toggled, this, [this](bool on) { SetMonitoring(on); });
  connect(FFind, &QLineEdit::returnPressed, this, [this] { Find(FFind->text()); });
  auto* findKey = new QShortcut(QKeySequence::Find, this, [this] {
    FFind->setFocus();
    FFind->selectAll();
  });
  findKey->setContext(Qt::WidgetWithChildrenShortcut);
  auto* gotoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this, [gotoLine] {
    gotoLine->setFocus();
    gotoLine->selectAll();
  });
  gotoKey->setContext(Qt::WidgetWithChildrenShortcut);
  connect(gotoLine, &QLineEdit::returnPressed, this, [this, gotoLine] {
    bool ok = false;
    const int n = gotoLine->text().toInt(&ok);
    if (ok && Current()) Current()->GoToLine(n);
  });
  connect(FTabs, &QTabWidget::currentChanged, this, [this] { FrontTabChanged(); });
  connect(FMessages, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    const QString file = item->data(Qt::UserRole).toString();
    for (int i = 0; i < TabCount(); ++i)
      if (Tab(i)->ProgramName == file) {
        FTabs->setCurrentIndex(i);
        Tab(i)->GoToLine(item->data(Qt::UserRole + 1).toInt(), item->data(Qt::UserRole + 2).toInt());
      }
  });
  connect(FEnvironment, &QComboBox::activated, this, [this](int index) {
    const auto& envs = FProgramStatus.Environments();
    if (index <= 0 || static_cast<std::size_t>(index - 1) >= envs.size())
      FProgramStatus.SetCallEnvironment(std::nullopt);
    else
      FProgramStatus.SetCallEnvironment(envs[static_cast<std::size_t>(index - 1)]);
  });

  // The status is collected every scan; the screen catches up ten times a second.
  FMonitorTimer = new QTimer(this);
  FMonitorTimer->setInterval(100);
  connect(FMonitorTimer, &QTimer::timeout, this, [this] {
    if (Current() != nullptr) Current()->RefreshStatus();
    RefreshEnvironments();
  });
  ReadSymbols();
}

TProgramEditor::~TProgramEditor() { FProgramStatus.SetMonitoring(false); }

int TProgramEditor::TabCount() const { return FTabs->count(); }
TCodeEditor* TProgramEditor::Tab(int i) const { return static_cast<TCodeEditor*>(FTabs->widget(i)); }
TCodeEditor* TProgramEditor::Current() const { return static_cast<TCodeEditor*>(FTabs->currentWidget()); }

void TProgramEditor::ReadSymbols() {
  FSymbols = FPlc.Symbols();
  FComments.clear();
  std::vector<std::string> tables = FPlc.SymbolFiles();
  if (tables.empty()) tables = softplc::SymbolTablesBeside(FPlc.ProgramFiles());
  std::map<std::string, std::string> origin;
  std::vector<softplc::Message> ignored;  // the load reports them
  for (const std::string& t : tables) {
    std::ifstream in(t, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    softplc::ReadSymbolFile({t, s.str()}, FSymbols, origin, ignored, softplc::SymbolFormat::Auto,
                            &FComments);
  }
}

TCodeEditor* TProgramEditor::AddTab(const QString& name) {
  auto* e = new TCodeEditor(FTabs);
  e->ProgramName = name;
  e->SetSymbols(&FSymbols, &FComments);
  FTabs->addTab(e, QFileInfo(name).fileName());
  FTabs->setTabToolTip(FTabs->indexOf(e), name);
  connect(e->document(), &QTextDocument::modificationChanged, this, [this, e] { TabTitle(e); });
  return e;
}

void TProgramEditor::TabTitle(TCodeEditor* e) {
  const int i = FTabs->indexOf(e);
  if (i < 0) return;
  FTabs->setTabText(i, QFileInfo(e->ProgramName).fileName() +
                           (e->document()->isModified() ? QStringLiteral(" *") : QString()));
}

void TProgramEditor::OpenFiles(const QStringList& paths) {
  const bool monitoring = FProgramStatus.Monitoring();
  FTabs->blockSignals(true);
  while (FTabs->count() > 0) {
    QWidget* w = FTabs->widget(0);
    FTabs->removeTab(0);
    delete w;
  }
  FTabs->blockSignals(false);
  QStringList problems;
  for (const QString& path : paths) {
    TSourceDocument doc;
    QString error;
    if (!doc.Load(path, error)) {
      problems << error;
      continue;
    }
    TCodeEditor* e = AddTab(path);
    e->Document = doc;
    e->setPlainText(doc.Text());
    e->document()->setModified(false);
    TabTitle(e);
  }
  FFollowed = paths;
  ReadSymbols();
  FMessages->clear();
  for (const QString& p : problems) FMessages->addItem(p);
  FrontTabChanged();
  if (monitoring) FProgramStatus.ProgramChanged();
}

void TProgramEditor::FollowProgram() {
  QStringList files;
  for (const std::string& f : FPlc.ProgramFiles()) files << ToQString(f);
  // a refused load names the files it tried in its messages
  for (const softplc::Message& m : FPlc.LoadMessages()) {
    const QString f = ToQString(m.file);
    if (!f.isEmpty() && !files.contains(f) && QFileInfo(f).isFile()) files << f;
  }
  if (files.isEmpty() || files == FFollowed || Modified()) return;
  OpenFiles(files);
  ShowMessages(FPlc.LoadMessages(), FPlc.LoadErrorCount());
}

void TProgramEditor::ShowMessages(const std::vector<softplc::Message>& messages, std::size_t errors) {
  FMessages->clear();
  std::map<QString, std::vector<TCodeEditor::TMark>> marks;
  for (std::size_t k = 0; k < messages.size(); ++k) {
    const softplc::Message& m = messages[k];
    const QString file = ToQString(m.file);
    const bool warning = k >= errors;
    QString text = ToQString(softplc::Shown(m.text, m.format, m.args));
    TCodeEditor::TMark mark{m.line, m.column, text, warning};
    marks[file].push_back(mark);
    QString where = QFileInfo(file).fileName();
    if (m.line > 0) where += QStringLiteral(":%1:%2").arg(m.line).arg(std::max(m.column, 1));
    auto* item = new QListWidgetItem(where + QStringLiteral(": ") + text, FMessages);
    item->setData(Qt::UserRole, file);
    item->setData(Qt::UserRole + 1, m.line);
    item->setData(Qt::UserRole + 2, m.column);
    item->setForeground(warning ? QColor(160, 100, 0) : QColor(180, 0, 0));
  }
  for (int i = 0; i < TabCount(); ++i) {
    const auto it = marks.find(Tab(i)->ProgramName);
    Tab(i)->SetMarks(it == marks.end() ? std::vector<TCodeEditor::TMark>{} : it->second);
  }
}

QString TProgramEditor::TemplateText(const softplc::SymbolTable& plantSymbols) {
  // The plant's signals sorted by address, inputs first.
  std::vector<std::pair<QString, QString>> inputs, outputs;
  for (const auto& [name, address] : plantSymbols) {
    const QString a = NormalAddress(ToQString(address));
    auto& list = a.startsWith(QLatin1Char('E')) ? inputs : outputs;
    list.emplace_back(a, ToQString(name));
  }
  auto byAddress = [](const auto& x, const auto& y) {
    const auto key = [](const QString& a) {
      const QStringList p = a.mid(1).split(QLatin1Char('.'));
      return p.value(0).toInt() * 8 + p.value(1).toInt();
    };
    return key(x.first) < key(y.first);
  };
  std::sort(inputs.begin(), inputs.end(), byAddress);
  std::sort(outputs.begin(), outputs.end(), byAddress);
  auto pretty = [](const QString& a) { return a.left(1) + QLatin1Char(' ') + a.mid(1); };
  QString t;
  t += QStringLiteral("// %1\n//\n").arg(tr("New program for the lift bridge."));
  t += QStringLiteral("// ") + tr("Inputs").leftJustified(32) + tr("Outputs") + QLatin1Char('\n');
  const std::size_t rows = std::max(inputs.size(), outputs.size());
  for (std::size_t i = 0; i < rows; ++i) {
    QString row = QStringLiteral("//   ");
    if (i < inputs.size())
      row += (pretty(inputs[i].first).leftJustified(9) + QLatin1Char('"') + inputs[i].second + QLatin1Char('"'))
                 .leftJustified(31);
    else
      row += QString(31, QLatin1Char(' '));
    if (i < outputs.size())
      row += pretty(outputs[i].first).leftJustified(9) + QLatin1Char('"') + outputs[i].second + QLatin1Char('"');
    t += row.trimmed() + QLatin1Char('\n');
  }
  t += QStringLiteral(
      "\nORGANIZATION_BLOCK OB 1\n"
      "TITLE = %1\n"
      "VERSION : 0.1\n"
      "\n"
      "VAR_TEMP\n"
      "  info : ARRAY [0 .. 19] OF BYTE;   // %2\n"
      "END_VAR\n"
      "BEGIN\n"
      "NETWORK\n"
      "TITLE = %3\n"
      "\n").arg(tr("Main cycle"), tr("start information"), tr("First network"));
  // a first statement that compiles, for the student to replace
  if (!inputs.empty() && !outputs.empty())
    t += QStringLiteral("      U     \"%1\"\n      =     \"%2\"\n\n").arg(inputs.front().second, outputs.front().second);
  t += QStringLiteral("END_ORGANIZATION_BLOCK\n");
  return t;
}

void TProgramEditor::NewProgram() {
  QString name = tr("untitled.awl");
  for (int n = 2;; ++n) {
    bool taken = false;
    for (int i = 0; i < TabCount(); ++i) taken = taken || Tab(i)->ProgramName == name;
    if (!taken) break;
    name = tr("untitled%1.awl").arg(n);
  }
  TCodeEditor* e = AddTab(name);
  const QString text = TemplateText(FPlc.Symbols());
  e->Document.Reset(text);
  e->setPlainText(text);
  // never saved: it counts as a change until it is
  e->document()->setModified(true);
  TabTitle(e);
  FTabs->setCurrentWidget(e);
}

bool TProgramEditor::Save() {
  TCodeEditor* e = Current();
  if (e == nullptr) return false;
  if (e->Document.Path().isEmpty()) return SaveAs();
  QString error;
  if (!e->Document.Save(e->Document.Path(), e->toPlainText(), error)) {
    FStatusLine->setText(error);
    return false;
  }
  e->document()->setModified(false);
  FStatusLine->setText(tr("Saved %1.").arg(e->Document.Path()));
  return true;
}

bool TProgramEditor::SaveAs(const QString& path) {
  TCodeEditor* e = Current();
  if (e == nullptr) return false;
  QString target = path;
  if (target.isEmpty()) {
    const QString suggestion = e->Document.Path().isEmpty()
                                   ? QFileInfo(ToQString(FPlc.ProgramPath())).absoluteDir().filePath(e->ProgramName)
                                   : e->Document.Path();
    target = AskSavePath(suggestion);
  }
  if (target.isEmpty()) return false;
  QString error;
  if (!e->Document.Save(target, e->toPlainText(), error)) {
    FStatusLine->setText(error);
    return false;
  }
  const QString old = e->ProgramName;
  e->ProgramName = target;
  FTabs->setTabToolTip(FTabs->indexOf(e), target);
  e->document()->setModified(false);
  TabTitle(e);
  if (FFollowed.contains(old)) FFollowed.replace(FFollowed.indexOf(old), target);
  FStatusLine->setText(tr("Saved %1.").arg(target));
  return true;
}

bool TProgramEditor::Modified() const {
  for (int i = 0; i < TabCount(); ++i)
    if (Tab(i)->document()->isModified()) return true;
  return false;
}

bool TProgramEditor::MayDiscard(TDiscard why) {
  if (!Modified()) return true;
  QStringList names;
  for (int i = 0; i < TabCount(); ++i)
    if (Tab(i)->document()->isModified()) names << QFileInfo(Tab(i)->ProgramName).fileName();
  const QString files = names.join(QStringLiteral(", "));
  // One whole sentence per occasion, so that each language can build it its own way.
  const TAnswer a = Ask(why == TDiscard::Loading     ? tr("%1 has unsaved changes. Save before loading?").arg(files)
                        : why == TDiscard::Reloading ? tr("%1 has unsaved changes. Save before reloading?").arg(files)
                                                     : tr("%1 has unsaved changes. Save before closing Torvane?").arg(files));
  if (a == Cancel) return false;
  if (a == No) return true;
  for (int i = 0; i < TabCount(); ++i) {
    if (!Tab(i)->document()->isModified()) continue;
    FTabs->setCurrentIndex(i);
    if (!Save()) return false;
  }
  return true;
}

bool TProgramEditor::Download() {
  if (TabCount() == 0) {
    FStatusLine->setText(tr("Nothing to download: open or start a program first."));
    return false;
  }
  std::vector<softplc::SourceFile> sources;
  for (int i = 0; i < TabCount(); ++i) {
    QByteArray bytes;
    QString error;
    if (!Tab(i)->Document.Encode(Tab(i)->toPlainText(), bytes, error)) {
      FStatusLine->setText(Tab(i)->ProgramName + QLatin1Char(':') + error);
      return false;
    }
    sources.push_back({Tab(i)->ProgramName.toStdString(), bytes.toStdString()});
  }
  if (FPlc.Cpu().Mode() == softplc::CpuMode::Run) {
    // In RUN the program may not change; the user decides whether to stop the plant.
    if (Ask(tr("The CPU is in RUN. Switch it to STOP and download?")) != Yes) {
      FStatusLine->setText(tr("Download cancelled: the CPU stays in RUN with its program."));
      return false;
    }
    FPlc.SetMode(softplc::CpuMode::Stop);
  }
  std::string summary;
  const softplc::LoadResult r = FPlc.Download(sources, &summary);
  ShowMessages(FPlc.LoadMessages(), FPlc.LoadErrorCount());
  if (!r.ok) {
    FStatusLine->setText(tr("Download refused: %n error(s). The CPU keeps its program.", nullptr,
                            static_cast<int>(r.errors.size())));
    if (!r.errors.empty()) {
      const QString file = ToQString(r.errors.front().file);
      for (int i = 0; i < TabCount(); ++i)
        if (Tab(i)->ProgramName == file) {
          FTabs->setCurrentIndex(i);
          Tab(i)->GoToLine(r.errors.front().line, r.errors.front().column);
        }
    }
    return false;
  }
  FProgramStatus.ProgramChanged();
  FStatusLine->setText(tr("Downloaded: %1.").arg(ToQString(summary)));
  return true;
}

void TProgramEditor::SetMonitoring(bool on) {
  if (FMonitor->isChecked() != on) FMonitor->setChecked(on);  // comes back here
  if (on == FProgramStatus.Monitoring()) return;
  FProgramStatus.SetMonitoring(on);
  FColumnsHeader->setVisible(on);
  // as wide as the column, plus the scroll bar beside it
  FColumnsHeader->setFixedWidth(8 + QFontMetrics(MonoFont()).horizontalAdvance(QLatin1Char('0')) * kStatusChars +
                                style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2);
  if (on) {
    FrontTabChanged();
    FMonitorTimer->start();
  } else {
    FMonitorTimer->stop();
    for (int i = 0; i < TabCount(); ++i) Tab(i)->SetStatus(nullptr);
  }
}

void TProgramEditor::FrontTabChanged() {
  if (!FProgramStatus.Monitoring()) return;
  for (int i = 0; i < TabCount(); ++i)
    if (Tab(i) != Current()) Tab(i)->SetStatus(nullptr);
  if (Current() == nullptr) return;
  FProgramStatus.Watch(Current()->ProgramName.toStdString());
  FShownEnvironments = static_cast<std::size_t>(-1);
  RefreshEnvironments();
  Current()->SetStatus(&FProgramStatus);
}

void TProgramEditor::RefreshEnvironments() {
  const auto& envs = FProgramStatus.Environments();
  if (envs.size() == FShownEnvironments) return;
  FShownEnvironments = envs.size();
  const int chosen = FEnvironment->currentIndex();
  FEnvironment->clear();
  FEnvironment->addItem(tr("first execution"));
  for (const auto& e : envs) FEnvironment->addItem(ToQString(FProgramStatus.EnvironmentName(e)));
  FEnvironment->setCurrentIndex(std::clamp(chosen, 0, FEnvironment->count() - 1));
}

bool TProgramEditor::Find(const QString& text, bool backwards) {
  TCodeEditor* e = Current();
  if (e == nullptr || text.isEmpty()) return false;
  const QTextDocument::FindFlags flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  if (e->find(text, flags)) return true;
  // wrap around once
  QTextCursor c = e->textCursor();
  c.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
  e->setTextCursor(c);
  const bool found = e->find(text, flags);
  FStatusLine->setText(found ? QString() : tr("\"%1\" not found.").arg(text));
  return found;
}
