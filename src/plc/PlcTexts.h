#pragma once
// Messages of the PLC side for the user. This library has no Qt, so each message is written as an
// English template marked for the translation tools with QT_TRANSLATE_NOOP, and PlcText() fills
// in its arguments after the installed translator has replaced the template. The template is
// looked up whole: a message is never assembled from fragments translated on their own.

#include <initializer_list>
#include <string>
#include <string_view>

#ifndef QT_TRANSLATE_NOOP
// Same definition as Qt's, so that a unit seeing both gets no redefinition warning.
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

// Returns the template in the user's language (the source itself when it has no translation).
using TTextTranslator = std::string (*)(const char* context, const char* source);

// The GUI installs one at start-up; without one the English templates are used.
void SetTextTranslator(TTextTranslator translator);

// The template, translated, with %1 … %9 replaced by args in order (a single pass, so an
// argument that itself holds "%2" stays as it is).
std::string PlcText(const char* context, const char* source,
                    std::initializer_list<std::string_view> args = {});
