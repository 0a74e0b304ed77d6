#pragma once

#include <QColor>
#include <QImage>

namespace vigilo::GlassIcon {

/// The amber of a filled icon: light on a dark bar, dark on a light one.
[[nodiscard]] QColor activeColor(bool darkAppearance);

/// The colours of one glass: `color` for the strokes and the liquid, and a `rim` laid under the
/// strokes, half a point wider on each side, that keeps the glass visible on a bar whose shade
/// was guessed wrong (transparent for none).
struct Ink {
    QColor color;
    QColor rim = Qt::transparent;
};

/// The status-bar glass: an outline glass with an oval base, and an amber liquid band when
/// `filled`. `size` is the side in points; the image has `size * devicePixelRatio` pixels and
/// carries that ratio. An empty glass is drawn in `outlineColor` (black for a template image that
/// the system tints); a filled one in `activeColor(darkAppearance)`.
[[nodiscard]] QImage image(qreal size, bool filled, qreal devicePixelRatio, bool darkAppearance,
                           const QColor& outlineColor = Qt::black);

/// The same glass drawn in `ink`, whether empty or filled.
[[nodiscard]] QImage image(qreal size, bool filled, qreal devicePixelRatio, const Ink& ink);

} // namespace vigilo::GlassIcon
