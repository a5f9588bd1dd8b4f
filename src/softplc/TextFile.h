#pragma once
// Reading a user's text file (a program, a symbol table, a scenario) without letting the file
// bring the process down: only a regular file is read, up to a stated size, and a file that is
// plainly not 8-bit text (UTF-16, binary) is named for what it is instead of being compiled.
#include <cstdint>
#include <string>

namespace softplc {

// The largest text file read; far above any real program (50 000 blocks fit in a few MB).
constexpr std::uintmax_t kMaxTextFileBytes = 32u * 1024u * 1024u;

// Reads PATH into text. False with a message that says what is wrong (without the file name):
// missing, a folder, a device or FIFO, larger than the limit, UTF-16 or binary.
bool ReadTextFile(const std::string& path, std::string& text, std::string& error);

// Whether PATH names a regular file that exists (never opens it, so a FIFO cannot block).
bool IsRegularFile(const std::string& path);

}  // namespace softplc
