#include "i18n/Messages.h"

#include <QCoreApplication>
#include <QStringList>

#include "softplc/Text.h"

namespace torvane {

namespace {

// The contexts the templates are marked with where they are written.
QString TranslatedTemplate(const std::string& format) {
  const QString english = QString::fromStdString(format);
  for (const char* context : {"softplc", "scenario", "grading"}) {
    const QString t = QCoreApplication::translate(context, format.c_str());
    if (t != english) return t;
  }
  return english;
}

// One pass, so that an argument holding "%2" stays as it is.
QString Fill(const QString& format, const QStringList& args) {
  QString out;
  out.reserve(format.size());
  for (qsizetype i = 0; i < format.size(); ++i) {
    if (format[i] == QLatin1Char('%') && i + 1 < format.size()) {
      const int n = format[i + 1].digitValue();
      if (n >= 1 && n <= args.size()) {
        out += args[n - 1];
        ++i;
        continue;
      }
    }
    out += format[i];
  }
  return out;
}

std::string Translate(const std::string& message) { return TranslatedMessage(message).toStdString(); }

}  // namespace

QString TranslatedMessage(const std::string& message) {
  const softplc::MessageParts p = softplc::Unpack(message);
  if (p.format.empty() && p.args.empty()) return QString::fromStdString(p.plain);
  QStringList args;
  for (const std::string& a : p.args) args << TranslatedMessage(a);
  return Fill(TranslatedTemplate(p.format), args);
}

void InstallMessageTranslator() { softplc::SetMessageTranslator(&Translate); }

}  // namespace torvane
