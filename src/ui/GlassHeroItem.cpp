#include "ui/GlassHeroItem.h"

#include "model/SoundPlayer.h"
#include "ui/ViewServices.h"

#include <QQmlEngine>

namespace vigilo {

GlassHeroItem::GlassHeroItem(QQuickItem* parent)
    : GlassViewItem(parent)
    , hero_(systemClock_.now()) {
    frameTimer_.setInterval(frameIntervalMs);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &GlassHeroItem::drawFrame);
}

void GlassHeroItem::setAwake(bool awake) {
    if (awake == isAwake_) {
        return;
    }
    isAwake_ = awake;
    if (isShown_) {
        hero_.awakeChanged(clock_->now(), awake);
    }
    Q_EMIT awakeChanged();
    refresh();
}

void GlassHeroItem::setPanelVisible(bool visible) {
    if (visible == isPanelVisible_) {
        return;
    }
    isPanelVisible_ = visible;
    Q_EMIT panelVisibleChanged();
    refresh();
}

void GlassHeroItem::setCupFraction(double fraction) {
    if (fraction == cupFraction_) {
        return;
    }
    cupFraction_ = fraction;
    Q_EMIT cupFractionChanged();
    refresh();
}

QVariant GlassHeroItem::pointer() const {
    return pointer_ ? QVariant(*pointer_) : QVariant();
}

void GlassHeroItem::setPointer(const QVariant& pointer) {
    std::optional<QPointF> point;
    if (pointer.metaType() == QMetaType::fromType<QPointF>() ||
        pointer.metaType() == QMetaType::fromType<QPoint>()) {
        point = pointer.toPointF();
    }
    if (point == pointer_) {
        return;
    }
    pointer_ = point;
    Q_EMIT pointerChanged();
    updateOverGlass();
    refresh();
}

void GlassHeroItem::setReducedMotion(bool reduced) {
    if (reduced == reducedMotion_) {
        return;
    }
    reducedMotion_ = reduced;
    Q_EMIT reducedMotionChanged();
    refresh();
}

void GlassHeroItem::setSimpleAnimation(bool simple) {
    if (simple == simpleAnimation_) {
        return;
    }
    simpleAnimation_ = simple;
    Q_EMIT simpleAnimationChanged();
    refresh();
}

void GlassHeroItem::componentComplete() {
    GlassViewItem::componentComplete();
    if (const auto* services = ViewServices::of(qmlEngine(this))) {
        clock_ = &services->clock();
        soundPlayer_ = services->sounds();
        hero_ = GlassHero(clock_->now());
    }
    refresh();
}

void GlassHeroItem::itemChange(ItemChange change, const ItemChangeData& value) {
    GlassViewItem::itemChange(change, value);
    if (change == ItemSceneChange || change == ItemVisibleHasChanged) {
        refresh();
    }
}

void GlassHeroItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    GlassViewItem::geometryChange(newGeometry, oldGeometry);
    updateOverGlass();
    refresh();
}

std::optional<GlassHeroMath::CanvasPoint> GlassHeroItem::canvasPointer() const {
    if (!pointer_) {
        return std::nullopt;
    }
    return GlassHeroMath::canvasPoint(pointer_->x(), pointer_->y(), width(), height());
}

GlassHero::Inputs GlassHeroItem::inputs() const {
    return {.isAwake = isAwake_,
            .isPanelVisible = isPanelVisible_,
            .reduceMotion = reducedMotion_,
            .cupFraction = cupFraction_,
            .pointer = canvasPointer()};
}

// The animated glass exists while it is in a shown window and not replaced by the still picture;
// each time it comes into existence it starts at rest.
void GlassHeroItem::updateAppearance() {
    const bool shown = isComponentComplete() && window() != nullptr && isVisible() && !isStill();
    if (shown == isShown_) {
        return;
    }
    isShown_ = shown;
    if (shown) {
        hero_.appear(clock_->now(), isAwake_);
        isOverGlass_ = GlassHeroMath::isOverGlass(canvasPointer());
    }
}

void GlassHeroItem::updateOverGlass() {
    const auto point = canvasPointer();
    const bool over = GlassHeroMath::isOverGlass(point);
    if (!isShown_ || over == isOverGlass_) {
        return;
    }
    isOverGlass_ = over;
    if (!over) {
        hero_.pointerLeftGlass();
        return;
    }
    if (isAwake_ && soundPlayer_ != nullptr) {
        soundPlayer_->play("ice-coffee", iceSoundVolume);
    }
    hero_.pointerEnteredGlass(clock_->now(), point->x);
}

void GlassHeroItem::refresh() {
    updateAppearance();
    if (isStill()) {
        frameTimer_.stop();
        setGlassState(stillGlassState(isAwake_));
        return;
    }
    if (!isShown_ || !isPanelVisible_) {
        frameTimer_.stop();
        return;
    }
    // While frames run, the next one picks the change up: input changes never add frames.
    if (!frameTimer_.isActive()) {
        drawFrame();
    }
}

void GlassHeroItem::drawFrame() {
    const TimePoint now = clock_->now();
    hero_.advance(now);
    const GlassHero::Inputs current = inputs();
    setGlassState(hero_.frame(now, current));
    if (hero_.needsFrames(current)) {
        if (!frameTimer_.isActive()) {
            frameTimer_.start();
        }
    } else {
        frameTimer_.stop();
    }
}

} // namespace vigilo
