#include "platform/linux/desktop/LinuxTrayHostMonitor.h"

#include "DBusSandbox.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace vigilo;

namespace {

const QString watcher = QString::fromLatin1(LinuxTrayHostMonitor::watcherName);
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

/// Waits for `monitor` to say `expected`.
bool says(const TrayHostMonitor& monitor, std::optional<bool> expected) {
    return QTest::qWaitFor([&] { return monitor.hasTrayHost() == expected; }, 10000);
}

} // namespace

TEST(LinuxTrayHostMonitor, OnlyAHostOfTheKindQtChoseAtStartShowsTheIcon) {
    struct Case {
        bool iconUsesStatusNotifier, watcherRuns, xembedTray, shown;
    };
    for (const Case c : {Case{true, true, false, true}, Case{true, false, true, false},
                         Case{false, true, false, false}, Case{false, false, true, true},
                         Case{false, false, false, false}}) {
        EXPECT_EQ(
            LinuxTrayHostMonitor::showsIcon(c.iconUsesStatusNotifier, c.watcherRuns, c.xembedTray),
            c.shown)
            << c.iconUsesStatusNotifier << c.watcherRuns << c.xembedTray;
    }
}

TEST(LinuxTrayHostMonitor, FollowsTheStatusNotifierWatcherThatRanAtStart) {
    DBusSandbox session(DBusSandbox::Kind::Session);
    session.startMock(watcher, watcherPath, watcher);
    const LinuxTrayHostMonitor monitor(session.connect(), nullptr);
    EXPECT_EQ(monitor.hasTrayHost(), std::nullopt) << "unknown until the bus answered";
    ASSERT_TRUE(says(monitor, true));

    session.stopMock(watcher);
    EXPECT_TRUE(says(monitor, false)) << "the desktop's panel went away";
    session.startMock(watcher, watcherPath, watcher);
    EXPECT_TRUE(says(monitor, true)) << "and came back";
}

TEST(LinuxTrayHostMonitor, AWatcherThatComesLaterDoesNotCountForAnXEmbedIcon) {
    DBusSandbox session(DBusSandbox::Kind::Session);
    const QDBusConnection bus = session.connect();
    const LinuxTrayHostMonitor monitor(bus, nullptr);
    ASSERT_TRUE(says(monitor, false));

    session.startMock(watcher, watcherPath, watcher);
    DBusSandbox::settle(bus, watcher); // the monitor heard the name come
    EXPECT_EQ(monitor.hasTrayHost(), false);
}
