#include "DBusSandbox.h"
#include "TempFolder.h"
#include "apps/EventLoop.h"
#include "platform/PlatformServices.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

using namespace vigilo;

namespace {

/// Sets an environment variable for the life of this object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value)
        : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace

// The factory wires the real buses and the user's folders: here both are redirected, before
// anything in this process has opened the standard buses.
TEST(LinuxPlatform, BuildsEveryServiceOnTheUsersBusesAndConfigFolder) {
    DBusSandbox system(DBusSandbox::Kind::System);
    DBusSandbox session(DBusSandbox::Kind::Session);
    system.startTemplate("upower", QStringLiteral("org.freedesktop.UPower"),
                         R"({"OnBattery": true})");
    system.startTemplate("logind", QStringLiteral("org.freedesktop.login1"));
    const TempFolder config;
    const ScopedVariable systemBus(system.environmentVariable(), system.address().toStdString());
    const ScopedVariable sessionBus(session.environmentVariable(), session.address().toStdString());
    const ScopedVariable configHome("XDG_CONFIG_HOME", config.path().string());

    PlatformServices services = makePlatformServices();

    ASSERT_TRUE(services.clock && services.defaults && services.processes && services.assertions &&
                services.powerSettings && services.powerSourceMonitor && services.audio &&
                services.desktop && services.lid && services.displays && services.stats &&
                services.http && services.scheduler && services.workspace && services.processWatch);
    EXPECT_EQ(services.updates, nullptr)
        << "a program outside the user's versions folder does not update itself";
    services.defaults->set("soundEnabled", false);
    EXPECT_TRUE(std::filesystem::exists(config.path() / "vigilo" / "defaults.json"));
    std::optional<PowerValues> power;
    services.powerSettings->read([&](PowerValues values) { power = values; });
    ASSERT_TRUE(vigilo::testing::runEventsUntil([&] { return power.has_value(); }, 5000));
    EXPECT_EQ(power->source, PowerValues::Source::Battery);
    const auto id = services.assertions->create(AssertionKind::DisplayKeptOn, "test");
    EXPECT_TRUE(id);
    EXPECT_EQ(services.desktop->setLaunchesAtLogin(true), std::nullopt);
    EXPECT_TRUE(
        std::filesystem::exists(config.path() / "autostart" / "io.github.vigilo.Vigilo.desktop"));
    EXPECT_FALSE(services.lid->isInstalled()) << "closed-lid mode waits for the user's consent";
    EXPECT_EQ(services.lid->install(), std::nullopt);
    EXPECT_EQ(services.defaults->value("lidModeGranted"), DefaultsValue(true))
        << "the consent is kept in the defaults";
}
