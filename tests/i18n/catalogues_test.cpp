// The Spanish catalogues: every text translated, with the placeholders and accelerators of its
// source; the catalogues built into the program; the language the command line and desktop pick.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMainWindow>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include "i18n/Translations.h"
#include "support/UntranslatedTexts.h"

namespace {

const QDir kTranslations(QStringLiteral(TORVANE_SOURCE_DIR "/translations"));

QStringList Placeholders(const QString& text) {
  static const QRegularExpression re(QStringLiteral("%L?(\\d+)"));
  QStringList found;
  for (auto it = re.globalMatch(text); it.hasNext();) found << it.next().captured(1);
  found.sort();
  found.removeDuplicates();
  return found;
}

// An accelerator (&x, not a literal &&) in the source needs one in the translation.
bool HasAccelerator(const QString& text) {
  return text.contains(QRegularExpression(QStringLiteral("(^|[^&])&[^&\\s]")));
}

// Every problem of one catalogue, as "context: source: what".
QStringList Problems(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {QStringLiteral("cannot be read")};
  QStringList problems;
  QXmlStreamReader xml(&file);
  QString context, source;
  bool numerus = false;
  int messages = 0;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    const auto name = xml.name();
    if (name == QLatin1String("name")) {
      context = xml.readElementText();
    } else if (name == QLatin1String("message")) {
      numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
      ++messages;
    } else if (name == QLatin1String("source")) {
      source = xml.readElementText();
    } else if (name == QLatin1String("translation")) {
      const QString type = xml.attributes().value(QLatin1String("type")).toString();
      const QString where = context + QStringLiteral(": ") + source + QStringLiteral(": ");
      if (!type.isEmpty()) problems << where + type;
      QStringList forms;
      if (numerus) {
        while (xml.readNextStartElement()) forms << xml.readElementText();
      } else {
        forms << xml.readElementText();
      }
      for (const QString& t : forms) {
        if (t.trimmed().isEmpty()) problems << where + QStringLiteral("empty translation");
        else if (Placeholders(t) != Placeholders(source))
          problems << where + QStringLiteral("placeholders differ in ") + t;
        else if (HasAccelerator(source) && !HasAccelerator(t))
          problems << where + QStringLiteral("accelerator lost in ") + t;
      }
      if (numerus && source.contains(QLatin1String("%n")) &&
          (forms.isEmpty() || !forms.back().contains(QLatin1String("%n"))))
        problems << where + QStringLiteral("the plural does not show the count");
    }
  }
  if (xml.hasError()) problems << QStringLiteral("not valid XML: ") + xml.errorString();
  if (messages == 0) problems << QStringLiteral("holds no message");
  return problems;
}

TEST(Catalogues, EveryTextIsTranslatedWithItsPlaceholdersAndAccelerators) {
  const QStringList files = kTranslations.entryList({QStringLiteral("*.ts")}, QDir::Files);
  ASSERT_TRUE(files.contains(QStringLiteral("torvane_app_es.ts")));
  for (const QString& f : files) {
    EXPECT_TRUE(f.startsWith(QLatin1String("torvane_")) && f.endsWith(QLatin1String("_es.ts")))
        << f.toStdString() << ": catalogues are named torvane_AREA_es.ts";
    const QStringList problems = Problems(kTranslations.filePath(f));
    EXPECT_TRUE(problems.isEmpty()) << f.toStdString() << ":\n  "
                                    << problems.join(QStringLiteral("\n  ")).toStdString();
  }
}

TEST(Catalogues, EveryCatalogueIsBuiltInAndSpeaksOnceInstalled) {
  QStringList built = QDir(QStringLiteral(":/i18n")).entryList({QStringLiteral("*.qm")}, QDir::Files);
  for (QString& b : built) b.replace(QLatin1String(".qm"), QLatin1String(".ts"));
  EXPECT_EQ(built, kTranslations.entryList({QStringLiteral("*.ts")}, QDir::Files));

  ASSERT_TRUE(torvane::InstallTranslations(*QCoreApplication::instance(), QStringLiteral("es")));
  EXPECT_EQ(QCoreApplication::translate("CommandLine", "%1 needs a value").arg("--plc"),
            QStringLiteral("--plc necesita un valor"));
  // Qt's own buttons follow (the system's catalogue of Qt is installed by scripts/setup).
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
  // Back to English: nothing of the Spanish catalogues stays behind.
  ASSERT_TRUE(torvane::InstallTranslations(*QCoreApplication::instance(), QStringLiteral("en")));
  EXPECT_EQ(QCoreApplication::translate("CommandLine", "%1 needs a value"), QStringLiteral("%1 needs a value"));
  EXPECT_FALSE(torvane::InstallTranslations(*QCoreApplication::instance(), QStringLiteral("xx")));
}

TEST(Language, TheCommandLineChoosesAndALanguageWithoutCatalogueIsRefused) {
  std::vector<std::string> args{"--lang", "es", "a.awl", "--lang=en", "--", "--lang"};
  QString lang, error;
  ASSERT_TRUE(torvane::TakeLanguageOption(args, lang, error)) << error.toStdString();
  EXPECT_EQ(lang, QStringLiteral("en"));  // the last one counts, as with any option
  EXPECT_EQ(args, (std::vector<std::string>{"a.awl", "--", "--lang"}));

  args = {"--lang", "fr"};
  EXPECT_FALSE(torvane::TakeLanguageOption(args, lang, error));
  EXPECT_TRUE(error.contains(QLatin1String("'fr'")) && error.contains(QLatin1String("en, es")))
      << error.toStdString();
  args = {"a.awl", "--lang"};
  EXPECT_FALSE(torvane::TakeLanguageOption(args, lang, error));

  qunsetenv("LC_ALL");
  qunsetenv("LC_MESSAGES");
  qputenv("LANGUAGE", "");
  qputenv("LANG", "es_ES.UTF-8");
  EXPECT_EQ(torvane::SystemLanguage(), QStringLiteral("es"));
  qputenv("LANGUAGE", "en_GB:es");
  EXPECT_EQ(torvane::SystemLanguage(), QStringLiteral("en"));
  // The C locale is English whatever LANGUAGE says: the manual page is made that way.
  qputenv("LANGUAGE", "es");
  qputenv("LC_ALL", "C");
  EXPECT_EQ(torvane::SystemLanguage(), QStringLiteral("en"));
}

TEST(UntranslatedTexts, FindsEnglishButPassesTranslationsTemplatesKeptTextsAndWordlessOnes) {
  ASSERT_TRUE(torvane::InstallTranslations(*QCoreApplication::instance(), QStringLiteral("es")));
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Torvane"));  // kept
  QMenu* menu = window.menuBar()->addMenu(QStringLiteral("&File"));
  menu->addAction(QStringLiteral("Open"))->setToolTip(QStringLiteral("MW10 = 12 ms"));
  auto* label = new QLabel(QStringLiteral("--plc necesita un valor"), &window);  // a filled template
  label->setToolTip(QStringLiteral("bridge.awl"));
  new QLabel(QStringLiteral("<b>Unknown</b> option"), &window);
  const QString left = torvane::testing::UntranslatedTexts(&window).join(QLatin1Char('|'));
  EXPECT_EQ(left.count(QLatin1Char('|')), 2) << left.toStdString();
  for (const char* english : {"\u00ab&File\u00bb", "\u00abOpen\u00bb", "\u00ab<b>Unknown</b> option\u00bb (QLabel)"})
    EXPECT_TRUE(left.contains(QString::fromUtf8(english))) << english << " not in " << left.toStdString();
  EXPECT_TRUE(torvane::testing::UntranslatedTexts(&window, {QStringLiteral("&File"), QStringLiteral("Open"),
                                                            QStringLiteral("Unknown option")})
                  .isEmpty());
  torvane::InstallTranslations(*QCoreApplication::instance(), QStringLiteral("en"));
}

}  // namespace
