#pragma once

#include "model/PanelGeometry.h"
#include "panel/GlassPanel.h"
#include "ui/LidBridge.h"
#include "ui/MetricsBridge.h"
#include "ui/PanelBridge.h"
#include "ui/SettingsBridge.h"
#include "ui/StatusBridge.h"
#include "ui/UpdatesBridge.h"
#include "ui/WatchedAppsBridge.h"

#include <QByteArray>
#include <QObject>
#include <QQmlEngine>
#include <QQuickItem>
#include <memory>

namespace vigilo {

/// The panel's Qt Quick scene: a QML engine, the view tree rooted at `PanelView` of the `Vigilo`
/// module, and the window that shows it. The owner builds it when the panel first opens and
/// drops it a while after the panel closed, so the hours the panel sits closed cost no memory for
/// it.
class PanelScene final : public QObject {
    Q_OBJECT
public:
    /// What the views read and act through. Everything must outlive the scene.
    struct Inputs {
        StatusBridge& status;
        MetricsBridge& metrics;
        LidBridge& lid;
        PanelBridge& panel;
        SettingsBridge& settings;
        WatchedAppsBridge& apps;
        /// Nothing when the program does not update itself.
        UpdatesBridge* updates;
        const Clock& clock;
        SoundPlayer& sounds;
        PanelWindowSystem& windowSystem;
        Scheduler& scheduler;
    };

    /// The root view.
    static constexpr const char* panelViewSource = "import Vigilo\nPanelView {}\n";
    /// The visible panel's size until the view reports its own.
    static constexpr PanelSize defaultVisibleSize{.width = 340, .height = 320};

    /// Builds the engine, the window and the view from `rootSource`, a QML document whose root
    /// item has the properties of `PanelView`. A view that does not load is reported on the log;
    /// the window then stays empty and keeps every behaviour.
    explicit PanelScene(Inputs inputs, const QByteArray& rootSource = panelViewSource);
    ~PanelScene() override;

    [[nodiscard]] GlassPanel& window() { return *window_; }
    /// The visible panel's size as the view reports it, without the margin.
    [[nodiscard]] PanelSize visibleSize() const;
    /// Tells the view whether it must draw opaque (without a compositor), and the window.
    void setOpaque(bool opaque);

Q_SIGNALS:
    /// The view reported a new visible size.
    void visibleSizeChanged();

private:
    void load(const Inputs& inputs, const QByteArray& rootSource);

    // Declared in the order of construction: the view goes before the window, and both before
    // the engine that made the view.
    std::unique_ptr<QQmlEngine> engine_;
    std::unique_ptr<GlassPanel> window_;
    std::unique_ptr<QQuickItem> view_;
};

} // namespace vigilo
