#pragma once

#include "model/AwakeModel.h"
#include "model/PanelPlacement.h"
#include "model/RunningAppsWatcher.h"
#include "model/SoundPlayer.h"
#include "ports/Clock.h"
#include "ports/PanelWindowSystem.h"
#include "ports/Scheduler.h"
#include "update/Updater.h"

#include <QPoint>
#include <functional>

namespace vigilo {

/// The floating panel as the tray program sees it. The panel's window and views, and Qt Quick
/// with them, live in a library of their own that the program loads when the panel is first
/// wanted (see `PanelLibrary`): a program that only sits in the tray never maps them. Main
/// thread only.
class Panel {
public:
    /// Everything must outlive the panel.
    struct Services {
        AwakeModel& model;
        /// The watched applications the settings edit.
        RunningAppsWatcher& watcher;
        const Clock& clock;
        Scheduler& scheduler;
        PanelWindowSystem& windowSystem;
        SoundPlayer& sounds;
        /// The program's updater; nothing when the program does not update itself. While it
        /// works, neither idleness nor the loss of focus closes the panel.
        Updater* updater = nullptr;
        /// Shows the tray's menu at a screen position: a right click in the ordinary window that
        /// the views did not take.
        std::function<void(QPoint)> showMenu = [](QPoint /*at*/) {};
        /// Gives the memory of a released scene back to the system.
        void (*returnFreedMemory)() = [] {};
    };

    Panel() = default;
    virtual ~Panel() = default;
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    /// Makes the panel an ordinary window (no tray shows the icon), or the floating panel again;
    /// an open panel of the other kind closes.
    virtual void setWindowed(bool windowed) = 0;
    /// A plain click on the tray icon: closes the open panel, or opens it from `anchor` unless it
    /// closed a moment ago.
    virtual void togglePanel(const PanelAnchor& anchor) = 0;
    /// "О Vigilo": the about tab of the settings, in the panel opened from `anchor` if it is
    /// closed.
    virtual void showAbout(const PanelAnchor& anchor) = 0;
    /// Opens the panel from `anchor` whenever it closed, or brings the open one to the front.
    virtual void showPanel(const PanelAnchor& anchor) = 0;
    /// Closes the panel; nothing happens when it is closed.
    virtual void dismiss() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;
};

/// The panel library's entry points, by the names the program looks them up by.
namespace PanelEntry {
/// The release the library was built for: the program loads only its own.
inline constexpr const char* versionName = "vigiloPanelVersion";
using Version = const char* (*)();
/// A new panel, which the caller owns.
inline constexpr const char* makeName = "vigiloMakePanel";
using Make = Panel* (*)(const Panel::Services& services);
} // namespace PanelEntry

} // namespace vigilo
