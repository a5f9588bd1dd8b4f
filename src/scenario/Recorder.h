#pragma once
// Records signals of a running plant on plant time for a timing chart: each trace keeps only
// its changes, so a quiet tick costs one comparison per trace and memory grows with what
// happens, not with how long it runs. Each trace keeps at most a fixed number of changes; the
// oldest go first, and the span before them reads as unknown.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace scenario {

class Recorder {
 public:
  struct Change {
    std::uint64_t timeMs;
    std::uint64_t value;
  };
  struct Marker {
    std::uint64_t timeMs;
    std::string text;
  };

  // changesPerTrace bounds each trace's memory (16 bytes a change).
  explicit Recorder(std::size_t changesPerTrace = kDefaultChangesPerTrace);

  // A trace of width bits (1 for a bit) before or while recording; its values start unknown.
  int AddTrace(const std::string& name, int width);
  int Traces() const { return static_cast<int>(FTraces.size()); }
  const std::string& Name(int id) const { return FTraces[static_cast<std::size_t>(id)].name; }
  int Width(int id) const { return FTraces[static_cast<std::size_t>(id)].width; }

  // The present value of a trace at plant time nowMs: stored only when it differs from the last.
  void Set(int id, std::uint64_t value, std::uint64_t nowMs) {
    Trace& t = FTraces[static_cast<std::size_t>(id)];
    if (t.known && t.last == value) return;
    Append(t, value, nowMs);
  }
  // The end of the recorded span: a chart draws the last values up to here.
  void SetNow(std::uint64_t nowMs) { FNow = nowMs; }
  std::uint64_t Now() const { return FNow; }
  // The earliest time any trace still knows its value; Now() when nothing was recorded.
  std::uint64_t Start() const;

  // A fault injected or cleared, a force: a vertical marker on the chart.
  void Mark(std::uint64_t timeMs, const std::string& text);
  const std::vector<Marker>& Markers() const { return FMarkers; }

  // The value of a trace at plant time t; false when it is unknown there (before its first
  // kept change).
  bool ValueAt(int id, std::uint64_t t, std::uint64_t& value) const;
  // The changes of a trace (oldest first) for drawing.
  const std::vector<Change>& Changes(int id) const { return FTraces[static_cast<std::size_t>(id)].changes; }
  // Memory held by the recorded changes and markers, in bytes.
  std::size_t MemoryBytes() const;

  // Writes the recorded span as a value-change dump (one millisecond per time unit).
  void WriteVcd(std::ostream& out) const;

  static constexpr std::size_t kDefaultChangesPerTrace = 65536;
  static constexpr std::size_t kMaxMarkers = 10000;

 private:
  struct Trace {
    std::string name;
    int width = 1;
    bool known = false;
    std::uint64_t last = 0;
    std::vector<Change> changes;
  };
  void Append(Trace& t, std::uint64_t value, std::uint64_t nowMs);

  std::size_t FCap;
  std::uint64_t FNow = 0;
  std::vector<Trace> FTraces;
  std::vector<Marker> FMarkers;
};

}  // namespace scenario
