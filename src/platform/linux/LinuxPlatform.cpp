#include "BuildInfo.h"
#include "UpdateSource.h"
#include "model/RunningAppsWatcher.h"
#include "platform/PlatformServices.h"
#include "platform/linux/apps/LinuxCommandFolders.h"
#include "platform/linux/apps/LinuxWorkspace.h"
#include "platform/linux/apps/LinuxXdgDataDirs.h"
#include "platform/linux/desktop/CanberraAudioOut.h"
#include "platform/linux/desktop/LinuxDesktop.h"
#include "platform/linux/desktop/LinuxTrayHostMonitor.h"
#include "platform/linux/desktop/PortalDesktopAppearance.h"
#include "platform/linux/desktop/PortalReducedMotion.h"
#include "platform/linux/power/LinuxDisplays.h"
#include "platform/linux/power/LogindLidControl.h"
#include "platform/linux/power/LogindLock.h"
#include "platform/linux/power/LogindPowerAssertions.h"
#include "platform/linux/powersettings/LinuxPowerSettings.h"
#include "platform/linux/powersettings/UPowerSourceMonitor.h"
#include "platform/linux/process/LinuxProcessWatch.h"
#include "platform/linux/process/PosixProcessRunner.h"
#include "platform/linux/settings/JsonDefaults.h"
#include "platform/linux/stats/LinuxStatsSource.h"
#include "platform/linux/update/LinuxInstallation.h"
#include "platform/linux/update/LinuxUpdateFramework.h"
#include "platform/linux/update/UpdateRollback.h"
#include "platform/linux/x11/X11PanelWindowSystem.h"
#include "platform/qt/QtHttpGet.h"
#include "platform/qt/QtScheduler.h"
#include "platform/qt/QtStatusItem.h"
#include "ports/SystemClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace vigilo {

namespace {

/// $HOME, else the user's home folder from the password database.
std::filesystem::path home() {
    const char* configured = std::getenv("HOME");
    if (configured != nullptr && configured[0] == '/') {
        return configured;
    }
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr ? user->pw_dir : "/";
}

/// $XDG_CONFIG_HOME, else ~/.config (an unset or relative variable is ignored, as the XDG base
/// directory rules say).
std::filesystem::path configHome() {
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured != nullptr && configured[0] == '/') {
        return configured;
    }
    return home() / ".config";
}

} // namespace

void recordProgramStart() {
    // No QApplication yet to ask where the program lies.
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !LinuxInstallation(program, home()).canSelfUpdate()) {
        return;
    }
    const InstalledVersions versions(LinuxInstallation::versionsFolder(home()));
    if (UpdateRollback::atStart(versions, BuildInfo::version) !=
        UpdateRollback::Start::rolledBack) {
        return;
    }
    qWarning("vigilo: версия %s закрылась, не успев подтвердить свой запуск; возвращаю "
             "предыдущую",
             BuildInfo::version);
    replaceProcessWith(versions.currentProgram());
    qWarning("vigilo: не удалось запустить предыдущую версию %s",
             versions.currentProgram().c_str());
}

PlatformServices makePlatformServices(ProgramRelaunch relaunch) {
    const QDBusConnection systemBus = QDBusConnection::systemBus();
    const QDBusConnection sessionBus = QDBusConnection::sessionBus();
    const std::filesystem::path config = configHome();

    PlatformServices services;
    services.words = linuxWords();
    services.clock = std::make_unique<SystemClock>();
    services.scheduler = std::make_unique<QtScheduler>();
    services.defaults = std::make_unique<JsonDefaults>(config / "vigilo");
    services.settings = std::make_unique<Settings>(*services.defaults);
    services.processes = std::make_unique<PosixProcessRunner>();
    services.processWatch = std::make_unique<LinuxProcessWatch>();
    services.assertions = std::make_unique<LogindPowerAssertions>(systemBus, sessionBus);
    services.powerSettings = std::make_unique<LinuxPowerSettings>(
        systemBus, sessionBus,
        LinuxPowerSettings::Paths{.configHome = config,
                                  .currentDesktop =
                                      qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString()});
    services.powerSourceMonitor = std::make_unique<UPowerSourceMonitor>(systemBus);
    services.audio = std::make_unique<CanberraAudioOut>(QStringLiteral(":/sounds"),
                                                        CanberraAudioOut::sessionCopyFolder());
    services.stats = std::make_unique<LinuxStatsSource>("/");
    services.http = std::make_unique<QtHttpGet>();
    services.workspace = std::make_unique<LinuxWorkspace>(
        "/proc", ::getuid(), RunningAppsWatcher::builtInProcessNames(), xdgApplicationFolders(),
        commandFolders(), sessionBus, *services.scheduler);
    // Uses the defaults above: `defaults` is declared before `lid`, so it is destroyed after it.
    services.lid = std::make_unique<LogindLidControl>(systemBus, *services.defaults);
    // Uses the runner, declared before it, so destroyed after it.
    services.displays = std::make_unique<LinuxDisplays>(*services.processes);
    auto installation = std::make_unique<LinuxInstallation>(
        QCoreApplication::applicationFilePath().toStdString(), home());
    services.desktop = std::make_unique<LinuxDesktop>(sessionBus, config / "autostart",
                                                      installation->launcher().string());
    services.installation = std::move(installation);
    services.panelWindows = makePanelWindowSystem();
    services.statusItem = std::make_unique<QtStatusItem>();
    services.trayHosts = makeTrayHostMonitor(sessionBus);
    services.desktopAppearance = std::make_unique<PortalDesktopAppearance>(
        sessionBus, qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString());
    services.reducedMotion = std::make_unique<PortalReducedMotion>(sessionBus);
    // A package manager's or a build folder's program is updated by whoever put it there: it
    // neither checks nor offers anything.
    if (!services.installation->canSelfUpdate()) {
        return services;
    }
    services.updates = std::make_unique<LinuxUpdateFramework>(
        LinuxUpdateFramework::Setup{
            .feedUrl = UpdateSource::feedUrl,
            .publicKey = UpdateSource::publicKey,
            .runningVersion = BuildInfo::version,
            .versionsFolder = LinuxInstallation::versionsFolder(home()),
        },
        LinuxUpdateFramework::Services{.scheduler = *services.scheduler,
                                       .http = *services.http,
                                       .processes = *services.processes},
        std::move(relaunch));
    return services;
}

namespace {

/// A logind block inhibitor; the descriptor is the lock.
class LogindCommandLineLock final : public CommandLineLock {
public:
    explicit LogindCommandLineLock(UniqueFd lock)
        : lock_(std::move(lock)) {}

private:
    UniqueFd lock_;
};

} // namespace

std::unique_ptr<CommandLineLock> takeCommandLineLock(bool withDisplay, int timeoutMs) {
    QEventLoop loop;
    std::optional<UniqueFd> answer;
    takeLogindLockAsync(QDBusConnection::systemBus(),
                        withDisplay ? QStringLiteral("idle:sleep") : QStringLiteral("sleep"),
                        QStringLiteral("vigilo run: a command is running"), &loop,
                        [&](UniqueFd lock) {
                            answer = std::move(lock);
                            loop.quit();
                        });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!answer) {
        loop.exec();
    }
    if (!answer || !answer->isValid()) {
        return nullptr;
    }
    return std::make_unique<LogindCommandLineLock>(std::move(*answer));
}

} // namespace vigilo
