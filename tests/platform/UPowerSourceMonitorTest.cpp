#include "platform/linux/powersettings/UPowerSourceMonitor.h"

#include "DBusSandbox.h"

#include <QDBusConnectionInterface>
#include <QDBusVariant>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vigilo;

namespace {

const QString upower = QStringLiteral("org.freedesktop.UPower");
const QString upowerPath = QStringLiteral("/org/freedesktop/UPower");

void setProperty(QDBusConnection bus, const QString& service, const QString& path,
                 const QString& interface, const QString& name, const QVariant& value) {
    QDBusMessage set = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
    set.setArguments({interface, name, QVariant::fromValue(QDBusVariant(value))});
    const QDBusMessage reply = bus.call(set);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
}

} // namespace

TEST(UPowerSourceMonitor, HearsTheDaemonAndItsDevicesEvenWhenUPowerStartsLater) {
    DBusSandbox system(DBusSandbox::Kind::System);
    QDBusConnection bus = system.connect();
    UPowerSourceMonitor monitor(bus);
    QSignalSpy changed(&monitor, &PowerSourceMonitor::changed);

    system.startTemplate("upower", upower);
    // A round trip on the monitor's connection: its match rules are in place after it.
    bus.interface()->isServiceRegistered(upower);

    setProperty(system.connect(), upower, upowerPath, upower, QStringLiteral("OnBattery"), true);
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(changed.count(), 1);

    const QDBusMessage added = system.callMock(
        upower, upowerPath, QStringLiteral("AddDischargingBattery"),
        {QStringLiteral("mock_BAT"), QStringLiteral("Battery"), 50.0, qlonglong{3600}});
    ASSERT_EQ(added.type(), QDBusMessage::ReplyMessage) << added.errorMessage().toStdString();
    setProperty(system.connect(), upower, added.arguments().constFirst().toString(),
                QStringLiteral("org.freedesktop.UPower.Device"), QStringLiteral("Percentage"),
                40.0);
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(changed.count(), 2);
}

TEST(UPowerSourceMonitor, IgnoresTheSameSignalFromAnotherService) {
    DBusSandbox system(DBusSandbox::Kind::System);
    const QString impostor = QStringLiteral("org.example.Impostor");
    system.startMock(impostor, upowerPath, upower);
    system.callMock(
        impostor, upowerPath, QStringLiteral("AddProperty"),
        {upower, QStringLiteral("OnBattery"), QVariant::fromValue(QDBusVariant(false))});
    system.startTemplate("upower", upower);
    QDBusConnection bus = system.connect();
    UPowerSourceMonitor monitor(bus);
    QSignalSpy changed(&monitor, &PowerSourceMonitor::changed);
    bus.interface()->isServiceRegistered(upower);

    // The impostor's signal is on its way to the monitor before the second Set is even sent.
    setProperty(system.connect(), impostor, upowerPath, upower, QStringLiteral("OnBattery"), true);
    setProperty(system.connect(), upower, upowerPath, upower, QStringLiteral("OnBattery"), true);
    ASSERT_TRUE(changed.wait(5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.count(), 1);
}
