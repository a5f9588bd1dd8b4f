#pragma once
// The program view of the embedded CPU's window: one tab per source file of the program, with
// line numbers, STL colouring, the load errors at their lines, find and go-to-line; New from a
// template, Save and Save As (atomic, in the file's own encoding and line endings), Download
// into the CPU, and the program status ("Monitor") beside the lines of the front tab.
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/ProgramStatus.h"
#include "gui/SourceDocument.h"
#include "softplc/SoftPlc.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTimer;
class QToolButton;
class TEmbeddedPlc;
class TStlHighlighter;

// One source file in the editor.
class TCodeEditor : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TCodeEditor(QWidget* parent = nullptr);

  TSourceDocument Document;
  QString ProgramName;  // the file's name in the program (its path, or "untitled.awl")

  // Messages of the last load or download that concern this file, by line.
  struct TMark {
    int Line = 0;
    int Column = 0;
    QString Text;
    bool Warning = false;
  };
  void SetMarks(std::vector<TMark> marks);
  const std::vector<TMark>& Marks() const { return FMarks; }

  // Program status beside the lines; null hides the column.
  void SetStatus(const TProgramStatus* status);
  // What the status column shows for a line (empty when nothing).
  QString StatusText(int line) const;
  // Symbols for the hover texts: name -> address, and name -> comment where there is one.
  void SetSymbols(const softplc::SymbolTable* symbols,
                  const std::map<std::string, std::string>* comments = nullptr) {
    FSymbols = symbols;
    FComments = comments;
  }
  // The hover text at a place of the text: an error, a symbol's address or an address's symbol.
  QString HoverText(int line, int column) const;

  void GoToLine(int line, int column = 1);
  // Re-reads the status and repaints the column and the greyed lines.
  void RefreshStatus();

  int LineNumberWidth() const;
  int StatusWidth() const;
  void PaintLineNumbers(QPaintEvent* e);
  void PaintStatus(QPaintEvent* e);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  bool event(QEvent* e) override;

 private:
  void UpdateMargins();
  void UpdateSelections();
  // A symbol's text with its comment after it, when it has one.
  QString Commented(const std::string& name, const QString& text) const;
  QWidget* FNumbers;
  QWidget* FStatusArea;
  TStlHighlighter* FHighlighter;
  std::vector<TMark> FMarks;
  const TProgramStatus* FStatus = nullptr;
  const softplc::SymbolTable* FSymbols = nullptr;
  const std::map<std::string, std::string>* FComments = nullptr;
};

class TProgramEditor : public QWidget {
  Q_OBJECT

 public:
  explicit TProgramEditor(TEmbeddedPlc& plc, QWidget* parent = nullptr);
  ~TProgramEditor() override;

  // Opens these source files, one tab each, replacing the tabs (ask MayDiscard first).
  void OpenFiles(const QStringList& paths);
  // Marks messages of a load or download in the tabs and lists them.
  // The first `errors` messages are errors, the rest warnings.
  void ShowMessages(const std::vector<softplc::Message>& messages, std::size_t errors);
  // Opens the program the CPU holds when the tabs show something else and nothing is unsaved.
  void FollowProgram();

  // A new program from the template, in a tab of its own.
  void NewProgram();
  static QString TemplateText(const softplc::SymbolTable& plantSymbols);
  // Saves the front tab (Save As when it has no file yet); false when not saved.
  bool Save();
  bool SaveAs(const QString& path = {});
  // Compiles every tab and, when it compiles, replaces the CPU's program. False when refused.
  bool Download();
  void SetMonitoring(bool on);

  bool Modified() const;
  // Asks what to do with unsaved changes before loading, reloading or closing: true to go on
  // (saved or discarded), false to stay.
  enum class TDiscard { Loading, Reloading, Closing };
  bool MayDiscard(TDiscard why);
  // How the editor asks the user a yes/no/cancel question; tests replace it.
  enum TAnswer { Yes, No, Cancel };
  std::function<TAnswer(const QString& question)> Ask;
  std::function<QString(const QString& suggestion)> AskSavePath;

  int TabCount() const;
  TCodeEditor* Tab(int i) const;
  TCodeEditor* Current() const;
  QListWidget* MessageList() const { return FMessages; }
  QCheckBox* MonitorSwitch() const { return FMonitor; }
  QComboBox* EnvironmentBox() const { return FEnvironment; }
  QLabel* StatusLine() const { return FStatusLine; }
  QLineEdit* FindField() const { return FFind; }
  TProgramStatus& Status() { return FProgramStatus; }

  bool Find(const QString& text, bool backwards = false);

 private:
  TCodeEditor* AddTab(const QString& name);
  void TabTitle(TCodeEditor* e);
  void FrontTabChanged();
  void RefreshEnvironments();
  void ReadSymbols();

  TEmbeddedPlc& FPlc;
  TProgramStatus FProgramStatus;
  QTabWidget* FTabs;
  QListWidget* FMessages;
  QCheckBox* FMonitor;
  QComboBox* FEnvironment;
  QLabel* FStatusLine;
  QLabel* FColumnsHeader;
  QLineEdit* FFind;
  QTimer* FMonitorTimer;
  QStringList FFollowed;  // the files last opened from the CPU's program
  softplc::SymbolTable FSymbols;
  std::map<std::string, std::string> FComments;
  std::size_t FShownEnvironments = 0;
};
