#include "StlCase.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "softplc/SoftPlc.h"

namespace stlcase {

namespace {

using softplc::Cpu;
using softplc::CpuMode;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool ParseValue(const std::string& text, int64_t& v, bool& isReal, float& f) {
  isReal = false;
  if (text.find('.') != std::string::npos && text.find('#') == std::string::npos) {
    isReal = true;
    try {
      f = std::stof(text);
    } catch (...) {
      return false;
    }
    return true;
  }
  try {
    std::string t;
    for (char c : text)
      if (c != '_') t.push_back(c);
    if (t.rfind("16#", 0) == 0) v = static_cast<int64_t>(std::stoull(t.substr(3), nullptr, 16));
    else if (t.rfind("2#", 0) == 0) v = static_cast<int64_t>(std::stoull(t.substr(2), nullptr, 2));
    else v = std::stoll(t);
  } catch (...) {
    return false;
  }
  return true;
}

struct Location {
  enum Area { In, Out, Mem, Db } area = Mem;
  int db = 0;
  int size = 0;  // 0 bit, 1, 2, 4
  int byte = 0;
  int bit = 0;
};

bool ParseLocation(const std::string& text, Location& loc) {
  std::string t = Upper(text);
  // DB5.DBW2, DB5.DBX0.1
  if (t.rfind("DB", 0) == 0 && t.find('.') != std::string::npos && t.size() > 3 &&
      std::isdigit(static_cast<unsigned char>(t[2]))) {
    size_t dot = t.find('.');
    std::string rest = t.substr(dot + 1);
    if (rest.size() < 4 || rest.compare(0, 2, "DB") != 0) return false;
    try {
      loc.db = std::stoi(t.substr(2, dot - 2));
      char sz = rest[2];
      loc.size = sz == 'X' ? 0 : sz == 'B' ? 1 : sz == 'W' ? 2 : sz == 'D' ? 4 : -1;
      if (loc.size < 0) return false;
      std::string n = rest.substr(3);
      size_t ndot = n.find('.');
      loc.byte = std::stoi(n.substr(0, ndot));
      if (loc.size == 0) {
        if (ndot == std::string::npos) return false;
        loc.bit = std::stoi(n.substr(ndot + 1));
      }
    } catch (...) {
      return false;
    }
    loc.area = Location::Db;
    return true;
  }
  size_t letters = 0;
  while (letters < t.size() && std::isalpha(static_cast<unsigned char>(t[letters]))) ++letters;
  std::string a = t.substr(0, letters), n = t.substr(letters);
  if (n.empty()) return false;
  char area = a.empty() ? 0 : a[0];
  if (area == 'E' || area == 'I') loc.area = Location::In;
  else if (area == 'A' || area == 'Q') loc.area = Location::Out;
  else if (area == 'M') loc.area = Location::Mem;
  else return false;
  std::string sz = a.substr(1);
  if (sz.empty()) loc.size = 0;
  else if (sz == "B") loc.size = 1;
  else if (sz == "W") loc.size = 2;
  else if (sz == "D") loc.size = 4;
  else return false;
  try {
    size_t dot = n.find('.');
    loc.byte = std::stoi(n.substr(0, dot));
    if (loc.size == 0) {
      if (dot == std::string::npos) return false;
      loc.bit = std::stoi(n.substr(dot + 1));
    }
  } catch (...) {
    return false;
  }
  return true;
}

uint8_t GetByte(const Cpu& cpu, const Location& l, int b) {
  switch (l.area) {
    case Location::In: return cpu.InputByte(b);
    case Location::Out: return cpu.OutputByte(b);
    case Location::Db: return static_cast<uint8_t>(std::max(0, cpu.DataBlockByte(l.db, b)));
    default: return cpu.MemoryByte(b);
  }
}
void SetByte(Cpu& cpu, const Location& l, int b, uint8_t v) {
  if (l.area == Location::In) cpu.SetInputByte(b, v);
  else if (l.area == Location::Out) cpu.SetOutputByte(b, v);
  else if (l.area == Location::Db) cpu.SetDataBlockByte(l.db, b, v);
  else cpu.SetMemoryByte(b, v);
}

uint32_t Read(const Cpu& cpu, const Location& l) {
  if (l.size == 0) return (static_cast<uint32_t>(GetByte(cpu, l, l.byte)) >> l.bit) & 1u;
  uint32_t v = 0;
  for (int i = 0; i < l.size; ++i) v = v << 8 | GetByte(cpu, l, l.byte + i);
  return v;
}

void Write(Cpu& cpu, const Location& l, uint32_t v) {
  if (l.size == 0) {
    uint8_t b = GetByte(cpu, l, l.byte);
    b = static_cast<uint8_t>(v & 1 ? b | (1u << l.bit) : b & ~(1u << l.bit));
    SetByte(cpu, l, l.byte, b);
    return;
  }
  for (int i = l.size - 1; i >= 0; --i) {
    SetByte(cpu, l, l.byte + i, static_cast<uint8_t>(v));
    v >>= 8;
  }
}

bool ModeFromText(const std::string& s, CpuMode& m) {
  std::string u = Upper(s);
  if (u == "STOP") m = CpuMode::Stop;
  else if (u == "RUN") m = CpuMode::Run;
  else if (u == "RUN_P") m = CpuMode::RunP;
  else if (u == "MRES") m = CpuMode::MRes;
  else return false;
  return true;
}

int StatusBitIndex(const std::string& name) {
  static const char* kNames[] = {"FC", "RLO", "STA", "OR", "OS", "OV", "CC0", "CC1", "BR"};
  for (int i = 0; i < 9; ++i)
    if (name == kNames[i]) return i;
  return -1;
}

struct Source {
  std::string name;
  std::string text;
};

}  // namespace

std::vector<std::string> FindCaseFiles(const std::string& dir) {
  std::vector<std::string> r;
  namespace fs = std::filesystem;
  if (!fs::is_directory(dir)) return r;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file() && e.path().extension() == ".case") r.push_back(e.path().string());
  std::sort(r.begin(), r.end());
  return r;
}

std::vector<Failure> RunCaseFile(const std::string& path) {
  std::vector<Failure> fails;
  std::ifstream in(path);
  if (!in) return {{0, "cannot open " + path}};

  std::vector<Source> program, bad, symbolFiles;
  std::vector<std::pair<int, std::string>> options, run;
  std::string section;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      std::string head = line.substr(1, line.find(']') - 1);
      std::istringstream hs(head);
      std::string kind, name;
      hs >> kind >> name;
      section = kind;
      if (kind == "program") program.push_back({name.empty() ? "program" : name, ""});
      else if (kind == "bad") bad.push_back({name.empty() ? "bad" : name, ""});
      else if (kind == "symbols") symbolFiles.push_back({name.empty() ? "symbols.sdf" : name, ""});
      continue;
    }
    if (section == "symbols") symbolFiles.back().text += line + "\n";
    else if (section == "program") program.back().text += line + "\n";
    else if (section == "bad") bad.back().text += line + "\n";
    else if (line.empty() || line[0] == '#') continue;
    else if (section == "options") options.emplace_back(lineNo, line);
    else if (section == "run") run.emplace_back(lineNo, line);
  }
  if (program.empty()) return {{0, "no [program] section"}};

  Cpu cpu;
  softplc::SymbolTable symbols;
  softplc::Mnemonics mnemonics = softplc::Mnemonics::Auto;
  bool start = true;
  for (const auto& [ln, text] : options) {
    std::istringstream s(text);
    std::string key;
    s >> key;
    if (key == "mnemonics") {
      std::string v;
      s >> v;
      mnemonics = v == "german" ? softplc::Mnemonics::German
                  : v == "english" ? softplc::Mnemonics::English
                                   : softplc::Mnemonics::Auto;
    } else if (key == "budget") {
      uint64_t b;
      s >> b;
      cpu.SetInstructionBudget(b);
    } else if (key == "retentive") {
      int n;
      s >> n;
      cpu.SetRetentiveMemoryBytes(n);
    } else if (key == "symbol") {
      std::string name, rest;
      s >> name;
      std::getline(s, rest);
      rest.erase(0, rest.find_first_not_of(' '));
      symbols[name] = rest;
    } else if (key == "mode") {
      start = false;
    } else {
      fails.push_back({ln, "unknown option " + key});
    }
  }

  auto toFiles = [](const std::vector<Source>& v) {
    std::vector<softplc::SourceFile> f;
    for (const Source& s : v) f.push_back({s.name, s.text});
    return f;
  };
  auto loadFiles = [&](const std::vector<Source>& v) {
    if (symbolFiles.empty()) return cpu.Load(toFiles(v), symbols, mnemonics);
    std::vector<softplc::SymbolFile> sf;
    for (const Source& f : symbolFiles) sf.push_back({f.name, f.text});
    return cpu.LoadWithSymbols(toFiles(v), sf, symbols, mnemonics);
  };
  softplc::LoadResult load = loadFiles(program);
  bool expectLoadErrors = false;
  for (const auto& [ln, text] : run)
    if (text.rfind("expect-load-error", 0) == 0) expectLoadErrors = true;
  if (!load.ok && !expectLoadErrors) {
    std::string all;
    for (const auto& e : load.errors)
      all += "\n  " + e.file + ":" + std::to_string(e.line) + ":" + std::to_string(e.column) +
             ": " + e.text;
    return {{0, "program did not load:" + all}};
  }
  if (load.ok && expectLoadErrors) fails.push_back({0, "program loaded but errors were expected"});
  if (start && load.ok) cpu.SetMode(CpuMode::Run);

  size_t loadErrorsMatched = 0;
  for (const auto& [ln, text] : run) {
    std::istringstream s(text);
    std::string cmd;
    s >> cmd;
    auto fail = [&, ln = ln](const std::string& msg) { fails.push_back({ln, msg}); };
    if (cmd == "set") {
      std::string a, v;
      s >> a >> v;
      Location l;
      int64_t value;
      bool isReal;
      float f;
      if (!ParseLocation(a, l) || !ParseValue(v, value, isReal, f)) {
        fail("bad set: " + text);
        continue;
      }
      Write(cpu, l, isReal ? std::bit_cast<uint32_t>(f) : static_cast<uint32_t>(value));
    } else if (cmd == "cycle") {
      uint32_t ms = 0;
      int times = 1;
      std::string tok;
      while (s >> tok) {
        if (tok[0] == 'x') times = std::stoi(tok.substr(1));
        else ms = static_cast<uint32_t>(std::stoul(tok));
      }
      for (int i = 0; i < times; ++i) cpu.RunCycle(ms);
    } else if (cmd == "mode") {
      std::string m;
      s >> m;
      CpuMode mode;
      if (!ModeFromText(m, mode)) fail("bad mode " + m);
      else cpu.SetMode(mode);
    } else if (cmd == "reload") {
      softplc::LoadResult r = loadFiles(program);
      if (!r.ok) fail("reload failed");
    } else if (cmd == "load-bad") {
      softplc::LoadResult r = loadFiles(bad);
      if (r.ok) fail("the [bad] program loaded");
    } else if (cmd == "expect-load-error") {
      std::string where, want;
      s >> where;
      std::getline(s, want);
      want.erase(0, want.find_first_not_of(' '));
      int l = 0, c = 0;
      if (std::sscanf(where.c_str(), "%d:%d", &l, &c) != 2) {
        fail("bad expect-load-error position " + where);
        continue;
      }
      bool found = false;
      for (const auto& e : load.errors)
        if (e.line == l && e.column == c && e.text.find(want) != std::string::npos) found = true;
      if (found) {
        ++loadErrorsMatched;
      } else {
        std::string all;
        for (const auto& e : load.errors)
          all += "\n  " + std::to_string(e.line) + ":" + std::to_string(e.column) + ": " + e.text;
        fail("no load error at " + where + " containing \"" + want + "\"; errors were:" + all);
      }
    } else if (cmd == "expect-warning") {
      int l = 0;
      std::string want;
      s >> l;
      std::getline(s, want);
      want.erase(0, want.find_first_not_of(' '));
      bool found = false;
      for (const auto& w : load.warnings)
        if (w.line == l && w.text.find(want) != std::string::npos) found = true;
      if (!found) fail("no warning at line " + std::to_string(l) + " containing \"" + want + "\"");
    } else if (cmd == "expect-diag" || cmd == "expect-diag-line") {
      std::string want;
      std::getline(s, want);
      want.erase(0, want.find_first_not_of(' '));
      const auto& d = cpu.Diagnostics();
      if (d.empty()) {
        fail("diagnostics buffer is empty");
      } else if (cmd == "expect-diag") {
        if (d.back().text.find(want) == std::string::npos &&
            d.back().instruction.find(want) == std::string::npos &&
            d.back().block.find(want) == std::string::npos)
          fail("newest diagnostics entry \"" + d.back().text + "\" (" + d.back().instruction +
               ") does not contain \"" + want + "\"");
      } else if (std::to_string(d.back().line) != want) {
        fail("newest diagnostics entry is at line " + std::to_string(d.back().line) +
             ", expected " + want);
      }
    } else if (cmd == "expect") {
      std::string what, arg, v;
      s >> what;
      std::string u = Upper(what);
      uint32_t got = 0;
      std::string valueText;
      if (u == "MODE") {
        s >> v;
        CpuMode m;
        if (!ModeFromText(v, m)) fail("bad mode " + v);
        else if (cpu.Mode() != m)
          fail(std::string("mode is ") + softplc::ModeName(cpu.Mode()) + ", expected " + v);
        continue;
      }
      if (u == "ACCU1") got = cpu.Accu1();
      else if (u == "ACCU2") got = cpu.Accu2();
      else if (u == "STW") got = cpu.StatusWord();
      else if (u.rfind("STW.", 0) == 0) {
        int bit = StatusBitIndex(u.substr(4));
        if (bit < 0) {
          fail("unknown status bit " + what);
          continue;
        }
        got = (static_cast<uint32_t>(cpu.StatusWord()) >> bit) & 1u;
      } else if (u == "T" || u == "TBIT" || u == "Z" || u == "ZBIT") {
        int n;
        s >> n;
        got = u == "T" ? cpu.TimerValue(n) : u == "TBIT" ? cpu.TimerBit(n)
            : u == "Z" ? cpu.CounterValue(n) : cpu.CounterBit(n);
        what += " " + std::to_string(n);
      } else if (u == "CYCLES") got = static_cast<uint32_t>(cpu.CycleCount());
      else if (u == "INSTRUCTIONS") got = static_cast<uint32_t>(cpu.LastCycleInstructions());
      else {
        Location l;
        if (!ParseLocation(what, l)) {
          fail("bad location " + what);
          continue;
        }
        got = Read(cpu, l);
      }
      s >> v;
      int64_t want;
      bool isReal;
      float f;
      if (!ParseValue(v, want, isReal, f)) {
        fail("bad value " + v);
        continue;
      }
      uint32_t w = isReal ? std::bit_cast<uint32_t>(f) : static_cast<uint32_t>(want);
      // a word or a 16-bit register compares in 16 bits when the value is negative
      if (!isReal && want < 0 && (u.size() >= 2 && u[1] == 'W')) w &= 0xFFFF;
      if (got != w) {
        std::ostringstream m;
        m << what << " is " << static_cast<int32_t>(got) << " (16#" << std::hex << std::uppercase
          << got << std::dec << ")";
        if (isReal) m << " = " << std::bit_cast<float>(got);
        m << ", expected " << v;
        fail(m.str());
      }
    } else {
      fail("unknown command " + cmd);
    }
  }
  if (!load.ok && loadErrorsMatched != load.errors.size()) {
    std::string all;
    for (const auto& e : load.errors)
      all += "\n  " + std::to_string(e.line) + ":" + std::to_string(e.column) + ": " + e.text;
    fails.push_back({0, "the load produced " + std::to_string(load.errors.size()) +
                            " errors, the test lists " + std::to_string(loadErrorsMatched) + ":" + all});
  }
  return fails;
}

}  // namespace stlcase
