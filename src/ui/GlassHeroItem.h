#pragma once

#include "model/GlassHero.h"
#include "ports/SystemClock.h"
#include "ui/GlassViewItem.h"

#include <QPointF>
#include <QTimer>
#include <QVariant>
#include <optional>

namespace vigilo {

class SoundPlayer;

/// The animated glass at the top of the main screen: fills with coffee and ice when the computer
/// starts being kept awake and empties when it may sleep, lights the ring with the current cup's
/// progress, wobbles when the pointer moves onto the glass and, while off, highlights the ring
/// tick nearest to the pointer. With simple animation or reduced motion it shows a still picture.
///
/// Frames come at most 30 times a second, and not at all while the panel is hidden or the off
/// state has come to rest. Its clock and sound player come from the engine's `ViewServices`;
/// without them it uses the wall clock and plays nothing.
class GlassHeroItem : public GlassViewItem {
    Q_OBJECT
    QML_NAMED_ELEMENT(GlassHero)
    Q_PROPERTY(bool awake READ isAwake WRITE setAwake NOTIFY awakeChanged)
    Q_PROPERTY(
        bool panelVisible READ isPanelVisible WRITE setPanelVisible NOTIFY panelVisibleChanged)
    /// Progress of the current cup, 0…1, read at every frame while awake.
    Q_PROPERTY(double cupFraction READ cupFraction WRITE setCupFraction NOTIFY cupFractionChanged)
    /// The pointer in this item's coordinates, or null/undefined when it is not over the panel.
    Q_PROPERTY(QVariant pointer READ pointer WRITE setPointer NOTIFY pointerChanged)
    Q_PROPERTY(
        bool reducedMotion READ reducedMotion WRITE setReducedMotion NOTIFY reducedMotionChanged)
    Q_PROPERTY(bool simpleAnimation READ simpleAnimation WRITE setSimpleAnimation NOTIFY
                   simpleAnimationChanged)

public:
    static constexpr int frameIntervalMs = 34; // just over 1/30 s
    static constexpr float iceSoundVolume = 0.35F;

    explicit GlassHeroItem(QQuickItem* parent = nullptr);

    [[nodiscard]] bool isAwake() const { return isAwake_; }
    void setAwake(bool awake);
    [[nodiscard]] bool isPanelVisible() const { return isPanelVisible_; }
    void setPanelVisible(bool visible);
    [[nodiscard]] double cupFraction() const { return cupFraction_; }
    void setCupFraction(double fraction);
    [[nodiscard]] QVariant pointer() const;
    void setPointer(const QVariant& pointer);
    [[nodiscard]] bool reducedMotion() const { return reducedMotion_; }
    void setReducedMotion(bool reduced);
    [[nodiscard]] bool simpleAnimation() const { return simpleAnimation_; }
    void setSimpleAnimation(bool simple);

    /// Frames are being produced.
    [[nodiscard]] bool isAnimating() const { return frameTimer_.isActive(); }

Q_SIGNALS:
    void awakeChanged();
    void panelVisibleChanged();
    void cupFractionChanged();
    void pointerChanged();
    void reducedMotionChanged();
    void simpleAnimationChanged();

protected:
    void componentComplete() override;
    void itemChange(ItemChange change, const ItemChangeData& value) override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    [[nodiscard]] bool isStill() const { return simpleAnimation_ || reducedMotion_; }
    [[nodiscard]] std::optional<GlassHeroMath::CanvasPoint> canvasPointer() const;
    [[nodiscard]] GlassHero::Inputs inputs() const;
    void updateAppearance();
    void updateOverGlass();
    void refresh();
    void drawFrame();

    SystemClock systemClock_;
    const Clock* clock_ = &systemClock_;
    SoundPlayer* soundPlayer_ = nullptr;
    GlassHero hero_;
    QTimer frameTimer_;

    bool isAwake_ = false;
    bool isPanelVisible_ = false;
    double cupFraction_ = 0;
    std::optional<QPointF> pointer_;
    bool reducedMotion_ = false;
    bool simpleAnimation_ = false;

    bool isShown_ = false;
    bool isOverGlass_ = false;
};

} // namespace vigilo
