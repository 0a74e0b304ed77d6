#include "BuildInfo.h"
#include "platform/PlatformServices.h"
#include "platform/macos/admin/MacAdminScriptRunner.h"
#include "platform/macos/apps/ApplicationBundles.h"
#include "platform/macos/apps/MacWorkspace.h"
#include "platform/macos/audio/MacAudioOut.h"
#include "platform/macos/desktop/MacDesktop.h"
#include "platform/macos/desktop/MacReducedMotion.h"
#include "platform/macos/panel/MacPanelWindowSystem.h"
#include "platform/macos/power/LidGuard.h"
#include "platform/macos/power/MacDisplays.h"
#include "platform/macos/power/MacPowerAssertions.h"
#include "platform/macos/power/MacPowerSources.h"
#include "platform/macos/power/MacRootPowerDomain.h"
#include "platform/macos/powersettings/MacPowerSettingsSource.h"
#include "platform/macos/process/MacProcessRunner.h"
#include "platform/macos/process/MacProcessWatch.h"
#include "platform/macos/settings/MacDefaults.h"
#include "platform/macos/stats/MacStatsSource.h"
#include "platform/macos/statusitem/MacStatusItem.h"
#include "platform/macos/update/MacInstallation.h"
#include "platform/macos/update/MacUpdateFramework.h"
#include "platform/qt/QtHttpGet.h"
#include "platform/qt/QtScheduler.h"
#include "ports/SystemClock.h"

#include <QCoreApplication>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace vigilo {

namespace {

/// The user's home folder and login name, from the password database.
const passwd* currentUser() {
    return ::getpwuid(::getuid());
}

std::filesystem::path home() {
    const char* configured = std::getenv("HOME");
    if (configured != nullptr && configured[0] == '/') {
        return configured;
    }
    const passwd* user = currentUser();
    return user != nullptr ? user->pw_dir : "/";
}

/// The menu bar draws the empty glass in its own colour (a template image) and the filled glass
/// reads on any bar, so a Mac tells the tray glass nothing but the palette.
class MenuBarAppearance final : public DesktopAppearance {
public:
    [[nodiscard]] const DesktopFacts& facts() const override { return facts_; }

private:
    DesktopFacts facts_;
};

/// An IOKit assertion of this process alone; the system drops it when the process ends.
class AssertionLock final : public CommandLineLock {
public:
    MacPowerAssertions assertions;
};

} // namespace

// Sparkle keeps its own record of what it installed and starts the new version itself.
void recordProgramStart() {}

// Sparkle relaunches the program itself. The parameter is taken by value as every system's is.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
PlatformServices makePlatformServices(ProgramRelaunch /*relaunch*/) {
    PlatformServices services;
    services.clock = std::make_unique<SystemClock>();
    services.scheduler = std::make_unique<QtScheduler>();
    services.defaults = std::make_unique<MacDefaults>(BuildInfo::applicationId);
    services.settings = std::make_unique<Settings>(*services.defaults);
    services.processes = std::make_unique<MacProcessRunner>();
    services.processWatch = std::make_unique<MacProcessWatch>();
    services.assertions = std::make_unique<MacPowerAssertions>();
    services.powerSettings = std::make_unique<MacPowerSettingsSource>(*services.processes);
    services.powerSourceMonitor = std::make_unique<MacPowerSourceMonitor>();
    services.audio = std::make_unique<MacAudioOut>();
    services.stats = std::make_unique<MacStatsSource>();
    services.http = std::make_unique<QtHttpGet>();
    services.workspace = std::make_unique<MacWorkspace>(standardApplicationFolders(home()),
                                                        home() / "Library/Caches" /
                                                            BuildInfo::applicationId / "icons");
    services.rootPowerDomain = std::make_unique<MacRootPowerDomain>();
    services.adminScripts = std::make_unique<MacAdminScriptRunner>();
    const passwd* user = currentUser();
    services.lid = std::make_unique<LidGuard>(LidGuard::Services{
        .processes = *services.processes,
        .admin = *services.adminScripts,
        .rootDomain = *services.rootPowerDomain,
        .fileExists = [](const std::string& path) { return ::access(path.c_str(), F_OK) == 0; },
        .loginName = user != nullptr ? user->pw_name : ""});
    services.displays = std::make_unique<MacDisplays>(*services.processes);
    services.desktop = std::make_unique<MacDesktop>();
    services.installation = std::make_unique<MacInstallation>(
        MacInstallation::bundleOf(QCoreApplication::applicationFilePath().toStdString()));
    services.panelWindows = std::make_unique<MacPanelWindowSystem>();
    services.statusItem = std::make_unique<MacStatusItem>();
    services.desktopAppearance = std::make_unique<MenuBarAppearance>();
    services.reducedMotion = std::make_unique<MacReducedMotion>();
    if (services.installation->canSelfUpdate()) {
        services.updates = std::make_unique<MacUpdateFramework>();
    }
    return services;
}

// IOKit grants or refuses an assertion at once: there is nothing to wait for.
std::unique_ptr<CommandLineLock> takeCommandLineLock(bool withDisplay, int /*timeoutMs*/) {
    auto lock = std::make_unique<AssertionLock>();
    const auto kind = withDisplay ? AssertionKind::DisplayKeptOn : AssertionKind::DisplayMaySleep;
    if (!lock->assertions.create(kind, "Vigilo: keeping Mac awake while a command runs")) {
        return nullptr;
    }
    return lock;
}

} // namespace vigilo
