#pragma once

#include "model/Settings.h"
#include "platform/DesktopAppearance.h"
#include "platform/PowerSourceMonitor.h"
#include "platform/ReducedMotion.h"
#include "platform/StatusItem.h"
#include "platform/TrayHostMonitor.h"
#include "ports/AdminScriptRunner.h"
#include "ports/AudioOut.h"
#include "ports/Clock.h"
#include "ports/Defaults.h"
#include "ports/Desktop.h"
#include "ports/Displays.h"
#include "ports/HttpGet.h"
#include "ports/Installation.h"
#include "ports/LidControl.h"
#include "ports/PanelWindowSystem.h"
#include "ports/PlatformWords.h"
#include "ports/PowerAssertions.h"
#include "ports/PowerSettingsSource.h"
#include "ports/ProcessRunner.h"
#include "ports/ProcessWatch.h"
#include "ports/RootPowerDomain.h"
#include "ports/Scheduler.h"
#include "ports/StatsSource.h"
#include "ports/UpdateFramework.h"
#include "ports/Workspace.h"

#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>

namespace vigilo {

/// The adapters of the platform the program runs on, made by `makePlatformServices`.
struct PlatformServices {
    PlatformWords words;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Scheduler> scheduler;
    std::unique_ptr<Defaults> defaults;
    /// The one settings service over `defaults`, for the program and the adapters that keep a
    /// setting of their own.
    std::unique_ptr<Settings> settings;
    /// Declared before every adapter that runs programs through it, so it is destroyed last.
    std::unique_ptr<ProcessRunner> processes;
    /// Tells when a process that a keep-awake session lasts for ends.
    std::unique_ptr<ProcessWatch> processWatch;
    std::unique_ptr<PowerAssertions> assertions;
    std::unique_ptr<PowerSettingsSource> powerSettings;
    std::unique_ptr<PowerSourceMonitor> powerSourceMonitor;
    std::unique_ptr<AudioOut> audio;
    std::unique_ptr<StatsSource> stats;
    std::unique_ptr<HttpGet> http;
    std::unique_ptr<Workspace> workspace;
    /// What a Mac's lid guard reads and runs its administrator prompt through; nothing where the
    /// lid needs neither. Declared before `lid`, which uses them.
    std::unique_ptr<RootPowerDomain> rootPowerDomain;
    std::unique_ptr<AdminScriptRunner> adminScripts;
    std::unique_ptr<LidControl> lid;
    std::unique_ptr<Displays> displays;
    std::unique_ptr<Desktop> desktop;
    std::unique_ptr<Installation> installation;
    std::unique_ptr<PanelWindowSystem> panelWindows;
    /// The glass in the tray or the menu bar.
    std::unique_ptr<StatusItem> statusItem;
    /// Nothing where the tray (a menu bar) is always there.
    std::unique_ptr<TrayHostMonitor> trayHosts;
    /// What the desktop says about the panel that shows the tray, for the tray glass's colours.
    std::unique_ptr<DesktopAppearance> desktopAppearance;
    std::unique_ptr<ReducedMotion> reducedMotion;
    /// Uses the scheduler, the network and the runner above: declared after them, so destroyed
    /// before them.
    std::unique_ptr<UpdateFramework> updates;
};

/// Ends the program and starts `program` in its place, once the program has let go of what it
/// holds (its instance lock, its inhibitors): quit the event loop, destroy everything, then
/// `replaceProcessWith(program)`. Called on the main thread after an update switched versions.
using ProgramRelaunch = std::function<void(const std::filesystem::path& program)>;

/// Builds the adapters of this platform. Needs a running QApplication (D-Bus, audio, clipboard,
/// alerts). Never fails: adapters whose service is missing report the documented defaults.
/// Without `relaunch`, an installed update starts at the next start of the program.
[[nodiscard]] PlatformServices makePlatformServices(ProgramRelaunch relaunch = {});

/// Called by the tray program first thing once it holds the instance lock, before anything else
/// that could fail. Records the start of a freshly installed update, so that if this start ends
/// in a crash the next one knows. When the previous start of this version ended that way, goes
/// back to the previous version and starts it in this process's place: then it returns only when
/// that failed.
void recordProgramStart();

/// The system's keep-awake lock held by this process alone, for a command-line tool that runs
/// without the tray program (`vigilo run`), as `systemd-inhibit` does. It ends when the handle
/// is destroyed, and with the process, however it ends.
class CommandLineLock {
public:
    virtual ~CommandLineLock() = default;
};

/// Takes that lock, waiting at most `timeoutMs` for the system's answer: for a command-line
/// process without a GUI, never for the tray program. `withDisplay` keeps the display on too.
/// Nothing when the system has no such lock or refuses it. Needs a QCoreApplication.
[[nodiscard]] std::unique_ptr<CommandLineLock> takeCommandLineLock(bool withDisplay, int timeoutMs);

/// Replaces this process with `program`, started without arguments and with a clean signal state
/// and no inherited descriptor but the standard three. Returns only when that failed.
void replaceProcessWith(const std::filesystem::path& program);

} // namespace vigilo
