// The STL instruction set in one place. Every row names a VM opcode, its German and English
// mnemonic, the kind of operand it takes and, for numeric operands, the largest value allowed.
// The parser looks mnemonics up here and the VM's dispatch table is generated from the same
// list, so an opcode without a handler does not compile.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace softplc {

enum class Lang : uint8_t { German, English };

enum class OperandKind : uint8_t {
  None,
  Bit,        // E/A/M/L bit (I/Q/M/L), direct or memory-indirect
  Timer,      // T n
  Counter,    // Z n (C n)
  Cond,       // status-word bit: OV OS BIE ==0 <>0 >0 <0 >=0 <=0 UO
  LoadByte,   // EB AB MB LB PEB
  LoadWord,   // EW AW MW LW PEW
  LoadDWord,  // ED AD MD LD PED
  StoreByte,  // EB AB MB LB PAB
  StoreWord,  // EW AW MW LW PAW
  StoreDWord, // ED AD MD LD PAD
  Const,      // any constant
  Const16,    // constant of at most 16 bits
  Const32,    // constant of 32 bits (L#, DW#16#, ...)
  Int16,      // integer constant -32768..32767
  Int32,      // double-integer constant
  Count,      // small unsigned number, 0..limit
  Label,      // jump target
  Stw,        // the status word
  Block,      // FC n, FB n with DB m, SFB/SFC n, or a symbol
  DataBlock,  // DB n or DI n
  DbReg,      // DBNO DBLG DINO DILG
};

// X(opcode, German, English, operand kind, limit for Count operands)
#define SOFTPLC_INSTRUCTIONS(X)                                   \
  /* bit logic on bits, timer and counter states, status bits */  \
  X(A_BIT, "U", "A", Bit, 0)                                      \
  X(AN_BIT, "UN", "AN", Bit, 0)                                   \
  X(O_BIT, "O", "O", Bit, 0)                                      \
  X(ON_BIT, "ON", "ON", Bit, 0)                                   \
  X(X_BIT, "X", "X", Bit, 0)                                      \
  X(XN_BIT, "XN", "XN", Bit, 0)                                   \
  X(A_TIM, "U", "A", Timer, 0)                                    \
  X(AN_TIM, "UN", "AN", Timer, 0)                                 \
  X(O_TIM, "O", "O", Timer, 0)                                    \
  X(ON_TIM, "ON", "ON", Timer, 0)                                 \
  X(X_TIM, "X", "X", Timer, 0)                                    \
  X(XN_TIM, "XN", "XN", Timer, 0)                                 \
  X(A_CNT, "U", "A", Counter, 0)                                  \
  X(AN_CNT, "UN", "AN", Counter, 0)                               \
  X(O_CNT, "O", "O", Counter, 0)                                  \
  X(ON_CNT, "ON", "ON", Counter, 0)                               \
  X(X_CNT, "X", "X", Counter, 0)                                  \
  X(XN_CNT, "XN", "XN", Counter, 0)                               \
  X(A_COND, "U", "A", Cond, 0)                                    \
  X(AN_COND, "UN", "AN", Cond, 0)                                 \
  X(O_COND, "O", "O", Cond, 0)                                    \
  X(ON_COND, "ON", "ON", Cond, 0)                                 \
  X(X_COND, "X", "X", Cond, 0)                                    \
  X(XN_COND, "XN", "XN", Cond, 0)                                 \
  X(A_NEST, "U(", "A(", None, 0)                                  \
  X(AN_NEST, "UN(", "AN(", None, 0)                               \
  X(O_NEST, "O(", "O(", None, 0)                                  \
  X(ON_NEST, "ON(", "ON(", None, 0)                               \
  X(X_NEST, "X(", "X(", None, 0)                                  \
  X(XN_NEST, "XN(", "XN(", None, 0)                               \
  X(CLOSE, ")", ")", None, 0)                                     \
  X(O_AND, "O", "O", None, 0)                                     \
  X(ASSIGN, "=", "=", Bit, 0)                                     \
  X(SET_BIT, "S", "S", Bit, 0)                                    \
  X(RESET_BIT, "R", "R", Bit, 0)                                  \
  X(NOT, "NOT", "NOT", None, 0)                                   \
  X(SET, "SET", "SET", None, 0)                                   \
  X(CLR, "CLR", "CLR", None, 0)                                   \
  X(SAVE, "SAVE", "SAVE", None, 0)                                \
  X(FP, "FP", "FP", Bit, 0)                                       \
  X(FN, "FN", "FN", Bit, 0)                                       \
  /* load and transfer */                                         \
  X(L_B, "L", "L", LoadByte, 0)                                   \
  X(L_W, "L", "L", LoadWord, 0)                                   \
  X(L_D, "L", "L", LoadDWord, 0)                                  \
  X(L_K, "L", "L", Const, 0)                                      \
  X(L_TIM, "L", "L", Timer, 0)                                    \
  X(L_CNT, "L", "L", Counter, 0)                                  \
  X(L_STW, "L", "L", Stw, 0)                                      \
  X(LC_TIM, "LC", "LC", Timer, 0)                                 \
  X(LC_CNT, "LC", "LC", Counter, 0)                               \
  X(T_B, "T", "T", StoreByte, 0)                                  \
  X(T_W, "T", "T", StoreWord, 0)                                  \
  X(T_D, "T", "T", StoreDWord, 0)                                 \
  X(T_STW, "T", "T", Stw, 0)                                      \
  X(TAK, "TAK", "TAK", None, 0)                                   \
  X(PUSH, "PUSH", "PUSH", None, 0)                                \
  X(POP, "POP", "POP", None, 0)                                   \
  X(ENT, "ENT", "ENT", None, 0)                                   \
  X(LEAVE, "LEAVE", "LEAVE", None, 0)                             \
  X(INC, "INC", "INC", Count, 255)                                \
  X(DEC, "DEC", "DEC", Count, 255)                                \
  X(ADD_K16, "+", "+", Int16, 0)                                  \
  X(ADD_K32, "+", "+", Int32, 0)                                  \
  X(CAW, "CAW", "CAW", None, 0)                                   \
  X(CAD, "CAD", "CAD", None, 0)                                   \
  /* arithmetic */                                                \
  X(ADD_I, "+I", "+I", None, 0)                                   \
  X(SUB_I, "-I", "-I", None, 0)                                   \
  X(MUL_I, "*I", "*I", None, 0)                                   \
  X(DIV_I, "/I", "/I", None, 0)                                   \
  X(ADD_D, "+D", "+D", None, 0)                                   \
  X(SUB_D, "-D", "-D", None, 0)                                   \
  X(MUL_D, "*D", "*D", None, 0)                                   \
  X(DIV_D, "/D", "/D", None, 0)                                   \
  X(MOD, "MOD", "MOD", None, 0)                                   \
  X(ADD_R, "+R", "+R", None, 0)                                   \
  X(SUB_R, "-R", "-R", None, 0)                                   \
  X(MUL_R, "*R", "*R", None, 0)                                   \
  X(DIV_R, "/R", "/R", None, 0)                                   \
  X(ABS, "ABS", "ABS", None, 0)                                   \
  X(SQR, "SQR", "SQR", None, 0)                                   \
  X(SQRT, "SQRT", "SQRT", None, 0)                                \
  X(EXP, "EXP", "EXP", None, 0)                                   \
  X(LN, "LN", "LN", None, 0)                                      \
  X(SIN, "SIN", "SIN", None, 0)                                   \
  X(COS, "COS", "COS", None, 0)                                   \
  X(TAN, "TAN", "TAN", None, 0)                                   \
  X(ASIN, "ASIN", "ASIN", None, 0)                                \
  X(ACOS, "ACOS", "ACOS", None, 0)                                \
  X(ATAN, "ATAN", "ATAN", None, 0)                                \
  /* comparisons */                                               \
  X(EQ_I, "==I", "==I", None, 0)                                  \
  X(NE_I, "<>I", "<>I", None, 0)                                  \
  X(GT_I, ">I", ">I", None, 0)                                    \
  X(LT_I, "<I", "<I", None, 0)                                    \
  X(GE_I, ">=I", ">=I", None, 0)                                  \
  X(LE_I, "<=I", "<=I", None, 0)                                  \
  X(EQ_D, "==D", "==D", None, 0)                                  \
  X(NE_D, "<>D", "<>D", None, 0)                                  \
  X(GT_D, ">D", ">D", None, 0)                                    \
  X(LT_D, "<D", "<D", None, 0)                                    \
  X(GE_D, ">=D", ">=D", None, 0)                                  \
  X(LE_D, "<=D", "<=D", None, 0)                                  \
  X(EQ_R, "==R", "==R", None, 0)                                  \
  X(NE_R, "<>R", "<>R", None, 0)                                  \
  X(GT_R, ">R", ">R", None, 0)                                    \
  X(LT_R, "<R", "<R", None, 0)                                    \
  X(GE_R, ">=R", ">=R", None, 0)                                  \
  X(LE_R, "<=R", "<=R", None, 0)                                  \
  /* word logic */                                                \
  X(AW, "UW", "AW", None, 0)                                      \
  X(AW_K, "UW", "AW", Const16, 0)                                 \
  X(OW, "OW", "OW", None, 0)                                      \
  X(OW_K, "OW", "OW", Const16, 0)                                 \
  X(XOW, "XOW", "XOW", None, 0)                                   \
  X(XOW_K, "XOW", "XOW", Const16, 0)                              \
  X(AD, "UD", "AD", None, 0)                                      \
  X(AD_K, "UD", "AD", Const32, 0)                                 \
  X(OD, "OD", "OD", None, 0)                                      \
  X(OD_K, "OD", "OD", Const32, 0)                                 \
  X(XOD, "XOD", "XOD", None, 0)                                   \
  X(XOD_K, "XOD", "XOD", Const32, 0)                              \
  /* shifts and rotations: without operand the count is ACCU 2-L-L */ \
  X(SLW, "SLW", "SLW", None, 0)                                   \
  X(SLW_N, "SLW", "SLW", Count, 15)                               \
  X(SRW, "SRW", "SRW", None, 0)                                   \
  X(SRW_N, "SRW", "SRW", Count, 15)                               \
  X(SSI, "SSI", "SSI", None, 0)                                   \
  X(SSI_N, "SSI", "SSI", Count, 15)                               \
  X(SLD, "SLD", "SLD", None, 0)                                   \
  X(SLD_N, "SLD", "SLD", Count, 32)                               \
  X(SRD, "SRD", "SRD", None, 0)                                   \
  X(SRD_N, "SRD", "SRD", Count, 32)                               \
  X(SSD, "SSD", "SSD", None, 0)                                   \
  X(SSD_N, "SSD", "SSD", Count, 32)                               \
  X(RLD, "RLD", "RLD", None, 0)                                   \
  X(RLD_N, "RLD", "RLD", Count, 32)                               \
  X(RRD, "RRD", "RRD", None, 0)                                   \
  X(RRD_N, "RRD", "RRD", Count, 32)                               \
  X(RLDA, "RLDA", "RLDA", None, 0)                                \
  X(RRDA, "RRDA", "RRDA", None, 0)                                \
  /* conversions */                                               \
  X(ITD, "ITD", "ITD", None, 0)                                   \
  X(DTR, "DTR", "DTR", None, 0)                                   \
  X(ITB, "ITB", "ITB", None, 0)                                   \
  X(BTI, "BTI", "BTI", None, 0)                                   \
  X(DTB, "DTB", "DTB", None, 0)                                   \
  X(BTD, "BTD", "BTD", None, 0)                                   \
  X(RND, "RND", "RND", None, 0)                                   \
  X(RND_P, "RND+", "RND+", None, 0)                               \
  X(RND_M, "RND-", "RND-", None, 0)                               \
  X(TRUNC, "TRUNC", "TRUNC", None, 0)                             \
  X(INVI, "INVI", "INVI", None, 0)                                \
  X(INVD, "INVD", "INVD", None, 0)                                \
  X(NEGI, "NEGI", "NEGI", None, 0)                                \
  X(NEGD, "NEGD", "NEGD", None, 0)                                \
  X(NEGR, "NEGR", "NEGR", None, 0)                                \
  /* timers and counters */                                       \
  X(SI_T, "SI", "SP", Timer, 0)                                   \
  X(SV_T, "SV", "SE", Timer, 0)                                   \
  X(SE_T, "SE", "SD", Timer, 0)                                   \
  X(SS_T, "SS", "SS", Timer, 0)                                   \
  X(SA_T, "SA", "SF", Timer, 0)                                   \
  X(FR_TIM, "FR", "FR", Timer, 0)                                 \
  X(R_TIM, "R", "R", Timer, 0)                                    \
  X(ZV, "ZV", "CU", Counter, 0)                                   \
  X(ZR, "ZR", "CD", Counter, 0)                                   \
  X(S_CNT, "S", "S", Counter, 0)                                  \
  X(R_CNT, "R", "R", Counter, 0)                                  \
  X(FR_CNT, "FR", "FR", Counter, 0)                               \
  /* jumps and block end */                                       \
  X(JU, "SPA", "JU", Label, 0)                                    \
  X(JC, "SPB", "JC", Label, 0)                                    \
  X(JCN, "SPBN", "JCN", Label, 0)                                 \
  X(JCB, "SPBB", "JCB", Label, 0)                                 \
  X(JNB, "SPBNB", "JNB", Label, 0)                                \
  X(JBI, "SPBI", "JBI", Label, 0)                                 \
  X(JNBI, "SPBIN", "JNBI", Label, 0)                              \
  X(JO, "SPO", "JO", Label, 0)                                    \
  X(JOS, "SPS", "JOS", Label, 0)                                  \
  X(JZ, "SPZ", "JZ", Label, 0)                                    \
  X(JN, "SPN", "JN", Label, 0)                                    \
  X(JP, "SPP", "JP", Label, 0)                                    \
  X(JM, "SPM", "JM", Label, 0)                                    \
  X(JPZ, "SPPZ", "JPZ", Label, 0)                                 \
  X(JMZ, "SPMZ", "JMZ", Label, 0)                                 \
  X(JUO, "SPU", "JUO", Label, 0)                                  \
  X(LOOP, "LOOP", "LOOP", Label, 0)                               \
  X(JL, "SPL", "JL", Label, 0)                                    \
  X(BE, "BE", "BE", None, 0)                                      \
  X(BEB, "BEB", "BEC", None, 0)                                   \
  X(BEA, "BEA", "BEU", None, 0)                                   \
  X(NOP, "NOP", "NOP", Count, 1)                                  \
  X(BLD, "BLD", "BLD", Count, 255)                                \
  /* blocks, data blocks and address registers */               \
  X(CALL, "CALL", "CALL", Block, 0)                               \
  X(UC, "UC", "UC", Block, 0)                                     \
  X(CC, "CC", "CC", Block, 0)                                     \
  X(OPN, "AUF", "OPN", DataBlock, 0)                              \
  X(L_DBREG, "L", "L", DbReg, 0)                                  \
  X(TDB, "TDB", "TDB", None, 0)                                   \
  X(LAR1, "LAR1", "LAR1", None, 0)                                \
  X(LAR1_D, "LAR1", "LAR1", LoadDWord, 0)                         \
  X(LAR1_K, "LAR1", "LAR1", Const32, 0)                           \
  X(LAR2, "LAR2", "LAR2", None, 0)                                \
  X(LAR2_D, "LAR2", "LAR2", LoadDWord, 0)                         \
  X(LAR2_K, "LAR2", "LAR2", Const32, 0)                           \
  X(TAR1, "TAR1", "TAR1", None, 0)                                \
  X(TAR1_D, "TAR1", "TAR1", StoreDWord, 0)                        \
  X(TAR2, "TAR2", "TAR2", None, 0)                                \
  X(TAR2_D, "TAR2", "TAR2", StoreDWord, 0)                        \
  X(ADD_AR1, "+AR1", "+AR1", None, 0)                             \
  X(ADD_AR1_K, "+AR1", "+AR1", Const32, 0)                        \
  X(ADD_AR2, "+AR2", "+AR2", None, 0)                             \
  X(ADD_AR2_K, "+AR2", "+AR2", Const32, 0)                        \
  X(CAR, "CAR", "CAR", None, 0)                                   \
  /* master control relay */                                      \
  X(MCRA, "MCRA", "MCRA", None, 0)                                \
  X(MCRD, "MCRD", "MCRD", None, 0)                                \
  X(MCR_OPEN, "MCR(", "MCR(", None, 0)                            \
  X(MCR_CLOSE, ")MCR", ")MCR", None, 0)                           \
  /* internal: end of block, an assignment or transfer that depends on the MCR, */ \
  /* memory-indirect operand (slow path) */                       \
  X(END, "", "", None, 0)                                         \
  X(BIT_RUN, "", "", None, 0)                                     \
  X(L_L, "", "", None, 0)                                         \
  X(MCR_DEP, "", "", None, 0)                                     \
  X(INDIRECT, "", "", None, 0)

enum class Opcode : uint16_t {
#define SOFTPLC_ENUM(op, de, en, kind, limit) op,
  SOFTPLC_INSTRUCTIONS(SOFTPLC_ENUM)
#undef SOFTPLC_ENUM
};

struct InstructionDef {
  Opcode opcode;
  std::string_view german;
  std::string_view english;
  OperandKind operand;
  uint32_t limit;
};

// The whole table, in opcode order.
const std::vector<InstructionDef>& InstructionTable();
constexpr size_t kOpcodeCount = static_cast<size_t>(Opcode::INDIRECT) + 1;

// Rows whose mnemonic in `lang` equals `upperMnemonic` (already upper-case), in table order.
const std::vector<const InstructionDef*>& FindMnemonic(Lang lang, std::string_view upperMnemonic);
// True when the mnemonic exists in that language.
bool IsMnemonic(Lang lang, std::string_view upperMnemonic);
// The mnemonic of `lang` closest to the given misspelling, or empty when none is close.
std::string_view ClosestMnemonic(Lang lang, std::string_view upperMnemonic);
std::string_view MnemonicOf(Opcode op, Lang lang);

}  // namespace softplc
