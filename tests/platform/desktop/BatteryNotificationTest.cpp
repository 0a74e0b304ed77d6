#include "../TempFolder.h"
#include "NotificationServer.h"
#include "fakes/FakeAudioOut.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeHttpGet.h"
#include "fakes/FakeLidControl.h"
#include "fakes/FakePowerAssertions.h"
#include "fakes/FakePowerSettings.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeStatsSource.h"
#include "fakes/FakeWatchedApps.h"
#include "model/AwakeModel.h"
#include "platform/linux/LinuxDesktop.h"

using namespace vigilo;

// The battery stop, from the model's reading to the desktop's notification server.
TEST(BatteryNotification, TheBatteryStopReachesTheNotificationServer) {
    NotificationServer server;
    const TempFolder config;
    LinuxDesktop desktop(server.bus.connect(), config.path() / "autostart", "/usr/bin/vigilo");
    fakes::FakeClock clock;
    fakes::FakeDefaults defaults;
    fakes::FakePowerAssertions assertions;
    fakes::FakePowerSettings power;
    fakes::FakeWatchedApps watcher;
    fakes::FakeAudioOut audio;
    fakes::FakeLidControl lid;
    fakes::FakeDisplays displays;
    fakes::FakeStatsSource stats;
    fakes::FakeHttpGet http;
    fakes::FakeScheduler scheduler;
    SoundPlayer sounds{audio, defaults, clock};
    AwakeModel model({clock, defaults, assertions, power, watcher, sounds, lid, displays, desktop,
                      stats, http, scheduler});

    model.toggle();
    ASSERT_TRUE(model.isAwake());
    stats.sources = {{{"Type", std::string("InternalBattery")},
                      {"Current Capacity", std::int64_t{20}},
                      {"Max Capacity", std::int64_t{100}},
                      {"Power Source State", std::string("Battery Power")}}};
    clock.advance(2);
    model.refreshStats();
    EXPECT_FALSE(model.isAwake());

    const auto calls = server.waitForNotifications(1);
    ASSERT_EQ(calls.size(), 1U);
    const NotifyArguments notification(calls[0]);
    EXPECT_EQ(notification.appName, QStringLiteral("Vigilo"));
    EXPECT_EQ(notification.summary, QStringLiteral("Кофе закончился"));
    EXPECT_EQ(notification.body, QStringLiteral("Заряд батареи 20% — Mac снова может засыпать."));
}
