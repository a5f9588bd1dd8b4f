#include "grading/Reports.h"

#include <QCoreApplication>
#include <QString>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

namespace grading {

namespace {


std::string Csv(const std::string& s) {
  if (s.find_first_of(",\"\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

std::string Score(double v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

std::string Seconds(std::uint64_t ms) { return Score(static_cast<double>(ms) / 1000.0); }

std::string Html(const std::string& s) {
  std::string o;
  for (char c : s) {
    switch (c) {
      case '<': o += "&lt;"; break;
      case '>': o += "&gt;"; break;
      case '&': o += "&amp;"; break;
      case '"': o += "&quot;"; break;
      default: o += c;
    }
  }
  return o;
}

// The one-bit signals of a VCD trace, as (time, value) changes.
struct Wave {
  std::string Name;
  std::vector<std::pair<std::uint64_t, int>> Changes;
};

std::vector<Wave> ReadVcd(const std::string& text) {
  std::vector<Wave> waves;
  std::map<std::string, std::size_t> byCode;
  std::istringstream in(text);
  std::string line;
  std::uint64_t now = 0;
  while (std::getline(in, line)) {
    if (line.rfind("$var", 0) == 0) {
      std::istringstream v(line);
      std::string var, kind, width, code, name;
      v >> var >> kind >> width >> code >> name;
      if (width != "1") continue;
      byCode[code] = waves.size();
      waves.push_back({name, {}});
    } else if (!line.empty() && line[0] == '#') {
      now = std::strtoull(line.c_str() + 1, nullptr, 10);
    } else if (!line.empty() && (line[0] == '0' || line[0] == '1')) {
      const auto it = byCode.find(line.substr(1));
      if (it != byCode.end()) waves[it->second].Changes.push_back({now, line[0] - '0'});
    }
  }
  return waves;
}

int ValueAt(const Wave& w, std::uint64_t t) {
  int v = 0;
  for (const auto& [time, value] : w.Changes) {
    if (time > t) break;
    v = value;
  }
  return v;
}

// The named inputs and outputs that move in the 10 s before the failure (and 2 s after), drawn
// as square waves with a red line at the failing step.
std::string TimingChart(const std::string& vcd, std::uint64_t failMs) {
  const std::uint64_t from = failMs > 10000 ? failMs - 10000 : 0;
  const std::uint64_t to = failMs + 2000;
  std::vector<const Wave*> shown;
  const std::vector<Wave> waves = ReadVcd(vcd);
  for (const Wave& w : waves) {
    const bool named = std::count(w.Name.begin(), w.Name.end(), '_') >= 2;
    bool moves = false;
    for (const auto& c : w.Changes) moves = moves || (c.first > from && c.first <= to);
    if (named && (moves || ValueAt(w, from) == 1)) shown.push_back(&w);
  }
  if (shown.empty()) return {};
  const int label = 150, width = 600, row = 18;
  const double scale = static_cast<double>(width) / static_cast<double>(to - from);
  auto x = [&](std::uint64_t t) { return label + static_cast<double>(t - from) * scale; };
  std::ostringstream svg;
  svg << "<svg xmlns='http://www.w3.org/2000/svg' width='" << label + width + 10 << "' height='"
      << static_cast<int>(shown.size()) * row + 24 << "' font-family='monospace' font-size='11'>";
  int y = 4;
  for (const Wave* w : shown) {
    svg << "<text x='2' y='" << y + 11 << "'>" << Html(w->Name) << "</text><polyline fill='none' "
        << "stroke='#0a5' points='";
    int v = ValueAt(*w, from);
    auto level = [&](int value) { return y + (value != 0 ? 2 : row - 4); };
    svg << x(from) << ',' << level(v);
    for (const auto& [t, value] : w->Changes) {
      if (t <= from || t > to || value == v) continue;
      svg << ' ' << x(t) << ',' << level(v) << ' ' << x(t) << ',' << level(value);
      v = value;
    }
    svg << ' ' << x(to) << ',' << level(v) << "'/>";
    y += row;
  }
  svg << "<line x1='" << x(failMs) << "' y1='0' x2='" << x(failMs) << "' y2='" << y
      << "' stroke='red'/><text x='" << label << "' y='" << y + 14 << "'>" << Seconds(from)
      << " s</text><text x='" << label + width - 50 << "' y='" << y + 14 << "'>"
      << Seconds(to) << " s</text></svg>";
  return svg.str();
}

const char* Colour(Status s) {
  switch (s) {
    case Status::Passed: return "#bfe8c0";
    case Status::Failed: return "#f6c2c2";
    default: return "#f3dd9c";
  }
}

}  // namespace

std::string CsvReport(const Exercise& ex, const std::vector<Grade>& grades) {
  std::ostringstream o;
  o << "student";
  for (const ExerciseScenario& s : ex.Scenarios) o << ',' << Csv(s.Name);
  o << ",score\n";
  for (const Grade& g : grades) {
    o << Csv(g.Student.Name);
    for (const RunResult& r : g.Runs) o << ',' << StatusWord(r.State);
    o << ',' << Score(g.Score) << '\n';
  }
  return o.str();
}

std::string JUnitReport(const Exercise& ex, const std::vector<Grade>& grades) {
  QString text;
  QXmlStreamWriter xml(&text);
  xml.setAutoFormatting(true);
  xml.writeStartDocument();
  int tests = 0, failures = 0, errors = 0;
  double time = 0;
  for (const Grade& g : grades) {
    for (const RunResult& r : g.Runs) {
      ++tests;
      time += r.WallS;
      if (r.State == Status::Failed) ++failures;
      else if (r.State != Status::Passed) ++errors;
    }
  }
  xml.writeStartElement("testsuites");
  xml.writeStartElement("testsuite");
  xml.writeAttribute("name", QString::fromStdString(ex.Title));
  xml.writeAttribute("tests", QString::number(tests));
  xml.writeAttribute("failures", QString::number(failures));
  xml.writeAttribute("errors", QString::number(errors));
  xml.writeAttribute("time", QString::number(time, 'f', 3));
  for (const Grade& g : grades) {
    for (std::size_t j = 0; j < g.Runs.size(); ++j) {
      const RunResult& r = g.Runs[j];
      xml.writeStartElement("testcase");
      xml.writeAttribute("classname", QString::fromStdString(g.Student.Name));
      xml.writeAttribute("name", QString::fromStdString(ex.Scenarios[j].Name));
      xml.writeAttribute("time", QString::number(r.WallS, 'f', 3));
      if (r.State != Status::Passed) {
        xml.writeStartElement(r.State == Status::Failed ? "failure" : "error");
        xml.writeAttribute("message", QString::fromStdString(softplc::English(r.Reason)));
        xml.writeAttribute("type", QString::fromLatin1(StatusWord(r.State)));
        std::string body;
        for (const std::string& e : r.LoadErrors) body += e + "\n";
        if (r.State == Status::Failed)
          body += "at " + Seconds(r.FailTimeMs) + " s: " + r.FailStep + " (" + r.Seen + ")\n";
        xml.writeCharacters(QString::fromStdString(body));
        xml.writeEndElement();
      }
      xml.writeEndElement();
    }
  }
  xml.writeEndElement();
  xml.writeEndElement();
  xml.writeEndDocument();
  return text.toStdString();
}

std::string HtmlReport(const Exercise& ex, const std::vector<Grade>& grades) {
  std::ostringstream o;
  o << "<!DOCTYPE html>\n<html><head><meta charset='utf-8'><title>" << Html(ex.Title)
    << "</title><style>body{font-family:sans-serif;margin:1em 2em}table{border-collapse:collapse}"
       "td,th{border:1px solid #999;padding:3px 8px;text-align:center}td.n{text-align:left}"
       "pre{background:#f4f4f4;padding:6px}</style></head><body>\n<h1>"
    << Html(ex.Title) << "</h1>\n<table><tr><th>" << Say(QT_TRANSLATE_NOOP("grading", "Student")) << "</th>";
  for (const ExerciseScenario& s : ex.Scenarios) o << "<th>" << Html(s.Name) << "</th>";
  o << "<th>" << Say(QT_TRANSLATE_NOOP("grading", "Score")) << "</th></tr>\n";
  for (const Grade& g : grades) {
    o << "<tr><td class='n'><a href='#" << Html(g.Student.Name) << "'>" << Html(g.Student.Name)
      << "</a></td>";
    for (const RunResult& r : g.Runs)
      o << "<td style='background:" << Colour(r.State) << "' title='" << Html(softplc::Shown(r.Reason))
        << "'>" << Html(StatusText(r.State)) << "</td>";
    o << "<td>" << Score(g.Score) << "</td></tr>\n";
  }
  o << "</table>\n";
  for (const Grade& g : grades) {
    o << "<h2 id='" << Html(g.Student.Name) << "'>" << Html(g.Student.Name) << " — "
      << Score(g.Score) << "</h2>\n";
    bool loadShown = false;
    for (std::size_t j = 0; j < g.Runs.size(); ++j) {
      const RunResult& r = g.Runs[j];
      if (r.State == Status::Passed) continue;
      if (r.State == Status::NoLoad) {
        if (loadShown) continue;  // the same program fails to load for every scenario
        loadShown = true;
        o << "<p>" << Say(QT_TRANSLATE_NOOP("grading", "The program does not load:")) << "</p><pre>";
        for (const std::string& e : r.LoadErrors) o << Html(e) << '\n';
        if (r.LoadErrors.empty()) o << Html(softplc::Shown(r.Reason));
        o << "</pre>\n";
        continue;
      }
      o << "<h3>" << Html(ex.Scenarios[j].Name) << ": " << Html(StatusText(r.State)) << "</h3>\n";
      if (r.State != Status::Failed) {
        o << "<p>" << Html(softplc::Shown(r.Reason)) << "</p>\n";
        continue;
      }
      // the arguments are HTML already; the template holds no markup of its own
      o << "<p>"
        << Say(QT_TRANSLATE_NOOP("grading", "Line %1, %2 s: expected %3, seen %4"), r.FailLine,
               Seconds(r.FailTimeMs), "<code>" + Html(r.FailStep) + "</code>",
               "<code>" + Html(softplc::Shown(SeenMessage(r.Seen))) + "</code>")
        << "</p>\n"
        << TimingChart(r.Trace, r.FailTimeMs) << '\n';
    }
  }
  o << "</body></html>\n";
  return o.str();
}

std::string TextReport(const Exercise& ex, const std::vector<Grade>& grades) {
  std::ostringstream o;
  for (const Grade& g : grades) {
    o << g.Student.Name << ": " << Score(g.Score) << '\n';
    for (std::size_t j = 0; j < g.Runs.size(); ++j) {
      const RunResult& r = g.Runs[j];
      o << "  " << ex.Scenarios[j].Name << ": " << StatusText(r.State);
      if (r.State != Status::Passed) o << " — " << softplc::Shown(r.Reason);
      o << '\n';
      if (r.State == Status::NoLoad)
        for (std::size_t k = 1; k < r.LoadErrors.size(); ++k) o << "    " << r.LoadErrors[k] << '\n';
    }
  }
  return o.str();
}

}  // namespace grading
