#include "gui/SourceDocument.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <string_view>

#include "softplc/Encoding.h"

bool TSourceDocument::Load(const QString& path, QString& error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    error = QCoreApplication::translate("TProgramEditor", "%1: cannot be read (%2)").arg(path, f.errorString());
    return false;
  }
  QByteArray bytes = f.readAll();
  FPath = path;
  FBom = bytes.startsWith("\xEF\xBB\xBF");
  if (FBom) bytes.remove(0, 3);
  // Sources exported by the programming tool are often in Windows-1252: what is not valid
  // UTF-8 is read in that code page, as the CPU reads it, and written back in it byte for byte.
  QString text;
  const std::string_view raw(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  if (softplc::IsUtf8(raw)) {
    FEncoding = TEncoding::Utf8;
    text = QString::fromUtf8(bytes);
  } else {
    FEncoding = TEncoding::Windows1252;
    text = QString::fromStdString(softplc::ToUtf8(raw));
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
  if (FEncoding == TEncoding::Windows1252) {
    int line = 1, column = 1;
    for (const QChar c : text) {
      const int byte = softplc::Cp1252Byte(c.unicode());
      if (byte < 0) {
        error = QCoreApplication::translate("TProgramEditor", "%1:%2: '%3' cannot be written in this file's encoding (Windows-1252)")
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
    out.clear();
    out.reserve(t.size());
    for (const QChar c : t) out.append(static_cast<char>(softplc::Cp1252Byte(c.unicode())));
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
    error = QCoreApplication::translate("TProgramEditor", "%1: cannot be written (%2); the file on disk is unchanged")
                .arg(path, f.errorString());
    return false;
  }
  FPath = path;
  FText = text;
  return true;
}
