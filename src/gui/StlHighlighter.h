#pragma once
// Colours STL source as the embedded CPU reads it: mnemonics of both languages, addresses,
// symbols in quotes, local names (#name), constants, block keywords and comments.
#include <QSet>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class TStlHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  enum TKind { Mnemonic, Address, Symbol, Constant, Keyword, Comment, Label, KindCount };
  explicit TStlHighlighter(QTextDocument* document);

  const QTextCharFormat& Format(TKind kind) const { return FFormats[kind]; }
  // What the highlighter makes of a word in the position of a mnemonic.
  bool IsMnemonic(const QString& upperWord) const { return FMnemonics.contains(upperWord); }

 protected:
  void highlightBlock(const QString& text) override;

 private:
  QTextCharFormat FFormats[KindCount];
  QSet<QString> FMnemonics;
  QSet<QString> FKeywords;
};
