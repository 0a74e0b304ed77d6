#include "platform/linux/power/LogindLidControl.h"

#include "../LogindInhibitors.h"
#include "apps/EventLoop.h"
#include "fakes/FakeDefaults.h"
#include "platform/linux/dbus/DBusCalls.h"

#include <QDBusVariant>
#include <QProcess>
#include <gtest/gtest.h>
#include <regex>

using namespace vigilo;
using vigilo::testing::runEventsUntil;

namespace {

const QString logindName = QStringLiteral("org.freedesktop.login1");
const QString logindPath = QStringLiteral("/org/freedesktop/login1");
const QString logindManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString upowerName = QStringLiteral("org.freedesktop.UPower");
const QString upowerPath = QStringLiteral("/org/freedesktop/UPower");
const QString busDaemon = QStringLiteral("org.freedesktop.DBus");

const std::filesystem::path lidClosedRoot = VIGILO_TEST_DATA "/platform/lid-closed";
const std::filesystem::path lidOpenRoot = VIGILO_TEST_DATA "/platform/lid-open";

const Inhibitor lidLock{QStringLiteral("handle-lid-switch:sleep"), QStringLiteral("Vigilo"),
                        QStringLiteral("Vigilo: keeping the computer awake with the lid closed"),
                        QStringLiteral("block")};

class LogindLidControlTest : public ::testing::Test {
protected:
    void startLogind() { system.startTemplate("logind", logindName); }

    /// logind's own reading of the lid, which the template lacks.
    void giveLogindALid(bool closed) {
        const QDBusMessage reply =
            system.callMock(logindName, logindPath, QStringLiteral("AddProperty"),
                            {logindManager, QStringLiteral("LidClosed"),
                             QVariant::fromValue(QDBusVariant(closed))});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }

    void updateProperty(const QString& name, const QString& path, const QString& interface,
                        const QString& property, bool value) {
        const QDBusMessage reply = system.callMock(name, path, QStringLiteral("UpdateProperties"),
                                                   {interface, QVariantMap{{property, value}}});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }

    /// How many property reads UPower answered so far.
    long upowerPropertyReads() const {
        static const std::regex read(R"(^[0-9.]+ Get(All)? )", std::regex::multiline);
        const std::string log = system.mockLog(upowerName);
        return std::distance(std::sregex_iterator(log.begin(), log.end(), read),
                             std::sregex_iterator());
    }

    std::vector<Inhibitor> inhibitors() { return logindInhibitors(system); }

    DBusSandbox system{DBusSandbox::Kind::System};
    QDBusConnection bus = system.connect();
    fakes::FakeDefaults defaults;
};

} // namespace

TEST_F(LogindLidControlTest, OnceGrantedTheLockFollowsTheSwitch) {
    startLogind();
    LogindLidControl lid(bus, defaults);

    EXPECT_EQ(lid.install(), std::nullopt);
    EXPECT_TRUE(lid.isInstalled());
    EXPECT_FALSE(lid.isSleepDisabled());
    EXPECT_TRUE(inhibitors().empty());

    EXPECT_TRUE(lid.setSleepDisabled(true));
    EXPECT_TRUE(lid.isSleepDisabled());
    EXPECT_TRUE(lid.setSleepDisabled(true)) << "asking again keeps the one lock";
    EXPECT_TRUE(
        runEventsUntil([&] { return inhibitors() == std::vector<Inhibitor>{lidLock}; }, 5000));
    EXPECT_TRUE(lid.isSleepDisabled());

    EXPECT_TRUE(lid.setSleepDisabled(false));
    EXPECT_FALSE(lid.isSleepDisabled());
    EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));
}

TEST_F(LogindLidControlTest, TheLockNeedsTheUsersConsentWhichLastsUntilRevokedAcrossRestarts) {
    startLogind();
    struct Step {
        const char* what;
        bool grant;
        bool revoke;
        bool installed;
    };
    // Each step is a new adapter over the same stored settings, as after a restart.
    const std::vector<Step> steps{
        {"fresh settings", false, false, false},           {"granted", true, false, true},
        {"restarted after granting", false, false, true},  {"revoked", false, true, false},
        {"restarted after revoking", false, false, false}, {"granted again", true, false, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        LogindLidControl lid(system.connect(), defaults);
        if (step.grant) {
            ASSERT_EQ(lid.install(), std::nullopt);
        }
        if (step.revoke) {
            ASSERT_TRUE(lid.setSleepDisabled(true));
            ASSERT_EQ(lid.uninstall(), std::nullopt);
            EXPECT_FALSE(lid.isSleepDisabled());
            EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));
        }
        EXPECT_EQ(lid.isInstalled(), step.installed);
        EXPECT_EQ(lid.setSleepDisabled(true), step.installed);
        EXPECT_TRUE(runEventsUntil(
            [&] { return inhibitors().size() == (step.installed ? 1U : 0U); }, 5000));
        EXPECT_TRUE(lid.setSleepDisabled(false));
        EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));
    }
}

TEST_F(LogindLidControlTest, UninstallingOrDestroyingTheAdapterDropsTheLock) {
    startLogind();
    defaults.values["lidModeGranted"] = true;
    LogindLidControl first(system.connect(), defaults);
    ASSERT_TRUE(first.setSleepDisabled(true));
    EXPECT_EQ(first.uninstall(), std::nullopt);
    EXPECT_FALSE(first.isSleepDisabled());
    EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));

    defaults.values["lidModeGranted"] = true;
    {
        LogindLidControl second(system.connect(), defaults);
        ASSERT_TRUE(second.setSleepDisabled(true));
        EXPECT_TRUE(runEventsUntil([&] { return inhibitors().size() == 1U; }, 5000));
    }
    EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));
}

TEST_F(LogindLidControlTest, ARestartedLogindIsAskedForTheLidLockAgainWhileSleepIsOff) {
    struct Case {
        const char* what;
        bool switchedOnWhileLogindIsAway;
        std::vector<Inhibitor> locksOnceBack;
    };
    const std::vector<Case> cases{
        {"sleep kept off", false, {lidLock}},
        {"sleep switched back on meanwhile", true, {}},
    };
    startLogind();
    defaults.values["lidModeGranted"] = true;
    for (const Case& each : cases) {
        SCOPED_TRACE(each.what);
        {
            LogindLidControl lid(bus, defaults);
            std::vector<bool> reported;
            const auto observer = lid.sleepSwitchChanged().connect(
                [&] { reported.push_back(lid.isSleepDisabled()); });
            ASSERT_TRUE(lid.setSleepDisabled(true));
            ASSERT_TRUE(runEventsUntil([&] { return inhibitors().size() == 1U; }, 5000));

            system.stopMock(logindName);
            EXPECT_TRUE(runEventsUntil([&] { return !lid.isSleepDisabled(); }, 5000))
                << "no lid lock is claimed while logind is away";
            if (each.switchedOnWhileLogindIsAway) {
                EXPECT_TRUE(lid.setSleepDisabled(false));
            }
            startLogind();

            if (each.locksOnceBack.empty()) {
                // Once the adapter has seen logind come back, and logind any request it sent.
                DBusSandbox::settle(bus, busDaemon);
                DBusSandbox::settle(bus, logindName);
            }
            EXPECT_TRUE(runEventsUntil([&] { return inhibitors() == each.locksOnceBack; }, 1000));
            EXPECT_TRUE(runEventsUntil(
                [&] { return lid.isSleepDisabled() == !each.switchedOnWhileLogindIsAway; }, 5000));
            const std::vector<bool> expected = each.switchedOnWhileLogindIsAway
                                                   ? std::vector<bool>{false}
                                                   : std::vector<bool>{false, true};
            EXPECT_EQ(reported, expected) << "lost with logind, and taken again once it is back";
        }
        EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));
    }
}

// logind hangs across the request: the switch returns at once, the refusal is reported when
// the request times out, and the lock is asked for again until it is held.
TEST_F(LogindLidControlTest, ALidLockRequestThatLogindLeftUnansweredIsReportedAndAskedAgain) {
    startLogind();
    defaults.values["lidModeGranted"] = true;
    LogindLidControl lid(bus, defaults);
    std::vector<bool> reported;
    const auto observer =
        lid.sleepSwitchChanged().connect([&] { reported.push_back(lid.isSleepDisabled()); });
    DBusSandbox::settle(bus, busDaemon);

    system.pauseMock(logindName);
    EXPECT_TRUE(lid.setSleepDisabled(true));
    EXPECT_TRUE(lid.isSleepDisabled()) << "asked for, not refused yet";
    EXPECT_TRUE(runEventsUntil([&] { return !reported.empty(); }, 4 * DBusCalls::timeoutMs));
    EXPECT_EQ(reported, std::vector<bool>{false});
    EXPECT_FALSE(lid.isSleepDisabled());
    system.resumeMock(logindName);

    EXPECT_TRUE(runEventsUntil([&] { return reported.size() == 2; }, 4 * RetryDelay::firstMs));
    EXPECT_EQ(reported, (std::vector<bool>{false, true}));
    // The late answer's lock shows for a moment, until the descriptor nobody took is closed.
    EXPECT_TRUE(eventually([&] { return inhibitors() == std::vector<Inhibitor>{lidLock}; }));
}

TEST_F(LogindLidControlTest, AKilledProcessLeavesNoLidLockBehind) {
    startLogind();
    QProcess holder;
    holder.start(QStringLiteral(VIGILO_HOLD_LID_LOCK), {system.address()});
    ASSERT_TRUE(holder.waitForReadyRead(5000)) << holder.readAllStandardError().toStdString();
    ASSERT_EQ(holder.readLine().trimmed(), "held");
    ASSERT_TRUE(eventually([&] { return inhibitors() == std::vector<Inhibitor>{lidLock}; }));

    holder.kill();
    holder.waitForFinished(5000);

    EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));
}

TEST_F(LogindLidControlTest, WithoutLogindThePermissionIsMissingAndCannotBeInstalled) {
    defaults.values["lidModeGranted"] = true;
    LogindLidControl lid(bus, defaults);
    DBusSandbox::settle(bus, busDaemon);

    EXPECT_FALSE(lid.isInstalled()) << "granted, but logind is not on the bus";
    EXPECT_FALSE(lid.canKeepAwakeWithLidClosed());
    const auto error = lid.install();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description, "служба входа в систему (systemd-logind) недоступна.");
    EXPECT_FALSE(lid.setSleepDisabled(true));
    EXPECT_FALSE(lid.isSleepDisabled());
    EXPECT_EQ(lid.uninstall(), std::nullopt);

    startLogind();
    EXPECT_TRUE(runEventsUntil([&] { return lid.install() == std::nullopt; }, 5000))
        << "a logind that appears later is noticed";
    EXPECT_TRUE(lid.isInstalled());
    EXPECT_TRUE(lid.canKeepAwakeWithLidClosed());
}

TEST_F(LogindLidControlTest, LogindAnswersForTheLidBeforeProc) {
    startLogind();
    giveLogindALid(false);
    LogindLidControl lid(bus, defaults, lidClosedRoot);
    DBusSandbox::settle(bus, logindName);
    EXPECT_FALSE(lid.isLidClosed());
    DBusSandbox::settle(bus, logindName);

    // logind does not announce its reading: each question refreshes it for the next one.
    updateProperty(logindName, logindPath, logindManager, QStringLiteral("LidClosed"), true);
    EXPECT_FALSE(lid.isLidClosed()) << "the answer comes from memory";
    DBusSandbox::settle(bus, logindName);
    EXPECT_TRUE(lid.isLidClosed());
}

TEST_F(LogindLidControlTest, UPowerAnswersForTheLidBeforeLogindAndIsFollowed) {
    startLogind();
    giveLogindALid(false);
    system.startTemplate("upower", upowerName, R"({"LidIsClosed": true})");
    LogindLidControl lid(bus, defaults, lidOpenRoot);
    DBusSandbox::settle(bus, upowerName);
    EXPECT_TRUE(lid.isLidClosed());

    updateProperty(upowerName, upowerPath, upowerName, QStringLiteral("LidIsClosed"), false);
    EXPECT_TRUE(runEventsUntil([&] { return !lid.isLidClosed(); }, 5000));
}

TEST_F(LogindLidControlTest, AUPowerThatStartsLaterIsHeard) {
    LogindLidControl lid(bus, defaults, lidOpenRoot);
    system.startTemplate("upower", upowerName, R"({"LidIsClosed": true})");
    EXPECT_TRUE(runEventsUntil([&] { return lid.isLidClosed(); }, 5000));
}

TEST_F(LogindLidControlTest, TheLidIsFollowedWithoutAskingUPowerOnEveryQuestion) {
    system.startTemplate("upower", upowerName, R"({"LidIsClosed": true})");
    LogindLidControl lid(bus, defaults, lidOpenRoot);
    DBusSandbox::settle(bus, upowerName);
    ASSERT_TRUE(lid.isLidClosed());
    const long readsAtStart = upowerPropertyReads();
    ASSERT_GE(readsAtStart, 1) << "the mock logs property reads";

    // A minute of stats ticks.
    for (int tick = 0; tick < 30; ++tick) {
        EXPECT_TRUE(lid.isLidClosed());
        QCoreApplication::processEvents();
    }
    DBusSandbox::settle(bus, upowerName);
    EXPECT_EQ(upowerPropertyReads(), readsAtStart);
}

TEST_F(LogindLidControlTest, UPowerIsNotAskedAboutALidItSaysIsNotThere) {
    system.startTemplate("upower", upowerName, R"({"LidIsPresent": false, "LidIsClosed": false})");
    LogindLidControl lid(bus, defaults, lidClosedRoot);
    DBusSandbox::settle(bus, upowerName);

    EXPECT_TRUE(lid.isLidClosed());
}

TEST_F(LogindLidControlTest, WithoutServicesTheAcpiButtonAnswers) {
    EXPECT_TRUE(LogindLidControl(bus, defaults, lidClosedRoot).isLidClosed());
    EXPECT_FALSE(LogindLidControl(bus, defaults, lidOpenRoot).isLidClosed());
    EXPECT_FALSE(LogindLidControl(bus, defaults, "/nonexistent/vigilo-test-root").isLidClosed())
        << "nothing answers: open";
}
