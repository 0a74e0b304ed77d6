#include "EventLoop.h"
#include "model/RunningAppsWatcher.h"
#include "platform/linux/apps/LinuxRunningAppsObservation.h"
#include "platform/linux/apps/LinuxWorkspace.h"
#include "platform/qt/QtScheduler.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vigilo {
namespace {

namespace fs = std::filesystem;

const QString systemdName = QStringLiteral("org.freedesktop.systemd1");
const QString systemdPath = QStringLiteral("/org/freedesktop/systemd1");
const QString managerInterface = QStringLiteral("org.freedesktop.systemd1.Manager");

// A session bus of the test's own, without service activation, so nothing real answers on it.
class PrivateBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        const QString config = folder.filePath(QStringLiteral("bus.conf"));
        std::ofstream(config.toStdString())
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
               "1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:dir="
            << folder.path().toStdString()
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
               "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
               "<allow own=\"*\"/></policy></busconfig>\n";
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                      QStringLiteral("--print-address=1")});
        ASSERT_TRUE(daemon.waitForStarted(5000));
        ASSERT_TRUE(testing::runEventsUntil([&] { return daemon.canReadLine(); }, 5000));
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, busName));
        ASSERT_TRUE(bus->isConnected());
    }
    void TearDown() override {
        bus.reset();
        QDBusConnection::disconnectFromBus(busName);
        for (auto* process : {&mock, &daemon}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    /// `subscribe` is the Python code the manager runs for Subscribe.
    void startSystemdMock(const QString& subscribe = QString()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        mock.setProcessEnvironment(environment);
        mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--session"),
                    systemdName, systemdPath, managerInterface});
        ASSERT_TRUE(mock.waitForStarted(5000));
        ASSERT_TRUE(testing::runEventsUntil(
            [&] { return bus->interface()->isServiceRegistered(systemdName).value(); }, 10000));
        answerSubscribeWith(subscribe);
    }
    void answerSubscribeWith(const QString& code) {
        const auto added =
            callMock(QStringLiteral("AddMethod"),
                     {QString(), QStringLiteral("Subscribe"), QString(), QString(), code});
        ASSERT_EQ(added.type(), QDBusMessage::ReplyMessage) << added.errorMessage().toStdString();
    }
    static bool subscribed(const Workspace::Observation& observation) {
        return dynamic_cast<const LinuxRunningAppsObservation&>(observation).usesSystemdNotices();
    }
    QDBusMessage emitUnitSignal(const QString& name, const QString& unit) {
        const QVariantList arguments{
            QVariant::fromValue(QDBusVariant(unit)),
            QVariant::fromValue(QDBusVariant(
                QVariant::fromValue(QDBusObjectPath(systemdPath + QStringLiteral("/unit/x")))))};
        return callMock(QStringLiteral("EmitSignal"),
                        {managerInterface, name, QStringLiteral("so"), arguments});
    }
    QDBusMessage callMock(const QString& method, const QVariantList& arguments) {
        auto call = QDBusMessage::createMethodCall(
            systemdName, systemdPath, QStringLiteral("org.freedesktop.DBus.Mock"), method);
        call.setArguments(arguments);
        return bus->call(call, QDBus::Block, 5000);
    }
    /// Starts observing, and waits for the notice of the first look (taken in the background)
    /// before counting.
    static std::unique_ptr<Workspace::Observation> observe(LinuxWorkspace& workspace,
                                                           int& notices) {
        auto observation = workspace.observeRunningApplications([&notices] { ++notices; });
        EXPECT_TRUE(testing::runEventsUntil([&] { return notices == 1; }, 10000));
        notices = 0;
        return observation;
    }
    /// Waits for the manager's answer to the subscription.
    static bool usesSystemd(const Workspace::Observation& observation) {
        return testing::runEventsUntil([&] { return subscribed(observation); }, 10000);
    }

    static constexpr int heartbeatMs = static_cast<int>(Scheduler::heartbeatSeconds * 1000);
    const QString busName = QStringLiteral("vigilo-apps-test-bus");
    QtScheduler scheduler;
    QTemporaryDir folder;
    QProcess daemon;
    QProcess mock;
    QString address;
    std::unique_ptr<QDBusConnection> bus;
};

TEST_F(PrivateBusTest, UnitSignalsOfTheUserManagerAreChangeNotices) {
    startSystemdMock();
    LinuxWorkspace workspace(VIGILO_TEST_DATA "/linux-apps/proc", getuid(),
                             RunningAppsWatcher::builtInProcessNames(), {}, {}, *bus, scheduler);
    int notices = 0;
    auto observation = observe(workspace, notices);
    ASSERT_TRUE(usesSystemd(*observation));
    EXPECT_EQ(notices, 0);

    ASSERT_EQ(
        emitUnitSignal(QStringLiteral("UnitNew"), QStringLiteral("app-gnome-x-1.scope")).type(),
        QDBusMessage::ReplyMessage);
    EXPECT_TRUE(testing::runEventsUntil([&] { return notices == 1; }, 5000));
    emitUnitSignal(QStringLiteral("UnitRemoved"), QStringLiteral("app-gnome-x-1.scope"));
    EXPECT_TRUE(testing::runEventsUntil([&] { return notices == 2; }, 5000));

    observation.reset();
    emitUnitSignal(QStringLiteral("UnitNew"), QStringLiteral("app-gnome-y-2.scope"));
    testing::runEventsFor(300);
    EXPECT_EQ(notices, 2);
}

TEST_F(PrivateBusTest, TheSubscriptionIsAnsweredLaterWithoutHoldingUpTheStart) {
    // The manager keeps its answer until the test lets it go.
    const QString gate = folder.filePath(QStringLiteral("answer-now"));
    startSystemdMock(QStringLiteral("import os, time\n"
                                    "while not os.path.exists('%1'):\n"
                                    "    time.sleep(0.02)\n")
                         .arg(gate));
    LinuxWorkspace workspace(VIGILO_TEST_DATA "/linux-apps/proc", getuid(),
                             RunningAppsWatcher::builtInProcessNames(), {}, {}, *bus, scheduler);
    int notices = 0;
    auto observation = observe(workspace, notices);
    EXPECT_FALSE(subscribed(*observation));

    std::ofstream(gate.toStdString()) << "now\n";
    ASSERT_TRUE(usesSystemd(*observation));
    emitUnitSignal(QStringLiteral("UnitNew"), QStringLiteral("app-gnome-x-1.scope"));
    EXPECT_TRUE(testing::runEventsUntil([&] { return notices == 1; }, 5000));
}

TEST_F(PrivateBusTest, OnlyARefusedSubscriptionLeavesTheNoticesOff) {
    startSystemdMock();
    LinuxWorkspace workspace(VIGILO_TEST_DATA "/linux-apps/proc", getuid(),
                             RunningAppsWatcher::builtInProcessNames(), {}, {}, *bus, scheduler);
    const auto raise = QStringLiteral("raise dbus.exceptions.DBusException('', name='%1')");
    const struct {
        QString subscribe;
        bool subscribed;
    } answers[] = {
        {raise.arg(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied")), false},
        // Another part of the program subscribed on the same connection before.
        {raise.arg(QStringLiteral("org.freedesktop.systemd1.AlreadySubscribed")), true},
        {QString(), true},
    };
    int notices = 0;
    std::vector<std::unique_ptr<Workspace::Observation>> observations;
    for (const auto& answer : answers) {
        answerSubscribeWith(answer.subscribe);
        observations.push_back(observe(workspace, notices));
    }
    // The manager answers in order: once the last answer is in, so are the others.
    ASSERT_TRUE(usesSystemd(*observations.back()));
    for (std::size_t i = 0; i < observations.size(); ++i) {
        EXPECT_EQ(subscribed(*observations[i]), answers[i].subscribed) << i;
    }
}

TEST_F(PrivateBusTest, ProgramsStartedOutsideAUnitAreFoundBesideTheSystemdNotices) {
    startSystemdMock();
    const fs::path root = folder.path().toStdString();
    fs::create_directories(root / "applications");
    std::ofstream(root / "applications/editor.desktop")
        << "[Desktop Entry]\nType=Application\nExec=editor-bin\n";
    fs::create_directories(root / "proc");
    LinuxWorkspace workspace(root / "proc", getuid(), RunningAppsWatcher::builtInProcessNames(),
                             {root / "applications"}, {}, *bus, scheduler);
    int notices = 0;
    auto observation = observe(workspace, notices);
    ASSERT_TRUE(usesSystemd(*observation));
    EXPECT_TRUE(workspace.runningApplicationIDs().empty());

    // Started from a terminal: it stays in the session's scope and no unit appears.
    const auto process = root / "proc/301";
    fs::create_directories(process);
    std::ofstream(process / "cgroup") << "0::/user.slice/user-1000.slice/session-2.scope\n";
    std::ofstream(process / "comm") << "editor-bin\n";
    fs::create_symlink("/usr/bin/editor-bin", process / "exe");
    EXPECT_TRUE(testing::runEventsUntil([&] { return notices == 1; }, heartbeatMs + 1000));
    EXPECT_EQ(workspace.runningApplicationIDs(), std::set<std::string>{"editor"});
}

TEST_F(PrivateBusTest, WithoutSystemdTheProcessesArePolledAndOnlyChangesReported) {
    const fs::path proc = folder.filePath(QStringLiteral("proc")).toStdString();
    fs::create_directories(proc / "201");
    std::ofstream(proc / "201/cgroup") << "0::/user.slice/user-1000.slice/session-2.scope\n";
    LinuxWorkspace workspace(proc, getuid(), RunningAppsWatcher::builtInProcessNames(), {}, {},
                             *bus, scheduler);
    int notices = 0;
    auto observation = observe(workspace, notices);

    testing::runEventsFor(heartbeatMs + 300);
    EXPECT_FALSE(subscribed(*observation));
    EXPECT_EQ(notices, 0);

    fs::create_directories(proc / "202");
    std::ofstream(proc / "202/cgroup") << "0::/user.slice/user-1000.slice/user@1000.service/"
                                          "app.slice/app-org.example.New-5.scope\n";
    EXPECT_TRUE(testing::runEventsUntil([&] { return notices == 1; }, heartbeatMs + 1000));
    EXPECT_EQ(workspace.runningApplicationIDs(), std::set<std::string>{"org.example.New"});
}

} // namespace
} // namespace vigilo
