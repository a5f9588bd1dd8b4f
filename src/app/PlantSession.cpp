#include "app/PlantSession.h"

#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <streambuf>

#include "plc/CPU_Frame.h"
#include "plc/ESModule.h"
#include "scenario/Files.h"
#include "i18n/Translations.h"
#include "softplc/Text.h"

namespace {

// A message of this file in the installed language.
std::string Tr(const char* text, std::initializer_list<std::string> args = {}) {
  return torvane::Tr("PlantSession", text, args);
}

}  // namespace

// The first bytes of every trace, by which an earlier one is known and may be replaced.
static constexpr char kTraceSignature[] = "$version Torvane plant trace";

// The trace file: a stream buffer over a QSaveFile, so a write error anywhere (a full disk)
// is remembered and the file the user named is replaced only by a trace written whole.
struct TPlantSession::TTraceFile : std::streambuf {
  explicit TTraceFile(const std::string& path) : File(QString::fromStdString(path)), Out(this) {
    setp(Buffer, Buffer + sizeof Buffer);
  }
  int_type overflow(int_type c) override {
    if (sync() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    const qint64 n = pptr() - pbase();
    if (n > 0 && File.write(pbase(), n) != n) return -1;
    setp(Buffer, Buffer + sizeof Buffer);
    return 0;
  }
  QSaveFile File;
  std::ostream Out;
  char Buffer[1 << 16];
};

std::string MessageText(const softplc::Message& m) {
  std::string s = m.file.empty() ? std::string("<program>") : scenario::Printable(m.file);
  // A whole-file problem (one that cannot be opened) has no line to point at.
  if (m.line > 0) s += ":" + std::to_string(m.line) + ":" + std::to_string(std::max(m.column, 1));
  // The text may quote the source, and the source may hold anything.
  s += ": " + scenario::Printable(softplc::Shown(m.text, m.format, m.args));
  return s;
}

softplc::SymbolTable TPlantSession::BridgeSymbols() {
  softplc::SymbolTable symbols;
  for (int i = 0; i < 16; ++i) {
    const std::string address = std::to_string(TForm2::kFirstByte + i / 8) + "." + std::to_string(i % 8);
    if (const char* n = TForm2::InputNames[static_cast<std::size_t>(i)]) symbols[n] = "E" + address;
    if (const char* n = TForm2::OutputNames[static_cast<std::size_t>(i)]) symbols[n] = "A" + address;
  }
  return symbols;
}

TPlantSession::TPlantSession(std::unique_ptr<TSimulatorBackEnd> external)
    : FExternal(std::move(external)) {
  FPlc.SetSymbols(BridgeSymbols());
  FForm = new TForm2(&FApplication, &BackEnd(), &FClock);
  FForm->OnTick = TNotifyEvent(this, &TPlantSession::TickDone);
  const TIOModule* m = FForm->PLC->FirstModule;
  for (int i = 0; i < 16; ++i) {
    const std::string address = std::to_string(m->Address + i / 8) + "." + std::to_string(i % 8);
    const char* in = TForm2::InputNames[static_cast<std::size_t>(i)];
    FChart.AddTrace("E" + address + (in != nullptr ? std::string(" ") + in : ""), 1);
  }
  for (int i = 0; i < 16; ++i) {
    const std::string address = std::to_string(m->Address + i / 8) + "." + std::to_string(i % 8);
    const char* out = TForm2::OutputNames[static_cast<std::size_t>(i)];
    FChart.AddTrace("A" + address + (out != nullptr ? std::string(" ") + out : ""), 1);
  }
  SampleChart();
  FForm->PLC->OnTest = TTestEvent(this, &TPlantSession::TestRun);
}

void TPlantSession::TestRun(int index) {
  const std::vector<std::string>& names = FForm->PLC->TestCbx->Items();
  if (index >= 0 && static_cast<std::size_t>(index) < names.size())
    Mark("test " + names[static_cast<std::size_t>(index)]);
  FForm->PLCTest(index);
}

void TPlantSession::SampleChart() {
  // Thirty-two comparisons a quiet tick; only a change is stored.
  const TIOModule* m = FForm->PLC->FirstModule;
  const std::uint64_t now = FClock.Now();
  for (int i = 0; i < 16; ++i) FChart.Set(i, m->InputState(i) ? 1 : 0, now);
  for (int i = 0; i < 16; ++i)
    FChart.Set(16 + i, m->OutputPins[static_cast<std::size_t>(i)]->State ? 1 : 0, now);
  for (const ChartOperand& c : FChartOperands)
    FChart.Set(c.trace, ReadWatchOperand(FPlc.Cpu(), c.operand), now);
  FChart.SetNow(now);
}

std::string TPlantSession::AddChartOperand(const std::string& text) {
  if (FExternal) return Tr(QT_TRANSLATE_NOOP("PlantSession", "the chart reads CPU operands only from the embedded CPU"));
  TWatchOperand op;
  if (std::string problem = ParseWatchOperand(text, FPlc.Symbols(), op); !problem.empty())
    return problem;
  const int width = op.Kind == TWatchKind::Bit ? 1 : op.Bytes() > 0 ? 8 * op.Bytes() : 16;
  const std::string name = op.Symbol.empty() ? op.Address() : op.Address() + " " + op.Symbol;
  FChartOperands.push_back({FChart.AddTrace(name, width), op});
  FChart.Set(FChartOperands.back().trace, ReadWatchOperand(FPlc.Cpu(), op), FClock.Now());
  return {};
}

void TPlantSession::StepTick() {
  const std::uint64_t before = FForm->Ticks();
  std::uint64_t moved = 0;
  // Other timers of the plant may fall due on the way; the step ends with the plant's tick.
  while (FForm->Ticks() == before && moved < TForm2::kTickMs) {
    const std::int64_t due = FClock.NextDue();
    const std::uint64_t left = TForm2::kTickMs - moved;
    const std::uint64_t step = due <= 0 ? left : std::min<std::uint64_t>(static_cast<std::uint64_t>(due), left);
    FClock.Advance(step);
    moved += step;
  }
}

TPlantSession::~TPlantSession() {
  (void)FinishTrace();
  // The window goes before the CPU it is connected to.
  delete FForm;
  FForm = nullptr;
}

bool TPlantSession::LoadProgram(const std::string& path, std::vector<std::string>& messages) {
  return LoadProgram(std::vector<std::string>{path}, {}, messages);
}

bool TPlantSession::LoadProgram(const std::vector<std::string>& paths,
                                const std::vector<std::string>& symbolPaths,
                                std::vector<std::string>& messages) {
  const softplc::LoadResult r = FPlc.LoadProgram(paths, symbolPaths);
  for (const softplc::Message& m : r.errors) messages.push_back(MessageText(m));
  for (softplc::Message m : r.warnings) {
    m = {m.file, m.line, m.column,
         Tr(QT_TRANSLATE_NOOP("PlantSession", "warning: %1"), {softplc::Shown(m.text, m.format, m.args)})};
    messages.push_back(MessageText(m));
  }
  if (r.ok) return true;
  if (messages.empty())
    messages.push_back((paths.empty() ? Tr(QT_TRANSLATE_NOOP("PlantSession", "(no file)")) : paths.front()) + ":1:1: " +
                       Tr(QT_TRANSLATE_NOOP("PlantSession", "the program could not be loaded")));
  return false;
}

void TPlantSession::RequestRun() { FForm->PLC->Faceplate->RunBtn->Click(); }

bool TPlantSession::StartTrace(const std::string& path, const std::vector<std::string>& inputs,
                               std::string& error) {
  error = scenario::OutputProblem(path, inputs, kTraceSignature);
  if (!error.empty()) return false;
  auto file = std::make_unique<TTraceFile>(path);
  if (!file->File.open(QIODevice::WriteOnly)) {
    error = Tr(QT_TRANSLATE_NOOP("PlantSession", "%1: cannot write the trace (%2)"),
                        {path, file->File.errorString().toStdString()});
    return false;
  }
  FTraceFile = std::move(file);
  const TIOModule* m = FForm->PLC->FirstModule;
  for (int i = 0; i < 16; ++i) {
    const std::string address = std::to_string(m->Address + i / 8) + "." + std::to_string(i % 8);
    const char* in = TForm2::InputNames[static_cast<std::size_t>(i)];
    const char* out = TForm2::OutputNames[static_cast<std::size_t>(i)];
    FInputIds.push_back(FTrace.AddSignal("E" + address + (in != nullptr ? std::string("_") + in : ""), 1));
    FOutputIds.push_back(FTrace.AddSignal("A" + address + (out != nullptr ? std::string("_") + out : ""), 1));
  }
  FElevationId = FTrace.AddSignal("Elevacion", 8);
  FFrameId = FTrace.AddSignal("Frame", 8);
  FTracing = true;
  SampleTrace();
  FTrace.Start(FTraceFile->Out, FClock.Now());
  return true;
}

void TPlantSession::SampleTrace() {
  const TIOModule* m = FForm->PLC->FirstModule;
  for (std::size_t i = 0; i < 16; ++i) {
    FTrace.Set(FInputIds[i], m->InputPins[i]->State ? 1 : 0);
    FTrace.Set(FOutputIds[i], m->OutputPins[i]->State ? 1 : 0);
  }
  if (FForm->Bridge != nullptr) {
    FTrace.Set(FElevationId, FForm->Bridge->ElevationOut->Value);
    FTrace.Set(FFrameId, static_cast<std::uint64_t>(FForm->Bridge->FrameNumber()));
  }
}

void TPlantSession::TickDone(TObject* sender) {
  (void)sender;
  SampleChart();
  if (!FTracing) return;
  SampleTrace();
  FTrace.Sample(FClock.Now());
}

std::string TPlantSession::FinishTrace() {
  if (!FTracing) return {};
  FTracing = false;
  // A change made after the last tick (a button released at the very end) still shows.
  SampleTrace();
  FTrace.Sample(FClock.Now());
  const std::unique_ptr<TTraceFile> file = std::move(FTraceFile);
  // QSaveFile::commit does not see an error of its own final flush: flush first and check.
  const bool written = file->Out.flush().good() && file->File.flush();
  const std::string name = file->File.fileName().toStdString();
  if (!written) {
    const std::string why = std::strerror(errno);  // Qt keeps no text for a failed flush
    file->File.cancelWriting();  // the file the user named stays as it was
    (void)file->File.commit();
    return Tr(QT_TRANSLATE_NOOP("PlantSession", "%1: cannot write the trace (%2)"), {name, why});
  }
  if (!file->File.commit())
    return Tr(QT_TRANSLATE_NOOP("PlantSession", "%1: cannot write the trace (%2)"),
                       {name, file->File.errorString().toStdString()});
  return {};
}
