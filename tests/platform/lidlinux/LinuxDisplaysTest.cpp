#include "platform/linux/power/LinuxDisplays.h"

#include "fakes/FakeProcessRunner.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

using namespace vigilo;

namespace {

/// A virtual X server on a display number it picks itself; stopped when this goes away.
class Xvfb {
public:
    Xvfb() {
        server_.start(QStringLiteral("/usr/bin/Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1024x768x24"),
                       QStringLiteral("+extension"), QStringLiteral("DPMS"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (server_.waitForReadyRead(10000)) {
            display_ = QStringLiteral(":") + QString::fromLatin1(server_.readLine().trimmed());
        }
    }
    ~Xvfb() {
        server_.terminate();
        server_.waitForFinished(5000);
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    /// ":N", or empty when the server did not start.
    [[nodiscard]] const QString& display() const { return display_; }

    /// What `xset q` says about the server's power saving.
    [[nodiscard]] QString query() const {
        QProcess xset;
        xset.start(QStringLiteral("/usr/bin/xset"),
                   {QStringLiteral("-display"), display_, QStringLiteral("q")});
        xset.waitForFinished(5000);
        return QString::fromLocal8Bit(xset.readAllStandardOutput());
    }

private:
    QProcess server_;
    QString display_;
};

/// What vigilo_turn_screen_off printed on `display`, or nothing when it did not end within
/// `deadlineMs` (it is killed then).
std::string turnScreenOff(const QString& display, const QStringList& arguments, int deadlineMs) {
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    helper.setProcessEnvironment(environment);
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(QStringLiteral(VIGILO_TURN_SCREEN_OFF), arguments);
    if (!helper.waitForFinished(deadlineMs) || helper.exitCode() != 0) {
        return {};
    }
    return helper.readAllStandardOutput().toStdString();
}

} // namespace

TEST(LinuxDisplaysTest, BuiltInPanelsAreKnownByTheirConnectorName) {
    for (const char* name : {"eDP-1", "eDP1", "edp-2", "LVDS-1", "LVDS1", "DSI-1"}) {
        EXPECT_TRUE(isBuiltInPanelName(QString::fromUtf8(name))) << name;
    }
    for (const char* name : {"HDMI-1", "HDMI-A-1", "DP-2", "DP1", "VGA-1", "DVI-D-1", ""}) {
        EXPECT_FALSE(isBuiltInPanelName(QString::fromUtf8(name))) << name;
    }
}

TEST(LinuxDisplaysTest, TheLaptopPanelAloneIsNoExternalDisplay) {
    ASSERT_EQ(QGuiApplication::screens().size(), 1);
    ASSERT_EQ(QGuiApplication::primaryScreen()->name(), QStringLiteral("eDP-1"));
    fakes::FakeProcessRunner processes;

    EXPECT_FALSE(LinuxDisplays(processes).hasExternalDisplay());
}

TEST(LinuxDisplaysTest, WithoutX11TurningTheScreenOffRunsNothing) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    fakes::FakeProcessRunner processes;

    LinuxDisplays(processes).turnScreenOff();

    EXPECT_TRUE(processes.calls.empty());
}

TEST(LinuxDisplaysTest, OnX11TheMonitorIsForcedOff) {
    Xvfb server;
    if (server.display().isEmpty()) {
        GTEST_SKIP() << "Xvfb did not start";
    }
    const bool hasDpms = !server.query().contains(QStringLiteral("does not have the DPMS"));
    if (hasDpms) {
        EXPECT_TRUE(server.query().contains(QStringLiteral("Monitor is On")));
    }

    EXPECT_EQ(turnScreenOff(server.display(), {}, 10000),
              "ran /usr/bin/xset dpms force off\nfinished\nleft\n");

    if (!hasDpms) {
        GTEST_SKIP() << "this Xvfb has no DPMS: the monitor's state cannot be read back";
    }
    EXPECT_TRUE(server.query().contains(QStringLiteral("Monitor is Off")));
}

TEST(LinuxDisplaysTest, AHangingDisplayToolIsKilledInTimeOrWhenTheAdapterGoes) {
    Xvfb server;
    if (server.display().isEmpty()) {
        GTEST_SKIP() << "Xvfb did not start";
    }
    QTemporaryDir folder;
    const QString hanging = folder.filePath(QStringLiteral("xset"));
    std::ofstream(hanging.toStdString()) << "#!/bin/sh\nexec sleep 600\n";
    QFile::setPermissions(hanging, QFile::ReadOwner | QFile::ExeOwner);
    // Well within the stand-in's sleep, and past the tool's time.
    const int deadlineMs = 20000;
    static_assert(LinuxDisplays::toolTimeout < std::chrono::milliseconds(deadlineMs) / 2);

    // The adapter's destruction waits for the tool's end: "left" comes last.
    EXPECT_EQ(turnScreenOff(server.display(), {hanging}, deadlineMs),
              "ran /usr/bin/xset dpms force off\ntimed out\nleft\n");
    EXPECT_EQ(turnScreenOff(server.display(), {hanging, QStringLiteral("--leave-while-running")},
                            deadlineMs),
              "ran /usr/bin/xset dpms force off\nstopped\nleft\n");
}
