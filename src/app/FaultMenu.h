#pragma once
// The plant's faults from a menu, for a teacher in front of a class: the same faults scenarios
// inject (stuck limit switches, welded contactors, a sluggish motor, a jammed deck), each shown
// on the plant while it lasts, and one item that clears them all.
class QMenu;
class QMenuBar;
class TPlantHost;

// Adds a "Faults" menu to `bar`; its items act through `host`, which must outlive the menu.
QMenu* AddFaultMenu(QMenuBar* bar, TPlantHost& host);
