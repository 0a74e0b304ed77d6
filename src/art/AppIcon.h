#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

// The program's icon: the filled tray glass on a dark-roast tile. The icon theme's files, the
// about tab and the program's dialogs show the same drawing.
namespace vigilo::AppIcon {

/// Paints the icon into the square `bounds`. `pixelsPerUnit` is how many device pixels one unit
/// of the painter covers, so that the glass, a picture, is drawn sharp.
void paint(QPainter& painter, const QRectF& bounds, qreal pixelsPerUnit = 1);

/// The icon as a picture `side` points wide at `devicePixelRatio`, which it carries.
[[nodiscard]] QImage image(int side, qreal devicePixelRatio = 1);

} // namespace vigilo::AppIcon
