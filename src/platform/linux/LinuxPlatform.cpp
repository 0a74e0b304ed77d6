#include "platform/PlatformServices.h"
#include "platform/SystemClock.h"
#include "platform/linux/JsonDefaults.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/linux/LinuxDisplays.h"
#include "platform/linux/LinuxPowerSettings.h"
#include "platform/linux/LinuxStatsSource.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/LinuxXdgDataDirs.h"
#include "platform/linux/LogindLidControl.h"
#include "platform/linux/LogindPowerAssertions.h"
#include "platform/linux/PosixProcessRunner.h"
#include "platform/linux/UPowerSourceMonitor.h"
#include "platform/qt/QtAudioOut.h"
#include "platform/qt/QtHttpGet.h"
#include "platform/qt/QtScheduler.h"

#include <QCoreApplication>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace vigilo {

namespace {

/// $XDG_CONFIG_HOME, else ~/.config (an unset or relative variable is ignored, as the XDG base
/// directory rules say).
std::filesystem::path configHome() {
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured != nullptr && configured[0] == '/') {
        return configured;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* user = ::getpwuid(::getuid());
        home = user != nullptr ? user->pw_dir : "/";
    }
    return std::filesystem::path(home) / ".config";
}

} // namespace

PlatformServices makePlatformServices() {
    const QDBusConnection systemBus = QDBusConnection::systemBus();
    const QDBusConnection sessionBus = QDBusConnection::sessionBus();
    const std::filesystem::path config = configHome();

    PlatformServices services;
    services.clock = std::make_unique<SystemClock>();
    services.scheduler = std::make_unique<QtScheduler>();
    services.defaults = std::make_unique<JsonDefaults>(config / "vigilo");
    services.processes = std::make_unique<PosixProcessRunner>();
    services.assertions = std::make_unique<LogindPowerAssertions>(systemBus, sessionBus);
    services.powerSettings = std::make_unique<LinuxPowerSettings>(
        systemBus, sessionBus,
        LinuxPowerSettings::Paths{.configHome = config,
                                  .currentDesktop =
                                      qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString()});
    services.powerSourceMonitor = std::make_unique<UPowerSourceMonitor>(systemBus);
    services.audio = std::make_unique<QtAudioOut>(QStringLiteral(":/sounds"));
    services.stats = std::make_unique<LinuxStatsSource>("/");
    services.http = std::make_unique<QtHttpGet>();
    services.workspace =
        std::make_unique<LinuxWorkspace>("/proc", ::getuid(), xdgApplicationFolders(), sessionBus);
    // Uses the defaults above: `defaults` is declared before `lid`, so it is destroyed after it.
    services.lid = std::make_unique<LogindLidControl>(systemBus, *services.defaults);
    // Uses the runner too, declared after it as well.
    services.displays = std::make_unique<LinuxDisplays>(*services.processes);
    services.desktop = std::make_unique<LinuxDesktop>(
        sessionBus, config / "autostart", QCoreApplication::applicationFilePath().toStdString());
    return services;
}

} // namespace vigilo
