#include "scenario/Files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "softplc/Text.h"

namespace scenario {

using softplc::Tr;

namespace {

std::string Problem(const std::string& path, const std::vector<std::string>& inputs,
                    std::string_view signature) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target(path);
  for (const std::string& in : inputs)
    if (fs::equivalent(target, fs::path(in), ec))
      return Tr(QT_TRANSLATE_NOOP("scenario", "%1: this is one of the run's inputs (%2); choose another file to write"), path, in);
  const fs::file_status st = fs::status(target, ec);
  if (fs::exists(st)) {
    if (!fs::is_regular_file(st))
      return Tr(QT_TRANSLATE_NOOP("scenario", "%1: exists and is not a regular file; choose a file to write"), path);
    std::ifstream in(target, std::ios::binary);
    std::string head(signature.size(), '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (!head.empty() && head != signature)
      return Tr(QT_TRANSLATE_NOOP("scenario", "%1: exists and was not written by Torvane; it is left alone (remove it or choose another name)"), path);
    return {};
  }
  const fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::is_directory(parent, ec))
    return Tr(QT_TRANSLATE_NOOP("scenario", "%1: the folder %2 does not exist"), path, parent.string());
  return {};
}

}  // namespace

std::string OutputProblem(const std::string& path, const std::vector<std::string>& inputs,
                          std::string_view signature) {
  return softplc::Shown(Problem(path, inputs, signature));
}

namespace {

// Length of the well-formed UTF-8 sequence of a printable character at text[i], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = at(i);
  std::size_t n = 0;
  if (lead >= 0xC2 && lead < 0xE0) n = 2;
  else if (lead >= 0xE0 && lead < 0xF0) n = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) n = 4;
  if (n == 0 || i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((at(i + k) & 0xC0) != 0x80) return 0;
  // Overlong forms and surrogates are not characters; C1 controls (U+0080..U+009F) act on
  // terminals like the C0 ones.
  if (n == 3 && ((lead == 0xE0 && at(i + 1) < 0xA0) || (lead == 0xED && at(i + 1) >= 0xA0))) return 0;
  if (n == 4 && ((lead == 0xF0 && at(i + 1) < 0x90) || (lead == 0xF4 && at(i + 1) >= 0x90))) return 0;
  if (n == 2 && lead == 0xC2 && at(i + 1) < 0xA0) return 0;
  return n;
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto u = static_cast<unsigned char>(text[i]);
    if (u >= 0x20 && u < 0x7F) {
      out.push_back(text[i++]);
    } else if (const std::size_t n = u >= 0x80 ? Utf8Length(text, i) : 0; n > 0) {
      out.append(text.substr(i, n));
      i += n;
    } else if (u == '\t') {
      out += "\\t";
      ++i;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", u);
      out += buf;
      ++i;
    }
  }
  return out;
}

}  // namespace scenario
