#pragma once

#include "app/ControlProtocol.h"
#include "app/LazyPanel.h"
#include "app/PanelSource.h"
#include "app/TrayGlass.h"
#include "model/AwakeModel.h"
#include "model/RunningAppsWatcher.h"
#include "model/Settings.h"
#include "model/SoundPlayer.h"
#include "platform/PlatformServices.h"
#include "update/Updater.h"
#include "util/Signal.h"

#include <QMenu>
#include <QObject>
#include <memory>
#include <optional>

class QAction;

namespace vigilo {

/// The application: owns the model, the tray icon with its menu and the panel, samples the system
/// on a timer, and releases everything held when the application quits.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    /// The statistics are sampled on the scheduler's heartbeat.
    static constexpr double statsIntervalSeconds = Scheduler::heartbeatSeconds;

    /// `platform` must outlive the delegate and hold every adapter but the power-source monitor,
    /// which may be missing; so must `panels`, which makes the panel when it is first wanted.
    AppDelegate(PlatformServices& platform, PanelSource& panels, QObject* parent = nullptr);

    /// Wires everything up and shows the tray icon. Call once, with the event loop about to run.
    void finishLaunching();

    [[nodiscard]] AwakeModel& model() { return model_; }
    [[nodiscard]] QMenu& statusMenu() { return menu_; }
    [[nodiscard]] Panel& panel() { return panel_; }
    /// Nothing on a platform without an update framework.
    [[nodiscard]] Updater* updater() { return updater_.get(); }

    /// Acts on a command-line request: on and off switch exactly like the menu item; show opens
    /// the panel. An "on" with an end switches on until it (and sets the end when already on);
    /// a plain "on" clears an end. An "on" while a process that is already gone switches nothing.
    ControlReply handleControl(const ControlRequest& request);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    /// The end `request` asks for; nothing when its process is already gone.
    [[nodiscard]] std::optional<AwakeEnd> requestedEnd(const ControlRequest& request) const;
    void updateStatusItem();
    void sampleStats();
    void willTerminate();
    /// Without a tray host the panel is an ordinary window, opened at once, and the user learns
    /// once why; with one the panel goes back under the tray icon.
    void followTrayHost();
    /// Where the panel opens from now: the tray icon, and the pointer.
    [[nodiscard]] PanelAnchor panelAnchor() const;

    PlatformServices& platform_;
    RunningAppsWatcher watcher_;
    SoundPlayer sounds_;
    AwakeModel model_;
    QMenu menu_;
    QAction* toggleAction_ = nullptr;
    TrayGlass trayGlass_;
    ReducedMotion& reducedMotion_;
    StatusItem& statusItem_;
    std::unique_ptr<Scheduler::Repeating> statsTimer_;
    LazyPanel panel_;
    std::unique_ptr<Updater> updater_;
    bool toldAboutMissingTray_ = false;
    /// Last, so it ends first: the model's notices while the rest goes reach nothing of it.
    Connection stateConnection_;
};

} // namespace vigilo
