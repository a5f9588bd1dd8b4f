#include "softplc/Machine.h"
#include "softplc/Text.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace softplc {

const char* FaultText(Fault f) {
  switch (f) {
    case Fault::None: return "";
    case Fault::CycleTime: return QT_TRANSLATE_NOOP("softplc", "cycle time exceeded");
    case Fault::AreaLength: return QT_TRANSLATE_NOOP("softplc", "area length error: memory-indirect address outside its area");
    case Fault::BcdError: return QT_TRANSLATE_NOOP("softplc", "BCD conversion error: the value is not a valid BCD number");
    case Fault::NestingOverflow: return QT_TRANSLATE_NOOP("softplc", "nesting stack overflow: more than seven open brackets");
    case Fault::NestingUnderflow: return QT_TRANSLATE_NOOP("softplc", "nesting stack underflow: ')' without open bracket");
    case Fault::CallDepth: return QT_TRANSLATE_NOOP("softplc", "block stack overflow: calls nested deeper than 16 levels");
    case Fault::DbLength:
      return QT_TRANSLATE_NOOP("softplc", "area length error: address outside the open data block (or no data block open)");
    case Fault::StopRequested: return QT_TRANSLATE_NOOP("softplc", "STOP requested by SFC 46 STP");
    case Fault::NoDataBlock: return QT_TRANSLATE_NOOP("softplc", "the data block to open is not loaded");
    case Fault::McrOverflow: return QT_TRANSLATE_NOOP("softplc", "MCR stack fault: more than eight nested MCR(");
    case Fault::McrUnderflow: return QT_TRANSLATE_NOOP("softplc", "MCR stack fault: ')MCR' without 'MCR('");
  }
  return "";
}

namespace {

enum TimerKind : uint8_t { kNone = 0, kPulse, kExtPulse, kOnDelay, kRetentive, kOffDelay };

constexpr int32_t kBaseMs[4] = {10, 100, 1000, 10000};

inline uint32_t Rd16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
inline uint32_t Rd32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
inline void Wr16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void Wr32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}
inline float AsReal(uint32_t v) { return std::bit_cast<float>(v); }
inline uint32_t FromReal(float f) { return std::bit_cast<uint32_t>(f); }
inline int32_t Lo16(uint32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }
inline int32_t S32(uint32_t v) { return static_cast<int32_t>(v); }

// Three BCD digits in the low 12 bits; false when a digit is above 9.
inline bool Bcd3(uint32_t w, uint32_t& value) {
  uint32_t d0 = w & 0xF, d1 = (w >> 4) & 0xF, d2 = (w >> 8) & 0xF;
  if (d0 > 9 || d1 > 9 || d2 > 9) return false;
  value = d2 * 100 + d1 * 10 + d0;
  return true;
}
inline uint32_t ToBcd3(uint32_t v) { return (v / 100) << 8 | ((v / 10) % 10) << 4 | (v % 10); }

constexpr uint32_t kTransformKeep[4] = {0xFFFFFF00u, 0xFFFF0000u, 0u, 0u};
constexpr uint32_t kTransformPre[2] = {0xFFFFFFFFu, 0xFFFFu};
constexpr uint32_t kTransformXor[4] = {0u, 0xFFFFu, 0xFFFFFFFFu, 0x8000u};

// The bit-logic state /FC, RLO, STA, OR is kept packed in bits 1..4 of one register, so that
// every bit operation is one table lookup: (operation, state, scanned bit) -> (new state, bit
// flip). The entry keeps "flip the addressed bit" in bit 7, which the next lookup ignores (the
// table repeats over it); bit 0 of the index is the scanned bit. The row is chosen from the
// operation and the scanned bit before the state is known, so the chain from one bit
// instruction to the next is a single load.
// Operations: 0 A, 1 AN, 2 O, 3 ON, 4 X, 5 XN, 6 =, 7 S, 8 R.
constexpr uint32_t kFC = 2, kRLO = 4, kSTA = 8, kOR = 16, kLogicMask = 0x1E;
enum BitSub : uint8_t { kA, kAN, kO, kON, kX, kXN, kAssign, kSet, kReset, kBitSubs };

constexpr uint8_t BitEntry(int sub, uint32_t state, uint32_t bit) {
  uint32_t fc = state & 1, rlo = (state >> 1) & 1, sta = (state >> 2) & 1, orb = (state >> 3) & 1;
  uint32_t newBit = bit;
  if (sub < kAssign) {
    // /FC = 0 makes this a first check; OR = 1 means an AND group before the last O
    // already made the result true.
    uint32_t v = bit ^ static_cast<uint32_t>(sub & 1);
    switch (sub >> 1) {
      case 0: rlo = ((rlo | (fc ^ 1)) & v) | orb; break;
      case 1: rlo = (rlo & fc) | v | orb; orb = 0; break;
      default: rlo = fc ? (rlo ^ v) : (v | orb); orb = 0; break;
    }
    fc = 1;
    sta = bit;
  } else {
    newBit = sub == kAssign ? rlo : sub == kSet ? (bit | rlo) : (bit & (rlo ^ 1));
    fc = 0;
    orb = 0;
    sta = rlo;
  }
  return static_cast<uint8_t>((fc | rlo << 1 | sta << 2 | orb << 3) << 1 | (newBit ^ bit) << 7);
}

struct BitTable {
  uint8_t e[kBitSubs << 8];
  constexpr BitTable() : e{} {
    for (int sub = 0; sub < kBitSubs; ++sub)
      for (uint32_t junk = 0; junk < 2; ++junk)
        for (uint32_t st = 0; st < 16; ++st)
          for (uint32_t bit = 0; bit < 2; ++bit)
            e[static_cast<uint32_t>(sub) << 8 | junk << 7 | st << 1 | bit] = BitEntry(sub, st, bit);
  }
};
constexpr BitTable kBitTable;

// The operand kind of every opcode, for the program status: a constant, so that recording a
// statement costs no initialisation check.
constexpr OperandKind kOperandKinds[] = {
#define SOFTPLC_KIND(op, de, en, kind, limit) OperandKind::kind,
    SOFTPLC_INSTRUCTIONS(SOFTPLC_KIND)
#undef SOFTPLC_KIND
};
static_assert(sizeof(kOperandKinds) / sizeof(kOperandKinds[0]) == kOpcodeCount);

// New logic state after combining the value v with operation `sub` (0..5).
inline uint32_t Logic(uint32_t sub, uint32_t state, uint32_t v) {
  return kBitTable.e[sub << 8 | (state & kLogicMask) | v] & kLogicMask;
}

}  // namespace

void Lower(Insn& in) {
  const Opcode op = in.op;
  switch (op) {
    case Opcode::A_BIT:
    case Opcode::AN_BIT:
    case Opcode::O_BIT:
    case Opcode::ON_BIT:
    case Opcode::X_BIT:
    case Opcode::XN_BIT:
    case Opcode::ASSIGN:
    case Opcode::SET_BIT:
    case Opcode::RESET_BIT:
      in.b = BitSubOf(op);
      in.op = Opcode::A_BIT;
      break;
    case Opcode::L_B: EncodeLoad(in, 1, false, in.arg); break;
    case Opcode::L_W: EncodeLoad(in, 2, false, in.arg); break;
    case Opcode::L_D: EncodeLoad(in, 4, false, in.arg); break;
    case Opcode::L_K: EncodeLoad(in, 4, true, in.arg); break;
    case Opcode::AW: case Opcode::AW_K: case Opcode::OW: case Opcode::OW_K:
    case Opcode::XOW: case Opcode::XOW_K: case Opcode::AD: case Opcode::AD_K:
    case Opcode::OD: case Opcode::OD_K: case Opcode::XOD: case Opcode::XOD_K: {
      // a: 0 AND, 1 OR, 2 XOR; b: bit 0 constant operand, bit 1 double word, bit 3 word logic
      // (it shares the handler of +I -I +D -D, see there)
      bool isOr = op == Opcode::OW || op == Opcode::OW_K || op == Opcode::OD || op == Opcode::OD_K;
      bool isXor = op == Opcode::XOW || op == Opcode::XOW_K || op == Opcode::XOD || op == Opcode::XOD_K;
      bool constant = op == Opcode::AW_K || op == Opcode::OW_K || op == Opcode::XOW_K ||
                      op == Opcode::AD_K || op == Opcode::OD_K || op == Opcode::XOD_K;
      bool dword = op == Opcode::AD || op == Opcode::AD_K || op == Opcode::OD ||
                   op == Opcode::OD_K || op == Opcode::XOD || op == Opcode::XOD_K;
      in.a = isOr ? 1 : isXor ? 2 : 0;
      in.b = static_cast<uint8_t>((constant ? 1 : 0) | (dword ? 2 : 0) | 8);
      in.op = Opcode::ADD_I;
      break;
    }
    case Opcode::ADD_I: case Opcode::SUB_I: case Opcode::ADD_D: case Opcode::SUB_D:
      // a: 1 subtract; b: bit 1 double integer
      in.a = (op == Opcode::SUB_I || op == Opcode::SUB_D) ? 1 : 0;
      in.b = (op == Opcode::ADD_D || op == Opcode::SUB_D) ? 2 : 0;
      in.op = Opcode::ADD_I;
      break;
    case Opcode::SLW: case Opcode::SLW_N: case Opcode::SRW: case Opcode::SRW_N:
    case Opcode::SLD: case Opcode::SLD_N: case Opcode::SRD: case Opcode::SRD_N: {
      bool fromAccu = op == Opcode::SLW || op == Opcode::SRW || op == Opcode::SLD || op == Opcode::SRD;
      bool right = op == Opcode::SRW || op == Opcode::SRW_N || op == Opcode::SRD || op == Opcode::SRD_N;
      bool dword = op == Opcode::SLD || op == Opcode::SLD_N || op == Opcode::SRD || op == Opcode::SRD_N;
      in.b = static_cast<uint8_t>((fromAccu ? 1 : 0) | (right ? 2 : 0) | (dword ? 4 : 0));
      in.op = Opcode::SLW_N;
      break;
    }
    case Opcode::NEGI:
    case Opcode::NEGD:
      in.a = 1;
      in.b = static_cast<uint8_t>(4 | (op == Opcode::NEGD ? 2 : 0));
      in.op = Opcode::ADD_I;
      break;
    // transforms of ACCU 1: a = keep selector | pre selector << 2, b = xor selector
    case Opcode::INC:
    case Opcode::DEC:
      // the low byte wraps, so decrementing by n is adding 256 - n
      in.arg = op == Opcode::INC ? in.a : 256u - in.a;
      in.a = 0;
      in.b = 0;
      in.op = Opcode::INC;
      break;
    case Opcode::ADD_K16: in.a = 1; in.b = 0; in.op = Opcode::INC; break;
    case Opcode::ADD_K32: in.a = 2; in.b = 0; in.op = Opcode::INC; break;
    case Opcode::INVI: in.a = 2; in.b = 1; in.arg = 0; in.op = Opcode::INC; break;
    case Opcode::INVD: in.a = 2; in.b = 2; in.arg = 0; in.op = Opcode::INC; break;
    case Opcode::ITD:
      // sign extension: ((x & 0xFFFF) ^ 0x8000) - 0x8000
      in.a = 2 | 1 << 2;
      in.b = 3;
      in.arg = 0xFFFF8000u;
      in.op = Opcode::INC;
      break;
    default: break;
  }
}

void EncodeLoad(Insn& in, uint8_t size, bool constant, uint32_t arg) {
  in.op = Opcode::L_D;
  in.a = static_cast<uint8_t>((4 - size) * 8);
  in.b = constant ? 1 : 0;
  // A constant is kept in memory order (high byte first) so that it reads like memory.
  if (constant && std::endian::native == std::endian::little)
    arg = (arg >> 24) | ((arg >> 8) & 0xFF00u) | ((arg << 8) & 0xFF0000u) | (arg << 24);
  in.arg = arg;
}

uint8_t BitSubOf(Opcode op) {
  switch (op) {
    case Opcode::A_BIT: return kA;
    case Opcode::AN_BIT: return kAN;
    case Opcode::O_BIT: return kO;
    case Opcode::ON_BIT: return kON;
    case Opcode::X_BIT: return kX;
    case Opcode::XN_BIT: return kXN;
    case Opcode::ASSIGN: return kAssign;
    case Opcode::SET_BIT: return kSet;
    case Opcode::RESET_BIT: return kReset;
    default: return 0;
  }
}

void Fuse(Program& p) {
  p.fast.clear();
  p.bitRuns.clear();
  p.bitRunSteps.clear();
  const size_t n = p.code.size();
  // A run must start with the logic state a closing `=`, `S` or `R` leaves (/FC and OR 0), so
  // its start must not be reachable other than from the instruction before it.
  std::vector<bool> target(n + 1, false);
  for (const BlockInfo& b : p.blocks)
    if (b.entry < n) target[b.entry] = true;
  for (size_t i = 0; i < n; ++i) {
    const Insn& in = p.code[i];
    if (kOperandKinds[static_cast<size_t>(in.op)] != OperandKind::Label) continue;
    if (in.arg < n) target[in.arg] = true;
    if (in.op == Opcode::JL)
      for (size_t k = 1; k <= in.a && i + k < n; ++k) target[i + k] = true;
  }
  auto isBit = [&](size_t i) { return p.code[i].op == Opcode::A_BIT; };
  auto closes = [&](size_t i) { return isBit(i) && p.code[i].b >= kAssign; };
  for (size_t i = 1; i < n; ++i) {
    if (target[i] || !closes(i - 1)) continue;
    size_t k = 0;
    while (k < kBitRunChecks && i + k < n && isBit(i + k) && p.code[i + k].b < kAssign) ++k;
    if (k == 0 || i + k >= n || !closes(i + k)) continue;
    BitRun r;
    for (size_t j = 0; j < kBitRunChecks; ++j) {
      const Insn& c = p.code[i + (j < k ? j : 0)];
      r.at[j] = c.arg;
      r.bit[j] = c.a;
    }
    // the RLO for every combination of the scanned bits, by the same rules as one at a time
    // (and after each check, for the program status)
    const size_t steps = p.bitRunSteps.size();
    p.bitRunSteps.resize(steps + kBitRunChecks, 0);
    for (uint32_t v = 0; v < (1u << kBitRunChecks); ++v) {
      uint32_t st = 0;  // /FC 0, OR 0: the first check takes its bit as the RLO
      for (size_t j = 0; j < k; ++j) {
        st = (BitEntry(p.code[i + j].b, st, (v >> j) & 1u) >> 1) & 15u;
        p.bitRunSteps[steps + j] |= uint64_t{(st >> 1) & 1u} << v;
      }
      r.truth |= uint64_t{(st >> 1) & 1u} << v;
    }
    const Insn& close = p.code[i + k];
    r.sub = close.b;
    r.endBit = close.a;
    r.end = close.arg;
    if (p.fast.empty()) p.fast = p.code;
    p.fast[i] = Insn{Opcode::BIT_RUN, static_cast<uint8_t>(k + 1), 0,
                     static_cast<uint32_t>(p.bitRuns.size())};
    p.bitRuns.push_back(r);
    i += k;  // the closing instruction may end this run and open the next
  }
  // Two loads in a row are one step. Unlike a bit chain they need no state to start from, so a
  // jump to the first of them is no reason not to.
  for (size_t i = 0; i + 1 < n; ++i) {
    if (p.code[i].op != Opcode::L_D || p.code[i + 1].op != Opcode::L_D) continue;
    if (p.fast.empty()) p.fast = p.code;
    p.fast[i].op = Opcode::L_L;
    ++i;
  }
}

Machine::Machine() = default;

void Machine::ClearTimersAndCounters() {
  timers.fill(TimerState{});
  counters.fill(CounterState{});
  running_.fill(0);
}

void Machine::ClearRegisters() {
  accu1 = accu2 = 0;
  status = 0;
  db = di = 0;
  ar1 = ar2 = 0;
}

void Machine::AdvanceTimers(uint32_t ms) {
  if (ms == 0) return;
  nowMs += ms;
  const int32_t step = ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(ms);
  // Only running timers are visited: a cycle with no timer running costs nothing here.
  for (size_t word = 0; word < running_.size(); ++word) {
    uint64_t bits = running_[word];
    while (bits) {
      const size_t n = word * 64 + static_cast<size_t>(std::countr_zero(bits));
      bits &= bits - 1;
      TimerState& t = timers[n];
      if (t.remainingMs > step) {
        t.remainingMs -= step;
        continue;
      }
      t.remainingMs = 0;
      t.running = false;
      t.q = t.kind == kOnDelay || t.kind == kRetentive;
      running_[word] &= ~(uint64_t{1} << (n % 64));
    }
  }
}

uint32_t Machine::DbNumber(const Program& p, DbReg r) {
  if (DbLength(r) == 0) return 0;
  // Data blocks lie in ascending order of their base. A multiple instance's DI points inside
  // the instance DB that holds it, and names that DB.
  auto it = std::upper_bound(p.dbs.begin(), p.dbs.end(), DbBase(r),
                             [](uint32_t base, const DataBlockInfo& d) { return base < d.base; });
  if (it == p.dbs.begin()) return 0;
  --it;
  return DbBase(r) < it->base + it->length ? static_cast<uint32_t>(it->number) : 0;
}

void Machine::Layout(const Program& p) {
  // inputs, outputs and bit memory stay; local data and data blocks start afresh
  memory.resize(p.flatSize + 8);
  std::fill(memory.begin() + mem::kLocalBase, memory.end(), uint8_t{0});
  ResetDataBlocks(p);
}

void Machine::ResetDataBlocks(const Program& p) {
  if (memory.size() < p.flatSize + 8) memory.assign(p.flatSize + 8, 0);
  for (const DataBlockInfo& d : p.dbs)
    std::memcpy(memory.data() + d.base, d.initial.data(), d.initial.size());
  if (!p.pool.empty()) std::memcpy(memory.data() + p.poolBase, p.pool.data(), p.pool.size());
}

// Parameters are few and small: each copy is a handful of byte moves, without calls.
template <bool in>
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline bool Machine::CopyParams(const ParamCopy* c, uint32_t n, uint32_t calleeBase) {
  uint8_t* const m = memory.data() + calleeBase;
  uint8_t* const flat = memory.data();
  for (const ParamCopy* const end = c + n; c != end; ++c) {
    uint8_t* const callee = m + c->callee;
    uint8_t* caller;
    if (c->mode == ParamCopy::Abs) {
      caller = flat + c->caller;
    } else if (c->mode == ParamCopy::Const) {
      // constants only ever go in
      const uint32_t v = c->caller;
      switch (c->size) {
        case 0:
          *callee = static_cast<uint8_t>((*callee & ~(1u << c->calleeBit)) | ((v & 1u) << c->calleeBit));
          break;
        case 1: callee[0] = static_cast<uint8_t>(v); break;
        case 2: Wr16(callee, v); break;
        default: Wr32(callee, v); break;
      }
      continue;
    } else {
      const DbReg r = c->mode == ParamCopy::RelDb ? db : di;
      const uint32_t width = c->size == 0 ? 1u : c->size == 255 ? c->length : c->size;
      if (c->caller + width > DbLength(r)) return false;
      caller = flat + DbBase(r) + c->caller;
    }
    const uint8_t* from = in ? caller : callee;
    uint8_t* to = in ? callee : caller;
    switch (c->size) {
      case 0: {
        const uint32_t fromBit = in ? c->callerBit : c->calleeBit;
        const uint32_t toBit = in ? c->calleeBit : c->callerBit;
        const uint32_t v = (*from >> fromBit) & 1u;
        *to = static_cast<uint8_t>((*to & ~(1u << toBit)) | (v << toBit));
        break;
      }
      case 1: to[0] = from[0]; break;
      case 2:
        to[0] = from[0];
        to[1] = from[1];
        break;
      case 4: std::memcpy(to, from, 4); break;
      default: std::memmove(to, from, c->length); break;
    }
  }
  return true;
}

namespace {
// IEC timer instance (TP, TON, TOF): IN 0.0, PT 2, Q 6.0, ET 8, STATE 12, STIME 14, ATIME 18.
// STATE bit 0 is the last IN, bit 1 a running timing.
void IecTimer(Native kind, uint8_t* d, uint32_t now) {
  const bool in = d[0] & 1u;
  const int32_t pt = static_cast<int32_t>(Rd32(d + 2));
  uint8_t state = d[12];
  const bool last = state & 1u;
  bool running = state & 2u;
  bool q = d[6] & 1u;
  int32_t et = static_cast<int32_t>(Rd32(d + 8));
  const uint32_t start = Rd32(d + 14);
  const int32_t elapsed = static_cast<int32_t>(now - start);
  // Starts a timing on `startEdge`, or lets a running one go on; ends it once PT is reached
  // and tells whether it ended now.
  auto timing = [&](bool startEdge) {
    if (startEdge) {
      running = true;
      Wr32(d + 14, now);
      et = 0;
    } else if (running) {
      et = elapsed;
    }
    if (!running || et < pt) return false;
    running = false;
    et = pt;
    return true;
  };
  if (kind == Native::TP) {
    timing(in && !last && !running);
    q = running;
    if (!running && !in) et = 0;
  } else {
    // TON and TOF time the same way: TON from a rising IN to a true Q, TOF from a falling
    // IN to a false Q, so TOF is TON on the inverted input with the output inverted.
    const bool onDelay = kind == Native::TON;
    const bool active = onDelay ? in : !in;
    const bool wasActive = onDelay ? last : !last;
    if (!active) {
      running = false;
      q = !onDelay;
      et = 0;
    } else {
      if (timing(!wasActive)) q = onDelay;
      if (pt <= 0) q = onDelay;
    }
  }
  if (et < 0) et = 0;
  d[6] = static_cast<uint8_t>((d[6] & ~1u) | (q ? 1u : 0u));
  Wr32(d + 8, static_cast<uint32_t>(et));
  d[12] = static_cast<uint8_t>((in ? 1u : 0u) | (running ? 2u : 0u));
  Wr32(d + 18, now);
}

// IEC counters: CU/CD 0.0 (CTUD: CU 0.0 CD 0.1 R 0.2 LOAD 0.3; CTU: R 0.1; CTD: LOAD 0.1),
// PV 2, Q 4.0 (CTUD: QU 4.0 QD 4.1), CV 6, edge memories 8.0 / 8.1.
void IecCounter(Native kind, uint8_t* d) {
  const uint32_t in = d[0];
  const int32_t pv = Lo16(Rd16(d + 2));
  int32_t cv = Lo16(Rd16(d + 6));
  const uint32_t edges = d[8];
  const bool up = kind != Native::CTD && (in & 1u) && !(edges & 1u);
  const bool down = (kind == Native::CTD && (in & 1u) && !(edges & 2u)) ||
                    (kind == Native::CTUD && (in & 2u) && !(edges & 2u));
  const bool reset = (kind == Native::CTU && (in & 2u)) || (kind == Native::CTUD && (in & 4u));
  const bool load = (kind == Native::CTD && (in & 2u)) || (kind == Native::CTUD && (in & 8u));
  if (reset) cv = 0;
  else if (load) cv = pv;
  else {
    if (up && cv < 32767) ++cv;
    if (down && cv > -32768) --cv;
  }
  Wr16(d + 6, static_cast<uint32_t>(cv));
  uint32_t newEdges = 0;
  if (kind == Native::CTD) newEdges = (in & 1u) ? 2u : 0u;
  else newEdges = ((in & 1u) ? 1u : 0u) | ((kind == Native::CTUD && (in & 2u)) ? 2u : 0u);
  d[8] = static_cast<uint8_t>(newEdges);
  uint32_t q;
  if (kind == Native::CTU) q = cv >= pv ? 1u : 0u;
  else if (kind == Native::CTD) q = cv <= 0 ? 1u : 0u;
  else q = (cv >= pv ? 1u : 0u) | (cv <= 0 ? 2u : 0u);
  d[4] = static_cast<uint8_t>((d[4] & ~3u) | q);
}
}  // namespace

bool Machine::AnyRange(const Program& p, uint32_t at, uint32_t& base, uint32_t& length) const {
  const uint8_t* const a = memory.data() + at;
  const uint32_t unit = any::UnitOf(a[1]);
  const uint32_t pointer = Rd32(a + 6);
  if (a[0] != 0x10 || unit == 0 || (pointer & 7u) != 0) return false;
  length = unit * Rd16(a + 2);
  const uint32_t byte = (pointer >> 3) & 0xFFFFu;
  uint32_t areaBase = 0, areaLength = 0;
  switch (pointer >> 24) {
    case 0x81: areaBase = mem::kInputBase; areaLength = mem::kInputSize; break;
    case 0x82: areaBase = mem::kOutputBase; areaLength = mem::kOutputSize; break;
    case 0x83: areaBase = mem::kMarkerBase; areaLength = mem::kMarkerSize; break;
    case 0x84: {
      const uint32_t n = Rd16(a + 4);
      if (n >= p.dbIndex.size() || p.dbIndex[n] < 0) return false;
      const DataBlockInfo& d = p.dbs[static_cast<size_t>(p.dbIndex[n])];
      areaBase = d.base;
      areaLength = d.length;
      break;
    }
    case 0x85: areaBase = DbBase(di); areaLength = DbLength(di); break;
    case any::kPreviousLocal: areaBase = mem::kLocalBase; areaLength = p.localStack; break;
    default: return false;
  }
  if (byte + length > areaLength) return false;
  base = areaBase + byte;
  return true;
}

Fault Machine::RunNative(const Program& p, const CallSite& cs, uint32_t calleeBase) {
  uint8_t* const m = memory.data();
  if ((cs.native == Native::BLKMOV || cs.native == Native::FILL) &&
      (cs.srcAny != kNoRet || cs.dstAny != kNoRet)) {
    // a range passed on as ANY is known only now
    CallSite c = cs;
    auto resolve = [&](uint32_t at, uint8_t mode, uint32_t& base, uint32_t& length) {
      if (at == kNoRet) return true;
      if (mode == ParamCopy::RelDi) {
        if (at + any::kSize > DbLength(di)) return false;
        at += DbBase(di);
      }
      return AnyRange(p, at, base, length);
    };
    if (!resolve(cs.srcAny, cs.srcAnyMode, c.srcBase, c.srcLength) ||
        !resolve(cs.dstAny, cs.dstAnyMode, c.dstBase, c.dstLength))
      return Fault::AreaLength;
    c.srcAny = c.dstAny = kNoRet;
    return RunNative(p, c, calleeBase);
  }
  switch (cs.native) {
    case Native::TP:
    case Native::TON:
    case Native::TOF: IecTimer(cs.native, m + calleeBase + cs.diBase, nowMs); break;
    case Native::CTU:
    case Native::CTD:
    case Native::CTUD: IecCounter(cs.native, m + calleeBase + cs.diBase); break;
    case Native::BLKMOV:
      std::memmove(m + cs.dstBase, m + cs.srcBase, std::min(cs.srcLength, cs.dstLength));
      Wr16(m + cs.retVal, 0);
      break;
    case Native::FILL:
      for (uint32_t k = 0; k < cs.dstLength && cs.srcLength; ++k)
        m[cs.dstBase + k] = m[cs.srcBase + k % cs.srcLength];
      Wr16(m + cs.retVal, 0);
      break;
    case Native::STP: return Fault::StopRequested;
    case Native::TIME_TCK: Wr32(m + cs.retVal, nowMs & 0x7FFFFFFFu); break;
    case Native::None: break;
  }
  return Fault::None;
}

uint16_t Machine::TimerUnits(int n) const {
  const TimerState& t = timers[static_cast<size_t>(n)];
  int32_t base = kBaseMs[t.base];
  // The time value counts down one unit per elapsed time base.
  return static_cast<uint16_t>((t.remainingMs + base - 1) / base);
}

Fault Machine::TimerOp(Opcode op, uint32_t n, bool rlo, uint32_t a1) {
  TimerState& t = timers[n];
  auto load = [&](bool& ok) {
    uint32_t w = a1 & 0xFFFF, units;
    ok = Bcd3(w, units);
    if (!ok) return;
    t.base = static_cast<uint8_t>((w >> 12) & 3);
    t.remainingMs = static_cast<int32_t>(units) * kBaseMs[t.base];
  };
  bool ok = true;
  switch (op) {
    case Opcode::FR_TIM:
      // A rising edge at FR forgets the start edge, so the next start with RLO 1 retriggers.
      if (rlo && !t.frEdge) t.edge = false;
      t.frEdge = rlo;
      break;
    case Opcode::R_TIM:
      if (rlo) {
        t.running = false;
        t.q = false;
        t.remainingMs = 0;
      }
      break;
    case Opcode::SA_T: {
      bool rising = rlo && !t.edge, falling = !rlo && t.edge;
      t.edge = rlo;
      t.kind = kOffDelay;
      if (rlo) {
        if (rising) t.running = false;
        t.q = true;
      } else if (falling) {
        load(ok);
        if (!ok) break;
        t.running = t.remainingMs > 0;
        t.q = t.running;
      }
      break;
    }
    default: {
      bool rising = rlo && !t.edge;
      t.edge = rlo;
      uint8_t kind = op == Opcode::SI_T   ? kPulse
                     : op == Opcode::SV_T ? kExtPulse
                     : op == Opcode::SE_T ? kOnDelay
                                          : kRetentive;
      if (rising) {
        load(ok);
        if (!ok) break;
        t.kind = kind;
        t.running = t.remainingMs > 0;
        if (kind == kPulse || kind == kExtPulse) t.q = t.running;
        else if (kind == kOnDelay) t.q = !t.running;
        else t.q = t.q || !t.running;  // only R clears a retentive on-delay timer
      } else if (!rlo && (kind == kPulse || kind == kOnDelay)) {
        // Pulse and on-delay timers stop as soon as their start condition drops.
        t.kind = kind;
        t.running = false;
        t.q = false;
        if (kind == kOnDelay) t.remainingMs = 0;
      }
      break;
    }
  }
  const uint64_t bit = uint64_t{1} << (n % 64);
  running_[n / 64] = t.running ? (running_[n / 64] | bit) : (running_[n / 64] & ~bit);
  return ok ? Fault::None : Fault::BcdError;
}

Fault Machine::CounterOp(Opcode op, uint32_t n, bool rlo, uint32_t a1) {
  CounterState& c = counters[n];
  switch (op) {
    case Opcode::ZV:
      if (rlo && !c.upEdge && c.value < 999) ++c.value;
      c.upEdge = rlo;
      break;
    case Opcode::ZR:
      if (rlo && !c.downEdge && c.value > 0) --c.value;
      c.downEdge = rlo;
      break;
    case Opcode::S_CNT:
      if (rlo && !c.setEdge) {
        uint32_t v;
        if (!Bcd3(a1 & 0xFFFF, v)) {
          c.setEdge = rlo;
          return Fault::BcdError;
        }
        c.value = static_cast<uint16_t>(v);
      }
      c.setEdge = rlo;
      break;
    case Opcode::R_CNT:
      if (rlo) c.value = 0;
      break;
    case Opcode::FR_CNT:
      if (rlo && !c.frEdge) c.upEdge = c.downEdge = c.setEdge = false;
      c.frEdge = rlo;
      break;
    default: break;
  }
  return Fault::None;
}

Fault Machine::Resolve(const Program& p, const IndirectRef& ref, Insn& tmp) const {
  const uint8_t* const m = memory.data();
  tmp = Insn{ref.op, 0, 0, 0};
  if (ref.mode != 0) {
    // relative to the open DB or DI, or register-indirect through AR1/AR2
    Area area = ref.area;
    uint32_t offset = ref.pointerOffset >> 3, bit = ref.bit;
    if (ref.mode >= 2) {
      const uint32_t ar = ref.reg == 1 ? ar1 : ar2;
      const uint32_t pointer = (ar & 0x00FFFFFFu) + ref.pointerOffset;
      // a displacement that carries past byte 65535 leaves the area; it does not wrap
      offset = pointer >> 3;
      bit = pointer & 7u;
      if (ref.mode == 3) {
        switch ((ar >> 24) & 0xFFu) {
          case 0x81: area = Area::Input; break;
          case 0x82: area = Area::Output; break;
          case 0x83: area = Area::Marker; break;
          case 0x84: area = Area::DB; break;
          case 0x85: area = Area::DI; break;
          case 0x86: area = Area::Local; break;
          default: return Fault::AreaLength;
        }
      }
    }
    const uint32_t width = ref.size == 0 ? 1u : ref.size;
    uint32_t flat;
    if (area == Area::DB || area == Area::DI) {
      const DbReg r = area == Area::DB ? db : di;
      if (offset + width > DbLength(r)) return Fault::DbLength;
      flat = DbBase(r) + offset;
    } else {
      if (offset + width > AreaSize(area)) return Fault::AreaLength;
      flat = AreaBase(area) + offset + (area == Area::Local ? ref.localBase : 0u);
    }
    tmp = ref.lowered;
    tmp.arg = flat;
    if (ref.size == 0) tmp.a = static_cast<uint8_t>(bit);
    return Fault::None;
  }
  // memory-indirect: the pointer lies in M or L (checked when the program loaded) or in the
  // open DB or DI, which bounds it
  const uint32_t pointerSize = ref.size >= 8 ? 2u : 4u;
  uint32_t at = ref.pointerOffset;
  if (ref.pointerIn != 0) {
    const DbReg r = ref.pointerIn == 1 ? db : di;
    if (at + pointerSize > DbLength(r)) return Fault::DbLength;
    at += DbBase(r);
  }
  if (ref.size == 10) {
    const uint32_t number = Rd16(m + at);
    if (number >= p.dbIndex.size() || p.dbIndex[number] < 0) return Fault::NoDataBlock;
    tmp = ref.lowered;
    tmp.arg = static_cast<uint32_t>(p.dbIndex[number]);
  } else if (ref.size >= 8) {
    uint32_t number = Rd16(m + at);
    if (number > 255) return Fault::AreaLength;
    tmp.arg = number;
  } else {
    uint32_t pointer = Rd32(m + at);
    uint32_t byte = (pointer >> 3) & 0xFFFFu;
    uint32_t width = ref.size == 0 ? 1u : ref.size;
    if (ref.area == Area::DB || ref.area == Area::DI) {
      // the pointer is relative to the open block, which alone bounds it
      const DbReg r = ref.area == Area::DB ? db : di;
      if (byte + width > DbLength(r)) return Fault::DbLength;
      tmp.arg = DbBase(r) + byte;
    } else {
      if (byte + width > AreaSize(ref.area)) return Fault::AreaLength;
      tmp.arg = AreaBase(ref.area) + byte + (ref.area == Area::Local ? ref.localBase : 0u);
    }
    tmp.a = static_cast<uint8_t>(pointer & 7u);
    Lower(tmp);
  }
  return Fault::None;
}

#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline void Machine::DescribeOperand(const Insn& in, StatusRecord& rec) const {
  switch (kOperandKinds[static_cast<size_t>(in.op)]) {
    case OperandKind::Bit:
      rec.hasOperand = true;
      rec.operand = (static_cast<uint32_t>(memory[in.arg]) >> in.a) & 1u;
      break;
    case OperandKind::Timer:
      rec.hasOperand = true;
      rec.operand = static_cast<uint32_t>(std::max(timers[in.arg].remainingMs, int32_t{0}));
      break;
    case OperandKind::Counter:
      rec.hasOperand = true;
      rec.operand = counters[in.arg].value;
      break;
    default: break;
  }
}

// Out of line and called from one place per handler, so that the traced loop stays about as
// compact as the plain one.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
void Machine::Report(const Program& p, StatusObserver* observer, uint32_t at, const Insn& in,
                     uint16_t statusWord, uint32_t a1, uint32_t a2, int calls) const {
  StatusRecord rec;
  rec.instruction = at;
  rec.statusWord = statusWord;
  rec.rlo = (statusWord & stw::RLO) != 0;
  rec.sta = (statusWord & stw::STA) != 0;
  rec.accu1 = a1;
  rec.accu2 = a2;
  DescribeOperand(in, rec);
  if (calls > 0) {
    rec.caller = static_cast<uint32_t>(frames_[static_cast<size_t>(calls - 1)].ret - p.code.data());
    rec.instanceDb = static_cast<uint16_t>(DbNumber(p, di));
  } else if (di != 0) {
    rec.instanceDb = static_cast<uint16_t>(DbNumber(p, di));
  }
  observer->OnStatement(rec);
}

Fault Machine::Execute(const Program& p, uint32_t entry, StatusObserver* observer,
                       uint32_t& faultAt, uint64_t& executed) {
  if (observer) return Run<true>(p, entry, observer, faultAt, executed);
  return Run<false>(p, entry, nullptr, faultAt, executed);
}

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#endif

template <bool kTrace>
Fault Machine::Run(const Program& p, uint32_t entry, StatusObserver* observer, uint32_t& faultAt,
                   uint64_t& executed) {
  static const void* const kLabels[] = {
#define SOFTPLC_LABEL(op, de, en, kind, limit) &&H_##op,
      SOFTPLC_INSTRUCTIONS(SOFTPLC_LABEL)
#undef SOFTPLC_LABEL
  };
  static_assert(sizeof(kLabels) / sizeof(kLabels[0]) == kOpcodeCount);

  // The fused code records every line it stands for into the slots; a watcher that wants a
  // call per statement gets the instructions one by one.
  const bool fused = !reference && !p.fast.empty() && (!kTrace || observer->statusSlots != nullptr);
  const Insn* const code = fused ? p.fast.data() : p.code.data();
  const Insn* ip = code + entry;
  const Insn* in = ip;
  const Insn* seg = ip;
  uint64_t count = 0;
  const uint64_t limit = budget;
  uint8_t* const m = memory.data();
  Insn tmp{};
  int depth = 0;
  int calls = 0;
  // the MCR stack: one bit per open MCR( zone, each already ANDed with the one around it
  bool mcrOn = false;
  uint32_t mcrBits = 0;
  int mcrDepth = 0;
#define MCR_BIT() (mcrDepth == 0 ? 1u : (mcrBits >> (mcrDepth - 1)) & 1u)
  Fault fault = Fault::None;

  uint32_t a1 = accu1, a2 = accu2;
  StatusSlot* const slots = kTrace ? observer->statusSlots : nullptr;
  // statements past the slots (a program larger than the observer knows of) are not recorded
  const Insn* const slotEnd =
      kTrace && slots != nullptr ? code + std::min(observer->statusSlotCount, p.code.size()) : code;
  const uint32_t scanNo = kTrace ? observer->statusScan : 0;
  const uint32_t prefer = kTrace ? observer->preferCaller : 0;
  uint32_t lg = (status & 15u) << 1;  // /FC, RLO, STA, OR in bits 1..4
  uint32_t os = status & stw::OS ? 1u : 0u, ov = status & stw::OV ? 1u : 0u,
           cc0 = status & stw::CC0 ? 1u : 0u, cc1 = status & stw::CC1 ? 1u : 0u,
           br = status & stw::BR ? 1u : 0u;
#define STATUS_HIGH() static_cast<uint32_t>(os << 4 | ov << 5 | cc0 << 6 | cc1 << 7 | br << 8)
#define STATUS_WORD() static_cast<uint16_t>(((lg >> 1) & 15u) | STATUS_HIGH())
  // What a slot records besides the registers changes only at calls, returns and when DI
  // changes, so it is kept up to date there rather than worked out for every statement. The
  // status bits above STA are carried over from the last statement that is not bit logic.
  uint32_t traceCaller = StatusRecord::kNoCaller;
  uint32_t traceDb = 0;
  uint32_t traceHigh = 0;
  if constexpr (kTrace) {
    traceDb = DbNumber(p, di);
    traceHigh = STATUS_HIGH();
  }
#define TRACE_DB() \
  do {                                        \
    if constexpr (kTrace) traceDb = DbNumber(p, di); \
  } while (0)
  // A statement's slot is written on its first run in a scan, or again when a run inside the
  // preferred call replaces one from elsewhere.
#define TRACE_SLOT_AT(at_, lg_, a1_, a2_, has_, operand_)                                 \
  do {                                                                                    \
    if ((at_) < slotEnd) {                                                                \
      StatusSlot& s_ = slots[(at_) - code];                                               \
      if (s_.scan != scanNo || (traceCaller == prefer && s_.caller != prefer))            \
        s_ = StatusSlot{scanNo, traceCaller, (a1_), (a2_), (operand_),                    \
                        static_cast<uint16_t>(traceHigh | (((lg_) >> 1) & 15u)),          \
                        static_cast<uint16_t>(traceDb), (has_)};                          \
    }                                                                                     \
  } while (0)
#define TRACE_SLOT(has_, operand_) TRACE_SLOT_AT(ip, lg, a1, a2, has_, operand_)
#define TRACE()                                                                         \
  do {                                                                                  \
    if constexpr (kTrace) {                                                             \
      if (slots != nullptr) {                                                           \
        traceHigh = STATUS_HIGH();                                                      \
        StatusRecord r_;                                                                \
        DescribeOperand(*in, r_);                                                       \
        TRACE_SLOT(r_.hasOperand, r_.operand);                                          \
      } else {                                                                          \
        Report(p, observer, static_cast<uint32_t>(ip - code), *in, STATUS_WORD(), a1, a2, calls); \
      }                                                                                 \
    }                                                                                   \
  } while (0)
  // the same for a handler whose instructions have no operand value to show
#define TRACE_PLAIN()                                                                   \
  do {                                                                                  \
    if constexpr (kTrace) {                                                             \
      if (slots != nullptr) {                                                           \
        traceHigh = STATUS_HIGH();                                                      \
        TRACE_SLOT(false, 0u);                                                          \
      } else {                                                                          \
        Report(p, observer, static_cast<uint32_t>(ip - code), *in, STATUS_WORD(), a1, a2, calls); \
      }                                                                                 \
    }                                                                                   \
  } while (0)
#define DISPATCH()                                  \
  do {                                              \
    in = ip;                                        \
    goto* kLabels[static_cast<size_t>(ip->op)];     \
  } while (0)
#define NEXT()  \
  do {          \
    TRACE();    \
    ++ip;       \
    DISPATCH(); \
  } while (0)
  // bit logic leaves the status bits above STA alone; its operand is the bit it addressed
#define TRACE_BIT(value_)                                                               \
  do {                                                                                  \
    if constexpr (kTrace) {                                                             \
      if (slots != nullptr)                                                             \
        TRACE_SLOT(true, (value_));                                                     \
      else                                                                              \
        Report(p, observer, static_cast<uint32_t>(ip - code), *in, STATUS_WORD(), a1, a2, calls); \
    }                                                                                   \
  } while (0)
#define NEXT_PLAIN() \
  do {               \
    TRACE_PLAIN();   \
    ++ip;            \
    DISPATCH();      \
  } while (0)
#define JUMP(target)                                     \
  do {                                                   \
    TRACE();                                             \
    count += static_cast<uint64_t>(ip - seg) + 1;        \
    if (count > limit) goto L_budget;                    \
    ip = code + (target);                                \
    seg = ip;                                            \
    DISPATCH();                                          \
  } while (0)
#define FAIL(f)  \
  do {           \
    fault = (f); \
    goto L_fault; \
  } while (0)

#define RLO() ((lg >> 2) & 1u)
#define TIMBIT() (timers[in->arg].q ? 1u : 0u)
#define CNTBIT() (counters[in->arg].value != 0 ? 1u : 0u)
#define CONDBIT() CondValue(static_cast<Cond>(in->a), os, ov, cc0, cc1, br)

  auto CondValue = [](Cond c, uint32_t os_, uint32_t ov_, uint32_t cc0_, uint32_t cc1_,
                      uint32_t br_) -> uint32_t {
    switch (c) {
      case Cond::OV: return ov_;
      case Cond::OS: return os_;
      case Cond::BR: return br_;
      case Cond::EQ0: return (cc1_ | cc0_) ^ 1u;
      case Cond::NE0: return cc1_ ^ cc0_;
      case Cond::GT0: return cc1_ & (cc0_ ^ 1u);
      case Cond::LT0: return (cc1_ ^ 1u) & cc0_;
      case Cond::GE0: return cc0_ ^ 1u;
      case Cond::LE0: return cc1_ ^ 1u;
      case Cond::UO: return cc1_ & cc0_;
    }
    return 0;
  };
  // Condition codes from the sign of a result.
#define CC_SIGN(x)                  \
  do {                              \
    auto x_ = (x);                  \
    cc1 = x_ > 0 ? 1u : 0u;         \
    cc0 = x_ < 0 ? 1u : 0u;         \
  } while (0)
#define REAL_STATUS(f)                                     \
  do {                                                     \
    float f_ = (f);                                        \
    switch (std::fpclassify(f_)) {                         \
      case FP_NAN: cc1 = cc0 = 1; ov = 1; os = 1; break;   \
      case FP_INFINITE:                                    \
        cc1 = f_ > 0; cc0 = f_ < 0; ov = 1; os = 1; break; \
      case FP_SUBNORMAL: cc1 = cc0 = 0; ov = 1; os = 1; break; \
      case FP_ZERO: cc1 = cc0 = 0; ov = 0; break;          \
      default: cc1 = f_ > 0; cc0 = f_ < 0; ov = 0; break;  \
    }                                                      \
  } while (0)
  // A comparison does not combine with the chain before it: it sets RLO and STA to its
  // result, clears OR and leaves /FC 1, so a following U/O combines with the result. A
  // comparison in series with a contact is written in brackets, U( ... ).
#define COMPARE_RESULT(r) lg = kFC | ((r) ? kRLO | kSTA : 0u)
#define COMPARE(x, y, pred)                          \
  do {                                               \
    auto x_ = (x);                                   \
    auto y_ = (y);                                   \
    cc1 = x_ > y_ ? 1u : 0u;                         \
    cc0 = x_ < y_ ? 1u : 0u;                         \
    ov = 0;                                          \
    COMPARE_RESULT(x_ pred y_);                      \
  } while (0)
#define COMPARE_R(pred)                                        \
  do {                                                         \
    float rx_ = AsReal(a2), ry_ = AsReal(a1);                  \
    if (std::isnan(rx_) || std::isnan(ry_)) {                  \
      cc1 = cc0 = 1; ov = 1; os = 1;                           \
      COMPARE_RESULT(false);                                   \
    } else {                                                   \
      COMPARE(rx_, ry_, pred);                                 \
    }                                                          \
  } while (0)
#define SET_LO16(v) a1 = (a1 & 0xFFFF0000u) | ((v) & 0xFFFFu)

  DISPATCH();

  // ---- bit logic
  // U UN O ON X XN = S R on a memory bit share one handler, so that a random mix of them does
  // not cost a mispredicted dispatch per instruction. a = bit number, b = operation.
H_A_BIT:
H_AN_BIT:
H_O_BIT:
H_ON_BIT:
H_X_BIT:
H_XN_BIT:
H_ASSIGN:
H_SET_BIT:
H_RESET_BIT: {
  uint8_t* bp = m + in->arg;
  const uint32_t old = *bp, n = in->a;
  const uint8_t* row = kBitTable.e + ((uint32_t(in->b) << 8) | ((old >> n) & 1u));
  const uint32_t e = row[lg];
  lg = e;
  *bp = static_cast<uint8_t>(old ^ ((e >> 7) << n));
  TRACE_BIT(((old >> n) & 1u) ^ (e >> 7));
  ++ip;
  DISPATCH();
}
  // A fused run (see Fuse): the scanned bits index the run's truth table, the closing
  // instruction is the shared bit handler's, and the state after it does not depend on the
  // checks in between. Never reached while tracing.
H_BIT_RUN: {
  const BitRun& r = p.bitRuns[in->arg];
  // written out: six independent loads, no loop to predict
#define CHECK(j) (((static_cast<uint32_t>(m[r.at[j]]) >> r.bit[j]) & 1u) << (j))
  static_assert(kBitRunChecks == 6);
  const uint32_t v = CHECK(0) | CHECK(1) | CHECK(2) | CHECK(3) | CHECK(4) | CHECK(5);
#undef CHECK
  const uint32_t rlo = static_cast<uint32_t>(r.truth >> v) & 1u;
  uint8_t* bp = m + r.end;
  const uint32_t old = *bp, nb = r.endBit;
  const uint32_t e = kBitTable.e[(uint32_t(r.sub) << 8) | kFC | (rlo << 2) | ((old >> nb) & 1u)];
  lg = e;
  *bp = static_cast<uint8_t>(old ^ ((e >> 7) << nb));
  if constexpr (kTrace) {
    // Watched with slots: every line of the run as it would have run on its own. A check
    // leaves /FC 1, OR 0, STA its bit and the RLO of the chain so far.
    if (slots != nullptr) {
      const uint64_t* const steps = p.bitRunSteps.data() + size_t{in->arg} * kBitRunChecks;
      const uint32_t checks = in->a - 1u;
      for (uint32_t j = 0; j < checks; ++j) {
        const uint32_t bit = (v >> j) & 1u;
        const uint32_t state = kFC | (static_cast<uint32_t>(steps[j] >> v) & 1u) << 2 | bit << 3;
        TRACE_SLOT_AT(ip + j, state, a1, a2, true, bit);
      }
      TRACE_SLOT_AT(ip + checks, lg, a1, a2, true, ((old >> nb) & 1u) ^ (e >> 7));
    }
  }
  ip += in->a;
  DISPATCH();
}
H_A_TIM: lg = Logic(kA, lg, TIMBIT()); NEXT();
H_AN_TIM: lg = Logic(kAN, lg, TIMBIT()); NEXT();
H_O_TIM: lg = Logic(kO, lg, TIMBIT()); NEXT();
H_ON_TIM: lg = Logic(kON, lg, TIMBIT()); NEXT();
H_X_TIM: lg = Logic(kX, lg, TIMBIT()); NEXT();
H_XN_TIM: lg = Logic(kXN, lg, TIMBIT()); NEXT();
H_A_CNT: lg = Logic(kA, lg, CNTBIT()); NEXT();
H_AN_CNT: lg = Logic(kAN, lg, CNTBIT()); NEXT();
H_O_CNT: lg = Logic(kO, lg, CNTBIT()); NEXT();
H_ON_CNT: lg = Logic(kON, lg, CNTBIT()); NEXT();
H_X_CNT: lg = Logic(kX, lg, CNTBIT()); NEXT();
H_XN_CNT: lg = Logic(kXN, lg, CNTBIT()); NEXT();
H_A_COND: lg = Logic(kA, lg, CONDBIT()); NEXT();
H_AN_COND: lg = Logic(kAN, lg, CONDBIT()); NEXT();
H_O_COND: lg = Logic(kO, lg, CONDBIT()); NEXT();
H_ON_COND: lg = Logic(kON, lg, CONDBIT()); NEXT();
H_X_COND: lg = Logic(kX, lg, CONDBIT()); NEXT();
H_XN_COND: lg = Logic(kXN, lg, CONDBIT()); NEXT();

  // A bracket saves the logic state and BR and starts a first check with OR cleared.
#define OPEN_NEST(sub_)                                                              \
  do {                                                                               \
    if (depth >= 7) FAIL(Fault::NestingOverflow);                                    \
    nest_[static_cast<size_t>(depth++)] =                                            \
        Nest{static_cast<uint8_t>(lg & kLogicMask), static_cast<uint8_t>(br), sub_}; \
    lg = (lg & kRLO) | kSTA;                                                         \
  } while (0)
H_A_NEST: OPEN_NEST(kA); NEXT();
H_AN_NEST: OPEN_NEST(kAN); NEXT();
H_O_NEST: OPEN_NEST(kO); NEXT();
H_ON_NEST: OPEN_NEST(kON); NEXT();
H_X_NEST: OPEN_NEST(kX); NEXT();
H_XN_NEST: OPEN_NEST(kXN); NEXT();
H_CLOSE: {
  if (depth == 0) FAIL(Fault::NestingUnderflow);
  const uint32_t v = RLO();
  const Nest& e = nest_[static_cast<size_t>(--depth)];
  br = e.br;
  lg = Logic(e.sub, e.logic, v) | kSTA | kFC;
  NEXT();
}
H_O_AND:
  // AND before OR: remember the result so far, the next operation starts a new AND group.
  lg = (lg & kFC) ? ((lg & kRLO) | kSTA | (RLO() << 4)) : ((lg & (kRLO | kOR)) | kSTA);
  NEXT();
H_NOT: lg = ((lg ^ kRLO) | kSTA) & kLogicMask; NEXT();
H_SET: lg = kRLO | kSTA; NEXT();
H_CLR: lg = 0; NEXT();
H_SAVE: br = RLO(); NEXT();
H_FP:
H_FN: {
  uint8_t* bp = m + in->arg;
  const uint32_t n = in->a, cur = *bp, old = (cur >> n) & 1u, rlo = RLO();
  *bp = static_cast<uint8_t>((cur & ~(1u << n)) | (rlo << n));
  const uint32_t edge = in->op == Opcode::FP ? (rlo & (old ^ 1u)) : ((rlo ^ 1u) & old);
  lg = kFC | edge << 2 | edge << 3;
  NEXT();
}

  // ---- load and transfer
  // Loads of bytes, words, double words and constants share a handler (see EncodeLoad): four
  // bytes are read high byte first and shifted down, from memory or from the instruction.
H_L_B:
H_L_W:
H_L_D:
H_L_K: {
  a2 = a1;
  // chosen without a branch: constants and memory loads mix unpredictably
  const uintptr_t fromInsn = reinterpret_cast<uintptr_t>(&in->arg);
  const uintptr_t fromMemory = reinterpret_cast<uintptr_t>(m + in->arg);
  const uintptr_t select = uintptr_t{0} - uintptr_t{in->b};
  a1 = Rd32(reinterpret_cast<const uint8_t*>((fromInsn & select) | (fromMemory & ~select))) >> in->a;
  NEXT_PLAIN();
}
  // Two loads in a row (see Fuse): this instruction is the first, unchanged but for its opcode;
  // the second follows it as it was compiled. ACCU 2 ends as the first value, ACCU 1 as the second.
H_L_L: {
  const Insn* const second = ip + 1;
  const uintptr_t select1 = uintptr_t{0} - uintptr_t{in->b};
  const uintptr_t select2 = uintptr_t{0} - uintptr_t{second->b};
  const uintptr_t from1 = (reinterpret_cast<uintptr_t>(&in->arg) & select1) |
                          (reinterpret_cast<uintptr_t>(m + in->arg) & ~select1);
  const uintptr_t from2 = (reinterpret_cast<uintptr_t>(&second->arg) & select2) |
                          (reinterpret_cast<uintptr_t>(m + second->arg) & ~select2);
  const uint32_t before = a1;
  a2 = Rd32(reinterpret_cast<const uint8_t*>(from1)) >> in->a;
  a1 = Rd32(reinterpret_cast<const uint8_t*>(from2)) >> second->a;
  if constexpr (kTrace) {
    if (slots != nullptr) {
      traceHigh = STATUS_HIGH();
      TRACE_SLOT_AT(ip, lg, a2, before, false, 0u);
      TRACE_SLOT_AT(second, lg, a1, a2, false, 0u);
    }
  }
  (void)before;
  ip += 2;
  DISPATCH();
}
H_L_TIM: a2 = a1; a1 = TimerUnits(static_cast<int>(in->arg)); NEXT();
H_L_CNT: a2 = a1; a1 = counters[in->arg].value; NEXT();
H_L_STW: a2 = a1; a1 = STATUS_WORD(); NEXT();
H_LC_TIM: {
  a2 = a1;
  uint32_t units = TimerUnits(static_cast<int>(in->arg));
  a1 = ToBcd3(units) | uint32_t(timers[in->arg].base) << 12;
  NEXT();
}
H_LC_CNT: a2 = a1; a1 = ToBcd3(counters[in->arg].value); NEXT();
H_T_B: m[in->arg] = static_cast<uint8_t>(a1); NEXT_PLAIN();
H_T_W: Wr16(m + in->arg, a1); NEXT_PLAIN();
H_T_D: Wr32(m + in->arg, a1); NEXT_PLAIN();
H_T_STW:
  // /FC, STA and OR cannot be written.
  lg = (lg & (kFC | kSTA | kOR)) | ((a1 << 1) & kRLO);
  os = (a1 >> 4) & 1u;
  ov = (a1 >> 5) & 1u;
  cc0 = (a1 >> 6) & 1u;
  cc1 = (a1 >> 7) & 1u;
  br = (a1 >> 8) & 1u;
  NEXT();
H_TAK: { uint32_t t = a1; a1 = a2; a2 = t; NEXT(); }
H_PUSH: a2 = a1; NEXT();
H_POP: a1 = a2; NEXT();
H_ENT: NEXT();
H_LEAVE: NEXT();
  // INC DEC + INVI INVD ITD change ACCU 1 without status bits and share a handler (see Lower):
  // ACCU 1 := kept bits | (((ACCU 1 & pre) ^ x) + arg) in the other bits.
H_INC:
H_DEC:
H_ADD_K16:
H_ADD_K32:
H_INVI:
H_INVD:
H_ITD: {
  const uint32_t keep = kTransformKeep[in->a & 3u];
  const uint32_t g = ((a1 & kTransformPre[in->a >> 2]) ^ kTransformXor[in->b]) + in->arg;
  a1 = (a1 & keep) | (g & ~keep);
  NEXT_PLAIN();
}
H_CAW: SET_LO16(((a1 & 0xFFu) << 8) | ((a1 >> 8) & 0xFFu)); NEXT();
H_CAD: a1 = (a1 >> 24) | ((a1 >> 8) & 0xFF00u) | ((a1 << 8) & 0xFF0000u) | (a1 << 24); NEXT();

  // ---- integer arithmetic and word logic
  // +I -I +D -D NEGI NEGD and all word logic share a handler (see Lower), so that a random mix
  // of them is one predicted jump: both results are computed and one is kept.
  // Arithmetic: a = 1 subtracts, b bit 1 selects 32 bits, bit 2 subtracts from zero (NEGI,
  // NEGD); CC1/CC0 follow the sign of the stored result, OV the true result leaving the range.
  // Word logic (b bit 3): a = 0 AND, 1 OR, 2 XOR; b bit 0 takes the constant instead of ACCU 2;
  // OR = x|y, AND = OR without the differing bits, XOR = OR without the common bits; CC1 tells
  // a result other than 0, CC0 and OV are cleared.
H_ADD_I:
H_SUB_I:
H_ADD_D:
H_SUB_D:
H_NEGI:
H_NEGD:
H_AW:
H_AW_K:
H_OW:
H_OW_K:
H_XOW:
H_XOW_K:
H_AD:
H_AD_K:
H_OD:
H_OD_K:
H_XOD:
H_XOD_K: {
  const uint32_t f = in->b;
  const bool dword = (f & 2) != 0;
  const uint32_t keep = dword ? 0u : 0xFFFF0000u;
  const int64_t x = (f & 4) ? 0 : dword ? int64_t(S32(a2)) : int64_t(Lo16(a2));
  const int64_t y = dword ? int64_t(S32(a1)) : int64_t(Lo16(a1));
  const int64_t sum = (in->a & 1) ? x - y : x + y;
  const uint32_t sumBits = static_cast<uint32_t>(sum) & ~keep;
  const int64_t stored = dword ? int64_t(S32(sumBits)) : int64_t(Lo16(sumBits));
  const uint32_t w = (f & 1) ? in->arg : a2;
  const uint32_t drop = in->a == 0 ? (a1 ^ w) : in->a == 2 ? (a1 & w) : 0u;
  const uint32_t logicBits = ((a1 | w) & ~drop) & ~keep;
  const uint32_t logic = (f >> 3) & 1u;
  a1 = (a1 & keep) | (logic ? logicBits : sumBits);
  ov = (stored != sum ? 1u : 0u) & (logic ^ 1u);
  os |= ov;
  cc1 = logic ? (logicBits != 0 ? 1u : 0u) : (stored > 0 ? 1u : 0u);
  cc0 = logic ? 0u : (stored < 0 ? 1u : 0u);
  NEXT_PLAIN();
}
H_MUL_I: {
  int32_t r = Lo16(a2) * Lo16(a1);
  a1 = static_cast<uint32_t>(r);
  ov = (r < -32768 || r > 32767) ? 1u : 0u;
  os |= ov;
  CC_SIGN(r);
  NEXT_PLAIN();
}
H_DIV_I: {
  int32_t d = Lo16(a1), n = Lo16(a2);
  if (d == 0) {
    cc1 = cc0 = 1;
    ov = os = 1;
    NEXT();
  }
  int32_t q = n / d, rem = n % d;
  a1 = (static_cast<uint32_t>(rem) << 16) | (static_cast<uint32_t>(q) & 0xFFFFu);
  if (q > 32767) {
    cc1 = 0;
    cc0 = 1;
    ov = os = 1;
  } else {
    ov = 0;
    CC_SIGN(q);
  }
  NEXT();
}
H_MUL_D: {
  int64_t r = int64_t(S32(a2)) * S32(a1);
  a1 = static_cast<uint32_t>(r);
  ov = (r < INT32_MIN || r > INT32_MAX) ? 1u : 0u;
  os |= ov;
  CC_SIGN(r);
  NEXT();
}
H_DIV_D: {
  int64_t d = S32(a1), n = S32(a2);
  if (d == 0) {
    cc1 = cc0 = 1;
    ov = os = 1;
    NEXT();
  }
  int64_t q = n / d;
  a1 = static_cast<uint32_t>(q);
  if (q > INT32_MAX) {
    cc1 = 0;
    cc0 = 1;
    ov = os = 1;
  } else {
    ov = 0;
    CC_SIGN(q);
  }
  NEXT();
}
H_MOD: {
  int64_t d = S32(a1), n = S32(a2);
  if (d == 0) {
    cc1 = cc0 = 1;
    ov = os = 1;
    NEXT();
  }
  int64_t r = n % d;
  a1 = static_cast<uint32_t>(r);
  ov = 0;
  CC_SIGN(r);
  NEXT();
}

  // ---- real arithmetic
#define REAL_OP(expr)                  \
  do {                                 \
    float x = AsReal(a2), y = AsReal(a1); \
    (void)x;                           \
    (void)y;                           \
    float r_ = (expr);                 \
    a1 = FromReal(r_);                 \
    REAL_STATUS(r_);                   \
  } while (0)
H_ADD_R: REAL_OP(x + y); NEXT();
H_SUB_R: REAL_OP(x - y); NEXT();
H_MUL_R: REAL_OP(x * y); NEXT();
H_DIV_R: REAL_OP(x / y); NEXT();
H_ABS: a1 &= 0x7FFFFFFFu; NEXT();
H_SQR: REAL_OP(y * y); NEXT();
H_SQRT: REAL_OP(std::sqrt(y)); NEXT();
H_EXP: REAL_OP(std::exp(y)); NEXT();
H_LN: REAL_OP(std::log(y)); NEXT();
H_SIN: REAL_OP(std::sin(y)); NEXT();
H_COS: REAL_OP(std::cos(y)); NEXT();
H_TAN: REAL_OP(std::tan(y)); NEXT();
H_ASIN: REAL_OP(std::asin(y)); NEXT();
H_ACOS: REAL_OP(std::acos(y)); NEXT();
H_ATAN: REAL_OP(std::atan(y)); NEXT();

  // ---- comparisons
H_EQ_I: COMPARE(Lo16(a2), Lo16(a1), ==); NEXT();
H_NE_I: COMPARE(Lo16(a2), Lo16(a1), !=); NEXT();
H_GT_I: COMPARE(Lo16(a2), Lo16(a1), >); NEXT();
H_LT_I: COMPARE(Lo16(a2), Lo16(a1), <); NEXT();
H_GE_I: COMPARE(Lo16(a2), Lo16(a1), >=); NEXT();
H_LE_I: COMPARE(Lo16(a2), Lo16(a1), <=); NEXT();
H_EQ_D: COMPARE(S32(a2), S32(a1), ==); NEXT();
H_NE_D: COMPARE(S32(a2), S32(a1), !=); NEXT();
H_GT_D: COMPARE(S32(a2), S32(a1), >); NEXT();
H_LT_D: COMPARE(S32(a2), S32(a1), <); NEXT();
H_GE_D: COMPARE(S32(a2), S32(a1), >=); NEXT();
H_LE_D: COMPARE(S32(a2), S32(a1), <=); NEXT();
H_EQ_R: COMPARE_R(==); NEXT();
H_NE_R: COMPARE_R(!=); NEXT();
H_GT_R: COMPARE_R(>); NEXT();
H_LT_R: COMPARE_R(<); NEXT();
H_GE_R: COMPARE_R(>=); NEXT();
H_LE_R: COMPARE_R(<=); NEXT();

  // ---- shifts and rotations; a count of 0 changes nothing, not even the status bits
  // SLW SRW SLD SRD share a handler (see Lower): b bit 0 takes the count from ACCU 2-L-L,
  // bit 1 shifts right, bit 2 works on 32 bits. CC1 is the last bit shifted out.
H_SLW:
H_SLW_N:
H_SRW:
H_SRW_N:
H_SLD:
H_SLD_N:
H_SRD:
H_SRD_N: {
  const uint32_t f = in->b;
  const uint32_t places = (f & 1u) ? (a2 & 0xFFu) : in->a;
  if (places) {
    const uint32_t k = places > 40 ? 40 : places;
    const uint64_t mask = (f & 4u) ? 0xFFFFFFFFull : 0xFFFFull;
    const uint32_t width = (f & 4u) ? 32u : 16u;
    const uint64_t v = a1 & mask;
    const uint64_t left = v << k;
    const uint64_t right = (v << 1) >> k;  // bit 0 is the last bit shifted out
    const bool toRight = (f & 2u) != 0;
    const uint64_t result = (toRight ? (right >> 1) : left) & mask;
    cc1 = static_cast<uint32_t>(toRight ? (right & 1u) : ((left >> width) & 1u));
    a1 = (a1 & ~static_cast<uint32_t>(mask)) | static_cast<uint32_t>(result);
    cc0 = 0;
    ov = 0;
  }
  NEXT();
}
  {
    uint32_t n;
H_SSI: n = a2 & 0xFFu; goto do_ssi;
H_SSI_N: n = in->a;
  do_ssi:
    if (n) {
      int32_t w = Lo16(a1);
      uint32_t k = n > 16 ? 16 : n;
      cc1 = static_cast<uint32_t>(w >> (k - 1)) & 1u;
      SET_LO16(static_cast<uint32_t>(w >> (k > 15 ? 15 : k)));
      cc0 = 0;
      ov = 0;
    }
    NEXT();
H_SSD: n = a2 & 0xFFu; goto do_ssd;
H_SSD_N: n = in->a;
  do_ssd:
    if (n) {
      int32_t v = S32(a1);
      uint32_t k = n > 32 ? 32 : n;
      cc1 = static_cast<uint32_t>(v >> (k - 1)) & 1u;
      a1 = static_cast<uint32_t>(v >> (k > 31 ? 31 : k));
      cc0 = 0;
      ov = 0;
    }
    NEXT();
H_RLD: n = a2 & 0xFFu; goto do_rld;
H_RLD_N: n = in->a;
  do_rld:
    if (n) {
      a1 = std::rotl(a1, static_cast<int>(n % 32));
      cc1 = a1 & 1u;
      cc0 = 0;
      ov = 0;
    }
    NEXT();
H_RRD: n = a2 & 0xFFu; goto do_rrd;
H_RRD_N: n = in->a;
  do_rrd:
    if (n) {
      a1 = std::rotr(a1, static_cast<int>(n % 32));
      cc1 = a1 >> 31;
      cc0 = 0;
      ov = 0;
    }
    NEXT();
  }
H_RLDA: {
  uint32_t out = a1 >> 31;
  a1 = (a1 << 1) | cc1;
  cc1 = out;
  cc0 = 0;
  ov = 0;
  NEXT();
}
H_RRDA: {
  uint32_t out = a1 & 1u;
  a1 = (a1 >> 1) | (cc1 << 31);
  cc1 = out;
  cc0 = 0;
  ov = 0;
  NEXT();
}

  // ---- conversions
H_DTR: a1 = FromReal(static_cast<float>(S32(a1))); NEXT();
H_ITB: {
  int32_t v = Lo16(a1);
  int32_t mag = v < 0 ? -v : v;
  if (mag > 999) {
    ov = os = 1;
    NEXT();
  }
  uint32_t bcd = ToBcd3(static_cast<uint32_t>(mag)) | (v < 0 ? 0xF000u : 0u);
  SET_LO16(bcd);
  NEXT();
}
H_BTI: {
  uint32_t v;
  if (!Bcd3(a1, v)) FAIL(Fault::BcdError);
  int32_t r = (a1 & 0x8000u) ? -static_cast<int32_t>(v) : static_cast<int32_t>(v);
  SET_LO16(static_cast<uint32_t>(r));
  NEXT();
}
H_DTB: {
  int64_t v = S32(a1);
  int64_t mag = v < 0 ? -v : v;
  if (mag > 9999999) {
    ov = os = 1;
    NEXT();
  }
  uint32_t bcd = 0;
  for (int k = 0; k < 7; ++k) {
    bcd |= static_cast<uint32_t>(mag % 10) << (4 * k);
    mag /= 10;
  }
  a1 = bcd | (v < 0 ? 0xF0000000u : 0u);
  NEXT();
}
H_BTD: {
  int64_t v = 0;
  for (int k = 6; k >= 0; --k) {
    uint32_t d = (a1 >> (4 * k)) & 0xFu;
    if (d > 9) FAIL(Fault::BcdError);
    v = v * 10 + d;
  }
  a1 = static_cast<uint32_t>((a1 & 0x80000000u) ? -v : v);
  NEXT();
}
#define REAL_TO_DINT(fn)                                               \
  do {                                                                 \
    double r_ = fn(static_cast<double>(AsReal(a1)));                   \
    if (std::isnan(r_) || r_ < -2147483648.0 || r_ > 2147483647.0) {   \
      ov = os = 1;                                                     \
    } else {                                                           \
      a1 = static_cast<uint32_t>(static_cast<int32_t>(r_));            \
    }                                                                  \
  } while (0)
H_RND: REAL_TO_DINT(std::nearbyint); NEXT();
H_RND_P: REAL_TO_DINT(std::ceil); NEXT();
H_RND_M: REAL_TO_DINT(std::floor); NEXT();
H_TRUNC: REAL_TO_DINT(std::trunc); NEXT();
H_NEGR: a1 ^= 0x80000000u; NEXT();

  // ---- timers and counters
H_SI_T:
H_SV_T:
H_SE_T:
H_SS_T:
H_SA_T:
H_FR_TIM:
H_R_TIM: {
  // Timer and counter instructions end a logic chain: /FC and OR are cleared.
  Fault f = TimerOp(in->op, in->arg, (lg & kRLO) != 0, a1);
  lg &= kRLO | kSTA;
  if (f != Fault::None) FAIL(f);
  NEXT();
}
H_ZV:
H_ZR:
H_S_CNT:
H_R_CNT:
H_FR_CNT: {
  Fault f = CounterOp(in->op, in->arg, (lg & kRLO) != 0, a1);
  lg &= kRLO | kSTA;
  if (f != Fault::None) FAIL(f);
  NEXT();
}

  // ---- jumps
#define COND_JUMP_RLO(take)          \
  do {                               \
    bool t_ = (take);                \
    lg = kRLO | kSTA;                \
    if (t_) JUMP(in->arg);           \
    NEXT();                          \
  } while (0)
H_JU: JUMP(in->arg);
H_JC: COND_JUMP_RLO(RLO() != 0);
H_JCN: COND_JUMP_RLO(RLO() == 0);
H_JCB: br = RLO(); COND_JUMP_RLO(br != 0);
H_JNB: br = RLO(); COND_JUMP_RLO(br == 0);
H_JBI:
  lg = (lg & kRLO) | kSTA;
  if (br) JUMP(in->arg);
  NEXT();
H_JNBI:
  lg = (lg & kRLO) | kSTA;
  if (!br) JUMP(in->arg);
  NEXT();
H_JO: if (ov) JUMP(in->arg); NEXT();
H_JOS:
  if (os) {
    os = 0;
    JUMP(in->arg);
  }
  NEXT();
H_JZ: if (!cc1 && !cc0) JUMP(in->arg); NEXT();
H_JN: if (cc1 != cc0) JUMP(in->arg); NEXT();
H_JP: if (cc1 && !cc0) JUMP(in->arg); NEXT();
H_JM: if (!cc1 && cc0) JUMP(in->arg); NEXT();
H_JPZ: if (!cc0) JUMP(in->arg); NEXT();
H_JMZ: if (!cc1) JUMP(in->arg); NEXT();
H_JUO: if (cc1 && cc0) JUMP(in->arg); NEXT();
H_LOOP: {
  uint32_t w = (a1 - 1u) & 0xFFFFu;
  SET_LO16(w);
  if (w != 0) JUMP(in->arg);
  NEXT();
}
H_JL: {
  uint32_t k = a1 & 0xFFu;
  if (k < in->a) JUMP(static_cast<uint32_t>(ip - code) + 1 + k);
  JUMP(in->arg);
}
H_BE:
H_BEA:
  TRACE();
  count += static_cast<uint64_t>(ip - seg) + 1;
  goto L_return;
H_BEB:
  if (lg & kRLO) {
    TRACE();
    count += static_cast<uint64_t>(ip - seg) + 1;
    goto L_return;
  }
  lg = kRLO | kSTA;
  NEXT();
H_NOP: NEXT();
H_BLD: NEXT();
H_END:
  count += static_cast<uint64_t>(ip - seg);
  goto L_return;

  // ---- blocks
H_CC:
  if (!(lg & kRLO)) {
    lg = kRLO | kSTA;
    NEXT();
  }
  goto L_call;
H_CALL:
H_UC:
L_call: {
  const CallSite& cs = p.calls[in->arg];
  TRACE();
  uint32_t calleeBase = 0;
  if (cs.relDi) {
    // the caller's DI may have been reopened by the program since the block began
    if (cs.diBase + cs.diLength > DbLength(di)) FAIL(Fault::DbLength);
    calleeBase = DbBase(di);
  }
  if (!CopyParams<true>(p.copies.data() + cs.firstIn, cs.inCount, calleeBase)) FAIL(Fault::DbLength);
  if (cs.native != Native::None) {
    Fault f = RunNative(p, cs, calleeBase);
    if (f != Fault::None) FAIL(f);
    if (!CopyParams<false>(p.copies.data() + cs.firstOut, cs.outCount, calleeBase))
      FAIL(Fault::DbLength);
    lg = (lg & kRLO) | kSTA;
    ++ip;
    DISPATCH();
  }
  if (calls >= kMaxCallDepth) FAIL(Fault::CallDepth);
  {
    Frame& fr = frames_[static_cast<size_t>(calls++)];
    fr.ret = ip;
    fr.db = db;
    fr.di = di;
    fr.site = in->arg;
    fr.mcrDependent = mcrOn;
  }
  mcrOn = false;
  if (cs.setsDi) di = MakeDbReg(calleeBase + cs.diBase, cs.diLength);
  if constexpr (kTrace) {
    traceCaller = static_cast<uint32_t>(ip - code);
    traceDb = DbNumber(p, di);
    observer->OnCall(traceCaller, cs.entry, static_cast<uint16_t>(traceDb));
  }
  count += static_cast<uint64_t>(ip - seg) + 1;
  if (count > limit) goto L_budget;
  lg = (lg & kRLO) | kSTA;
  ip = code + cs.entry;
  seg = ip;
  DISPATCH();
}
L_return: {
  if (calls == 0) goto L_done;
  const Frame& f = frames_[static_cast<size_t>(--calls)];
  db = f.db;
  di = f.di;
  if constexpr (kTrace) {
    traceCaller = calls > 0 ? static_cast<uint32_t>(frames_[static_cast<size_t>(calls - 1)].ret - code)
                            : StatusRecord::kNoCaller;
    traceDb = DbNumber(p, di);
  }
  mcrOn = f.mcrDependent;
  ip = f.ret;
  const CallSite& cs = p.calls[f.site];
  if (!CopyParams<false>(p.copies.data() + cs.firstOut, cs.outCount,
                         cs.relDi ? DbBase(di) : 0u)) {
    fault = Fault::DbLength;
    faultAt = static_cast<uint32_t>(ip - code);
    goto L_store;
  }
  if (count > limit) goto L_budget;
  lg = (lg & kRLO) | kSTA;
  ++ip;
  seg = ip;
  DISPATCH();
}
H_OPN: {
  const DataBlockInfo& d = p.dbs[in->arg];
  (in->a ? di : db) = MakeDbReg(d.base, d.length);
  TRACE_DB();
  NEXT();
}
H_L_DBREG:
  a2 = a1;
  a1 = in->a == 0 ? DbNumber(p, db) : in->a == 1 ? DbLength(db) : in->a == 2 ? DbNumber(p, di) : DbLength(di);
  NEXT();
H_TDB: std::swap(db, di); TRACE_DB(); NEXT();
H_LAR1: ar1 = a1; NEXT();
H_LAR1_D: ar1 = Rd32(m + in->arg); NEXT();
H_LAR1_K: ar1 = in->arg; NEXT();
H_LAR2: ar2 = a1; NEXT();
H_LAR2_D: ar2 = Rd32(m + in->arg); NEXT();
H_LAR2_K: ar2 = in->arg; NEXT();
H_TAR1: a2 = a1; a1 = ar1; NEXT();
H_TAR1_D: Wr32(m + in->arg, ar1); NEXT();
H_TAR2: a2 = a1; a1 = ar2; NEXT();
H_TAR2_D: Wr32(m + in->arg, ar2); NEXT();
  // +AR: a 16-bit signed offset (in bits) is added to the address part; the area stays.
#define ADD_AR(reg, v)                                                                    \
  reg = (reg & 0xFF000000u) |                                                             \
        ((reg + static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(v)))) & 0x00FFFFFFu)
H_ADD_AR1: ADD_AR(ar1, a1 & 0xFFFFu); NEXT();
H_ADD_AR1_K: ADD_AR(ar1, in->arg & 0xFFFFu); NEXT();
H_ADD_AR2: ADD_AR(ar2, a1 & 0xFFFFu); NEXT();
H_ADD_AR2_K: ADD_AR(ar2, in->arg & 0xFFFFu); NEXT();
H_CAR: std::swap(ar1, ar2); NEXT();

H_INDIRECT: {
  const Fault f = Resolve(p, p.indirect[in->arg], tmp);
  if (f != Fault::None) FAIL(f);
  in = &tmp;
  goto* kLabels[static_cast<size_t>(tmp.op)];
}

  // ---- master control relay
  // MCR( pushes the RLO ANDed with the enclosing zone; the MCR is energized while the top
  // entry (or an empty stack) is 1. Only blocks between MCRA and MCRD depend on it.
H_MCRA: mcrOn = true; NEXT();
H_MCRD: mcrOn = false; NEXT();
H_MCR_OPEN:
  if (mcrDepth >= kMaxMcrDepth) FAIL(Fault::McrOverflow);
  mcrBits = (mcrBits & ~(1u << mcrDepth)) | ((RLO() & MCR_BIT()) << mcrDepth);
  ++mcrDepth;
  lg = (lg & kRLO) | kSTA;
  NEXT();
H_MCR_CLOSE:
  if (mcrDepth == 0) FAIL(Fault::McrUnderflow);
  --mcrDepth;
  lg = (lg & kRLO) | kSTA;
  NEXT();
H_MCR_DEP: {
  const Insn* real = &p.mcrDependent[in->arg];
  if (!mcrOn || MCR_BIT()) {
    in = real;
    goto* kLabels[static_cast<size_t>(real->op)];
  }
  // De-energized: `=` writes 0, `S` and `R` write nothing, `T` writes 0; the status word
  // changes as it always does.
  tmp = *real;
  if (tmp.op == Opcode::INDIRECT) {
    const Fault f = Resolve(p, p.indirect[tmp.arg], tmp);
    if (f != Fault::None) FAIL(f);
  }
  switch (tmp.op) {
    case Opcode::T_B: m[tmp.arg] = 0; break;
    case Opcode::T_W: Wr16(m + tmp.arg, 0); break;
    case Opcode::T_D: Wr32(m + tmp.arg, 0); break;
    default:
      if (tmp.b == kAssign) m[tmp.arg] = static_cast<uint8_t>(m[tmp.arg] & ~(1u << tmp.a));
      lg = (lg & kRLO) | ((lg & kRLO) << 1);
      break;
  }
  NEXT();
}

L_budget:
  // ip is the jump that went over the budget; count already includes it
  fault = Fault::CycleTime;
  faultAt = static_cast<uint32_t>(ip - code);
  goto L_store;

L_fault:
  faultAt = static_cast<uint32_t>(ip - code);
  count += static_cast<uint64_t>(ip >= seg ? ip - seg : 0);
  goto L_store;

L_done:
  // a block without jumps can also run past the budget; it is checked once at its end
  if (count > limit) goto L_budget;
  fault = Fault::None;

L_store:
  executed = count;
  accu1 = a1;
  accu2 = a2;
  status = STATUS_WORD();
  return fault;

#undef STATUS_WORD
#undef TRACE
#undef TRACE_SLOT
#undef TRACE_SLOT_AT
#undef TRACE_PLAIN
#undef TRACE_BIT
#undef TRACE_DB
#undef NEXT_PLAIN
#undef STATUS_HIGH
#undef DISPATCH
#undef NEXT
#undef JUMP
#undef FAIL
#undef MCR_BIT
#undef RLO
#undef TIMBIT
#undef CNTBIT
#undef CONDBIT
#undef CC_SIGN
#undef REAL_STATUS
#undef COMPARE
#undef COMPARE_RESULT
#undef COMPARE_R
#undef SET_LO16
#undef OPEN_NEST
#undef REAL_OP
#undef REAL_TO_DINT
#undef COND_JUMP_RLO
#undef ADD_AR
}

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

template Fault Machine::Run<true>(const Program&, uint32_t, StatusObserver*, uint32_t&,
                                  uint64_t&);
template Fault Machine::Run<false>(const Program&, uint32_t, StatusObserver*, uint32_t&,
                                   uint64_t&);

}  // namespace softplc
