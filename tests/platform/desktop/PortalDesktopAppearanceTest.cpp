#include "platform/linux/desktop/PortalDesktopAppearance.h"

#include "DBusSandbox.h"
#include "platform/TempFolder.h"
#include "platform/apps/EventLoop.h"

#include <QDBusVariant>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

using testing::runEventsUntil;

const QString portal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settings = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorScheme = QStringLiteral("color-scheme");

TEST(PortalDesktopAppearance, ReadsThePlasmaStyleAndColoursOnKdeOnly) {
    const TempFolder config;
    writeFile(config.path() / "plasmarc", "[Theme]\nname=breeze-dark\n");
    writeFile(config.path() / "kdeglobals", "[Colors:Header]\nBackgroundNormal=41,44,48\n\n"
                                            "[Colors:Window]\nBackgroundNormal=239,240,241\n");
    const QDBusConnection noBus(QStringLiteral("none"));

    const PortalDesktopAppearance kde(noBus, "KDE", config.path());
    EXPECT_EQ(kde.facts().plasmaStyle, "breeze-dark");
    EXPECT_EQ(kde.facts().kdeHeaderBackground, "41,44,48");
    EXPECT_EQ(kde.facts().kdeWindowBackground, "239,240,241");

    const PortalDesktopAppearance gnome(noBus, "ubuntu:GNOME", config.path());
    EXPECT_EQ(gnome.facts(), DesktopFacts{.currentDesktop = "ubuntu:GNOME"});
}

class PortalTest : public ::testing::Test {
protected:
    PortalTest() {
        session.startMock(portal, portalPath, settings);
        session.callMock(portal, portalPath, QStringLiteral("AddMethod"),
                         {settings, QStringLiteral("Read"), QStringLiteral("ss"),
                          QStringLiteral("v"),
                          QStringLiteral("ret = dbus.UInt32(1, variant_level=2)")});
        // Made once the portal is there: it asks at once.
        desktop.emplace(session.connect(), "KDE", config.path());
        QObject::connect(&*desktop, &PortalDesktopAppearance::changed, &*desktop,
                         [this] { ++changes; });
    }

    void emitChange(const QString& group, const QString& key, const QVariant& value) {
        const QDBusMessage reply =
            session.callMock(portal, portalPath, QStringLiteral("EmitSignal"),
                             {settings, QStringLiteral("SettingChanged"), QStringLiteral("ssv"),
                              QVariantList{QVariant::fromValue(QDBusVariant(group)),
                                           QVariant::fromValue(QDBusVariant(key)),
                                           QVariant::fromValue(QDBusVariant(value))}});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }

    DBusSandbox session{DBusSandbox::Kind::Session};
    const TempFolder config;
    std::optional<PortalDesktopAppearance> desktop;
    int changes = 0;
};

TEST_F(PortalTest, AsksForTheColourSchemeOnceAndFollowsTheChanges) {
    ASSERT_TRUE(runEventsUntil([&] { return desktop->facts().colorScheme.has_value(); }, 5000));
    EXPECT_EQ(desktop->facts().colorScheme, 1U);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(session.methodCalls(portal, portalPath, QStringLiteral("Read")),
              (std::vector<QVariantList>{{appearance, colorScheme}}));

    emitChange(appearance, colorScheme, 2U);
    ASSERT_TRUE(runEventsUntil([&] { return desktop->facts().colorScheme == 2U; }, 5000));
    emitChange(QStringLiteral("org.kde.kdeglobals.Colors:Header"),
               QStringLiteral("BackgroundNormal"), QStringLiteral("41,44,48"));
    ASSERT_TRUE(
        runEventsUntil([&] { return desktop->facts().kdeHeaderBackground == "41,44,48"; }, 5000));
    // Settings the glass does not depend on change nothing.
    emitChange(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("gtk-theme"),
               QStringLiteral("Adwaita-dark"));
    emitChange(appearance, colorScheme, 0U);
    ASSERT_TRUE(runEventsUntil([&] { return desktop->facts().colorScheme == 0U; }, 5000));
    EXPECT_EQ(changes, 4);
}

} // namespace
} // namespace vigilo
