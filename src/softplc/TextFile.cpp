#include "softplc/TextFile.h"
#include "softplc/Text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace softplc {

namespace {

// A file descriptor closed on every way out.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

std::string Describe(const std::string& text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  if (text.size() >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF)))
    return Tr(QT_TRANSLATE_NOOP("softplc", "the file is UTF-16 text; save it as UTF-8 or Windows-1252 (ANSI)"));
  // UTF-16 without a byte-order mark shows as a zero byte beside every ASCII letter.
  const std::size_t probe = text.size() < 4096 ? text.size() : 4096;
  std::size_t zeros = 0;
  for (std::size_t i = 0; i < probe; ++i) zeros += text[i] == '\0';
  if (zeros == 0) return {};
  if (zeros * 3 >= probe)
    return Tr(QT_TRANSLATE_NOOP("softplc", "the file looks like UTF-16 text (every other byte is zero); save it as UTF-8 or Windows-1252 (ANSI)"));
  return Tr(QT_TRANSLATE_NOOP("softplc", "the file is not text (it holds zero bytes)"));
}

}  // namespace

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

bool ReadText(const std::string& path, std::string& text, std::string& error) {
  // Non-blocking, so that opening a FIFO with no writer returns at once; fstat then refuses it.
  Fd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  struct stat st {};
  if (f.fd < 0 || ::fstat(f.fd, &st) != 0) {
    error = errno == ENOENT ? Tr(QT_TRANSLATE_NOOP("softplc", "no such file")) : Tr(QT_TRANSLATE_NOOP("softplc", "cannot open: %1"), std::strerror(errno));
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    error = Tr(QT_TRANSLATE_NOOP("softplc", "this is a folder, not a file"));
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = Tr(QT_TRANSLATE_NOOP("softplc", "this is not a regular file (a device, FIFO or socket); only regular files are read"));
    return false;
  }
  if (static_cast<std::uintmax_t>(st.st_size) > kMaxTextFileBytes) {
    error = Tr(QT_TRANSLATE_NOOP("softplc", "the file is larger than the limit of %1 MB"), std::to_string(kMaxTextFileBytes / (1024 * 1024)));
    return false;
  }
  text.clear();
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(f.fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = Tr(QT_TRANSLATE_NOOP("softplc", "cannot read: %1"), std::strerror(errno));
      return false;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
    // The file may grow while it is read.
    if (text.size() > kMaxTextFileBytes) {
      error = Tr(QT_TRANSLATE_NOOP("softplc", "the file is larger than the limit of %1 MB"), std::to_string(kMaxTextFileBytes / (1024 * 1024)));
      return false;
    }
  }
  error = Describe(text);
  return error.empty();
}

}  // namespace

bool ReadTextFile(const std::string& path, std::string& text, std::string& error) {
  if (ReadText(path, text, error)) return true;
  error = Shown(error);
  return false;
}

}  // namespace softplc
