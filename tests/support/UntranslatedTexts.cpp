#include "support/UntranslatedTexts.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QXmlStreamReader>
#include <vector>

namespace torvane::testing {
namespace {

// The text as the user reads it: rich text as plain text, without accelerator marks, the
// window-modified marker or runs of white space.
QString Normal(QString text) {
  if (Qt::mightBeRichText(text)) text = QTextDocumentFragment::fromHtml(text).toPlainText();
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QRegularExpression(QStringLiteral("&(?=\\S)")));
  text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
  text.remove(QStringLiteral("[*]"));
  return text.simplified();
}

struct TAccepted {
  QSet<QString> Exact;
  std::vector<QRegularExpression> Templates;

  void Add(const QString& raw) {
    const QString text = Normal(raw);
    if (text.isEmpty()) return;
    static const QRegularExpression placeholder(QStringLiteral("%L?(\\d+|n)"));
    if (!text.contains(placeholder)) {
      Exact.insert(text);
      return;
    }
    QString pattern;
    qsizetype at = 0;
    for (auto it = placeholder.globalMatch(text); it.hasNext();) {
      const QRegularExpressionMatch m = it.next();
      pattern += QRegularExpression::escape(text.mid(at, m.capturedStart() - at)) + QStringLiteral(".*");
      at = m.capturedEnd();
    }
    pattern += QRegularExpression::escape(text.mid(at));
    Templates.emplace_back(QRegularExpression::anchoredPattern(pattern),
                           QRegularExpression::DotMatchesEverythingOption);
  }

  bool Has(const QString& text) const {
    if (Exact.contains(text)) return true;
    for (const QRegularExpression& t : Templates)
      if (t.match(text).hasMatch()) return true;
    return false;
  }
};

// The Spanish side of every catalogue in translations/.
void AddCatalogues(TAccepted& accepted) {
  const QDir dir(QStringLiteral(TORVANE_SOURCE_DIR "/translations"));
  for (const QString& name : dir.entryList({QStringLiteral("*_es.ts")}, QDir::Files)) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    QXmlStreamReader xml(&file);
    bool numerus = false;
    while (!xml.atEnd()) {
      xml.readNext();
      if (!xml.isStartElement()) continue;
      if (xml.name() == QLatin1String("message")) {
        numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
      } else if (xml.name() == QLatin1String("translation") &&
                 xml.attributes().value(QLatin1String("type")).isEmpty()) {
        // A count's message holds one form per plural of the language.
        if (!numerus) accepted.Add(xml.readElementText());
      } else if (xml.name() == QLatin1String("numerusform")) {
        accepted.Add(xml.readElementText());
      }
    }
  }
}

// Qt's own texts that Torvane's windows show, accepted in their installed translation only.
void AddQtTexts(TAccepted& accepted) {
  struct TQtText {
    const char* Context;
    const char* Source;
  };
  static const TQtText kTexts[] = {
      {"QPlatformTheme", "OK"},      {"QPlatformTheme", "Save"},     {"QPlatformTheme", "Open"},
      {"QPlatformTheme", "Cancel"},  {"QPlatformTheme", "Close"},    {"QPlatformTheme", "Apply"},
      {"QPlatformTheme", "Reset"},   {"QPlatformTheme", "Help"},     {"QPlatformTheme", "Discard"},
      {"QPlatformTheme", "&Yes"},    {"QPlatformTheme", "&No"},      {"QPlatformTheme", "Abort"},
      {"QPlatformTheme", "Retry"},   {"QPlatformTheme", "Ignore"},   {"QPlatformTheme", "Save All"},
      {"QPlatformTheme", "Yes to &All"}, {"QPlatformTheme", "N&o to All"},
      {"QPlatformTheme", "Restore Defaults"}, {"QPlatformTheme", "Don't Save"},
      {"QMessageBox", "Show Details..."}, {"QMessageBox", "Hide Details..."},
  };
  for (const TQtText& t : kTexts) {
    const QString translated = QCoreApplication::translate(t.Context, t.Source);
    if (translated != QLatin1String(t.Source)) accepted.Add(translated);
  }
}

void AddKept(TAccepted& accepted) {
  QFile file(QStringLiteral(TORVANE_SOURCE_DIR "/tests/i18n/kept_texts.txt"));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
    if (line.startsWith(QLatin1Char('#')) || line.trimmed().isEmpty()) continue;
    accepted.Add(line);
  }
}

// Whether the text holds a word a translator would translate.
bool HasWords(const QString& text) {
  static const QRegularExpression fileName(QStringLiteral("^[\\w.~-]*[./][\\w./~-]*$"));
  static const QRegularExpression address(QStringLiteral("^[A-Za-z]{1,3}\\d+([.,]\\d+)?$"));
  static const QRegularExpression capitals(QStringLiteral("^[A-Z0-9_-]+$"));
  static const QSet<QString> units{QStringLiteral("ms"), QStringLiteral("s"), QStringLiteral("mm"),
                                   QStringLiteral("Hz"), QStringLiteral("kHz"), QStringLiteral("min")};
  for (QString token : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
    token.remove(QRegularExpression(QStringLiteral("^[\\W_]+|[\\W_]+$")));
    int letters = 0;
    for (QChar c : token) letters += c.isLetter() ? 1 : 0;
    if (letters < 2 || units.contains(token) || address.match(token).hasMatch()) continue;
    if (fileName.match(token).hasMatch() && token.contains(QRegularExpression(QStringLiteral("\\.\\w{1,4}$|/"))))
      continue;
    // Mnemonics, modes and abbreviations (RUN-P, STOP, CPU, MW) read the same in any language.
    if (capitals.match(token).hasMatch() && token != QLatin1String("OK")) continue;
    return true;
  }
  return false;
}

struct TCollector {
  QStringList Texts;  // «text» (where)

  void Add(const QString& text, const QObject* where) {
    if (!text.trimmed().isEmpty())
      Texts << QStringLiteral("\u00ab%1\u00bb (%2)").arg(text, QLatin1String(where->metaObject()->className()));
  }
  void AddAction(const QAction* a) {
    if (a->isSeparator()) return;
    Add(a->text(), a);
    if (a->toolTip() != Normal(a->text())) Add(a->toolTip(), a);
    Add(a->statusTip(), a);
    if (a->menu() != nullptr) AddMenu(a->menu());
  }
  void AddMenu(const QMenu* menu) {
    Add(menu->title(), menu);
    for (const QAction* a : menu->actions()) AddAction(a);
  }
  void AddWidget(const QWidget* w) {
    if (w->isWindow()) Add(w->windowTitle(), w);
    Add(w->toolTip(), w);
    Add(w->whatsThis(), w);
    if (auto* l = qobject_cast<const QLabel*>(w)) Add(l->text(), w);
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) Add(b->text(), w);
    if (auto* g = qobject_cast<const QGroupBox*>(w)) Add(g->title(), w);
    if (auto* t = qobject_cast<const QTabBar*>(w)) {
      for (int i = 0; i < t->count(); ++i) {
        Add(t->tabText(i), w);
        Add(t->tabToolTip(i), w);
      }
    }
    if (auto* c = qobject_cast<const QComboBox*>(w)) {
      for (int i = 0; i < c->count(); ++i) Add(c->itemText(i), w);
      Add(c->placeholderText(), w);
    }
    if (auto* e = qobject_cast<const QLineEdit*>(w)) Add(e->placeholderText(), w);
    if (auto* e = qobject_cast<const QTextEdit*>(w)) Add(e->placeholderText(), w);
    if (auto* e = qobject_cast<const QPlainTextEdit*>(w)) Add(e->placeholderText(), w);
    if (auto* s = qobject_cast<const QAbstractSpinBox*>(w)) Add(s->specialValueText(), w);
    if (auto* s = qobject_cast<const QSpinBox*>(w)) {
      Add(s->prefix(), w);
      Add(s->suffix(), w);
    }
    if (auto* s = qobject_cast<const QDoubleSpinBox*>(w)) {
      Add(s->prefix(), w);
      Add(s->suffix(), w);
    }
    if (auto* h = qobject_cast<const QHeaderView*>(w); h != nullptr && h->model() != nullptr) {
      const int n = h->orientation() == Qt::Horizontal ? h->model()->columnCount(h->rootIndex())
                                                       : h->model()->rowCount(h->rootIndex());
      for (int i = 0; i < n; ++i) {
        Add(h->model()->headerData(i, h->orientation(), Qt::DisplayRole).toString(), w);
        Add(h->model()->headerData(i, h->orientation(), Qt::ToolTipRole).toString(), w);
      }
    }
    if (auto* s = qobject_cast<const QStatusBar*>(w)) Add(s->currentMessage(), w);
    if (auto* m = qobject_cast<const QMenu*>(w)) AddMenu(m);
    if (auto* b = qobject_cast<const QMenuBar*>(w)) {
      for (const QAction* a : b->actions()) AddAction(a);
    } else if (qobject_cast<const QMenu*>(w) == nullptr) {
      for (const QAction* a : w->actions()) AddAction(a);
    }
  }
};

QStringList Unaccepted(const QStringList& shown, const QStringList& alsoKept) {
  static const TAccepted base = [] {
    TAccepted a;
    AddCatalogues(a);
    AddKept(a);
    return a;
  }();
  TAccepted extra;
  AddQtTexts(extra);
  for (const QString& k : alsoKept) extra.Add(k);
  QStringList out;
  QSet<QString> seen;  // a menu's title shows on its bar action too: told once
  for (const QString& entry : shown) {
    // Entries from the walk carry where they were seen; plain texts come as they are.
    const bool tagged = entry.startsWith(QChar(0x00ab)) && entry.contains(QStringLiteral("\u00bb ("));
    const QString text = tagged ? entry.mid(1, entry.lastIndexOf(QStringLiteral("\u00bb (")) - 1) : entry;
    const QString n = Normal(text);
    if (n.isEmpty() || base.Has(n) || extra.Has(n) || !HasWords(n)) continue;
    if (!seen.contains(n)) out << entry;
    seen.insert(n);
  }
  return out;
}

}  // namespace

QStringList UntranslatedTexts(const QWidget* top, const QStringList& alsoKept) {
  TCollector c;
  c.AddWidget(top);
  for (const QWidget* w : top->findChildren<QWidget*>()) c.AddWidget(w);
  return Unaccepted(c.Texts, alsoKept);
}

QStringList UntranslatedTexts(const QStringList& texts, const QStringList& alsoKept) {
  return Unaccepted(texts, alsoKept);
}

}  // namespace torvane::testing
