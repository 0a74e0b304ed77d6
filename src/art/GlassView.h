#pragma once

#include "art/GlassState.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>

class QPainter;

namespace vigilo {

/// The soft layers of the glass drawing (contact shadow, glow, the two highlights), blurred once
/// for a given number of device pixels per canvas unit and reused while that stays the same.
/// Blurring in code rather than with scene-graph effects keeps the drawing identical on every
/// Qt Quick backend, the software renderer included.
class GlassBlurLayers {
public:
    /// A blurred image and where it goes, in the units of the space it is drawn in.
    struct Layer {
        QImage image;
        QRectF rect;
    };

    /// The layers for `pixelsPerUnit` device pixels per canvas unit.
    void prepare(qreal pixelsPerUnit);

    [[nodiscard]] const Layer& shadow() const { return shadow_; }
    /// The glow at full strength; the pulse scales its opacity.
    [[nodiscard]] const Layer& glow() const { return glow_; }
    /// The highlights are in the glass's own space, so they turn with the glass.
    [[nodiscard]] const Layer& leftHighlight() const { return leftHighlight_; }
    [[nodiscard]] const Layer& rightHighlight() const { return rightHighlight_; }

private:
    qreal pixelsPerUnit_ = 0;
    Layer shadow_;
    Layer glow_;
    Layer leftHighlight_;
    Layer rightHighlight_;
};

/// Paints the iced-coffee glass in its ring of ticks for `state` into `size` (in the painter's
/// current units), keeping the 210 : 250 proportion, centred. `labelColor` is the text colour
/// of the surface behind it (the ring's faint track uses it).
void paintGlass(QPainter& painter, const QSizeF& size, const GlassState& state,
                const QColor& labelColor, GlassBlurLayers& blurs);

} // namespace vigilo
