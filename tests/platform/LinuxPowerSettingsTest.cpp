#include "platform/linux/LinuxPowerSettings.h"

#include "DBusSandbox.h"
#include "TempFolder.h"
#include "fakes/FakeProcessRunner.h"
#include "platform/linux/IniFile.h"
#include "platform/linux/SysfsPowerSupply.h"

#include <gtest/gtest.h>

using namespace vigilo;
namespace fs = std::filesystem;
using Source = PowerValues::Source;

namespace {

const fs::path data = fs::path(VIGILO_TEST_DATA) / "platform";
const fs::path onMains = data / "sysfs" / "on-mains";
const fs::path onBattery = data / "sysfs" / "on-battery";

using Arguments = std::vector<std::string>;
const Arguments idleDelay{"get", "org.gnome.desktop.session", "idle-delay"};
Arguments power(const std::string& key) {
    return {"get", "org.gnome.settings-daemon.plugins.power", key};
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

class LinuxPowerSettingsTest : public testing::Test {
protected:
    LinuxPowerSettingsTest() { writeFile(gsettings, ""); }

    PowerValues read(const fs::path& powerSupplies, const fs::path& configHome = {},
                     const QDBusConnection& systemBus = noBus(),
                     const std::string& desktop = "GNOME") {
        LinuxPowerSettings settings(runner, systemBus,
                                    {.gsettings = gsettings,
                                     .configHome = configHome.empty() ? home.path() : configHome,
                                     .powerSupplies = powerSupplies,
                                     .currentDesktop = desktop});
        return settings.current();
    }

    void answerLikeGnome() {
        runner.outputs[idleDelay] = "uint32 300\n";
        runner.outputs[power("sleep-inactive-ac-type")] = "'suspend'\n";
        runner.outputs[power("sleep-inactive-ac-timeout")] = "1800\n";
        runner.outputs[power("sleep-inactive-battery-type")] = "'nothing'\n";
        runner.outputs[power("sleep-inactive-battery-timeout")] = "int32 900\n";
    }

    TempFolder home;
    const fs::path gsettings = home.path() / "gsettings"; // stands in for the installed tool
    fakes::FakeProcessRunner runner;
};

} // namespace

TEST_F(LinuxPowerSettingsTest, ReadsGnomeDelaysForTheCurrentSource) {
    answerLikeGnome();

    const PowerValues onAc = read(onMains);
    EXPECT_EQ(onAc, (PowerValues{5, 30, false, Source::Ac})) << describe(onAc);
    EXPECT_EQ(runner.calls.at(0).path, gsettings.string());

    // On battery the suspend type is "nothing": the system never sleeps by itself.
    const PowerValues battery = read(onBattery);
    EXPECT_EQ(battery, (PowerValues{5, 0, false, Source::Battery})) << describe(battery);
}

TEST_F(LinuxPowerSettingsTest, RoundsPartialMinutesUpAndKeepsNeverAsZero) {
    answerLikeGnome();
    runner.outputs[idleDelay] = "uint32 90\n";
    runner.outputs[power("sleep-inactive-ac-timeout")] = "int32 1201\n";
    EXPECT_EQ(read(onMains), (PowerValues{2, 21, false, Source::Ac}));

    runner.outputs[idleDelay] = "uint32 0\n";
    runner.outputs[power("sleep-inactive-ac-timeout")] = "0\n";
    EXPECT_EQ(read(onMains), (PowerValues{0, 0, false, Source::Ac}));
}

TEST_F(LinuxPowerSettingsTest, MissingSchemasOrToolLeaveTheDefaults) {
    // A schema that is not installed: gsettings fails, which the fake shows as no result.
    runner.outputs[power("sleep-inactive-ac-timeout")] = "1800\n";
    EXPECT_EQ(read(onMains), (PowerValues{10, 30, false, Source::Ac}));

    runner.outputs.clear();
    EXPECT_EQ(read(onMains), PowerValues{});

    answerLikeGnome();
    runner.calls.clear();
    fs::remove(gsettings);
    EXPECT_EQ(read(onMains), PowerValues{});
    EXPECT_TRUE(runner.calls.empty());
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

TEST_F(LinuxPowerSettingsTest, UPowerDecidesTheSourceBeforeSysfs) {
    DBusSandbox system(DBusSandbox::Kind::System);
    system.startTemplate("upower", QStringLiteral("org.freedesktop.UPower"),
                         R"({"OnBattery": true})");
    EXPECT_EQ(read(onMains, {}, system.connect()).source, Source::Battery);
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
