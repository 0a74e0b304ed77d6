#include "platform/linux/power/LogindPowerAssertions.h"

#include "DBusSandbox.h"
#include "LogindInhibitors.h"
#include "apps/EventLoop.h"
#include "platform/linux/dbus/DBusCalls.h"

#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>

using namespace vigilo;
using vigilo::testing::runEventsUntil;

namespace {

const std::string why = "Vigilo: keeping Mac awake";
const QString whyText = QString::fromStdString(why);

const QString logindName = QStringLiteral("org.freedesktop.login1");
const QString logindPath = QStringLiteral("/org/freedesktop/login1");

const QString gnomeName = QStringLiteral("org.gnome.SessionManager");
const QString gnomePath = QStringLiteral("/org/gnome/SessionManager");
const QString portalName = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString screenSaverName = QStringLiteral("org.freedesktop.ScreenSaver");
const QString screenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString powerManagementName = QStringLiteral("org.freedesktop.PowerManagement");
const QString powerManagementPath = QStringLiteral("/org/freedesktop/PowerManagement/Inhibit");

/// A service that holds one of an assertion's two locks.
enum class Service { Logind, Portal, GnomeSession, ScreenSaver, PowerManagement };

std::string nameOf(Service service) {
    switch (service) {
    case Service::Logind:
        return "Logind";
    case Service::Portal:
        return "Portal";
    case Service::GnomeSession:
        return "GnomeSession";
    case Service::ScreenSaver:
        return "ScreenSaver";
    case Service::PowerManagement:
        return "PowerManagement";
    }
    return {};
}

class LogindPowerAssertionsTest : public ::testing::Test {
protected:
    void startLogind() { system.startTemplate("logind", logindName); }

    /// A session manager that hands out the cookie 42.
    void startGnomeSession() {
        session.startMock(
            gnomeName, gnomePath, gnomeName,
            {{QStringLiteral("Inhibit"), QStringLiteral("susu"), QStringLiteral("u"),
              QStringLiteral("ret = 42")},
             {QStringLiteral("Uninhibit"), QStringLiteral("u"), QString(), QString()}});
    }

    /// Cookie services (ScreenSaver, PowerManagement) that answer 7.
    void startCookieService(const QString& name, const QString& path, const QString& interface) {
        session.startMock(
            name, path, interface,
            {{QStringLiteral("Inhibit"), QStringLiteral("ss"), QStringLiteral("u"),
              QStringLiteral("ret = 7")},
             {QStringLiteral("UnInhibit"), QStringLiteral("u"), QString(), QString()}});
    }

    /// A portal whose every Inhibit opens a new request object with a Close method.
    void startPortal() {
        session.startMock(
            portalName, portalPath, QStringLiteral("org.freedesktop.portal.Inhibit"),
            {{QStringLiteral("Inhibit"), QStringLiteral("sua{sv}"), QStringLiteral("o"),
              QStringLiteral(
                  "path = '/org/freedesktop/portal/desktop/request/1_1/t%d' % len(self.call_log)\n"
                  "self.AddObject(path, 'org.freedesktop.portal.Request', {}, "
                  "[('Close', '', '', '')])\n"
                  "ret = dbus.ObjectPath(path)")}});
    }

    void start(Service service) {
        switch (service) {
        case Service::Logind:
            return startLogind();
        case Service::Portal:
            return startPortal();
        case Service::GnomeSession:
            return startGnomeSession();
        case Service::ScreenSaver:
            return startCookieService(screenSaverName, screenSaverPath, screenSaverName);
        case Service::PowerManagement:
            return startCookieService(powerManagementName, powerManagementPath,
                                      QStringLiteral("org.freedesktop.PowerManagement.Inhibit"));
        }
    }

    static QString busNameOf(Service service) {
        switch (service) {
        case Service::Logind:
            return logindName;
        case Service::Portal:
            return portalName;
        case Service::GnomeSession:
            return gnomeName;
        case Service::ScreenSaver:
            return screenSaverName;
        case Service::PowerManagement:
            return powerManagementName;
        }
        return {};
    }

    /// Stops the service as a crash or the first half of a restart does.
    void stop(Service service) {
        (service == Service::Logind ? system : session).stopMock(busNameOf(service));
    }

    /// How many locks `service` (as started last) holds for this program now.
    std::size_t locksHeldBy(Service service) {
        const auto count = [&](const QString& name, const QString& path, const char* method) {
            return session.methodCalls(name, path, QString::fromUtf8(method)).size();
        };
        switch (service) {
        case Service::Logind:
            return inhibitors().size();
        case Service::Portal:
            // A fresh portal's first request.
            return count(portalName, portalPath, "Inhibit") -
                   count(portalName, portalPath + QStringLiteral("/request/1_1/t1"), "Close");
        case Service::GnomeSession:
            return count(gnomeName, gnomePath, "Inhibit") -
                   count(gnomeName, gnomePath, "Uninhibit");
        case Service::ScreenSaver:
            return count(screenSaverName, screenSaverPath, "Inhibit") -
                   count(screenSaverName, screenSaverPath, "UnInhibit");
        case Service::PowerManagement:
            return count(powerManagementName, powerManagementPath, "Inhibit") -
                   count(powerManagementName, powerManagementPath, "UnInhibit");
        }
        return 0;
    }

    /// Waits until `service` holds `count` locks for this program and the adapter has had every
    /// answer the service sent it.
    [[nodiscard]] bool holdsLocks(Service service, std::size_t count) {
        if (!runEventsUntil([&] { return locksHeldBy(service) == count; }, 5000)) {
            return false;
        }
        DBusSandbox::settle(service == Service::Logind ? systemBus : sessionBus,
                            busNameOf(service));
        return true;
    }

    std::vector<Inhibitor> inhibitors() { return logindInhibitors(system); }

    std::vector<QVariantList> gnomeCalls(const char* method) {
        return session.methodCalls(gnomeName, gnomePath, QString::fromUtf8(method));
    }

    /// logind and the session manager stop answering (or answer again) for a while.
    void hangLogindAndGnomeSession() {
        system.pauseMock(logindName);
        session.pauseMock(gnomeName);
    }
    void wakeLogindAndGnomeSession() {
        system.resumeMock(logindName);
        session.resumeMock(gnomeName);
    }

    DBusSandbox system{DBusSandbox::Kind::System};
    DBusSandbox session{DBusSandbox::Kind::Session};
    /// The adapter's connections.
    QDBusConnection systemBus = system.connect();
    QDBusConnection sessionBus = session.connect();
};

struct Restart {
    Service restarted;
    /// Holds the assertion's other lock meanwhile.
    Service alongside;
    AssertionKind kind;
};

class ServiceRestartTest : public LogindPowerAssertionsTest,
                           public ::testing::WithParamInterface<Restart> {};

} // namespace

TEST_F(LogindPowerAssertionsTest, DisplayKeptOnBlocksIdleAndSleepUntilReleased) {
    startLogind();
    startGnomeSession();
    auto assertions = std::make_unique<LogindPowerAssertions>(systemBus, sessionBus);

    const auto id = assertions->create(AssertionKind::DisplayKeptOn, why);

    ASSERT_TRUE(id);
    ASSERT_TRUE(holdsLocks(Service::Logind, 1) && holdsLocks(Service::GnomeSession, 1));
    EXPECT_EQ(inhibitors(),
              std::vector<Inhibitor>({{QStringLiteral("idle:sleep"), QStringLiteral("Vigilo"),
                                       whyText, QStringLiteral("block")}}));
    EXPECT_EQ(gnomeCalls("Inhibit"),
              std::vector<QVariantList>({{QStringLiteral("Vigilo"), 0U, whyText, 12U}}));

    assertions->release(*id);
    EXPECT_TRUE(holdsLocks(Service::Logind, 0) && holdsLocks(Service::GnomeSession, 0));
    EXPECT_EQ(gnomeCalls("Uninhibit"), std::vector<QVariantList>({{42U}}));

    assertions->release(*id); // a second release of the same id does nothing
    DBusSandbox::settle(sessionBus, gnomeName);
    EXPECT_EQ(gnomeCalls("Uninhibit").size(), 1U);
}

TEST_F(LogindPowerAssertionsTest, DisplayMaySleepBlocksOnlySleep) {
    startLogind();
    startGnomeSession();
    LogindPowerAssertions assertions(systemBus, sessionBus);

    ASSERT_TRUE(assertions.create(AssertionKind::DisplayMaySleep, why));
    ASSERT_TRUE(holdsLocks(Service::Logind, 1) && holdsLocks(Service::GnomeSession, 1));

    EXPECT_EQ(inhibitors(),
              std::vector<Inhibitor>({{QStringLiteral("sleep"), QStringLiteral("Vigilo"), whyText,
                                       QStringLiteral("block")}}));
    ASSERT_EQ(gnomeCalls("Inhibit").size(), 1U);
    EXPECT_EQ(gnomeCalls("Inhibit")[0].value(3), QVariant(4U));
}

TEST_F(LogindPowerAssertionsTest, DestroyingTheAdapterReleasesEverything) {
    startLogind();
    startGnomeSession();
    {
        LogindPowerAssertions assertions(systemBus, sessionBus);
        const auto first = assertions.create(AssertionKind::DisplayKeptOn, why);
        const auto second = assertions.create(AssertionKind::DisplayMaySleep, why);
        ASSERT_TRUE(first && second);
        EXPECT_NE(*first, *second);
        ASSERT_TRUE(holdsLocks(Service::Logind, 2) && holdsLocks(Service::GnomeSession, 2));
    }
    EXPECT_TRUE(holdsLocks(Service::Logind, 0) && holdsLocks(Service::GnomeSession, 0));
}

TEST_F(LogindPowerAssertionsTest, AKilledProcessLeavesNoLockBehind) {
    startLogind();
    QProcess holder;
    holder.start(QStringLiteral(VIGILO_HOLD_ASSERTION), {system.address(), session.address()});
    ASSERT_TRUE(holder.waitForReadyRead(5000)) << holder.readAllStandardError().toStdString();
    ASSERT_EQ(holder.readLine().trimmed(), "held");
    EXPECT_TRUE(eventually([&] { return inhibitors().size() == 1; }));

    holder.kill();
    holder.waitForFinished(5000);

    EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));
}

TEST_F(LogindPowerAssertionsTest, FailsWithoutAnyBus) {
    const QString nowhere = QStringLiteral("unix:path=/nonexistent/vigilo-test-bus");
    LogindPowerAssertions assertions(QDBusConnection::connectToBus(nowhere, QStringLiteral("a")),
                                     QDBusConnection::connectToBus(nowhere, QStringLiteral("b")));

    EXPECT_EQ(assertions.create(AssertionKind::DisplayKeptOn, why), std::nullopt);
    EXPECT_EQ(assertions.create(AssertionKind::DisplayMaySleep, why), std::nullopt);
}

TEST_F(LogindPowerAssertionsTest, WithNoServiceOnEitherBusCreateRefusesAtOnce) {
    LogindPowerAssertions assertions(systemBus, sessionBus);
    // Until the buses have said who is on them, nothing is refused.
    DBusSandbox::settle(systemBus, QStringLiteral("org.freedesktop.DBus"));
    DBusSandbox::settle(sessionBus, QStringLiteral("org.freedesktop.DBus"));

    EXPECT_EQ(assertions.create(AssertionKind::DisplayKeptOn, why), std::nullopt);

    startLogind();
    EXPECT_TRUE(runEventsUntil(
        [&] { return assertions.create(AssertionKind::DisplayKeptOn, why).has_value(); }, 5000))
        << "a service that comes is seen";
}

TEST_F(LogindPowerAssertionsTest, AnAssertionNoServiceGrantsIsReportedLostOnceTheyRefuse) {
    // A logind without Inhibit: the call ends in an error, like a polkit refusal.
    system.startMock(logindName, logindPath, QStringLiteral("org.freedesktop.login1.Manager"));
    LogindPowerAssertions assertions(systemBus, sessionBus);
    std::vector<AssertionId> lost;
    const auto observer =
        assertions.lost().connect([&lost](AssertionId id) { lost.push_back(id); });

    const auto id = assertions.create(AssertionKind::DisplayKeptOn, why);

    ASSERT_TRUE(id) << "the services' answers are not waited for";
    EXPECT_TRUE(lost.empty()) << "reported later, not from within create";
    EXPECT_TRUE(runEventsUntil([&] { return !lost.empty(); }, 5000));
    EXPECT_EQ(lost, std::vector<AssertionId>{*id});
}

TEST_F(LogindPowerAssertionsTest, AHungServiceHoldsUpNeitherCreateNorRelease) {
    startLogind();
    startGnomeSession();
    LogindPowerAssertions assertions(systemBus, sessionBus);
    QElapsedTimer timer;

    hangLogindAndGnomeSession();
    timer.start();
    const auto id = assertions.create(AssertionKind::DisplayKeptOn, why);
    const qint64 createMs = timer.elapsed();
    wakeLogindAndGnomeSession();
    ASSERT_TRUE(id);
    // Each service may take 2.5 s to be given up on.
    EXPECT_LT(createMs, 1000);
    EXPECT_TRUE(holdsLocks(Service::Logind, 1) && holdsLocks(Service::GnomeSession, 1))
        << "taken once the services answer";

    hangLogindAndGnomeSession();
    timer.restart();
    assertions.release(*id);
    const qint64 releaseMs = timer.elapsed();
    wakeLogindAndGnomeSession();
    EXPECT_LT(releaseMs, 1000);
    EXPECT_TRUE(holdsLocks(Service::Logind, 0) && holdsLocks(Service::GnomeSession, 0));
}

// logind answers too late for the first request (its lock is dropped with the answer no one
// waits for any more); the session's lock holds meanwhile, and logind is asked again.
TEST_F(LogindPowerAssertionsTest, ALockWhoseRequestFailedIsAskedForAgain) {
    startLogind();
    startGnomeSession();
    LogindPowerAssertions assertions(systemBus, sessionBus);
    std::vector<AssertionId> lost;
    const auto observer =
        assertions.lost().connect([&lost](AssertionId id) { lost.push_back(id); });
    DBusSandbox::settle(systemBus, QStringLiteral("org.freedesktop.DBus"));

    system.pauseMock(logindName);
    const auto id = assertions.create(AssertionKind::DisplayKeptOn, why);
    ASSERT_TRUE(id);
    // Longer than a request is waited for.
    runEventsUntil([] { return false; }, 2 * DBusCalls::timeoutMs);
    system.resumeMock(logindName);

    // The late answer's lock shows for a moment, until the descriptor nobody took is closed.
    const auto inhibitCalls = [&] {
        return system.methodCalls(logindName, logindPath, QStringLiteral("Inhibit")).size();
    };
    EXPECT_TRUE(runEventsUntil([&] { return inhibitCalls() == 2; }, 4 * RetryDelay::firstMs))
        << "asked again";
    EXPECT_TRUE(runEventsUntil([&] { return locksHeldBy(Service::Logind) == 1; }, 5000));
    EXPECT_EQ(locksHeldBy(Service::GnomeSession), 1U);
    EXPECT_TRUE(lost.empty()) << "the session's lock held throughout";
    assertions.release(*id);
}

TEST_F(LogindPowerAssertionsTest, LocksGrantedAfterTheirAssertionWasReleasedAreGivenBack) {
    startLogind();
    startGnomeSession();
    LogindPowerAssertions assertions(systemBus, sessionBus);
    std::vector<AssertionId> lost;
    const auto observer =
        assertions.lost().connect([&lost](AssertionId id) { lost.push_back(id); });

    hangLogindAndGnomeSession();
    const auto id = assertions.create(AssertionKind::DisplayKeptOn, why);
    ASSERT_TRUE(id);
    assertions.release(*id);
    wakeLogindAndGnomeSession();

    EXPECT_TRUE(runEventsUntil(
        [&] {
            return system.methodCalls(logindName, logindPath, QStringLiteral("Inhibit")).size() ==
                       1 &&
                   gnomeCalls("Uninhibit").size() == 1;
        },
        5000));
    EXPECT_EQ(gnomeCalls("Uninhibit"), std::vector<QVariantList>({{42U}}));
    EXPECT_TRUE(holdsLocks(Service::Logind, 0));
    EXPECT_TRUE(lost.empty()) << "a released assertion is nobody's loss";
}

TEST_F(LogindPowerAssertionsTest, ASessionLockAloneIsEnough) {
    startGnomeSession();
    LogindPowerAssertions assertions(systemBus, sessionBus);
    std::vector<AssertionId> lost;
    const auto observer =
        assertions.lost().connect([&lost](AssertionId id) { lost.push_back(id); });

    const auto id = assertions.create(AssertionKind::DisplayKeptOn, why);

    ASSERT_TRUE(id);
    ASSERT_TRUE(holdsLocks(Service::GnomeSession, 1));
    DBusSandbox::settle(systemBus, QStringLiteral("org.freedesktop.DBus"));
    EXPECT_TRUE(lost.empty()) << "logind's refusal is not a loss";
    assertions.release(*id);
    EXPECT_TRUE(holdsLocks(Service::GnomeSession, 0));
    EXPECT_EQ(gnomeCalls("Uninhibit"), std::vector<QVariantList>({{42U}}));
}

TEST_F(LogindPowerAssertionsTest, PrefersThePortalToTheSessionManager) {
    startPortal();
    startGnomeSession();
    LogindPowerAssertions assertions(systemBus, sessionBus);

    const auto id = assertions.create(AssertionKind::DisplayKeptOn, why);

    ASSERT_TRUE(id);
    ASSERT_TRUE(holdsLocks(Service::Portal, 1));
    const auto calls = session.methodCalls(portalName, portalPath, QStringLiteral("Inhibit"));
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0].value(1), QVariant(12U));
    EXPECT_EQ(qdbus_cast<QVariantMap>(calls[0].value(2)).value(QStringLiteral("reason")), whyText);
    EXPECT_TRUE(gnomeCalls("Inhibit").empty());

    assertions.release(*id);
    EXPECT_TRUE(holdsLocks(Service::Portal, 0)) << "its request is closed";
}

TEST_F(LogindPowerAssertionsTest, ScreenSaverKeepsTheDisplayOnAndPowerManagementOnlyBlocksSleep) {
    startCookieService(screenSaverName, screenSaverPath, screenSaverName);
    startCookieService(powerManagementName, powerManagementPath,
                       QStringLiteral("org.freedesktop.PowerManagement.Inhibit"));
    LogindPowerAssertions assertions(systemBus, sessionBus);
    const auto inhibitCalls = [&](const QString& name, const QString& path) {
        return session.methodCalls(name, path, QStringLiteral("Inhibit"));
    };

    const auto keptOn = assertions.create(AssertionKind::DisplayKeptOn, why);
    ASSERT_TRUE(keptOn);
    ASSERT_TRUE(holdsLocks(Service::ScreenSaver, 1));
    EXPECT_EQ(inhibitCalls(screenSaverName, screenSaverPath),
              std::vector<QVariantList>({{QStringLiteral("Vigilo"), whyText}}));
    EXPECT_TRUE(inhibitCalls(powerManagementName, powerManagementPath).empty());

    const auto maySleep = assertions.create(AssertionKind::DisplayMaySleep, why);
    ASSERT_TRUE(maySleep);
    ASSERT_TRUE(holdsLocks(Service::PowerManagement, 1));
    EXPECT_EQ(inhibitCalls(screenSaverName, screenSaverPath).size(), 1U);
    EXPECT_EQ(inhibitCalls(powerManagementName, powerManagementPath).size(), 1U);

    assertions.release(*keptOn);
    ASSERT_TRUE(holdsLocks(Service::ScreenSaver, 0));
    EXPECT_EQ(session.methodCalls(screenSaverName, screenSaverPath, QStringLiteral("UnInhibit")),
              std::vector<QVariantList>({{7U}}));
    DBusSandbox::settle(sessionBus, powerManagementName);
    EXPECT_TRUE(
        session.methodCalls(powerManagementName, powerManagementPath, QStringLiteral("UnInhibit"))
            .empty());
}

TEST_P(ServiceRestartTest, TheLockIsBackWithinASecondAndNothingIsLost) {
    const auto [restarted, alongside, kind] = GetParam();
    start(restarted);
    start(alongside);
    LogindPowerAssertions assertions(systemBus, sessionBus);
    std::vector<AssertionId> lost;
    const auto observer =
        assertions.lost().connect([&lost](AssertionId id) { lost.push_back(id); });
    const auto id = assertions.create(kind, why);
    ASSERT_TRUE(id);
    ASSERT_TRUE(holdsLocks(restarted, 1) && holdsLocks(alongside, 1));

    stop(restarted);
    start(restarted);

    EXPECT_TRUE(runEventsUntil([&] { return locksHeldBy(restarted) == 1; }, 1000));
    EXPECT_EQ(locksHeldBy(alongside), 1U) << "the other lock is left alone";
    EXPECT_TRUE(lost.empty()) << "the other lock held throughout";

    // The events run: the answer to the second request may still be on its way.
    assertions.release(*id);
    EXPECT_TRUE(
        runEventsUntil([&] { return locksHeldBy(restarted) + locksHeldBy(alongside) == 0; }, 5000));
}

INSTANTIATE_TEST_SUITE_P(
    EachService, ServiceRestartTest,
    ::testing::Values(Restart{Service::Logind, Service::GnomeSession, AssertionKind::DisplayKeptOn},
                      Restart{Service::Portal, Service::Logind, AssertionKind::DisplayKeptOn},
                      Restart{Service::GnomeSession, Service::Logind, AssertionKind::DisplayKeptOn},
                      Restart{Service::ScreenSaver, Service::Logind, AssertionKind::DisplayKeptOn},
                      Restart{Service::PowerManagement, Service::Logind,
                              AssertionKind::DisplayMaySleep}),
    [](const ::testing::TestParamInfo<Restart>& restart) {
        return nameOf(restart.param.restarted);
    });

TEST_F(LogindPowerAssertionsTest, AnAssertionWhoseOnlyServiceDoesNotComeBackIsReportedLost) {
    startLogind();
    LogindPowerAssertions assertions(systemBus, sessionBus);
    std::vector<AssertionId> lost;
    const auto observer =
        assertions.lost().connect([&lost](AssertionId id) { lost.push_back(id); });
    const auto id = assertions.create(AssertionKind::DisplayKeptOn, why);
    ASSERT_TRUE(id);
    ASSERT_TRUE(holdsLocks(Service::Logind, 1));

    stop(Service::Logind);

    EXPECT_TRUE(runEventsUntil([&] { return !lost.empty(); }, 1000));
    EXPECT_EQ(lost, std::vector<AssertionId>{*id});
}
