#include "../TempFolder.h"
#include "NotificationServer.h"
#include "fakes/ModelFakes.h"
#include "model/AwakeModel.h"
#include "platform/linux/desktop/LinuxDesktop.h"

using namespace vigilo;

// The battery stop, from the model's reading to the desktop's notification server.
TEST(BatteryNotification, TheBatteryStopReachesTheNotificationServer) {
    NotificationServer server;
    const TempFolder config;
    LinuxDesktop desktop(server.bus.connect(), config.path() / "autostart", "/usr/bin/vigilo");
    fakes::ModelFakes others;
    AwakeModel model(others.services(others.lid, desktop));

    model.toggle();
    ASSERT_TRUE(model.isAwake());
    others.stats.sources = {
        {.kind = PowerSource::Kind::InternalBattery, .charge = 20, .capacity = 100}};
    others.clock.advance(2);
    model.refreshStats();
    EXPECT_FALSE(model.isAwake());

    const auto calls = server.waitForNotifications(1);
    ASSERT_EQ(calls.size(), 1U);
    const NotifyArguments notification(calls[0]);
    EXPECT_EQ(notification.appName, QStringLiteral("Vigilo"));
    EXPECT_EQ(notification.summary, QStringLiteral("Кофе закончился"));
    EXPECT_EQ(notification.body, QStringLiteral("Заряд батареи 20% — Mac снова может засыпать."));
}
