#include "scenario/Recorder.h"

#include <algorithm>
#include <ostream>
#include <tuple>

#include "scenario/Vcd.h"

namespace scenario {

Recorder::Recorder(std::size_t changesPerTrace) : FCap(std::max<std::size_t>(changesPerTrace, 2)) {}

int Recorder::AddTrace(const std::string& name, int width) {
  Trace t;
  t.name = name;
  t.width = std::clamp(width, 1, 64);
  FTraces.push_back(std::move(t));
  return static_cast<int>(FTraces.size()) - 1;
}

void Recorder::Append(Trace& t, std::uint64_t value, std::uint64_t nowMs) {
  if (t.width < 64) value &= (std::uint64_t{1} << t.width) - 1;
  if (t.known && t.last == value) return;
  t.known = true;
  t.last = value;
  if (nowMs > FNow) FNow = nowMs;
  // Two changes at the same moment: the later one is what held from then on.
  if (!t.changes.empty() && t.changes.back().timeMs == nowMs) {
    t.changes.back().value = value;
    return;
  }
  if (t.changes.size() >= FCap) {
    // Dropping the older half at once keeps the cost per change constant on average.
    t.changes.erase(t.changes.begin(), t.changes.begin() + static_cast<std::ptrdiff_t>(FCap / 2));
  }
  t.changes.push_back({nowMs, value});
}

std::uint64_t Recorder::Start() const {
  std::uint64_t start = FNow;
  for (const Trace& t : FTraces)
    if (!t.changes.empty()) start = std::min(start, t.changes.front().timeMs);
  return start;
}

void Recorder::Mark(std::uint64_t timeMs, const std::string& text) {
  if (FMarkers.size() >= kMaxMarkers)
    FMarkers.erase(FMarkers.begin(), FMarkers.begin() + static_cast<std::ptrdiff_t>(kMaxMarkers / 2));
  FMarkers.push_back({timeMs, text});
  if (timeMs > FNow) FNow = timeMs;
}

bool Recorder::ValueAt(int id, std::uint64_t t, std::uint64_t& value) const {
  if (id < 0 || id >= Traces()) return false;
  const std::vector<Change>& c = FTraces[static_cast<std::size_t>(id)].changes;
  auto it = std::upper_bound(c.begin(), c.end(), t,
                             [](std::uint64_t time, const Change& ch) { return time < ch.timeMs; });
  if (it == c.begin()) return false;
  value = std::prev(it)->value;
  return true;
}

std::size_t Recorder::MemoryBytes() const {
  std::size_t n = FMarkers.capacity() * sizeof(Marker);
  for (const Marker& m : FMarkers) n += m.text.capacity();
  for (const Trace& t : FTraces) n += t.changes.capacity() * sizeof(Change);
  return n;
}

void Recorder::WriteVcd(std::ostream& out) const {
  VcdWriter w;
  for (const Trace& t : FTraces) w.AddSignal(t.name, t.width);
  // Every change of every trace in time order; a trace not yet known starts at 0.
  std::vector<std::tuple<std::uint64_t, int, std::uint64_t>> all;
  for (std::size_t i = 0; i < FTraces.size(); ++i)
    for (const Change& c : FTraces[i].changes) all.emplace_back(c.timeMs, static_cast<int>(i), c.value);
  std::stable_sort(all.begin(), all.end(),
                   [](const auto& a, const auto& b) { return std::get<0>(a) < std::get<0>(b); });
  const std::uint64_t start = Start();
  std::size_t k = 0;
  for (; k < all.size() && std::get<0>(all[k]) == start; ++k) w.Set(std::get<1>(all[k]), std::get<2>(all[k]));
  w.Start(out, start);
  while (k < all.size()) {
    const std::uint64_t t = std::get<0>(all[k]);
    for (; k < all.size() && std::get<0>(all[k]) == t; ++k) w.Set(std::get<1>(all[k]), std::get<2>(all[k]));
    w.Sample(t);
  }
  if (FNow > start) out << '#' << FNow << '\n';
}

}  // namespace scenario
