#include "softplc/Text.h"

namespace softplc {

namespace text_detail {

// A plain argument loses the three marker characters (they cannot come from a readable source
// anyway) so that it cannot be mistaken for the structure around it.
void AppendArg(std::string& out, std::string_view arg) {
  if (!arg.empty() && arg.front() == kOpen) {
    out += arg;  // a message of its own, already packed
    return;
  }
  for (char c : arg) out += (c == kOpen || c == kNext || c == kClose) ? '?' : c;
}

std::string Pack(const char* format, std::initializer_list<Arg> args) {
  std::string out(1, kOpen);
  out += format;
  for (const Arg& a : args) {
    out += kNext;
    AppendArg(out, a.View());
  }
  out += kClose;
  return out;
}

}  // namespace text_detail

using text_detail::kClose;
using text_detail::kNext;
using text_detail::kOpen;

MessageParts Unpack(const std::string& message) {
  MessageParts p;
  if (message.size() < 2 || message.front() != kOpen || message.back() != kClose) {
    p.plain = message;
    return p;
  }
  // Split the top level at kNext, skipping nested messages.
  std::vector<std::string> pieces(1);
  int depth = 0;
  for (size_t i = 1; i + 1 < message.size(); ++i) {
    const char c = message[i];
    if (c == kOpen) ++depth;
    if (c == kClose && --depth < 0) break;
    if (c == kNext && depth == 0) {
      pieces.emplace_back();
      continue;
    }
    pieces.back() += c;
  }
  if (depth != 0) {  // not made by Tr: show it as it is
    p.plain = message;
    return p;
  }
  p.format = std::move(pieces.front());
  p.args.assign(std::make_move_iterator(pieces.begin() + 1),
                std::make_move_iterator(pieces.end()));
  return p;
}

std::string Fill(std::string_view format, const std::vector<std::string>& args) {
  std::string out;
  out.reserve(format.size() + 16 * args.size());
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] >= '1' &&
        format[i + 1] <= '9' && static_cast<size_t>(format[i + 1] - '1') < args.size()) {
      out += args[static_cast<size_t>(format[i + 1] - '1')];
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

std::string English(const std::string& message) {
  MessageParts p = Unpack(message);
  if (p.format.empty() && p.args.empty()) return p.plain;
  for (std::string& a : p.args) a = English(a);
  return Fill(p.format, p.args);
}

namespace {
MessageTranslator translator = nullptr;
}  // namespace

void SetMessageTranslator(MessageTranslator t) { translator = t; }

std::string Shown(const std::string& message) {
  return translator != nullptr ? translator(message) : English(message);
}

std::string Shown(const std::string& text, const std::string& format,
                  const std::vector<std::string>& args) {
  if (format.empty() || translator == nullptr) return text;
  std::string packed(1, kOpen);
  packed += format;
  for (const std::string& a : args) {
    packed += kNext;
    packed += a;
  }
  packed += kClose;
  return translator(packed);
}

void Settle(std::string& text, std::string& format, std::vector<std::string>& args) {
  if (text.empty() || text.front() != kOpen) return;
  MessageParts p = Unpack(text);
  if (p.format.empty() && p.args.empty()) return;
  text = English(text);
  format = std::move(p.format);
  args = std::move(p.args);
}

}  // namespace softplc
