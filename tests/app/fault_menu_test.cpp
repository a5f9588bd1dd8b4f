// The fault menu injects the scenarios' faults on the live plant and clears them.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "app/FaultMenu.h"
#include "app/PlantHost.h"
#include "app/PlantSession.h"
#include "bridge/BridgeControl.h"
#include "components/Relay.h"
#include "plc/ESModule.h"

namespace {

QAction* Find(QMenu* menu, const QString& path) {
  const QStringList parts = path.split(QLatin1Char('/'));
  for (QAction* a : menu->actions()) {
    if (a->text() != parts.front()) continue;
    if (parts.size() == 1) return a;
    return a->menu() != nullptr ? Find(a->menu(), parts.mid(1).join(QLatin1Char('/'))) : nullptr;
  }
  return nullptr;
}

TEST(FaultMenu, InjectsFaultsOnThePlantAndClearsThemAll) {
  TPlantSession session;
  TPlantHost host(session);
  QMenuBar bar;
  QMenu* menu = AddFaultMenu(&bar, host);
  TForm2& form = session.Form();
  TIOModule* inputs = form.PLC->FirstModule;

  QAction* stuck = Find(menu, QStringLiteral("Limit switch stuck at 0/FC_A"));
  ASSERT_NE(stuck, nullptr);
  stuck->trigger();
  EXPECT_EQ(inputs->InputFault(4), 0) << "FC_A is E124.4";
  ASSERT_NE(Find(menu, QStringLiteral("Limit switch stuck at 1/FC_D")), nullptr);
  Find(menu, QStringLiteral("Limit switch stuck at 1/FC_D"))->trigger();
  EXPECT_EQ(inputs->InputFault(7), 1);

  Find(menu, QStringLiteral("Contactor welded/KM2"))->trigger();
  EXPECT_TRUE(form.KM2->Welded());

  Find(menu, QStringLiteral("&Clear all faults"))->trigger();
  EXPECT_EQ(inputs->InputFault(4), -1);
  EXPECT_EQ(inputs->InputFault(7), -1);
  EXPECT_FALSE(form.KM2->Welded());
}

}  // namespace
