#pragma once

#include "panel/Panel.h"
#include "panel/PanelScene.h"

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
class PanelController final : public QObject, public Panel {
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

    /// `rootSource` is the panel's root view (see `PanelScene`).
    explicit PanelController(Services services,
                             QByteArray rootSource = PanelScene::panelViewSource);
    ~PanelController() override;

    /// Says whether the updater is busy; asks the services' updater unless a test says otherwise.
    std::function<bool()> isUpdaterWorking;

    void setWindowed(bool windowed) override;
    [[nodiscard]] bool isWindowed() const { return windowed_; }
    /// Opens nothing when the panel closed less than the reopen guard ago.
    void togglePanel(const PanelAnchor& anchor) override;
    void showAbout(const PanelAnchor& anchor) override;
    void showPanel(const PanelAnchor& anchor) override;
    void dismiss() override;
    [[nodiscard]] bool isOpen() const override;
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
    Updater* updater_;
    std::function<void(QPoint)> showMenu_;
    void (*returnFreedMemory_)();
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
