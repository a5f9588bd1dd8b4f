#pragma once
// The messages of the CPU, of scenarios and of grading in the installed language. They are made
// without Qt (softplc::Tr in softplc/Text.h) as an English template and its arguments.
#include <QString>
#include <string>

namespace torvane {

// MESSAGE (made by softplc::Tr, or a plain text) with its template translated from the installed
// catalogues and its arguments filled in, each translated in turn. A template the catalogues do
// not know stays English.
QString TranslatedMessage(const std::string& message);

// Makes softplc::Shown() translate as above, so that code without Qt (scenario reports, file
// problems, grading) speaks the installed language. InstallTranslations() calls it.
void InstallMessageTranslator();

}  // namespace torvane
