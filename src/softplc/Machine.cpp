#include "softplc/Machine.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace softplc {

const char* FaultText(Fault f) {
  switch (f) {
    case Fault::None: return "";
    case Fault::CycleTime: return "cycle time exceeded";
    case Fault::AreaLength: return "area length error: memory-indirect address outside its area";
    case Fault::BcdError: return "BCD conversion error: the value is not a valid BCD number";
    case Fault::NestingOverflow: return "nesting stack overflow: more than seven open brackets";
    case Fault::NestingUnderflow: return "nesting stack underflow: ')' without open bracket";
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

}  // namespace

Machine::Machine() = default;

void Machine::ClearTimersAndCounters() {
  timers.fill(TimerState{});
  counters.fill(CounterState{});
}

void Machine::ClearRegisters() {
  accu1 = accu2 = 0;
  status = 0;
}

void Machine::AdvanceTimers(uint32_t ms) {
  if (ms == 0) return;
  const int32_t step = ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(ms);
  for (TimerState& t : timers) {
    if (!t.running) continue;
    if (t.remainingMs > step) {
      t.remainingMs -= step;
      continue;
    }
    t.remainingMs = 0;
    t.running = false;
    t.q = t.kind == kOnDelay || t.kind == kRetentive;
  }
}

uint16_t Machine::TimerUnits(int n) const {
  const TimerState& t = timers[static_cast<size_t>(n)];
  int32_t base = kBaseMs[t.base];
  // The time value counts down one unit per elapsed time base.
  return static_cast<uint16_t>((t.remainingMs + base - 1) / base);
}

Fault Machine::TimerOp(Opcode op, uint32_t n, Regs& r) {
  TimerState& t = timers[n];
  const bool rlo = r.rlo != 0;
  auto load = [&](bool& ok) {
    uint32_t w = r.a1 & 0xFFFF, units;
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
  r.fc = 0;
  r.orb = 0;
  return ok ? Fault::None : Fault::BcdError;
}

Fault Machine::CounterOp(Opcode op, uint32_t n, Regs& r) {
  CounterState& c = counters[n];
  const bool rlo = r.rlo != 0;
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
        if (!Bcd3(r.a1 & 0xFFFF, v)) {
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
  r.fc = 0;
  r.orb = 0;
  return Fault::None;
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

  const Insn* const code = p.code.data();
  const Insn* ip = code + entry;
  const Insn* in = ip;
  const Insn* seg = ip;
  uint64_t count = 0;
  const uint64_t limit = budget;
  uint8_t* const m = memory.data();
  Insn tmp{};
  int depth = 0;
  Fault fault = Fault::None;

  uint32_t a1 = accu1, a2 = accu2;
  uint32_t fc = status & stw::FC ? 1u : 0u, rlo = status & stw::RLO ? 1u : 0u,
           sta = status & stw::STA ? 1u : 0u, orb = status & stw::OR ? 1u : 0u,
           os = status & stw::OS ? 1u : 0u, ov = status & stw::OV ? 1u : 0u,
           cc0 = status & stw::CC0 ? 1u : 0u, cc1 = status & stw::CC1 ? 1u : 0u,
           br = status & stw::BR ? 1u : 0u;
  Regs regs{};

#define SAVE_REGS() regs = Regs{a1, a2, rlo, fc, sta, orb, os, ov, cc0, cc1, br}
#define LOAD_REGS()                                                                  \
  do {                                                                               \
    a1 = regs.a1; a2 = regs.a2; rlo = regs.rlo; fc = regs.fc; sta = regs.sta;        \
    orb = regs.orb; os = regs.os; ov = regs.ov; cc0 = regs.cc0; cc1 = regs.cc1;      \
    br = regs.br;                                                                    \
  } while (0)
#define STATUS_WORD()                                                                       \
  static_cast<uint16_t>(fc | rlo << 1 | sta << 2 | orb << 3 | os << 4 | ov << 5 | cc0 << 6 | \
                        cc1 << 7 | br << 8)
#define TRACE()                                                                         \
  do {                                                                                  \
    if constexpr (kTrace) {                                                             \
      StatusRecord rec;                                                                 \
      rec.instruction = static_cast<uint32_t>(ip - code);                               \
      rec.rlo = rlo != 0;                                                               \
      rec.sta = sta != 0;                                                               \
      rec.statusWord = STATUS_WORD();                                                   \
      rec.accu1 = a1;                                                                   \
      rec.accu2 = a2;                                                                   \
      observer->OnStatement(rec);                                                       \
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

  // Bit logic. /FC = 0 makes the next operation a first check; OR = 1 means an AND group
  // before the last O has already made the result true.
#define BIT_A(v)                                 \
  do {                                           \
    uint32_t v_ = (v);                           \
    sta = v_;                                    \
    rlo = ((rlo | (fc ^ 1u)) & v_) | orb;        \
    fc = 1u;                                     \
  } while (0)
#define BIT_O(v)                   \
  do {                             \
    uint32_t v_ = (v);             \
    sta = v_;                      \
    rlo = (rlo & fc) | v_ | orb;   \
    orb = 0;                       \
    fc = 1u;                       \
  } while (0)
#define BIT_X(v)                                \
  do {                                          \
    uint32_t v_ = (v);                          \
    sta = v_;                                   \
    rlo = fc ? (rlo ^ v_) : (v_ | orb);         \
    orb = 0;                                    \
    fc = 1u;                                    \
  } while (0)
#define MEMBIT() ((m[in->arg] & in->a) != 0 ? 1u : 0u)
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
#define COMPARE(x, y, pred)                          \
  do {                                               \
    auto x_ = (x);                                   \
    auto y_ = (y);                                   \
    cc1 = x_ > y_ ? 1u : 0u;                         \
    cc0 = x_ < y_ ? 1u : 0u;                         \
    ov = 0;                                          \
    uint32_t c_ = (x_ pred y_) ? 1u : 0u;            \
    sta = c_;                                        \
    rlo = ((rlo | (fc ^ 1u)) & c_) | orb;            \
    fc = 1u;                                         \
  } while (0)
#define COMPARE_R(pred)                                        \
  do {                                                         \
    float rx_ = AsReal(a2), ry_ = AsReal(a1);                  \
    if (std::isnan(rx_) || std::isnan(ry_)) {                  \
      cc1 = cc0 = 1; ov = 1; os = 1;                           \
      sta = 0;                                                 \
      rlo = ((rlo | (fc ^ 1u)) & 0u) | orb;                    \
      fc = 1u;                                                 \
    } else {                                                   \
      COMPARE(rx_, ry_, pred);                                 \
    }                                                          \
  } while (0)
#define SET_LO16(v) a1 = (a1 & 0xFFFF0000u) | ((v) & 0xFFFFu)

  DISPATCH();

  // ---- bit logic
H_A_BIT: BIT_A(MEMBIT()); NEXT();
H_AN_BIT: BIT_A(MEMBIT() ^ 1u); NEXT();
H_O_BIT: BIT_O(MEMBIT()); NEXT();
H_ON_BIT: BIT_O(MEMBIT() ^ 1u); NEXT();
H_X_BIT: BIT_X(MEMBIT()); NEXT();
H_XN_BIT: BIT_X(MEMBIT() ^ 1u); NEXT();
H_A_TIM: BIT_A(TIMBIT()); NEXT();
H_AN_TIM: BIT_A(TIMBIT() ^ 1u); NEXT();
H_O_TIM: BIT_O(TIMBIT()); NEXT();
H_ON_TIM: BIT_O(TIMBIT() ^ 1u); NEXT();
H_X_TIM: BIT_X(TIMBIT()); NEXT();
H_XN_TIM: BIT_X(TIMBIT() ^ 1u); NEXT();
H_A_CNT: BIT_A(CNTBIT()); NEXT();
H_AN_CNT: BIT_A(CNTBIT() ^ 1u); NEXT();
H_O_CNT: BIT_O(CNTBIT()); NEXT();
H_ON_CNT: BIT_O(CNTBIT() ^ 1u); NEXT();
H_X_CNT: BIT_X(CNTBIT()); NEXT();
H_XN_CNT: BIT_X(CNTBIT() ^ 1u); NEXT();
H_A_COND: BIT_A(CONDBIT()); NEXT();
H_AN_COND: BIT_A(CONDBIT() ^ 1u); NEXT();
H_O_COND: BIT_O(CONDBIT()); NEXT();
H_ON_COND: BIT_O(CONDBIT() ^ 1u); NEXT();
H_X_COND: BIT_X(CONDBIT()); NEXT();
H_XN_COND: BIT_X(CONDBIT() ^ 1u); NEXT();

#define OPEN_NEST(code_)                                                           \
  do {                                                                             \
    if (depth >= 7) FAIL(Fault::NestingOverflow);                                  \
    nest_[static_cast<size_t>(depth++)] =                                          \
        Nest{static_cast<uint8_t>(rlo), static_cast<uint8_t>(orb),                 \
             static_cast<uint8_t>(fc), static_cast<uint8_t>(br), code_};           \
    fc = 0;                                                                        \
    orb = 0;                                                                       \
    sta = 1;                                                                       \
  } while (0)
H_A_NEST: OPEN_NEST(Opcode::A_BIT); NEXT();
H_AN_NEST: OPEN_NEST(Opcode::AN_BIT); NEXT();
H_O_NEST: OPEN_NEST(Opcode::O_BIT); NEXT();
H_ON_NEST: OPEN_NEST(Opcode::ON_BIT); NEXT();
H_X_NEST: OPEN_NEST(Opcode::X_BIT); NEXT();
H_XN_NEST: OPEN_NEST(Opcode::XN_BIT); NEXT();
H_CLOSE: {
  if (depth == 0) FAIL(Fault::NestingUnderflow);
  uint32_t v = rlo;
  const Nest& e = nest_[static_cast<size_t>(--depth)];
  rlo = e.rlo;
  orb = e.orb;
  fc = e.fc;
  br = e.br;
  switch (e.op) {
    case Opcode::A_BIT: BIT_A(v); break;
    case Opcode::AN_BIT: BIT_A(v ^ 1u); break;
    case Opcode::O_BIT: BIT_O(v); break;
    case Opcode::ON_BIT: BIT_O(v ^ 1u); break;
    case Opcode::X_BIT: BIT_X(v); break;
    default: BIT_X(v ^ 1u); break;
  }
  sta = 1;
  NEXT();
}
H_O_AND:
  // AND before OR: remember the result so far, the next operation starts a new AND group.
  if (fc) orb = rlo;
  fc = 0;
  sta = 1;
  NEXT();
H_ASSIGN: {
  uint8_t& b = m[in->arg];
  b = static_cast<uint8_t>((b & ~in->a) | (in->a & (0u - rlo)));
  sta = rlo;
  fc = 0;
  orb = 0;
  NEXT();
}
H_SET_BIT:
  if (rlo) m[in->arg] = static_cast<uint8_t>(m[in->arg] | in->a);
  sta = rlo;
  fc = 0;
  orb = 0;
  NEXT();
H_RESET_BIT:
  if (rlo) m[in->arg] = static_cast<uint8_t>(m[in->arg] & ~in->a);
  sta = rlo;
  fc = 0;
  orb = 0;
  NEXT();
H_NOT: rlo ^= 1u; sta = 1; NEXT();
H_SET: rlo = 1; sta = 1; fc = 0; orb = 0; NEXT();
H_CLR: rlo = 0; sta = 0; fc = 0; orb = 0; NEXT();
H_SAVE: br = rlo; NEXT();
H_FP: {
  uint8_t& b = m[in->arg];
  uint32_t old = (b & in->a) != 0;
  b = static_cast<uint8_t>((b & ~in->a) | (in->a & (0u - rlo)));
  rlo = rlo & (old ^ 1u);
  sta = rlo;
  fc = 1;
  orb = 0;
  NEXT();
}
H_FN: {
  uint8_t& b = m[in->arg];
  uint32_t old = (b & in->a) != 0;
  b = static_cast<uint8_t>((b & ~in->a) | (in->a & (0u - rlo)));
  rlo = (rlo ^ 1u) & old;
  sta = rlo;
  fc = 1;
  orb = 0;
  NEXT();
}

  // ---- load and transfer
H_L_B: a2 = a1; a1 = m[in->arg]; NEXT();
H_L_W: a2 = a1; a1 = Rd16(m + in->arg); NEXT();
H_L_D: a2 = a1; a1 = Rd32(m + in->arg); NEXT();
H_L_K: a2 = a1; a1 = in->arg; NEXT();
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
H_T_B: m[in->arg] = static_cast<uint8_t>(a1); NEXT();
H_T_W: Wr16(m + in->arg, a1); NEXT();
H_T_D: Wr32(m + in->arg, a1); NEXT();
H_T_STW:
  // /FC, STA and OR cannot be written.
  rlo = (a1 >> 1) & 1u;
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
H_INC: a1 = (a1 & 0xFFFFFF00u) | ((a1 + in->a) & 0xFFu); NEXT();
H_DEC: a1 = (a1 & 0xFFFFFF00u) | ((a1 - in->a) & 0xFFu); NEXT();
H_ADD_K16: SET_LO16(a1 + in->arg); NEXT();
H_ADD_K32: a1 += in->arg; NEXT();
H_CAW: SET_LO16(((a1 & 0xFFu) << 8) | ((a1 >> 8) & 0xFFu)); NEXT();
H_CAD: a1 = (a1 >> 24) | ((a1 >> 8) & 0xFF00u) | ((a1 << 8) & 0xFF0000u) | (a1 << 24); NEXT();

  // ---- integer arithmetic
H_ADD_I: {
  int32_t r = Lo16(a2) + Lo16(a1);
  SET_LO16(static_cast<uint32_t>(r));
  ov = (r < -32768 || r > 32767) ? 1u : 0u;
  os |= ov;
  CC_SIGN(Lo16(a1));
  NEXT();
}
H_SUB_I: {
  int32_t r = Lo16(a2) - Lo16(a1);
  SET_LO16(static_cast<uint32_t>(r));
  ov = (r < -32768 || r > 32767) ? 1u : 0u;
  os |= ov;
  CC_SIGN(Lo16(a1));
  NEXT();
}
H_MUL_I: {
  int32_t r = Lo16(a2) * Lo16(a1);
  a1 = static_cast<uint32_t>(r);
  ov = (r < -32768 || r > 32767) ? 1u : 0u;
  os |= ov;
  CC_SIGN(r);
  NEXT();
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
H_ADD_D: {
  int64_t r = int64_t(S32(a2)) + S32(a1);
  a1 = static_cast<uint32_t>(r);
  ov = (r < INT32_MIN || r > INT32_MAX) ? 1u : 0u;
  os |= ov;
  CC_SIGN(S32(a1));
  NEXT();
}
H_SUB_D: {
  int64_t r = int64_t(S32(a2)) - S32(a1);
  a1 = static_cast<uint32_t>(r);
  ov = (r < INT32_MIN || r > INT32_MAX) ? 1u : 0u;
  os |= ov;
  CC_SIGN(S32(a1));
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

  // ---- word logic
#define WORD_LOGIC16(expr)          \
  do {                              \
    uint32_t w_ = (expr) & 0xFFFFu; \
    SET_LO16(w_);                   \
    cc1 = w_ != 0;                  \
    cc0 = 0;                        \
    ov = 0;                         \
  } while (0)
#define WORD_LOGIC32(expr) \
  do {                     \
    a1 = (expr);           \
    cc1 = a1 != 0;         \
    cc0 = 0;               \
    ov = 0;                \
  } while (0)
H_AW: WORD_LOGIC16(a1 & a2); NEXT();
H_AW_K: WORD_LOGIC16(a1 & in->arg); NEXT();
H_OW: WORD_LOGIC16(a1 | a2); NEXT();
H_OW_K: WORD_LOGIC16(a1 | in->arg); NEXT();
H_XOW: WORD_LOGIC16(a1 ^ a2); NEXT();
H_XOW_K: WORD_LOGIC16(a1 ^ in->arg); NEXT();
H_AD: WORD_LOGIC32(a1 & a2); NEXT();
H_AD_K: WORD_LOGIC32(a1 & in->arg); NEXT();
H_OD: WORD_LOGIC32(a1 | a2); NEXT();
H_OD_K: WORD_LOGIC32(a1 | in->arg); NEXT();
H_XOD: WORD_LOGIC32(a1 ^ a2); NEXT();
H_XOD_K: WORD_LOGIC32(a1 ^ in->arg); NEXT();

  // ---- shifts and rotations; a count of 0 changes nothing, not even the status bits
  {
    uint32_t n;
H_SLW: n = a2 & 0xFFu; goto do_slw;
H_SLW_N: n = in->a;
  do_slw:
    if (n) {
      uint32_t w = a1 & 0xFFFFu;
      cc1 = n <= 16 ? (w >> (16 - n)) & 1u : 0u;
      SET_LO16(n < 16 ? w << n : 0u);
      cc0 = 0;
      ov = 0;
    }
    NEXT();
H_SRW: n = a2 & 0xFFu; goto do_srw;
H_SRW_N: n = in->a;
  do_srw:
    if (n) {
      uint32_t w = a1 & 0xFFFFu;
      cc1 = n <= 16 ? (w >> (n - 1)) & 1u : 0u;
      SET_LO16(n < 16 ? w >> n : 0u);
      cc0 = 0;
      ov = 0;
    }
    NEXT();
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
H_SLD: n = a2 & 0xFFu; goto do_sld;
H_SLD_N: n = in->a;
  do_sld:
    if (n) {
      cc1 = n <= 32 ? (a1 >> (32 - n)) & 1u : 0u;
      a1 = n < 32 ? a1 << n : 0u;
      cc0 = 0;
      ov = 0;
    }
    NEXT();
H_SRD: n = a2 & 0xFFu; goto do_srd;
H_SRD_N: n = in->a;
  do_srd:
    if (n) {
      cc1 = n <= 32 ? (a1 >> (n - 1)) & 1u : 0u;
      a1 = n < 32 ? a1 >> n : 0u;
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
H_ITD: a1 = static_cast<uint32_t>(Lo16(a1)); NEXT();
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
H_INVI: a1 ^= 0xFFFFu; NEXT();
H_INVD: a1 = ~a1; NEXT();
H_NEGI: {
  int32_t v = Lo16(a1);
  if (v == -32768) {
    cc1 = 0;
    cc0 = 1;
    ov = os = 1;
    NEXT();
  }
  SET_LO16(static_cast<uint32_t>(-v));
  ov = 0;
  CC_SIGN(-v);
  NEXT();
}
H_NEGD: {
  int32_t v = S32(a1);
  if (v == INT32_MIN) {
    cc1 = 0;
    cc0 = 1;
    ov = os = 1;
    NEXT();
  }
  a1 = static_cast<uint32_t>(-v);
  ov = 0;
  CC_SIGN(-v);
  NEXT();
}
H_NEGR: a1 ^= 0x80000000u; NEXT();

  // ---- timers and counters
H_SI_T:
H_SV_T:
H_SE_T:
H_SS_T:
H_SA_T:
H_FR_TIM:
H_R_TIM: {
  SAVE_REGS();
  Fault f = TimerOp(in->op, in->arg, regs);
  LOAD_REGS();
  if (f != Fault::None) FAIL(f);
  NEXT();
}
H_ZV:
H_ZR:
H_S_CNT:
H_R_CNT:
H_FR_CNT: {
  SAVE_REGS();
  Fault f = CounterOp(in->op, in->arg, regs);
  LOAD_REGS();
  if (f != Fault::None) FAIL(f);
  NEXT();
}

  // ---- jumps
#define COND_JUMP_RLO(take)          \
  do {                               \
    bool t_ = (take);                \
    fc = 0;                          \
    orb = 0;                         \
    sta = 1;                         \
    rlo = 1;                         \
    if (t_) JUMP(in->arg);           \
    NEXT();                          \
  } while (0)
H_JU: JUMP(in->arg);
H_JC: COND_JUMP_RLO(rlo != 0);
H_JCN: COND_JUMP_RLO(rlo == 0);
H_JCB: br = rlo; COND_JUMP_RLO(rlo != 0);
H_JNB: br = rlo; COND_JUMP_RLO(rlo == 0);
H_JBI:
  fc = 0;
  orb = 0;
  sta = 1;
  if (br) JUMP(in->arg);
  NEXT();
H_JNBI:
  fc = 0;
  orb = 0;
  sta = 1;
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
  goto L_done;
H_BEB:
  if (rlo) {
    TRACE();
    count += static_cast<uint64_t>(ip - seg) + 1;
    goto L_done;
  }
  fc = 0;
  orb = 0;
  sta = 1;
  rlo = 1;
  NEXT();
H_NOP: NEXT();
H_BLD: NEXT();
H_END:
  count += static_cast<uint64_t>(ip - seg);
  goto L_done;

H_INDIRECT: {
  const IndirectRef& ref = p.indirect[in->arg];
  const uint8_t* ptr = m + ref.pointerOffset;
  tmp = Insn{ref.op, 0, 0, 0};
  if (ref.size >= 8) {
    uint32_t number = Rd16(ptr);
    if (number > 255) FAIL(Fault::AreaLength);
    tmp.arg = number;
  } else {
    uint32_t pointer = Rd32(ptr);
    uint32_t byte = (pointer >> 3) & 0xFFFFu;
    uint32_t width = ref.size == 0 ? 1u : ref.size;
    if (byte + width > AreaSize(ref.area)) FAIL(Fault::AreaLength);
    tmp.arg = AreaBase(ref.area) + byte;
    tmp.a = static_cast<uint8_t>(1u << (pointer & 7u));
  }
  in = &tmp;
  goto* kLabels[static_cast<size_t>(tmp.op)];
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
  fault = Fault::None;

L_store:
  executed = count;
  accu1 = a1;
  accu2 = a2;
  status = STATUS_WORD();
  return fault;

#undef SAVE_REGS
#undef LOAD_REGS
#undef STATUS_WORD
#undef TRACE
#undef DISPATCH
#undef NEXT
#undef JUMP
#undef FAIL
#undef BIT_A
#undef BIT_O
#undef BIT_X
#undef MEMBIT
#undef TIMBIT
#undef CNTBIT
#undef CONDBIT
#undef CC_SIGN
#undef REAL_STATUS
#undef COMPARE
#undef COMPARE_R
#undef SET_LO16
#undef OPEN_NEST
#undef REAL_OP
#undef WORD_LOGIC16
#undef WORD_LOGIC32
#undef REAL_TO_DINT
#undef COND_JUMP_RLO
}

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

template Fault Machine::Run<true>(const Program&, uint32_t, StatusObserver*, uint32_t&,
                                  uint64_t&);
template Fault Machine::Run<false>(const Program&, uint32_t, StatusObserver*, uint32_t&,
                                   uint64_t&);

}  // namespace softplc
