#include "platform/linux/powersettings/LinuxPowerSettings.h"

#include "DBusSandbox.h"
#include "TempFolder.h"
#include "apps/EventLoop.h"
#include "platform/linux/powersettings/SysfsPowerSupply.h"
#include "platform/linux/settings/IniFile.h"

#include <QAbstractEventDispatcher>
#include <QDBusConnectionInterface>
#include <QDBusVariant>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace vigilo;
namespace fs = std::filesystem;
using Source = PowerValues::Source;
using vigilo::testing::runEventsUntil;

namespace {

const fs::path data = fs::path(VIGILO_TEST_DATA) / "platform";
const fs::path onMains = data / "sysfs" / "on-mains";
const fs::path onBattery = data / "sysfs" / "on-battery";

const std::string idleDelay = "org.gnome.desktop.session idle-delay";
std::string power(const std::string& key) {
    return "org.gnome.settings-daemon.plugins.power " + key;
}

QDBusConnection noBus() {
    return QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/vigilo-test-bus"),
                                         QStringLiteral("no-bus"));
}

std::string describe(const PowerValues& values) {
    return "{display " + std::to_string(values.displaySleepMinutes) + ", system " +
           std::to_string(values.systemSleepMinutes) + ", disabled " +
           std::to_string(values.sleepDisabled) + ", " +
           (values.source == Source::Ac ? "ac" : "battery") + '}';
}

/// Waits for one read; its answer must come from the event loop, not from `read` itself.
PowerValues readOnce(PowerSettingsSource& settings) {
    std::optional<PowerValues> answer;
    int answers = 0;
    settings.read([&](PowerValues values) {
        answer = values;
        ++answers;
    });
    EXPECT_FALSE(answer) << "answered before the event loop ran";
    EXPECT_TRUE(runEventsUntil([&] { return answer.has_value(); }, 5000));
    EXPECT_EQ(answers, 1);
    return answer.value_or(PowerValues{});
}

class LinuxPowerSettingsTest : public ::testing::Test {
protected:
    LinuxPowerSettingsTest() {
        // Stands in for the installed tool: logs each run, then lists `answers`.
        writeFile(gsettings, "#!/bin/sh\n"
                             "echo \"$*\" >> \"$0.runs\"\n"
                             "cat \"$0.listing\"\n");
        fs::permissions(gsettings, fs::perms::owner_all);
    }

    PowerValues read(const fs::path& powerSupplies, const fs::path& configHome = {},
                     const QDBusConnection& systemBus = noBus(),
                     const std::string& desktop = "GNOME") {
        LinuxPowerSettings settings(systemBus, noBus(), paths(powerSupplies, configHome, desktop));
        return readOnce(settings);
    }

    LinuxPowerSettings::Paths paths(const fs::path& powerSupplies, const fs::path& configHome = {},
                                    const std::string& desktop = "GNOME") {
        writeListing();
        return {.gsettings = gsettings,
                .configHome = configHome.empty() ? home.path() : configHome,
                .powerSupplies = powerSupplies,
                .currentDesktop = desktop};
    }

    void answerLikeGnome() {
        answers[idleDelay] = "uint32 300";
        answers[power("sleep-inactive-ac-type")] = "'suspend'";
        answers[power("sleep-inactive-ac-timeout")] = "1800";
        answers[power("sleep-inactive-battery-type")] = "'nothing'";
        answers[power("sleep-inactive-battery-timeout")] = "int32 900";
        // Another schema's key of the same name is not GNOME's screen blank.
        answers["org.example.other idle-delay"] = "uint32 60";
    }

    /// What the tool lists from now on.
    void writeListing() {
        std::string listing;
        for (const auto& [schemaAndKey, value] : answers) {
            listing += schemaAndKey + ' ' + value + '\n';
        }
        writeFile(gsettings.string() + ".listing", listing);
    }

    /// The arguments of each run of the tool so far.
    std::vector<std::string> gsettingsRuns() const {
        std::vector<std::string> runs;
        std::istringstream log(readFile(gsettings.string() + ".runs"));
        for (std::string line; std::getline(log, line);) {
            runs.push_back(line);
        }
        return runs;
    }

    TempFolder home;
    const fs::path gsettings = home.path() / "gsettings";
    std::map<std::string, std::string> answers;
};

} // namespace

TEST_F(LinuxPowerSettingsTest, ReadsGnomeDelaysForTheCurrentSource) {
    answerLikeGnome();

    const PowerValues onAc = read(onMains);
    EXPECT_EQ(onAc, (PowerValues{5, 30, false, Source::Ac})) << describe(onAc);
    EXPECT_EQ(gsettingsRuns(), std::vector<std::string>{"list-recursively"});

    // On battery the suspend type is "nothing": the system never sleeps by itself.
    const PowerValues battery = read(onBattery);
    EXPECT_EQ(battery, (PowerValues{5, 0, false, Source::Battery})) << describe(battery);
}

TEST_F(LinuxPowerSettingsTest, RoundsPartialMinutesUpAndKeepsNeverAsZero) {
    answerLikeGnome();
    answers[idleDelay] = "uint32 90";
    answers[power("sleep-inactive-ac-timeout")] = "int32 1201";
    EXPECT_EQ(read(onMains), (PowerValues{2, 21, false, Source::Ac}));

    answers[idleDelay] = "uint32 0";
    answers[power("sleep-inactive-ac-timeout")] = "0";
    EXPECT_EQ(read(onMains), (PowerValues{0, 0, false, Source::Ac}));
}

TEST_F(LinuxPowerSettingsTest, MissingSchemasOrToolLeaveTheDefaults) {
    // A schema that is not installed is not listed.
    answers[power("sleep-inactive-ac-timeout")] = "1800";
    EXPECT_EQ(read(onMains), (PowerValues{10, 30, false, Source::Ac}));

    answers.clear();
    EXPECT_EQ(read(onMains), PowerValues{});

    answerLikeGnome();
    fs::remove(gsettings.string() + ".runs");
    fs::remove(gsettings);
    EXPECT_EQ(read(onMains), PowerValues{});
    EXPECT_TRUE(gsettingsRuns().empty());
}

TEST_F(LinuxPowerSettingsTest, AToolThatHangsIsKilledAndTheDefaultsAnswer) {
    writeFile(gsettings, "#!/bin/sh\nexec sleep 600\n");
    LinuxPowerSettings settings(noBus(), noBus(), paths(onMains));
    std::optional<PowerValues> answer;
    settings.read([&](PowerValues values) { answer = values; });

    // Well within the tool's sleep, and past its time.
    EXPECT_TRUE(runEventsUntil([&] { return answer.has_value(); }, 20000));
    EXPECT_EQ(answer, PowerValues{});
}

TEST_F(LinuxPowerSettingsTest, ReadsPlasma5Profiles) {
    const fs::path plasma5 = data / "kde" / "plasma5";
    // The AC profile has no suspend action: the system never sleeps by itself.
    EXPECT_EQ(read(onMains, plasma5), (PowerValues{15, 0, false, Source::Ac}));
    EXPECT_EQ(read(onBattery, plasma5), (PowerValues{5, 10, false, Source::Battery}));
}

TEST_F(LinuxPowerSettingsTest, ReadsPlasma6Settings) {
    const fs::path plasma6 = data / "kde" / "plasma6";
    EXPECT_EQ(read(onMains, plasma6), (PowerValues{20, 0, false, Source::Ac}));
    EXPECT_EQ(read(onBattery, plasma6), (PowerValues{3, 8, false, Source::Battery}));
}

TEST_F(LinuxPowerSettingsTest, TheRunningDesktopAnswersBeforeTheOther) {
    answerLikeGnome();
    const fs::path plasma5 = data / "kde" / "plasma5";
    EXPECT_EQ(read(onMains, plasma5, noBus(), "ubuntu:GNOME"),
              (PowerValues{5, 30, false, Source::Ac}));
    EXPECT_EQ(read(onMains, plasma5, noBus(), "KDE"), (PowerValues{15, 0, false, Source::Ac}));
    EXPECT_EQ(read(onMains, home.path(), noBus(), "KDE"), (PowerValues{5, 30, false, Source::Ac}))
        << "a KDE session without its files still reads what GNOME has";
}

TEST_F(LinuxPowerSettingsTest, FallsBackToLogindAndAsksItWhetherSleepIsPossible) {
    DBusSandbox system(DBusSandbox::Kind::System);
    system.startTemplate("logind", QStringLiteral("org.freedesktop.login1"),
                         R"({"IdleAction": "suspend", "IdleActionUSec": 1800000000,
                             "CanSuspend": "na"})");
    const PowerValues values = read(onMains, {}, system.connect());
    EXPECT_EQ(values, (PowerValues{10, 30, true, Source::Ac})) << describe(values);
}

TEST_F(LinuxPowerSettingsTest, LogindIsAskedOnceUntilItRestarts) {
    DBusSandbox system(DBusSandbox::Kind::System);
    const QString logind = QStringLiteral("org.freedesktop.login1");
    system.startTemplate("logind", logind, R"({"IdleAction": "suspend", "CanSuspend": "na"})");
    LinuxPowerSettings settings(system.connect(), noBus(), paths(onMains));
    const auto canSuspendCalls = [&] {
        return system
            .methodCalls(logind, QStringLiteral("/org/freedesktop/login1"),
                         QStringLiteral("CanSuspend"))
            .size();
    };
    EXPECT_TRUE(readOnce(settings).sleepDisabled);
    EXPECT_TRUE(readOnce(settings).sleepDisabled);
    EXPECT_EQ(canSuspendCalls(), 1U) << "the second read is answered from memory";
    const std::string log = system.mockLog(logind);
    EXPECT_EQ(log.find("IdleActionUSec"), log.rfind("IdleActionUSec")) << "read once: " << log;

    system.stopMock(logind);
    system.startTemplate("logind", logind, R"({"IdleAction": "ignore", "CanSuspend": "yes"})");
    DBusSandbox::settle(system.connect(), logind);
    const PowerValues restarted = readOnce(settings);
    EXPECT_FALSE(restarted.sleepDisabled) << "asked again after the restart";
    EXPECT_EQ(restarted.systemSleepMinutes, 0) << describe(restarted);
}

TEST_F(LinuxPowerSettingsTest, UPowerDecidesTheSourceBeforeSysfs) {
    DBusSandbox system(DBusSandbox::Kind::System);
    system.startTemplate("upower", QStringLiteral("org.freedesktop.UPower"),
                         R"({"OnBattery": true})");
    EXPECT_EQ(read(onMains, {}, system.connect()).source, Source::Battery);
}

TEST_F(LinuxPowerSettingsTest, UPowerIsAskedOnceThenFollowedUntilItStops) {
    DBusSandbox system(DBusSandbox::Kind::System);
    const QString upower = QStringLiteral("org.freedesktop.UPower");
    const QString daemon = QStringLiteral("/org/freedesktop/UPower");
    system.startTemplate("upower", upower, R"({"OnBattery": true})");
    QDBusConnection bus = system.connect();
    // sysfs says "battery" whenever UPower says nothing.
    LinuxPowerSettings settings(bus, noBus(), paths(onBattery));
    const auto onBatteryReads = [&] {
        const std::string log = system.mockLog(upower);
        const std::string get = "Get /org/freedesktop/UPower org.freedesktop.UPower.OnBattery";
        std::size_t reads = 0;
        for (auto at = log.find(get); at != std::string::npos; at = log.find(get, at + 1)) {
            ++reads;
        }
        return reads;
    };
    EXPECT_EQ(readOnce(settings).source, Source::Battery);
    EXPECT_EQ(readOnce(settings).source, Source::Battery);
    EXPECT_EQ(onBatteryReads(), 1U) << "the second read is answered from memory";

    QDBusMessage set = QDBusMessage::createMethodCall(
        upower, daemon, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
    set.setArguments(
        {upower, QStringLiteral("OnBattery"), QVariant::fromValue(QDBusVariant(false))});
    ASSERT_EQ(system.call(set).type(), QDBusMessage::ReplyMessage);
    DBusSandbox::settle(bus, upower);
    EXPECT_EQ(readOnce(settings).source, Source::Ac) << "the change UPower announced";
    EXPECT_EQ(onBatteryReads(), 1U) << "the announcement carries the new value";

    system.stopMock(upower);
    DBusSandbox::settle(bus, upower);
    EXPECT_EQ(readOnce(settings).source, Source::Battery) << "sysfs once UPower is gone";

    system.startTemplate("upower", upower, R"({"OnBattery": false})");
    DBusSandbox::settle(bus, upower);
    EXPECT_EQ(readOnce(settings).source, Source::Ac) << "asked again once it is back";
}

TEST_F(LinuxPowerSettingsTest, GnomeIsAskedAgainOnlyAfterDconfAnnouncesAChangeToItsKeys) {
    DBusSandbox session(DBusSandbox::Kind::Session);
    QDBusConnection settingsBus = session.connect();
    QDBusConnection dconf = session.connect();
    answerLikeGnome();
    LinuxPowerSettings settings(noBus(), settingsBus, paths(onMains));
    ASSERT_EQ(readOnce(settings), (PowerValues{5, 30, false, Source::Ac}));
    ASSERT_EQ(readOnce(settings), (PowerValues{5, 30, false, Source::Ac}));
    ASSERT_EQ(gsettingsRuns().size(), 1U) << "the second read is answered from memory";

    struct Notice {
        QString prefix;
        QStringList changes;
        bool touchesTheDelays;
    };
    const std::vector<Notice> notices{
        {QStringLiteral("/org/gnome/shell/"), {QStringLiteral("favorite-apps")}, false},
        {QStringLiteral("/org/gnome/desktop/interface/clock-format"), {QString()}, false},
        {QStringLiteral("/org/gnome/desktop/session/idle-delay"), {QString()}, true},
        {QStringLiteral("/org/gnome/settings-daemon/plugins/power/"),
         {QStringLiteral("sleep-inactive-ac-type"), QStringLiteral("sleep-inactive-ac-timeout")},
         true},
        {QStringLiteral("/org/gnome/"), {QString()}, true}, // a reset of the whole folder
    };
    std::int64_t idleMinutes = 5;
    std::size_t runs = 1;
    for (const Notice& notice : notices) {
        answers[idleDelay] = "uint32 " + std::to_string(++idleMinutes * 60);
        writeListing();
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/ca/desrt/dconf/Writer/user"), QStringLiteral("ca.desrt.dconf.Writer"),
            QStringLiteral("Notify"));
        signal << notice.prefix << notice.changes << QStringLiteral("tag");
        ASSERT_TRUE(dconf.send(signal));
        // Round trips on the sending and the receiving connection: the notice has arrived after
        // them, and is delivered once no posted event is left.
        dconf.interface()->isServiceRegistered(QStringLiteral("ca.desrt.dconf"));
        settingsBus.interface()->isServiceRegistered(QStringLiteral("ca.desrt.dconf"));
        while (QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents)) {
        }

        runs += notice.touchesTheDelays ? 1 : 0;
        const PowerValues values = readOnce(settings);
        EXPECT_EQ(gsettingsRuns().size(), runs) << notice.prefix.toStdString();
        EXPECT_EQ(values.displaySleepMinutes == idleMinutes, notice.touchesTheDelays)
            << notice.prefix.toStdString() << ": " << describe(values);
    }
}

TEST_F(LinuxPowerSettingsTest, AReadNeverAnswersOnceTheSourceIsGone) {
    answerLikeGnome();
    auto gone = std::make_unique<LinuxPowerSettings>(noBus(), noBus(), paths(onMains));
    LinuxPowerSettings kept(noBus(), noBus(), paths(onMains));
    bool goneAnswered = false;
    bool keptAnswered = false;
    gone->read([&](PowerValues) { goneAnswered = true; });
    kept.read([&](PowerValues) { keptAnswered = true; });
    gone.reset();

    EXPECT_TRUE(runEventsUntil([&] { return keptAnswered; }, 5000));
    EXPECT_FALSE(goneAnswered);
}

TEST(SysfsPowerSupply, ExternalPowerWinsAndOnlyADischargingBatteryMeansBattery) {
    const fs::path sysfs = data / "sysfs";
    EXPECT_EQ(readSysfsPowerSource(sysfs / "on-mains"), Source::Ac);
    EXPECT_EQ(readSysfsPowerSource(sysfs / "on-battery"), Source::Battery);
    EXPECT_EQ(readSysfsPowerSource(sysfs / "usb-c-charger"), Source::Ac);
    EXPECT_EQ(readSysfsPowerSource(sysfs / "desktop-with-wireless-mouse"), Source::Ac);
    EXPECT_EQ(readSysfsPowerSource(sysfs / "no-such-folder"), Source::Ac);
}

TEST(IniFile, ReadsNestedGroupsAndSkipsWhatItDoesNotNeed) {
    const IniFile file = IniFile::parse("top=1\n"
                                        "# a comment\n"
                                        "[AC][Display]\n"
                                        "  TurnOffDisplayIdleTimeoutSec = 300 \r\n"
                                        "Name[de]=Anzeige\n"
                                        "Key[$e]=$HOME\n"
                                        "TurnOffDisplayIdleTimeoutSec=600\n"
                                        "[broken\n"
                                        "lost=1\n"
                                        "[Battery]\n");
    EXPECT_EQ(file.value("", "top"), "1");
    EXPECT_EQ(file.value("AC/Display", "TurnOffDisplayIdleTimeoutSec"), "600");
    EXPECT_EQ(file.value("AC/Display", "Name"), std::nullopt);
    EXPECT_EQ(file.value("AC/Display", "Key"), std::nullopt);
    EXPECT_EQ(file.value("AC/Display", "lost"), std::nullopt);
    EXPECT_TRUE(file.hasGroupAt("AC"));
    EXPECT_TRUE(file.hasGroupAt("Battery"));
    EXPECT_FALSE(file.hasGroupAt("AC/Disp"));
    EXPECT_FALSE(file.hasGroupAt("LowBattery"));
}
