#include "platform/linux/desktop/PortalReducedMotion.h"

#include "DBusSandbox.h"
#include "platform/apps/EventLoop.h"

#include <QDBusVariant>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

using testing::runEventsUntil;

const QString portal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settings = QStringLiteral("org.freedesktop.portal.Settings");
const QString gnome = QStringLiteral("org.gnome.desktop.interface");
const QString enableAnimations = QStringLiteral("enable-animations");
const QString kde = QStringLiteral("org.kde.kdeglobals.KDE");
const QString durationFactor = QStringLiteral("AnimationDurationFactor");

/// A portal whose Read answers from `values` (D-Bus values in Python by "group/key"), each in
/// two variants as the real one does, and refuses the rest.
void startPortal(DBusSandbox& session, const QString& values) {
    session.startMock(
        portal, portalPath, settings,
        {{QStringLiteral("Read"), QStringLiteral("ss"), QStringLiteral("v"),
          QStringLiteral("values = {%1}\n"
                         "key = args[0] + '/' + args[1]\n"
                         "if key not in values:\n"
                         "    raise dbus.exceptions.DBusException('no such setting',\n"
                         "        name='org.freedesktop.portal.Error.NotFound')\n"
                         "ret = type(values[key])(values[key], variant_level=2)")
              .arg(values)}});
}

TEST(PortalReducedMotion, FollowsWhatGnomeOrKdeSayAtStart) {
    struct Case {
        const char* what;
        const char* values;
        bool reduced;
    };
    const Case cases[] = {
        {"GNOME without animations",
         "'org.gnome.desktop.interface/enable-animations': dbus.Boolean(False)", true},
        {"GNOME with animations",
         "'org.gnome.desktop.interface/enable-animations': dbus.Boolean(True)", false},
        {"KDE at instant speed",
         "'org.kde.kdeglobals.KDE/AnimationDurationFactor': dbus.Double(0.0)", true},
        {"KDE at half speed", "'org.kde.kdeglobals.KDE/AnimationDurationFactor': dbus.Double(0.5)",
         false},
        {"KDE's factor as text",
         "'org.kde.kdeglobals.KDE/AnimationDurationFactor': dbus.String('0')", true},
        {"a setting of the wrong type",
         "'org.gnome.desktop.interface/enable-animations': dbus.String('no')", false},
        {"neither known", "", false},
    };
    for (const auto& c : cases) {
        DBusSandbox session{DBusSandbox::Kind::Session};
        startPortal(session, QString::fromUtf8(c.values));
        const PortalReducedMotion motion(session.connect());
        ASSERT_TRUE(runEventsUntil(
            [&] {
                return session.methodCalls(portal, portalPath, QStringLiteral("Read")).size() == 2;
            },
            5000))
            << c.what;
        // Both answers are in once a third call has made its round trip behind them.
        session.callMock(portal, portalPath, QStringLiteral("GetCalls"));
        runEventsUntil([&] { return motion.isReduced() == c.reduced; }, 1000);
        EXPECT_EQ(motion.isReduced(), c.reduced) << c.what;
    }
}

TEST(PortalReducedMotion, FollowsChangesAndSaysSoOnlyWhenTheAnswerFlips) {
    DBusSandbox session{DBusSandbox::Kind::Session};
    startPortal(
        session,
        QStringLiteral("'org.gnome.desktop.interface/enable-animations': dbus.Boolean(True)"));
    const PortalReducedMotion motion(session.connect());
    int changes = 0;
    QObject::connect(&motion, &PortalReducedMotion::changed, &motion, [&] { ++changes; });
    const auto emitChange = [&](const QString& group, const QString& key, const QVariant& value) {
        session.callMock(portal, portalPath, QStringLiteral("EmitSignal"),
                         {settings, QStringLiteral("SettingChanged"), QStringLiteral("ssv"),
                          QVariantList{QVariant::fromValue(QDBusVariant(group)),
                                       QVariant::fromValue(QDBusVariant(key)),
                                       QVariant::fromValue(QDBusVariant(value))}});
    };
    struct Step {
        QString group;
        QString key;
        QVariant value;
        bool reduced;
        int changes;
    };
    const Step steps[] = {
        {gnome, enableAnimations, false, true, 1},
        {kde, durationFactor, 0.0, true, 1},
        {gnome, enableAnimations, true, true, 1},
        {kde, durationFactor, 1.0, false, 2},
        {gnome, QStringLiteral("gtk-theme"), QStringLiteral("Adwaita"), false, 2},
    };
    for (const auto& step : steps) {
        emitChange(step.group, step.key, step.value);
        // The mock's own round trip comes after its signal.
        session.callMock(portal, portalPath, QStringLiteral("GetCalls"));
        runEventsUntil([&] { return changes == step.changes; }, 2000);
        EXPECT_EQ(motion.isReduced(), step.reduced) << step.key.toStdString();
        EXPECT_EQ(changes, step.changes) << step.key.toStdString();
    }
}

TEST(PortalReducedMotion, WithoutABusMotionIsNotReduced) {
    const PortalReducedMotion motion(QDBusConnection(QStringLiteral("none")));
    EXPECT_FALSE(motion.isReduced());
}

} // namespace
} // namespace vigilo
