#pragma once

#include "model/GlassState.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <optional>
#include <vector>

class QPainter;

namespace vigilo {

/// The pre-rendered pieces of the glass drawing, made once for a given placement on the device
/// and reused from frame to frame: the blurred layers (contact shadow, glow, the two highlights)
/// and the ring's ticks. Blurring in code rather than with scene-graph effects keeps the drawing
/// identical on every Qt Quick backend, the software renderer included; the ticks are rendered
/// once because stroking 60 round-capped ticks every frame is most of a frame's cost.
class GlassCache {
public:
    /// A blurred image and where it goes, in the units of the space it is drawn in.
    struct Layer {
        QImage image;
        QRectF rect;
    };
    /// An image laid pixel for pixel onto the device at `position`.
    struct Sprite {
        QImage image;
        QPoint position;
    };

    /// Makes the pieces for a canvas placed on the device by `canvasToDevice` (a scale and a
    /// translation), unless they are already made for it.
    void prepare(const QTransform& canvasToDevice, const QColor& labelColor);

    [[nodiscard]] const Layer& shadow() const { return shadow_; }
    /// The glow at full strength; the pulse scales its opacity.
    [[nodiscard]] const Layer& glow() const { return glow_; }
    /// The highlights are in the glass's own space, so they turn with the glass.
    [[nodiscard]] const Layer& leftHighlight() const { return leftHighlight_; }
    [[nodiscard]] const Layer& rightHighlight() const { return rightHighlight_; }
    /// Tick `i` of the ring in the lit gradient, and in the label colour at full opacity.
    [[nodiscard]] const Sprite& litTick(int i) const { return litTicks_[static_cast<size_t>(i)]; }
    [[nodiscard]] const Sprite& trackTick(int i) const {
        return trackTicks_[static_cast<size_t>(i)];
    }

private:
    qreal pixelsPerUnit_ = 0;
    std::optional<QTransform> placement_;
    QColor trackColor_;
    Layer shadow_;
    Layer glow_;
    Layer leftHighlight_;
    Layer rightHighlight_;
    std::vector<Sprite> litTicks_;
    std::vector<Sprite> trackTicks_;
};

/// Paints the iced-coffee glass in its ring of ticks for `state` into `size` (in the painter's
/// current units), keeping the 210 : 250 proportion, centred. `labelColor` is the text colour
/// of the surface behind it: the ring's faint track uses it, and on a light surface (a dark
/// label colour) the glass's walls and rims are drawn in it rather than in white.
void paintGlass(QPainter& painter, const QSizeF& size, const GlassState& state,
                const QColor& labelColor, GlassCache& cache);

} // namespace vigilo
