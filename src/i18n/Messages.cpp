#include "i18n/Messages.h"

#include <QCoreApplication>
#include <vector>

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

std::string Translate(const std::string& message) { return TranslatedMessage(message).toStdString(); }

}  // namespace

QString TranslatedMessage(const std::string& message) {
  const softplc::MessageParts p = softplc::Unpack(message);
  if (p.format.empty() && p.args.empty()) return QString::fromStdString(p.plain);
  std::vector<std::string> args;
  for (const std::string& a : p.args) args.push_back(TranslatedMessage(a).toStdString());
  return QString::fromStdString(softplc::Fill(TranslatedTemplate(p.format).toStdString(), args));
}

void InstallMessageTranslator() { softplc::SetMessageTranslator(&Translate); }

}  // namespace torvane
