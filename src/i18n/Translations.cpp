#include "i18n/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "i18n/Messages.h"
#include "softplc/Text.h"

namespace torvane {
namespace {

// Marks the translators this code installed, so that a second call can take them out again.
constexpr const char* kOwnTranslator = "torvane-i18n";

}  // namespace

QStringList Languages() { return {QStringLiteral("en"), QStringLiteral("es")}; }

QString SystemLanguage() {
  // As gettext reads the environment for messages: LC_ALL, LC_MESSAGES, LANG, the first that is
  // set; in the C locale everything is English (LANGUAGE included, which would otherwise take
  // precedence with its list of preferred languages).
  QString messages;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    messages = qEnvironmentVariable(name);
    if (!messages.isEmpty()) break;
  }
  if (messages.isEmpty() || messages == QLatin1String("C") || messages == QLatin1String("POSIX") ||
      messages.startsWith(QLatin1String("C.")))
    return QStringLiteral("en");
  const QString preferred = qEnvironmentVariable("LANGUAGE").section(QLatin1Char(':'), 0, 0);
  const QString first = preferred.isEmpty() ? messages : preferred;
  return QLocale(first.section(QLatin1Char('.'), 0, 0)).language() == QLocale::Spanish
             ? QStringLiteral("es")
             : QStringLiteral("en");
}

bool TakeLanguageOption(std::vector<std::string>& args, QString& lang, QString& error) {
  lang.clear();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") break;
    std::string value;
    std::size_t taken = 1;
    if (a == "--lang") {
      if (i + 1 < args.size()) {
        value = args[i + 1];
        taken = 2;
      }
    } else if (a.rfind("--lang=", 0) == 0) {
      value = a.substr(7);
    } else {
      continue;
    }
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i + taken));
    if (value.empty()) {
      error = QCoreApplication::translate("Translations", "--lang needs a language: %1")
                  .arg(Languages().join(QStringLiteral(", ")));
      return false;
    }
    lang = QString::fromStdString(value);
    if (!Languages().contains(lang)) {
      error = QCoreApplication::translate("Translations",
                                          "there is no '%1' translation for --lang: choose %2")
                  .arg(lang, Languages().join(QStringLiteral(", ")));
      return false;
    }
    --i;
  }
  return true;
}

bool InstallTranslations(QCoreApplication& app, const QString& lang) {
  for (QTranslator* old : app.findChildren<QTranslator*>(QString::fromLatin1(kOwnTranslator),
                                                         Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  // The CPU's and the scenarios' messages follow the catalogues installed here.
  InstallMessageTranslator();
  if (!Languages().contains(lang)) return false;
  if (lang == QLatin1String("en")) return true;
  auto install = [&app](const QString& path) {
    auto* t = new QTranslator(&app);
    t->setObjectName(QString::fromLatin1(kOwnTranslator));
    if (!t->load(path) || !QCoreApplication::installTranslator(t)) {
      delete t;
      return false;
    }
    return true;
  };
  bool ok = true;
  const QDir own(QStringLiteral(":/i18n"));
  const QStringList files = own.entryList({QStringLiteral("torvane_*_%1.qm").arg(lang)}, QDir::Files);
  if (files.isEmpty()) ok = false;
  for (const QString& f : files) ok = install(own.filePath(f)) && ok;
  // Qt's own texts (standard buttons, file dialogs) when the system carries their catalogue.
  const QString qt = QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                         .filePath(QStringLiteral("qtbase_%1.qm").arg(lang));
  if (QFileInfo::exists(qt)) install(qt);
  return ok;
}

std::string Tr(const char* context, const char* text, std::initializer_list<std::string> args) {
  return softplc::Fill(QCoreApplication::translate(context, text).toStdString(),
                       std::vector<std::string>(args));
}

}  // namespace torvane
