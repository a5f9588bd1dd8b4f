#pragma once
// The variable table: rows of CPU operands (addresses or symbols), each in a display format,
// with their values refreshed ten times a second. Modify writes the typed values once at the
// next cycle control point; Force holds inputs and outputs until unforced. While any force is
// active a red line says so. Tables go to and come from plain text files only when asked.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "plc/WatchTable.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class TEmbeddedPlc;

class TWatchWindow : public QWidget {
  Q_OBJECT

 public:
  enum Column { ColOperand, ColAddress, ColFormat, ColValue, ColModify, ColForced, ColCount };

  explicit TWatchWindow(TEmbeddedPlc& plc, QWidget* parent = nullptr);

  // Adds a row for an operand text; false (message in the status line) when it is not one.
  bool AddOperand(const QString& text);
  void SetFormat(int row, TWatchFormat format);
  void SetModifyValue(int row, const QString& value);
  // Modify or force the selected rows (all rows with a value when none is selected) with
  // their typed values; false when any was refused (the status line says why).
  bool ModifySelected();
  bool ForceSelected();
  void UnforceSelected();
  void UnforceAll();
  bool SaveTo(const QString& path, QString& error) const;
  // Replaces the rows with the file's; messages name the file, line and column.
  bool LoadFrom(const QString& path, QStringList& errors);
  void Refresh();

  // Told of every force set or ended here ("force KM1 TRUE", "unforce all"), for the chart.
  std::function<void(const std::string&)> OnMark;

  const std::vector<TWatchRow>& Rows() const { return FRows; }
  QTableWidget* Table() const { return FTable; }
  QLabel* ForceBanner() const { return FBanner; }
  QLabel* StatusLine() const { return FStatus; }
  QLineEdit* OperandEdit() const { return FEdit; }

 private:
  // Parses the Modify column of every selected row with a value and hands it to `write`
  // (which answers an error or ""); the number written, the problems appended.
  int WriteSelected(
      const std::function<std::string(const TWatchRow&, std::uint32_t, const std::string&)>& write,
      QStringList& problems);
  std::vector<int> TargetRows() const;
  void SaveAs();
  void Open();

  TEmbeddedPlc& FPlc;
  std::vector<TWatchRow> FRows;
  QTableWidget* FTable;
  QLabel* FBanner;
  QLabel* FStatus;
  QLineEdit* FEdit;
  QTimer* FTimer;
};
