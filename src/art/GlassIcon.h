#pragma once

#include <QColor>
#include <QImage>

namespace vigilo::GlassIcon {

/// The amber of a filled icon: light on a dark bar, dark on a light one.
[[nodiscard]] QColor activeColor(bool darkAppearance);

/// The status-bar glass: an outline glass with an oval base, and an amber liquid band when
/// `filled`. `size` is the side in points; the image has `size * devicePixelRatio` pixels and
/// carries that ratio. An empty glass is drawn in `outlineColor` (black for a template image that
/// the system tints); a filled one in `activeColor(darkAppearance)`.
[[nodiscard]] QImage image(qreal size, bool filled, qreal devicePixelRatio, bool darkAppearance,
                           const QColor& outlineColor = Qt::black);

} // namespace vigilo::GlassIcon
