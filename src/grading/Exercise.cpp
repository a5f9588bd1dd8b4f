#include "grading/Exercise.h"

#include <QDir>
#include <QFileInfo>
#include <toml++/toml.h>

#include "grading/Grader.h"

namespace grading {

namespace {

std::string Place(const std::string& file, const toml::source_region& where) {
  return file + ":" + std::to_string(where.begin.line) + ":" + std::to_string(where.begin.column);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

bool IsSymbolTablePath(const std::string& path) {
  const std::string ext = Lower(QFileInfo(QString::fromStdString(path)).suffix().toStdString());
  return ext == "sdf" || ext == "seq" || ext == "asc";
}

std::vector<std::string> SubmissionFiles(const std::string& path) {
  const QFileInfo info(QString::fromStdString(path));
  if (!info.isDir()) return {info.absoluteFilePath().toStdString()};
  std::vector<std::string> files;
  const QDir dir(info.absoluteFilePath());
  for (const QFileInfo& f : dir.entryInfoList(QDir::Files, QDir::Name)) {
    const std::string ext = Lower(f.suffix().toStdString());
    if (ext == "awl" || ext == "stl" || IsSymbolTablePath(f.fileName().toStdString()))
      files.push_back(f.absoluteFilePath().toStdString());
  }
  return files;
}

bool ReadExercise(const std::string& dir, Exercise& out, std::vector<std::string>& errors) {
  out = Exercise();
  const QDir root(QString::fromStdString(dir));
  out.Dir = root.absolutePath().toStdString();
  const std::string file = root.filePath("exercise.toml").toStdString();
  const std::size_t before = errors.size();
  if (!QFileInfo(QString::fromStdString(file)).isFile()) {
    errors.push_back(file + ":1:1: " + Say(QT_TRANSLATE_NOOP("grading", "there is no exercise.toml in this folder")));
    return false;
  }
  toml::table doc;
  try {
    doc = toml::parse_file(file);
  } catch (const toml::parse_error& e) {
    errors.push_back(Place(file, e.source()) + ": " + std::string(e.description()));
    return false;
  }
  // `text` is made by softplc::Tr
  auto problem = [&](const toml::node* node, const std::string& text) {
    errors.push_back((node != nullptr ? Place(file, node->source()) : file + ":1:1") + ": " +
                     softplc::Shown(text));
  };

  if (auto t = doc["title"].value<std::string>()) out.Title = *t;
  else problem(doc.get("title"), softplc::Tr(QT_TRANSLATE_NOOP("grading", "the exercise needs a title (a string)")));
  if (auto s = doc["statement"].value<std::string>()) out.Statement = *s;
  else problem(doc.get("statement"), softplc::Tr(QT_TRANSLATE_NOOP("grading", "the exercise needs a statement (Markdown text)")));

  if (const toml::node* sym = doc.get("symbols")) {
    if (auto s = sym->value<std::string>()) {
      const QString p = root.filePath(QString::fromStdString(*s));
      if (!QFileInfo(p).isFile()) problem(sym, softplc::Tr(QT_TRANSLATE_NOOP("grading", "symbol table %1 does not exist"), *s));
      out.SymbolFiles.push_back(QFileInfo(p).absoluteFilePath().toStdString());
    } else {
      problem(sym, softplc::Tr(QT_TRANSLATE_NOOP("grading", "symbols must be the name of a file")));
    }
  }

  if (const toml::node* limits = doc.get("limits")) {
    if (const toml::table* t = limits->as_table()) {
      if (const toml::node* n = t->get("time")) {
        const auto v = n->value<double>();
        if (v && *v > 0 && *v <= 600) out.TimeLimitS = *v;
        else problem(n, softplc::Tr(QT_TRANSLATE_NOOP("grading", "limits.time is the seconds one scenario may take: above 0, at most 600")));
      }
      if (const toml::node* n = t->get("memory")) {
        const auto v = n->value<std::int64_t>();
        if (v && *v >= 64 && *v <= 65536) out.MemoryLimitMiB = static_cast<int>(*v);
        else problem(n, softplc::Tr(QT_TRANSLATE_NOOP("grading", "limits.memory is the MiB one run may use: 64 to 65536")));
      }
    } else {
      problem(limits, softplc::Tr(QT_TRANSLATE_NOOP("grading", "limits must be a table")));
    }
  }

  const toml::array* list = doc["scenario"].as_array();
  if (list == nullptr || list->empty()) {
    problem(doc.get("scenario"), softplc::Tr(QT_TRANSLATE_NOOP("grading", "the exercise needs at least one [[scenario]]")));
  } else {
    for (const toml::node& item : *list) {
      const toml::table* t = item.as_table();
      if (t == nullptr) {
        problem(&item, softplc::Tr(QT_TRANSLATE_NOOP("grading", "each scenario is a table with file, weight and visible")));
        continue;
      }
      ExerciseScenario s;
      const toml::node* fileNode = t->get("file");
      const auto name = fileNode != nullptr ? fileNode->value<std::string>() : std::nullopt;
      if (!name) {
        problem(&item, softplc::Tr(QT_TRANSLATE_NOOP("grading", "a scenario needs file = \"scenarios/NAME.scn\"")));
        continue;
      }
      const QFileInfo scn(root.filePath(QString::fromStdString(*name)));
      if (!scn.isFile()) problem(fileNode, softplc::Tr(QT_TRANSLATE_NOOP("grading", "scenario %1 does not exist"), *name));
      s.Path = scn.absoluteFilePath().toStdString();
      s.Name = scn.completeBaseName().toStdString();
      if (const toml::node* w = t->get("weight")) {
        const auto v = w->value<double>();
        if (v && *v >= 0) s.Weight = *v;
        else problem(w, softplc::Tr(QT_TRANSLATE_NOOP("grading", "weight must be a number, 0 or more")));
      }
      if (const toml::node* v = t->get("visible")) {
        if (auto b = v->value<bool>()) s.Visible = *b;
        else problem(v, softplc::Tr(QT_TRANSLATE_NOOP("grading", "visible must be true or false")));
      }
      for (const ExerciseScenario& other : out.Scenarios)
        if (other.Name == s.Name) problem(fileNode, softplc::Tr(QT_TRANSLATE_NOOP("grading", "scenario %1 is listed twice"), s.Name));
      out.Scenarios.push_back(s);
    }
  }

  const QString solution = root.filePath("solution");
  if (QFileInfo(solution).isDir()) {
    out.SolutionFiles = SubmissionFiles(solution.toStdString());
    if (out.SolutionFiles.empty())
      errors.push_back(solution.toStdString() + ":1:1: " + Say(QT_TRANSLATE_NOOP("grading", "the solution folder holds no source")));
  }
  return errors.size() == before;
}

}  // namespace grading
