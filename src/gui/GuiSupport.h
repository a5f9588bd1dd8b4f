#pragma once
// What every Qt view of the control models shares: colour and font conversion, the fonts the
// layouts were designed for, and the text measurer that makes auto-sized texts come out right.
#include <QColor>
#include <QFont>
#include <QString>
#include <string>

#include "framework/Graphics.h"
#include "framework/StaticText.h"

// Loads the window fonts and installs the Qt text measurer and the translator of the PLC side's
// messages. Needs a QGuiApplication; call it before creating models whose texts size themselves.
// Calling it again does nothing.
void InitGuiSupport();

// The family that stands in for "Tahoma": Tahoma itself when its font file was found,
// otherwise DejaVu Sans.
QString TahomaFamily();

QColor ToQColor(TColor c);
QString ToQString(const std::string& s);
// The Qt font for a model font, sized in pixels for 96 dpi as the layouts assume, so the
// result does not depend on the screen (or the offscreen platform) the program runs on.
QFont ToQFont(const TFont& font);
// Point size to pixels at 96 dpi, rounded like the framework does (7 pt -> 9 px, 8 pt -> 11 px).
int PointsToPixels(int points);
