#include "gui/SourceDocument.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

bool TSourceDocument::Load(const QString& path, QString& error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("%1: cannot be read (%2)").arg(path, f.errorString());
    return false;
  }
  QByteArray bytes = f.readAll();
  FPath = path;
  FBom = bytes.startsWith("\xEF\xBB\xBF");
  if (FBom) bytes.remove(0, 3);
  // Sources exported by the programming tool are often in a Windows code page: what is not
  // valid UTF-8 is read byte for byte, which writes back unchanged.
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) {
    FEncoding = TEncoding::Latin1;
    text = QString::fromLatin1(bytes);
  } else {
    FEncoding = TEncoding::Utf8;
  }
  const qsizetype lf = text.indexOf(QLatin1Char('\n'));
  FCrLf = lf > 0 && text.at(lf - 1) == QLatin1Char('\r');
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  FText = text;
  return true;
}

void TSourceDocument::Reset(const QString& text) {
  FPath.clear();
  FText = text;
  FEncoding = TEncoding::Utf8;
  FBom = false;
#ifdef Q_OS_WIN
  FCrLf = true;
#else
  FCrLf = false;
#endif
}

bool TSourceDocument::Encode(const QString& text, QByteArray& out, QString& error) const {
  QString t = text;
  if (FCrLf) t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  if (FEncoding == TEncoding::Latin1) {
    int line = 1, column = 1;
    for (const QChar c : text) {
      if (c.unicode() > 0xFF) {
        error = QStringLiteral("%1:%2: '%3' cannot be written in this file's encoding (Latin-1)")
                    .arg(line)
                    .arg(column)
                    .arg(c);
        return false;
      }
      if (c == QLatin1Char('\n')) {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    out = t.toLatin1();
  } else {
    out = (FBom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + t.toUtf8();
  }
  return true;
}

bool TSourceDocument::Save(const QString& path, const QString& text, QString& error) {
  QByteArray bytes;
  if (!Encode(text, bytes, error)) {
    error = path + QLatin1Char(':') + error;
    return false;
  }
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush() || !f.commit()) {
    error = QStringLiteral("%1: cannot be written (%2); the file on disk is unchanged")
                .arg(path, f.errorString());
    return false;
  }
  FPath = path;
  FText = text;
  return true;
}
