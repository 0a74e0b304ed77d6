#include "art/AppIcon.h"

#include "art/GlassIcon.h"

#include <QLinearGradient>
#include <algorithm>
#include <cmath>

namespace vigilo::AppIcon {

namespace {

// The filled tray glass, in its amber for dark bars, on a dark-roast tile: the tile keeps the
// amber readable on light and dark backgrounds alike.
const QColor tileTop(74, 52, 38);
const QColor tileBottom(43, 29, 21);

/// The tile within the square: inset a sixteenth (whole pixels, so the edges of small sizes stay
/// sharp).
QRectF tileRect(const QRectF& square) {
    const qreal inset = std::floor(square.width() / 16);
    return square.adjusted(inset, inset, -inset, -inset);
}

/// Corners rounded by a fifth of the side.
void paintTile(QPainter& painter, const QRectF& square) {
    const QRectF tile = tileRect(square);
    QLinearGradient shade(tile.topLeft(), tile.bottomLeft());
    shade.setColorAt(0, tileTop);
    shade.setColorAt(1, tileBottom);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    const qreal radius = square.width() / 5;
    painter.drawRoundedRect(tile, radius, radius);
}

/// The glass square within the tile: nine tenths of it, centred, in whole pixels so that small
/// sizes are not smeared. The tray drawing puts the glass a little below the middle of its
/// 18 points; the square is lifted by that much.
QRectF glassRect(const QRectF& square) {
    const QRectF tile = tileRect(square);
    const qreal glassSide = std::round(tile.width() * 0.9);
    const qreal margin = std::round((tile.width() - glassSide) / 2);
    const qreal lift = std::round(glassSide * 0.6 / 18);
    return {tile.left() + margin, tile.top() + margin - lift, glassSide, glassSide};
}

/// The glass is drawn at its 18 points with the pixel ratio that makes it `pixelsPerUnit` times
/// the square's size, so that its strokes grow with it. A ratio below 1 would not shrink the
/// drawing (it would be cut off), so small squares get a larger picture scaled down.
void paintGlass(QPainter& painter, const QRectF& square, qreal pixelsPerUnit) {
    const QRectF glassSquare = glassRect(square);
    const QImage glass =
        GlassIcon::image(18, true, std::max(1.0, glassSquare.width() * pixelsPerUnit / 18),
                         GlassIcon::Ink{.color = GlassIcon::activeColor(true)});
    painter.drawImage(glassSquare, glass);
}

} // namespace

void paint(QPainter& painter, const QRectF& bounds, qreal pixelsPerUnit) {
    const qreal side = std::min(bounds.width(), bounds.height());
    const QRectF square(bounds.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    paintTile(painter, square);
    paintGlass(painter, square, pixelsPerUnit);
}

QImage image(int side, qreal devicePixelRatio) {
    const int pixels = static_cast<int>(std::round(side * devicePixelRatio));
    QImage picture(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    picture.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&picture);
    paint(painter, QRectF(0, 0, side, side), devicePixelRatio);
    return picture;
}

} // namespace vigilo::AppIcon
