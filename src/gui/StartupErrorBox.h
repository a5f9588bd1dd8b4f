#pragma once
// Reports a start-up that found no simulator: a message box in the GUI, the standard error
// stream when headless. Returns the exit status the program should end with.
#include <exception>

class QWidget;

int ShowStartupFailure(const std::exception& error, bool headless, QWidget* parent = nullptr);
