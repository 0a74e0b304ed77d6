#pragma once

#include "app/PanelScene.h"
#include "model/AwakeModel.h"
#include "model/PanelPlacement.h"
#include "model/RunningAppsWatcher.h"
#include "ports/Clock.h"
#include "ports/PanelWindowSystem.h"
#include "ports/Scheduler.h"

#include <QByteArray>
#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>
#include <optional>

namespace vigilo {

/// Opens and closes the panel from the tray icon: places it under the icon, fades it in, follows
/// the pointer while it is open, fades it out after a stretch without activity, resets the
/// panel's view state after every close, and releases the panel's scene a while after a close.
/// Without a tray the panel is an ordinary window in the middle of the screen, which stays open
/// until the user closes it. Main thread only.
class PanelController final : public QObject {
    Q_OBJECT
public:
    /// The panel does not open again this soon after it closed: a click on the tray icon first
    /// takes the focus from the open panel, which closes it, and must not reopen it.
    static constexpr double reopenGuardSeconds = 0.3;
    static constexpr double pointerIntervalSeconds = 0.05;
    static constexpr double idleIntervalSeconds = 0.25;
    static constexpr double idleTimeoutSeconds = 7;
    /// The scene is released once the panel has been closed this long.
    static constexpr double releaseAfterSeconds = 60;

    /// Everything must outlive the controller.
    struct Services {
        AwakeModel& model;
        /// The watched applications the settings edit.
        RunningAppsWatcher& watcher;
        const Clock& clock;
        Scheduler& scheduler;
        PanelWindowSystem& windowSystem;
        SoundPlayer& sounds;
    };

    /// `rootSource` is the panel's root view (see `PanelScene`).
    explicit PanelController(Services services,
                             QByteArray rootSource = PanelScene::panelViewSource);
    ~PanelController() override;

    /// Says whether the updater is busy: then neither idleness nor the loss of focus closes the
    /// panel.
    std::function<bool()> isUpdaterWorking = [] { return false; };
    /// The program's updater, set once before the panel first opens; nothing when the program
    /// does not update itself.
    Updater* updater = nullptr;
    /// Called after every close, once the panel's view state is reset.
    std::function<void()> didDismiss = [] {};
    /// Called with the screen position of a right click in the ordinary window that the views
    /// did not take.
    std::function<void(QPoint)> onContextMenu = [](QPoint /*at*/) {};

    /// Makes the panel an ordinary window (no tray shows the icon), or the floating panel again;
    /// an open panel of the other kind closes.
    void setWindowed(bool windowed);
    [[nodiscard]] bool isWindowed() const { return windowed_; }

    /// A plain click on the tray icon: closes the open panel, or opens it from `anchor` unless it
    /// closed less than the reopen guard ago.
    void togglePanel(const PanelAnchor& anchor);
    /// "О Vigilo": the about tab of the settings, in the panel opened from `anchor` if it is
    /// closed.
    void showAbout(const PanelAnchor& anchor);
    /// Opens the panel from `anchor` whenever it closed, or brings the open one to the front.
    void showPanel(const PanelAnchor& anchor);
    /// Closes the panel; nothing happens when it is closed.
    void dismiss();

    [[nodiscard]] bool isOpen() const;
    /// The panel's window while its scene exists, else nothing.
    [[nodiscard]] GlassPanel* window() const;

private:
    void open(const PanelAnchor& anchor);
    PanelScene& scene();
    void layoutPanel();
    void pointerTick();
    void startIdleTimer();
    void idleTick();
    void panelDidDismiss();
    void releaseLater();
    void reportFirstFrame(SteadyTime clicked, bool newScene);

    AwakeModel& model_;
    RunningAppsWatcher& watcher_;
    PanelState& panelState_;
    const Clock& clock_;
    Scheduler& scheduler_;
    PanelWindowSystem& windowSystem_;
    SoundPlayer& sounds_;
    QByteArray rootSource_;
    /// Made at the first opening and kept: the model keeps its observers for good.
    std::unique_ptr<StatusBridge> statusBridge_;
    std::unique_ptr<MetricsBridge> metricsBridge_;
    std::unique_ptr<LidBridge> lidBridge_;
    std::unique_ptr<PanelBridge> panelBridge_;
    std::unique_ptr<SettingsBridge> settingsBridge_;
    std::unique_ptr<WatchedAppsBridge> appsBridge_;
    std::unique_ptr<UpdatesBridge> updatesBridge_;
    std::unique_ptr<PanelScene> scene_;
    PanelAnchor anchor_;
    bool windowed_ = false;
    std::unique_ptr<Scheduler::Repeating> pointerTimer_;
    std::unique_ptr<Scheduler::Repeating> idleTimer_;
    SteadyTime lastActivity_{};
    std::optional<SteadyTime> lastDismiss_;
    /// Moves on with every opening and closing, so a release planned at a close is dropped when
    /// the panel opens again before it is due.
    int closeGeneration_ = 0;
    /// VIGILO_BENCH_PANEL set: each opening prints how long the first frame took.
    bool reportsFrameTimes_;
    /// Late timer work arriving after the controller is gone finds this expired.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace vigilo
