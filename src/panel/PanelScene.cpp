#include "panel/PanelScene.h"

#include "ui/ViewServices.h"

#include <QMetaMethod>
#include <QQmlComponent>
#include <QSGRendererInterface>
#include <QSizeF>

namespace vigilo {

namespace {

std::unique_ptr<GlassPanel> makeWindow(PanelWindowSystem& windowSystem, Scheduler& scheduler) {
    // The panel is painted on the CPU already (the glass drawings are QPainter code), and the
    // software scene graph keeps Mesa's libraries, tens of megabytes, out of the process. Set
    // before every window, as it counts only before the program's first.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    return std::make_unique<GlassPanel>(windowSystem, scheduler);
}

} // namespace

PanelScene::PanelScene(Inputs inputs, const QByteArray& rootSource)
    : engine_(std::make_unique<QQmlEngine>())
    , window_(makeWindow(inputs.windowSystem, inputs.scheduler)) {
    addVigiloImportPath(*engine_);
    new ViewServices(inputs.clock, &inputs.sounds, *engine_); // owned by the engine
    load(inputs, rootSource);
}

PanelScene::~PanelScene() = default;

void PanelScene::load(const Inputs& inputs, const QByteArray& rootSource) {
    QQmlComponent component(engine_.get());
    component.setData(rootSource, QUrl());
    // Qt 6.4 crashes creating from a component in error.
    if (!component.isReady()) {
        qWarning("vigilo: the panel's view did not load: %s",
                 qUtf8Printable(component.errorString()));
        return;
    }
    std::unique_ptr<QObject> created(component.createWithInitialProperties(
        {{QStringLiteral("status"), QVariant::fromValue(&inputs.status)},
         {QStringLiteral("metrics"), QVariant::fromValue(&inputs.metrics)},
         {QStringLiteral("lid"), QVariant::fromValue(&inputs.lid)},
         {QStringLiteral("panel"), QVariant::fromValue(&inputs.panel)},
         {QStringLiteral("settings"), QVariant::fromValue(&inputs.settings)},
         {QStringLiteral("apps"), QVariant::fromValue(&inputs.apps)},
         {QStringLiteral("updates"), QVariant::fromValue(inputs.updates)},
         {QStringLiteral("opaque"), !inputs.windowSystem.isCompositing()}}));
    if (qobject_cast<QQuickItem*>(created.get()) == nullptr) {
        qWarning("vigilo: the panel's view is not an item: %s",
                 qUtf8Printable(component.errorString()));
        return;
    }
    view_.reset(static_cast<QQuickItem*>(created.release()));
    view_->setParentItem(window_->contentItem());
    // The view fills the window; the window follows the view's visible size. An ordinary window
    // shows just the visible panel: the view's margin lies outside it.
    const auto fill = [this] {
        const QPointF position = window_->viewPosition();
        view_->setPosition(position);
        view_->setSize(QSizeF(window_->size()) - 2 * QSizeF(position.x(), position.y()));
    };
    connect(window_.get(), &QWindow::widthChanged, this, fill);
    connect(window_.get(), &QWindow::heightChanged, this, fill);
    connect(window_.get(), &GlassPanel::windowedChanged, this, fill);
    fill();
    const QMetaObject* meta = view_->metaObject();
    const QMetaProperty size = meta->property(meta->indexOfProperty("visibleSize"));
    if (size.hasNotifySignal()) {
        connect(view_.get(), size.notifySignal(), this,
                QMetaMethod::fromSignal(&PanelScene::visibleSizeChanged));
    }
}

PanelSize PanelScene::visibleSize() const {
    const QSizeF size = view_ ? view_->property("visibleSize").toSizeF() : QSizeF();
    if (size.isEmpty()) {
        return defaultVisibleSize;
    }
    return {.width = size.width(), .height = size.height()};
}

void PanelScene::setOpaque(bool opaque) {
    if (view_) {
        view_->setProperty("opaque", opaque);
    }
    window_->setOpaque(opaque);
}

} // namespace vigilo
