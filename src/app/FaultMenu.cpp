#include "app/FaultMenu.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <iostream>
#include <string>

#include "app/PlantHost.h"

namespace {

// A refused fault would be a wrong name here, a fault of ours: say so where it can be found.
void Report(const std::string& problem) {
  if (!problem.empty()) std::cerr << "torvane: " << problem << '\n';
}

QString Tr(const char* text) { return QCoreApplication::translate("FaultMenu", text); }

}  // namespace

QMenu* AddFaultMenu(QMenuBar* bar, TPlantHost& host) {
  QMenu* menu = bar->addMenu(Tr(QT_TRANSLATE_NOOP("FaultMenu", "F&aults")));
  static const char* const kSwitches[] = {"FC_A", "FC_B", "FC_C", "FC_D"};
  for (int level : {0, 1}) {
    QMenu* stuck = menu->addMenu(Tr(QT_TRANSLATE_NOOP("FaultMenu", "Limit switch stuck at %1")).arg(level));
    for (const char* name : kSwitches)
      stuck->addAction(QString::fromLatin1(name), [&host, name, level] {
        Report(host.Fault(name, "stuck", level));
      });
  }
  QMenu* welded = menu->addMenu(Tr(QT_TRANSLATE_NOOP("FaultMenu", "Contactor welded")));
  for (const char* name : {"KM1", "KM2", "KM3", "KM4"})
    welded->addAction(QString::fromLatin1(name), [&host, name] { Report(host.Fault(name, "welded", 0)); });
  menu->addAction(Tr(QT_TRANSLATE_NOOP("FaultMenu", "Sluggish motor (travel × 1.5)")),
                  [&host] { Report(host.Fault("Motor", "slow", 1.5)); });
  menu->addAction(Tr(QT_TRANSLATE_NOOP("FaultMenu", "Deck jammed")), [&host] { Report(host.Fault("Bridge", "jam", 0)); });
  menu->addSeparator();
  menu->addAction(Tr(QT_TRANSLATE_NOOP("FaultMenu", "&Clear all faults")), [&host] { Report(host.Clear("all")); });
  return menu;
}
