#include "gui/StartupErrorBox.h"

#include <QMessageBox>
#include <iostream>

#include "plc/PLCFormSource.h"
#include "plc/StartupCheck.h"

int ShowStartupFailure(const std::exception& error, bool headless, QWidget* parent) {
  // The detail goes to the standard error stream in both cases, for whoever looks there.
  const int status = ReportStartupFailure(error, std::cerr);
  if (!headless) QMessageBox::critical(parent, QStringLiteral("Torvane"), QString::fromUtf8(error.what()));
  return status;
}
