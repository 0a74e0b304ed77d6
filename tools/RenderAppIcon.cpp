// Renders the application icon into a hicolor icon theme folder, as PNGs of the given sizes and
// one SVG:
//   vigilo_render_app_icon <folder> <application id> <size>...
// writes <folder>/hicolor/<size>x<size>/apps/<id>.png and <folder>/hicolor/scalable/apps/<id>.svg.
#include "art/GlassIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The filled tray glass, in its amber for dark bars, on a dark-roast tile: the tile keeps the
// amber readable on light and dark backgrounds alike.
const QColor tileTop(74, 52, 38);
const QColor tileBottom(43, 29, 21);

/// The tile within a square of `side`: inset a sixteenth (whole pixels, so the edges of small
/// sizes stay sharp), corners rounded by a fifth of the side.
QRectF tileRect(qreal side) {
    const qreal inset = std::floor(side / 16);
    return {inset, inset, side - 2 * inset, side - 2 * inset};
}

void paintTile(QPainter& painter, qreal side) {
    const QRectF tile = tileRect(side);
    QLinearGradient shade(tile.topLeft(), tile.bottomLeft());
    shade.setColorAt(0, tileTop);
    shade.setColorAt(1, tileBottom);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    const qreal radius = side / 5;
    painter.drawRoundedRect(tile, radius, radius);
}

/// The glass square within the tile: nine tenths of it, centred, in whole pixels so that small
/// sizes are not smeared. The tray drawing puts the glass a little below the middle of its
/// 18 points; the square is lifted by that much.
QRectF glassRect(qreal side) {
    const QRectF tile = tileRect(side);
    const qreal glassSide = std::round(tile.width() * 0.9);
    const qreal margin = std::round((tile.width() - glassSide) / 2);
    const qreal lift = std::round(glassSide * 0.6 / 18);
    return {tile.left() + margin, tile.top() + margin - lift, glassSide, glassSide};
}

/// The glass is drawn at its 18 points with the pixel ratio that makes it `pixelsPerUnit` times
/// the square's size, so that its strokes grow with it. A ratio below 1 would not shrink the
/// drawing (it would be cut off), so small squares get a larger picture scaled down.
void paintGlass(QPainter& painter, qreal side, qreal pixelsPerUnit) {
    const QRectF square = glassRect(side);
    const QImage glass = vigilo::GlassIcon::image(
        18, true, std::max(1.0, square.width() * pixelsPerUnit / 18),
        vigilo::GlassIcon::Ink{.color = vigilo::GlassIcon::activeColor(true)});
    painter.drawImage(square, glass);
}

QImage png(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintTile(painter, side);
    paintGlass(painter, side, 1);
    return image;
}

bool writeSvg(const QString& path) {
    // The tile is drawn as vectors; the glass comes as a picture large enough for any icon size
    // a desktop asks for.
    constexpr int side = 256;
    constexpr qreal pixelsPerUnit = 4;
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(side, side));
    svg.setViewBox(QRect(0, 0, side, side));
    svg.setTitle(QStringLiteral("Vigilo"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    paintTile(painter, side);
    paintGlass(painter, side, pixelsPerUnit);
    return painter.end();
}

bool report(bool written, const QString& path) {
    if (written) {
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
    return written;
}

QString iconPath(const QDir& root, const QString& size, const QString& fileName) {
    const QString folder = QStringLiteral("hicolor/%1/apps").arg(size);
    return root.mkpath(folder) ? root.filePath(folder + QLatin1Char('/') + fileName) : QString();
}

} // namespace

int main(int argc, char** argv) {
    const QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: vigilo_render_app_icon <folder> <application id> <size>...\n");
        return 64;
    }
    const QDir root(arguments[1]);
    const QString& id = arguments[2];

    bool ok = true;
    for (const QString& size : arguments.mid(3)) {
        const int side = size.toInt();
        const QString path =
            iconPath(root, size + QLatin1Char('x') + size, id + QStringLiteral(".png"));
        ok &= report(side > 0 && !path.isEmpty() && png(side).save(path), path);
    }
    const QString svgPath = iconPath(root, QStringLiteral("scalable"), id + QStringLiteral(".svg"));
    ok &= report(!svgPath.isEmpty() && writeSvg(svgPath), svgPath);
    return ok ? 0 : 1;
}
