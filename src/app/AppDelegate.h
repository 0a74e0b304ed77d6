#pragma once

#include "app/ControlProtocol.h"
#include "app/PanelController.h"
#include "app/ReducedMotion.h"
#include "app/StatusClicks.h"
#include "app/TrayGlass.h"
#include "model/AwakeModel.h"
#include "model/Settings.h"
#include "model/SoundPlayer.h"
#include "platform/PlatformServices.h"
#include "system/RunningAppsWatcher.h"
#include "update/Updater.h"

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

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
    /// which may be missing.
    explicit AppDelegate(PlatformServices& platform, QObject* parent = nullptr);
    ~AppDelegate() override;

    /// Wires everything up and shows the tray icon. Call once, with the event loop about to run.
    void finishLaunching();

    [[nodiscard]] AwakeModel& model() { return model_; }
    [[nodiscard]] QSystemTrayIcon& statusItem() { return statusItem_; }
    [[nodiscard]] QMenu& statusMenu() { return menu_; }
    [[nodiscard]] PanelController& panel() { return panel_; }
    /// Nothing on a platform without an update framework.
    [[nodiscard]] Updater* updater() { return updater_.get(); }

    /// Acts on a click on the tray icon; `modifiers` are the keys held at click time.
    void statusItemClicked(QSystemTrayIcon::ActivationReason reason,
                           Qt::KeyboardModifiers modifiers);
    /// Acts on a command-line request: on and off switch exactly like the menu item; show opens
    /// the panel.
    ControlReply handleControl(ControlVerb verb);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
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
    ReducedMotion reducedMotion_{QDBusConnection::sessionBus()};
    QSystemTrayIcon statusItem_;
    std::unique_ptr<Scheduler::Repeating> statsTimer_;
    PanelController panel_;
    std::unique_ptr<Updater> updater_;
    bool toldAboutMissingTray_ = false;
};

} // namespace vigilo
