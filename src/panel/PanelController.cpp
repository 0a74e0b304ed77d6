#include "panel/PanelController.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

namespace vigilo {

namespace {

QPoint pointOf(const PanelAnchor& anchor) {
    if (anchor.icon) {
        return {static_cast<int>(anchor.icon->x + anchor.icon->width / 2),
                static_cast<int>(anchor.icon->y + anchor.icon->height / 2)};
    }
    return {static_cast<int>(anchor.pointer.x), static_cast<int>(anchor.pointer.y)};
}

/// The area free of docks and panels on the screen showing `anchor`.
PanelRect availableArea(const PanelAnchor& anchor) {
    const QScreen* screen = QGuiApplication::screenAt(pointOf(anchor));
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    return {.x = static_cast<double>(area.x()),
            .y = static_cast<double>(area.y()),
            .width = static_cast<double>(area.width()),
            .height = static_cast<double>(area.height())};
}

} // namespace

PanelController::PanelController(Services services, QByteArray rootSource)
    : model_(services.model)
    , watcher_(services.watcher)
    , panelState_(services.model.panelState())
    , clock_(services.clock)
    , scheduler_(services.scheduler)
    , windowSystem_(services.windowSystem)
    , sounds_(services.sounds)
    , updater_(services.updater)
    , showMenu_(std::move(services.showMenu))
    , returnFreedMemory_(services.returnFreedMemory)
    , rootSource_(std::move(rootSource))
    , reportsFrameTimes_(qEnvironmentVariableIsSet("VIGILO_BENCH_PANEL")) {
    isUpdaterWorking = [updater = updater_] { return updater != nullptr && updater->isWorking(); };
}

PanelController::~PanelController() {
    if (scene_) {
        scene_->window().onDismiss = nullptr;
    }
}

void PanelController::togglePanel(const PanelAnchor& anchor) {
    if (isOpen()) {
        dismiss();
        return;
    }
    if (lastDismiss_ && secondsBetween(*lastDismiss_, clock_.steadyNow()) <= reopenGuardSeconds) {
        return;
    }
    open(anchor);
}

void PanelController::showAbout(const PanelAnchor& anchor) {
    panelState_.setPanelTab(PanelTab::About);
    panelState_.setShowsSettings(true);
    if (!isOpen()) {
        togglePanel(anchor);
    }
}

void PanelController::setWindowed(bool windowed) {
    if (windowed == windowed_) {
        return;
    }
    dismiss();
    windowed_ = windowed;
}

void PanelController::showPanel(const PanelAnchor& anchor) {
    if (!isOpen()) {
        open(anchor);
        return;
    }
    GlassPanel& window = scene_->window();
    window.raise();
    window.requestActivate();
}

void PanelController::dismiss() {
    if (scene_) {
        scene_->window().dismiss();
    }
}

bool PanelController::isOpen() const {
    return scene_ && scene_->window().isVisible();
}

GlassPanel* PanelController::window() const {
    return scene_ ? &scene_->window() : nullptr;
}

void PanelController::open(const PanelAnchor& anchor) {
    const SteadyTime clicked = clock_.steadyNow();
    ++closeGeneration_;
    const bool newScene = !scene_;
    model_.refreshStats();
    anchor_ = anchor;
    scene().window().setWindowed(windowed_);
    // An ordinary window has nothing to show through it.
    scene().setOpaque(windowed_ || !windowSystem_.isCompositing());
    layoutPanel();
    GlassPanel& window = scene_->window();
    panelState_.setPanelVisible(true);
    panelState_.setPointer(window.pointer());
    pointerTimer_ = scheduler_.every(pointerIntervalSeconds, [this] { pointerTick(); });
    if (reportsFrameTimes_) {
        reportFirstFrame(clicked, newScene);
    }
    window.present();
    // An ordinary window stays open like any other.
    if (!windowed_) {
        startIdleTimer();
    }
}

PanelScene& PanelController::scene() {
    if (scene_) {
        return *scene_;
    }
    if (!statusBridge_) {
        statusBridge_ = std::make_unique<StatusBridge>(model_, clock_);
        metricsBridge_ = std::make_unique<MetricsBridge>(model_.metrics());
        lidBridge_ = std::make_unique<LidBridge>(model_.lidMode(), model_.words());
        panelBridge_ = std::make_unique<PanelBridge>(model_);
        settingsBridge_ = std::make_unique<SettingsBridge>(model_);
        appsBridge_ = std::make_unique<WatchedAppsBridge>(watcher_, model_.words());
        if (updater_ != nullptr) {
            updatesBridge_ = std::make_unique<UpdatesBridge>(*updater_);
        }
    }
    scene_ = std::make_unique<PanelScene>(PanelScene::Inputs{.status = *statusBridge_,
                                                             .metrics = *metricsBridge_,
                                                             .lid = *lidBridge_,
                                                             .panel = *panelBridge_,
                                                             .settings = *settingsBridge_,
                                                             .apps = *appsBridge_,
                                                             .updates = updatesBridge_.get(),
                                                             .clock = clock_,
                                                             .sounds = sounds_,
                                                             .windowSystem = windowSystem_,
                                                             .scheduler = scheduler_},
                                          rootSource_);
    GlassPanel& window = scene_->window();
    window.onDismiss = [this] { panelDidDismiss(); };
    window.keepsOpenOnResign = [this] { return isUpdaterWorking(); };
    // Clicks, keys and focus moves in the panel count as activity: a keyboard user is as busy as
    // one moving the pointer. Clicks in other applications move the keyboard focus away from the
    // panel, which closes it (X11 has no global click monitor to ask).
    window.onActivity = [this] { lastActivity_ = clock_.steadyNow(); };
    window.onContextMenu = [this](QPoint at) { showMenu_(at); };
    connect(scene_.get(), &PanelScene::visibleSizeChanged, this, [this] {
        if (isOpen()) {
            layoutPanel();
        }
    });
    return *scene_;
}

void PanelController::layoutPanel() {
    GlassPanel& window = scene_->window();
    const PanelSize size = scene_->visibleSize();
    if (!windowed_) {
        window.setVisiblePanel(PanelPlacement::visiblePanel(size, anchor_, availableArea(anchor_)));
        return;
    }
    // The open window keeps its place, where the user may have moved it; a new one opens in the
    // middle of the screen.
    if (window.isVisible()) {
        window.setVisiblePanel({.x = static_cast<double>(window.x()),
                                .y = static_cast<double>(window.y()),
                                .width = size.width,
                                .height = size.height});
        return;
    }
    const PanelRect area = availableArea(anchor_);
    window.setVisiblePanel({.x = area.x + (area.width - size.width) / 2,
                            .y = area.y + (area.height - size.height) / 2,
                            .width = size.width,
                            .height = size.height});
}

void PanelController::pointerTick() {
    if (!isOpen()) {
        return;
    }
    // The margin passes clicks through by the window's input shape, set with its frame: unlike
    // a window that has to switch its mouse events on and off, nothing to re-test as the
    // pointer moves.
    GlassPanel& window = scene_->window();
    const PanelPoint pointer = window.pointer();
    if (panelState_.pointer() == pointer) {
        return;
    }
    panelState_.setPointer(pointer);
    if (window.contentBounds().contains(pointer)) {
        lastActivity_ = clock_.steadyNow();
    }
}

void PanelController::startIdleTimer() {
    idleTimer_.reset();
    lastActivity_ = clock_.steadyNow();
    idleTimer_ = scheduler_.every(idleIntervalSeconds, [this] { idleTick(); });
}

void PanelController::idleTick() {
    if (!isOpen()) {
        idleTimer_.reset();
        return;
    }
    // Neither an update in progress nor an open dialog lets the panel close for idleness.
    if (isUpdaterWorking() || QGuiApplication::modalWindow() != nullptr) {
        lastActivity_ = clock_.steadyNow();
        return;
    }
    if (secondsBetween(lastActivity_, clock_.steadyNow()) >= idleTimeoutSeconds) {
        scene_->window().fadeOut();
    }
}

void PanelController::panelDidDismiss() {
    idleTimer_.reset();
    lastDismiss_ = clock_.steadyNow();
    panelState_.resetAfterDismiss();
    pointerTimer_.reset();
    if (updater_ != nullptr) {
        updater_->resetAfterPanelClose();
    }
    releaseLater();
}

void PanelController::releaseLater() {
    scheduler_.after(releaseAfterSeconds,
                     [this, alive = std::weak_ptr(lifetime_), close = ++closeGeneration_] {
                         if (alive.expired() || close != closeGeneration_) {
                             return;
                         }
                         scene_.reset();
                         returnFreedMemory_();
                     });
}

void PanelController::reportFirstFrame(SteadyTime clicked, bool newScene) {
    connect(
        &scene_->window(), &QQuickWindow::frameSwapped, this,
        [this, clicked, newScene] {
            std::fprintf(stderr, "vigilo: panel frame %.1f ms after the click (%s scene)\n",
                         secondsBetween(clicked, clock_.steadyNow()) * 1000,
                         newScene ? "new" : "kept");
        },
        static_cast<Qt::ConnectionType>(Qt::DirectConnection | Qt::SingleShotConnection));
}

} // namespace vigilo
