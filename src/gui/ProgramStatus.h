#pragma once
// Program status ("monitor") for one source file of the loaded program: for each of its lines
// the CPU's registers after the line's statement in the last scan, in the format that
// statement works in. It is the CPU's status observer while monitoring is on, and hands the
// CPU one slot per instruction to fill, so a scan costs no call per statement; while off it is
// detached, so the CPU runs its untraced loop.
//
// A statement run several times in one scan (a loop, a block called twice) keeps its first
// execution, or, when a call environment is chosen for its block, the first execution inside
// that call.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "softplc/SoftPlc.h"

class TProgramStatus : public softplc::StatusObserver {
 public:
  explicit TProgramStatus(softplc::Cpu& cpu);
  ~TProgramStatus() override;
  TProgramStatus(const TProgramStatus&) = delete;
  TProgramStatus& operator=(const TProgramStatus&) = delete;

  void SetMonitoring(bool on);
  bool Monitoring() const { return FMonitoring; }

  // The file whose lines are reported, by its name in the program (as it was loaded). Call
  // ProgramChanged after every load or download.
  void Watch(const std::string& file);
  const std::string& Watched() const { return FFile; }
  void ProgramChanged();

  // One call of a block of the watched file: the CALL statement and the instance DB it opens.
  struct TCallEnvironment {
    std::uint32_t Caller = 0;  // instruction index of the CALL
    std::uint16_t InstanceDb = 0;
    std::string BlockName;     // "FB 1"
    bool operator==(const TCallEnvironment& o) const {
      return Caller == o.Caller && InstanceDb == o.InstanceDb && BlockName == o.BlockName;
    }
  };
  // Calls of the watched file's blocks seen while monitoring, in the order first seen.
  const std::vector<TCallEnvironment>& Environments() const { return FEnvironments; }
  // "FB 1 called from OB 1 line 19 with DB 5".
  std::string EnvironmentName(const TCallEnvironment& e) const;
  // None: every line shows its first execution in the scan.
  void SetCallEnvironment(std::optional<TCallEnvironment> e);
  const std::optional<TCallEnvironment>& CallEnvironment() const { return FEnvironment; }

  // True when the line (1-based) holds a statement of the loaded program.
  bool HasStatement(int line) const;
  // The line's registers in the last complete scan; null when the line did not run in it.
  const softplc::StatusSlot* Line(int line) const;

  // How a line's accumulators are shown, chosen from its statement.
  enum class TFormat { Hex, Int, DInt, Real, S5Time, IecTime };
  TFormat FormatOf(int line) const;
  // The status column of a line: RLO, STA, ACCU 1, ACCU 2 and the operand's value (empty when
  // the statement has none). All empty when the line did not run.
  struct TColumns {
    std::string Rlo, Sta, Accu1, Accu2, Operand;
  };
  TColumns Columns(int line) const;

  // Scans seen while monitoring (and changes of what is watched).
  std::uint64_t Scans() const { return statusScan; }

  static std::string FormatValue(std::uint32_t v, TFormat f);
  // A statement's format, from its text ("L  S5T#2S", "+I", "UW W#16#F").
  static TFormat StatementFormat(const std::string& statement);

  void OnStatement(const softplc::StatusRecord& r) override;
  void OnScanStart() override;
  void OnCall(std::uint32_t caller, std::uint32_t calleeEntry, std::uint16_t instanceDb) override;

 private:
  struct TLineInfo {
    bool Statement = false;
    std::uint32_t Instruction = 0;  // the line's (first) statement
    TFormat Format = TFormat::Hex;
    enum TOperand : std::uint8_t { None, Bit, Timer, Counter } Operand = None;
    std::string Block;
  };

  softplc::Cpu& FCpu;
  bool FMonitoring = false;
  std::string FFile;
  std::vector<bool> FInFile;        // by instruction: a statement of the watched file
  std::vector<TLineInfo> FLines;    // by line
  std::vector<softplc::StatusSlot> FSlots;  // by instruction, filled by the CPU
  std::vector<TCallEnvironment> FEnvironments;
  std::optional<TCallEnvironment> FEnvironment;
};
