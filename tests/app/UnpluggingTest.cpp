// Unplugging the charger, as the running program sees it: UPower tells the power source has
// changed, the sysfs battery runs down, and the desktop's notification server shows the stop.
#include "ControllerSource.h"
#include "FakePlatform.h"
#include "app/AppDelegate.h"
#include "platform/TempFolder.h"
#include "platform/apps/EventLoop.h"
#include "platform/desktop/NotificationServer.h"
#include "platform/linux/desktop/LinuxDesktop.h"
#include "platform/linux/powersettings/LinuxPowerSettings.h"
#include "platform/linux/powersettings/UPowerSourceMonitor.h"
#include "platform/linux/stats/LinuxStatsSource.h"

#include <QDBusVariant>
#include <fstream>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

using testing::runEventsUntil;

void write(const std::filesystem::path& file, const std::string& content) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << content << '\n';
}

/// A laptop's power supplies in sysfs: the charger and a battery at 15 %.
class Laptop {
public:
    Laptop() { plugIn(true); }
    void plugIn(bool plugged) {
        write(supplies() / "AC" / "type", "Mains");
        write(supplies() / "AC" / "online", plugged ? "1" : "0");
        write(supplies() / "BAT0" / "type", "Battery");
        write(supplies() / "BAT0" / "present", "1");
        write(supplies() / "BAT0" / "capacity", "15");
        write(supplies() / "BAT0" / "status", plugged ? "Charging" : "Discharging");
    }
    [[nodiscard]] std::filesystem::path root() const { return folder_.path(); }
    [[nodiscard]] std::filesystem::path supplies() const {
        return root() / "sys" / "class" / "power_supply";
    }

private:
    TempFolder folder_;
};

void setOnBattery(DBusSandbox& system, bool onBattery) {
    QDBusMessage set = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.UPower"), QStringLiteral("/org/freedesktop/UPower"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
    set.setArguments({QStringLiteral("org.freedesktop.UPower"), QStringLiteral("OnBattery"),
                      QVariant::fromValue(QDBusVariant(onBattery))});
    const QDBusMessage reply = system.connect().call(set);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
}

TEST(Unplugging, ForcesAPowerReadAtOnceAndTheNextTickStopsAtTheThreshold) {
    DBusSandbox system(DBusSandbox::Kind::System);
    system.startTemplate("upower", QStringLiteral("org.freedesktop.UPower"),
                         R"({"OnBattery": false})");
    NotificationServer notifications;
    Laptop laptop;
    const TempFolder config;

    fakes::FakePlatform platform;
    const QDBusConnection systemBus = system.connect();
    platform.services.stats = std::make_unique<LinuxStatsSource>(laptop.root());
    platform.services.powerSettings = std::make_unique<LinuxPowerSettings>(
        systemBus, notifications.bus.connect(),
        LinuxPowerSettings::Paths{.gsettings = config.path() / "no-gsettings",
                                  .configHome = config.path(),
                                  .powerSupplies = laptop.supplies(),
                                  .currentDesktop = "GNOME"});
    platform.services.powerSourceMonitor = std::make_unique<UPowerSourceMonitor>(systemBus);
    platform.services.desktop = std::make_unique<LinuxDesktop>(
        notifications.bus.connect(), config.path() / "autostart", "/usr/bin/vigilo");

    fakes::ControllerSource panels;
    AppDelegate delegate(platform.services, panels);
    delegate.finishLaunching();
    AwakeModel& model = delegate.model();
    delegate.handleControl(ControlVerb::On);
    ASSERT_TRUE(model.isAwake());
    ASSERT_EQ(model.powerFigures().powerSource(), PowerValues::Source::Ac);

    laptop.plugIn(false);
    setOnBattery(system, true);
    // The notice forces a read at once, well before the 2-second tick could.
    EXPECT_TRUE(runEventsUntil(
        [&] { return model.powerFigures().powerSource() == PowerValues::Source::Battery; }, 1500));
    EXPECT_TRUE(model.isAwake()) << "the battery stop waits for the tick's battery reading";

    platform.scheduler.advance(AppDelegate::statsIntervalSeconds);
    EXPECT_FALSE(model.isAwake()) << "the next tick stops at the threshold";
    const auto calls = notifications.waitForNotifications(1);
    ASSERT_EQ(calls.size(), 1U);
    const NotifyArguments notification(calls[0]);
    EXPECT_EQ(notification.summary, QStringLiteral("Кофе закончился"));
    EXPECT_EQ(notification.body, QStringLiteral("Заряд батареи 15% — Mac снова может засыпать."));
}

} // namespace
} // namespace vigilo
