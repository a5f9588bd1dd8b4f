#pragma once
// The languages Torvane speaks and the catalogues that make it speak them. English is the
// language of the sources; every other language is a set of catalogues :/i18n/torvane_*_LANG.qm.
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <string>
#include <vector>

class QCoreApplication;

namespace torvane {

// Every language --lang accepts, English first.
QStringList Languages();

// The language of the user's desktop: Spanish when its messages are wanted in Spanish (locale or
// LANGUAGE list), English for anything else, the C locale included.
QString SystemLanguage();

// Takes "--lang VALUE" or "--lang=VALUE" out of ARGS (options after "--" are file names and stay).
// LANG gets the value, empty when the option is absent. False with a message for a missing value
// or a language that is not one of Languages(); the message is in the current translation.
bool TakeLanguageOption(std::vector<std::string>& args, QString& lang, QString& error);

// Installs the catalogues of LANG on APP, replacing those an earlier call installed: Torvane's own
// and Qt's (so that the standard buttons of dialogs speak the same language) when the system has
// them. English installs none. False when LANG is unknown or one of Torvane's catalogues of it
// cannot be loaded.
bool InstallTranslations(QCoreApplication& app, const QString& lang);

// TEXT of CONTEXT in the installed language with %1, %2 ... %9 filled from ARGS in one pass (a
// value holding "%2" stays as it is), as UTF-8 for code that speaks std::string. TEXT is marked
// for the catalogues with QT_TRANSLATE_NOOP(CONTEXT, "...") where it is written.
std::string Tr(const char* context, const char* text, std::initializer_list<std::string> args = {});

}  // namespace torvane
