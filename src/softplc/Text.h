// Messages that can be shown in another language. The CPU has no translation machinery of its
// own: a message is made from an English template with %1..%9 ("DB %1 does not exist") and its
// arguments, and both travel together so that a program with translations can translate the
// template and fill in the arguments. An argument may itself be such a message (the reason
// inside "variable #%1 %2"), which is translated in turn.
//
// Inside the CPU a message is one std::string in a packed form, so every helper that passes a
// reason on keeps its plain string signature. The places that hand messages out (load results,
// diagnostics, symbol file errors) unpack it into English text, template and arguments.
// Packing happens only when a message is made, never on the path of a good program.
#pragma once

#include <charconv>
#include <concepts>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// lupdate finds the templates by this name; without Qt it is the identity.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace softplc {

namespace text_detail {
constexpr char kOpen = '\x01', kNext = '\x02', kClose = '\x03';

// One argument of Tr as text; a number or a character is written into the argument itself, so
// that the argument stays valid wherever it is copied.
struct Arg {
  Arg(const std::string& s) : p(s.data()), n(s.size()) {}
  Arg(std::string_view s) : p(s.data()), n(s.size()) {}
  Arg(const char* s) : Arg(std::string_view(s)) {}
  Arg(char c) : n(1), own(true) { buf[0] = c; }
  template <std::integral I>
    requires(!std::same_as<I, char> && !std::same_as<I, bool>)
  Arg(I v) : own(true) {
    n = static_cast<size_t>(std::to_chars(buf, buf + sizeof buf, v).ptr - buf);
  }
  std::string_view View() const { return own ? std::string_view(buf, n) : std::string_view(p, n); }

  const char* p = nullptr;
  size_t n = 0;
  char buf[24]{};
  bool own = false;
};

// Out of line and cold: the callers are the error branches, whose code stays small.
[[gnu::cold]] std::string Pack(const char* format, std::initializer_list<Arg> args);
}  // namespace text_detail

// A message from a template marked with QT_TRANSLATE_NOOP and its arguments.
template <class... A>
std::string Tr(const char* format, const A&... args) {
  return text_detail::Pack(format, {text_detail::Arg(args)...});
}

// A message taken apart. A plain text (not made by Tr) has an empty format and its text in
// `plain`; an argument is kept packed, to be taken apart in turn.
struct MessageParts {
  std::string format;
  std::vector<std::string> args;
  std::string plain;
};
MessageParts Unpack(const std::string& message);

// The message in English: the template with its arguments filled in, in one pass (an argument
// that contains "%2" stays as it is).
std::string English(const std::string& message);

// Turns `text` into English when it was made by Tr, keeping its template and arguments in
// `format` and `args`; a plain text stays as it is.
void Settle(std::string& text, std::string& format, std::vector<std::string>& args);

// How messages are shown to the user. A program with translations installs a translator that
// takes a message made by Tr (or a plain text) and returns it in the user's language; without
// one, messages are shown in English. Set once at start-up, before any thread uses it.
using MessageTranslator = std::string (*)(const std::string& message);
void SetMessageTranslator(MessageTranslator translator);
std::string Shown(const std::string& message);
// The same for a message kept as text, template and arguments (Message, DiagEntry).
std::string Shown(const std::string& text, const std::string& format,
                  const std::vector<std::string>& args);

// Fills %1..%9 of `format` with `args` in one pass; a % not followed by a used digit stays.
std::string Fill(std::string_view format, const std::vector<std::string>& args);

}  // namespace softplc
