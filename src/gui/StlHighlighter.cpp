#include "gui/StlHighlighter.h"

#include <QRegularExpression>

#include "softplc/InstructionTable.h"

namespace {

// Operands: an address with its area (E/A/M/L/I/Q, PE/PA/PI/PQ, DB/DI words, timers and
// counters, blocks), a constant in any of its notations.
const QRegularExpression& AddressPattern() {
  static const QRegularExpression re(
      QStringLiteral(R"re((?<![\w#])(?:DB\d+\.DB[XBWD]\s*\d+(?:\.\d)?|DB[XBWD]\s*\d+(?:\.\d)?|DI[XBWD]\s*\d+(?:\.\d)?))re"
                     R"re(|(?<![\w#])(?:P[EAIQ][BWD]|[EAIQML][BWD]?)\s*\d+(?:\.\d)?(?![\w#]))re"
                     R"re(|(?<![\w#])(?:[TZC]|FC|FB|SFC|SFB|DB|DI|OB|UDT)\s*\d+(?![\w#.]))re"),
      QRegularExpression::CaseInsensitiveOption);
  return re;
}

const QRegularExpression& ConstantPattern() {
  static const QRegularExpression re(
      QStringLiteral(R"re((?<![\w#.])(?:S5T|S5TIME|T|TIME|D|DATE|TOD|TIME_OF_DAY|L|P|C|B|W|DW|2|8|16)#[\w#.:+\-]*)re"
                     R"re(|(?<![\w#.])[+-]?\d+(?:\.\d+)?(?:[eE][+-]?\d+)?(?![\w#.])|\bTRUE\b|\bFALSE\b)re"),
      QRegularExpression::CaseInsensitiveOption);
  return re;
}

}  // namespace

TStlHighlighter::TStlHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
  FFormats[Mnemonic].setForeground(QColor(0, 0, 192));
  FFormats[Mnemonic].setFontWeight(QFont::Bold);
  FFormats[Address].setForeground(QColor(128, 0, 128));
  FFormats[Symbol].setForeground(QColor(0, 128, 128));
  FFormats[Constant].setForeground(QColor(176, 96, 0));
  FFormats[Keyword].setForeground(QColor(128, 0, 0));
  FFormats[Keyword].setFontWeight(QFont::Bold);
  FFormats[Comment].setForeground(QColor(0, 128, 0));
  FFormats[Comment].setFontItalic(true);
  FFormats[Label].setForeground(QColor(0, 0, 0));
  FFormats[Label].setFontUnderline(true);

  for (const softplc::InstructionDef& d : softplc::InstructionTable()) {
    if (!d.german.empty()) FMnemonics.insert(QString::fromLatin1(d.german.data(), static_cast<qsizetype>(d.german.size())));
    if (!d.english.empty()) FMnemonics.insert(QString::fromLatin1(d.english.data(), static_cast<qsizetype>(d.english.size())));
  }
  for (const char* k :
       {"ORGANIZATION_BLOCK", "END_ORGANIZATION_BLOCK", "FUNCTION_BLOCK", "END_FUNCTION_BLOCK",
        "FUNCTION", "END_FUNCTION", "DATA_BLOCK", "END_DATA_BLOCK", "TYPE", "END_TYPE", "BEGIN",
        "NETWORK", "TITLE", "AUTHOR", "FAMILY", "NAME", "VERSION", "KNOW_HOW_PROTECT", "VAR_INPUT",
        "VAR_OUTPUT", "VAR_IN_OUT", "VAR", "VAR_TEMP", "END_VAR", "STRUCT", "END_STRUCT", "ARRAY",
        "OF", "BOOL", "BYTE", "WORD", "DWORD", "INT", "DINT", "REAL", "CHAR", "STRING", "S5TIME",
        "TIME", "DATE", "TIME_OF_DAY", "TIMER", "COUNTER", "VOID", "ANY", "BLOCK_DB", "POINTER",
        "DATE_AND_TIME"})
    FKeywords.insert(QString::fromLatin1(k));
}

void TStlHighlighter::highlightBlock(const QString& text) {
  // The comment starts at the first "//" outside a quoted symbol.
  qsizetype end = text.size();
  bool quoted = false;
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == QLatin1Char('"')) quoted = !quoted;
    if (!quoted && text[i] == QLatin1Char('/') && text[i + 1] == QLatin1Char('/')) {
      end = i;
      break;
    }
  }
  if (end < text.size()) setFormat(static_cast<int>(end), static_cast<int>(text.size() - end), FFormats[Comment]);
  const QString code = text.left(end);

  auto apply = [&](const QRegularExpression& re, TKind kind) {
    for (auto it = re.globalMatch(code); it.hasNext();) {
      const QRegularExpressionMatch m = it.next();
      setFormat(static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()), FFormats[kind]);
    }
  };
  apply(ConstantPattern(), Constant);
  apply(AddressPattern(), Address);
  static const QRegularExpression local(QStringLiteral(R"(#\w+)"));
  apply(local, Symbol);
  static const QRegularExpression symbol(QStringLiteral(R"("[^"]*")"));
  apply(symbol, Symbol);

  // The statement's head: an optional label or declared name ("M1:", "speed :"), then a
  // keyword or a mnemonic. Only that position is a mnemonic: "A" is also an area.
  static const QRegularExpression head(
      QStringLiteral(R"(^\s*(?:(\w+)\s*:(?!=)\s*)?([A-Za-z_+\-*/=<>()!][\w+\-*/=<>()]*))"));
  const QRegularExpressionMatch h = head.match(code);
  if (!h.hasMatch()) return;
  QString word = h.captured(2).toUpper();
  if (h.capturedLength(1) > 0) {
    const QString name = h.captured(1).toUpper();
    if (!FKeywords.contains(name))
      setFormat(static_cast<int>(h.capturedStart(1)), static_cast<int>(h.capturedLength(1)), FFormats[Label]);
  }
  if (FKeywords.contains(word)) {
    setFormat(static_cast<int>(h.capturedStart(2)), static_cast<int>(h.capturedLength(2)), FFormats[Keyword]);
  } else if (FMnemonics.contains(word)) {
    setFormat(static_cast<int>(h.capturedStart(2)), static_cast<int>(h.capturedLength(2)), FFormats[Mnemonic]);
  }
  // declarations and block headers name types and keywords further on
  static const QRegularExpression words(QStringLiteral(R"(\b[A-Za-z_]\w*\b)"));
  for (auto it = words.globalMatch(code); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    if (m.capturedStart() == h.capturedStart(2)) continue;
    const QTextCharFormat now = format(static_cast<int>(m.capturedStart()));
    if (FKeywords.contains(m.captured().toUpper()) && now != FFormats[Symbol] && now != FFormats[Constant])
      setFormat(static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()), FFormats[Keyword]);
  }
}
