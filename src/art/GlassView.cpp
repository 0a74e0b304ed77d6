#include "art/GlassView.h"

#include "art/GaussianBlur.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>

namespace vigilo {

namespace {

// Canvas space: 210 × 250 units, origin top-left, y downwards.
constexpr qreal canvasWidth = 210;
constexpr qreal canvasHeight = 250;
constexpr QPointF ringCenter(105, 118);
constexpr qreal ringRadius = 92;
// The glass has its own design space, drawn at half size around the ring's centre.
constexpr qreal glassScale = 0.5;
constexpr QPointF glassCenter(105, 128);
constexpr QPointF glassPivot(105, 196);

constexpr int tickCount = 60;
constexpr qreal tickInner = ringRadius - 7.5;
constexpr qreal tickOuter = ringRadius + 4.5;
constexpr qreal tickOuterLong = ringRadius + 10.5;
constexpr qreal tickWidth = 4.2;
constexpr qreal miterLimit = 10;

// Blurred layers reach this many blur radii beyond their shape.
constexpr qreal blurReach = 3;

QColor white(qreal opacity) {
    return QColor::fromRgbF(1, 1, 1, static_cast<float>(opacity));
}

/// `colour` at `opacity`.
QColor faded(const QColor& colour, qreal opacity) {
    QColor result = colour;
    result.setAlphaF(static_cast<float>(opacity));
    return result;
}

QColor srgb(qreal r, qreal g, qreal b, qreal opacity = 1) {
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                            static_cast<float>(opacity));
}

QColor amber(qreal opacity) {
    return srgb(0.937, 0.624, 0.153, opacity);
}

QPen pen(const QBrush& brush, qreal width, Qt::PenCapStyle cap = Qt::FlatCap) {
    QPen result(brush, width, Qt::SolidLine, cap, Qt::MiterJoin);
    result.setMiterLimit(miterLimit);
    return result;
}

// Renders `draw` (in the units of `shapeBounds`) into an image with room for the blur, blurs it
// with `radius` units, and returns it with the rectangle it covers.
GlassCache::Layer blurredLayer(const QRectF& shapeBounds, qreal radius, qreal pixelsPerUnit,
                               const std::function<void(QPainter&)>& draw) {
    const qreal reach = blurReach * radius;
    const QRectF rect = shapeBounds.adjusted(-reach, -reach, reach, reach);
    QImage image(static_cast<int>(std::ceil(rect.width() * pixelsPerUnit)),
                 static_cast<int>(std::ceil(rect.height() * pixelsPerUnit)),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(pixelsPerUnit, pixelsPerUnit);
        painter.translate(-rect.topLeft());
        draw(painter);
    }
    gaussianBlur(image, radius * pixelsPerUnit);
    // Drawn back into exactly `rect`, whatever the rounding of the pixel size.
    return {image, QRectF(rect.topLeft(), QSizeF(image.width(), image.height()) / pixelsPerUnit)};
}

QPainterPath leftHighlightPath() {
    QPainterPath path(QPointF(62, 84));
    path.cubicTo(QPointF(56, 120), QPointF(64, 156), QPointF(76, 178));
    return path;
}

QPainterPath rightHighlightPath() {
    QPainterPath path(QPointF(148, 92));
    path.cubicTo(QPointF(152, 124), QPointF(146, 152), QPointF(136, 172));
    return path;
}

GlassCache::Layer highlight(const QPainterPath& path, qreal opacity, qreal width, qreal radius,
                            qreal pixelsPerUnit) {
    const qreal halfWidth = width / 2;
    return blurredLayer(
        path.controlPointRect().adjusted(-halfWidth, -halfWidth, halfWidth, halfWidth), radius,
        pixelsPerUnit, [&](QPainter& painter) {
            painter.strokePath(path, pen(white(opacity), width, Qt::RoundCap));
        });
}

void drawLayer(QPainter& painter, const GlassCache::Layer& layer) {
    painter.drawImage(layer.rect, layer.image);
}

// --- Ring ---------------------------------------------------------------------------------

QPointF onRing(int tick, qreal radius) {
    const qreal angle = tick * 2 * std::numbers::pi / tickCount - std::numbers::pi / 2;
    return ringCenter + radius * QPointF(std::cos(angle), std::sin(angle));
}

QPainterPath tickPath(int tick, qreal outer = tickOuter) {
    QPainterPath path(onRing(tick, tickInner));
    path.lineTo(onRing(tick, outer));
    return path;
}

QBrush litGradient() {
    QLinearGradient gradient(QPointF(105, 26), QPointF(105, 210));
    gradient.setColorAt(0, srgb(1.0, 0.76, 0.36));
    gradient.setColorAt(1, srgb(0.85, 0.54, 0.12));
    return gradient;
}

void strokeTick(QPainter& painter, const QPainterPath& path, const QBrush& brush) {
    painter.strokePath(path, pen(brush, tickWidth, Qt::RoundCap));
}

QRectF tickBounds(int tick) {
    const qreal reach = tickWidth / 2;
    return QRectF(onRing(tick, tickInner), onRing(tick, tickOuter))
        .normalized()
        .adjusted(-reach, -reach, reach, reach);
}

// Renders `draw` (in canvas units) into an image that lies pixel for pixel on the device.
GlassCache::Sprite deviceSprite(const QTransform& canvasToDevice, const QRectF& canvasBounds,
                                const std::function<void(QPainter&)>& draw) {
    const QRect pixels = canvasToDevice.mapRect(canvasBounds).toAlignedRect();
    QImage image(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(canvasToDevice * QTransform::fromTranslate(-pixels.left(), -pixels.top()));
    draw(painter);
    return {image, pixels.topLeft()};
}

void drawSprite(QPainter& painter, const GlassCache::Sprite& sprite, qreal opacity) {
    painter.save();
    // World units that are device pixels, whatever the device's pixel ratio.
    const QTransform ratioScale = painter.worldTransform().inverted() * painter.deviceTransform();
    painter.setWorldTransform(QTransform::fromTranslate(sprite.position.x(), sprite.position.y()) *
                              ratioScale.inverted());
    painter.setOpacity(opacity);
    painter.drawImage(QPoint(0, 0), sprite.image);
    painter.restore();
}

void drawRing(QPainter& painter, const GlassState& state, const GlassCache& cache) {
    const bool hasProgress = state.ring > 0.002;
    for (int tick = 0; tick < tickCount; ++tick) {
        drawSprite(painter, cache.trackTick(tick), hasProgress ? 0.10 : 0.07);
    }

    if (hasProgress) {
        for (int tick = 0; tick < tickCount; ++tick) {
            const double u = (state.ring - tick / 60.0) / (1 / 60.0);
            if (u > 0) {
                // The tick at the leading edge fades in with the cup's progress.
                drawSprite(painter, cache.litTick(tick), std::min(u, 1.0));
            }
        }
    } else if (state.hoverTick) {
        const int v = (*state.hoverTick % tickCount + tickCount) % tickCount;
        const auto index = [](int tick) { return (tick + tickCount) % tickCount; };
        drawSprite(painter, cache.litTick(index(v - 1)), 0.55);
        drawSprite(painter, cache.litTick(index(v + 2)), 0.55);
        const QBrush lit = litGradient();
        strokeTick(painter, tickPath(v, tickOuterLong), lit);
        strokeTick(painter, tickPath(index(v + 1), tickOuterLong), lit);
    }
}

// --- Glass --------------------------------------------------------------------------------

struct Silhouette {
    QPainterPath open;   // the outline as drawn: without the closing segment across the rim
    QPainterPath closed; // the area
};

Silhouette silhouette(QPointF rimLeft, QPointF bottomLeft, QPointF leftControl, QPointF baseLeft,
                      QPointF baseRight, QPointF rightControl, QPointF bottomRight,
                      QPointF rimRight) {
    Silhouette result;
    result.open.moveTo(rimLeft);
    result.open.lineTo(bottomLeft);
    result.open.quadTo(leftControl, baseLeft);
    result.open.lineTo(baseRight);
    result.open.quadTo(rightControl, bottomRight);
    result.open.lineTo(rimRight);
    result.closed = result.open;
    result.closed.closeSubpath();
    return result;
}

const Silhouette& outerSilhouette() {
    static const Silhouette outer = silhouette({53, 60}, {58, 172}, {59, 195}, {80, 196},
                                               {130, 196}, {151, 195}, {152, 172}, {157, 60});
    return outer;
}

const Silhouette& innerSilhouette() {
    static const Silhouette inner =
        silhouette({56.5, 64}, {61.5, 170}, {62, 191.5}, {81, 192.5}, {129, 192.5}, {148, 191.5},
                   {148.5, 170}, {153.5, 64});
    return inner;
}

QPainterPath frontRim() {
    QPainterPath path(QPointF(53, 60));
    path.cubicTo(QPointF(53, 56.4184), QPointF(81.7, 52), QPointF(105, 52));
    path.cubicTo(QPointF(128.3, 52), QPointF(157, 56.4184), QPointF(157, 60));
    return path;
}

QPainterPath backRim() {
    QPainterPath path(QPointF(53, 60));
    path.cubicTo(QPointF(53, 63.5816), QPointF(81.7, 68), QPointF(105, 68));
    path.cubicTo(QPointF(128.3, 68), QPointF(157, 63.5816), QPointF(157, 60));
    return path;
}

qreal surfaceHeight(const GlassState& state) {
    return 196 - 130 * state.coffee;
}

void drawCoffee(QPainter& painter, const GlassState& state) {
    if (state.coffee <= 0.01) {
        return;
    }
    const qreal e = surfaceHeight(state);
    QLinearGradient body(QPointF(105, e), QPointF(105, 200));
    body.setColorAt(0, srgb(0.26, 0.11, 0.09));
    body.setColorAt(1, srgb(0.10, 0.045, 0.04));
    painter.fillRect(QRectF(20, e, 170, 220 - e), body);

    if (state.coffee <= 0.15) {
        return;
    }
    // The glass tapers, so the surface narrows as the level drops.
    const qreal w = 46 - 8 * std::clamp((e - 68) / 123, 0.0, 1.0);
    QLinearGradient surface(QPointF(105, e - 9), QPointF(105, e + 10));
    surface.setColorAt(0, srgb(0.74, 0.5, 0.28));
    surface.setColorAt(1, srgb(0.44, 0.24, 0.13));
    painter.setPen(Qt::NoPen);
    painter.setBrush(surface);
    painter.drawEllipse(QRectF(105 - w, e - 9, 2 * w, 19));

    painter.setPen(pen(srgb(0.85, 0.66, 0.44, 0.45), 1.3));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(105 - w + 5, e - 6, 2 * w - 10, 13));
}

void drawIce(QPainter& painter, const GlassState& state) {
    if (state.ice <= 0.01 || state.coffee <= 0.15) {
        return;
    }
    const qreal e = surfaceHeight(state);
    const qreal p = 0.9 * state.time;
    struct Cube {
        QRectF rect;
        qreal alpha;
    };
    const auto cubes = std::to_array<Cube>({
        {{76, e - 4 + 1.4 * std::sin(p), 25, 21}, 0.55 * state.ice},
        {{100, e - 7 + 1.4 * std::sin(p + 1), 28, 23}, 0.7 * state.ice},
        {{126, e - 3 + 1.4 * std::sin(p + 2), 21, 19}, 0.55 * state.ice},
    });
    for (const Cube& cube : cubes) {
        painter.setPen(pen(white(0.34 * cube.alpha), 1.3));
        painter.setBrush(white(0.14 * cube.alpha));
        painter.drawRoundedRect(cube.rect, 5, 5);
        const QRectF shine(cube.rect.x() + 3, cube.rect.y() + 3, 0.42 * cube.rect.width(),
                           0.32 * cube.rect.height());
        painter.setPen(Qt::NoPen);
        painter.setBrush(white(0.16 * cube.alpha));
        painter.drawRoundedRect(shine, 2, 2);
    }
}

/// How the glass's walls and rims are drawn: in white where the surface behind is dark, and on a
/// light surface, where white would vanish, in the surface's dark label colour, made heavier,
/// since darkening a light surface stands out less than lightening a dark one by as much.
struct GlassInk {
    QColor colour;
    qreal weight;
};

GlassInk glassInk(const QColor& labelColor) {
    if (labelColor.lightnessF() < 0.5) {
        return {labelColor.toRgb(), 2};
    }
    return {Qt::white, 1};
}

void drawGlass(QPainter& painter, const GlassState& state, const GlassInk& ink,
               const GlassCache& cache) {
    painter.save();
    painter.translate(glassPivot);
    painter.rotate(state.tilt);
    painter.translate(-glassPivot);
    painter.translate(ringCenter);
    painter.scale(glassScale, glassScale);
    painter.translate(-glassCenter);

    const Silhouette& outer = outerSilhouette();
    const Silhouette& inner = innerSilhouette();
    QLinearGradient sheen(QPointF(105, 58), QPointF(105, 206));
    sheen.setColorAt(0, faded(ink.colour, 0.10));
    sheen.setColorAt(0.5, faded(ink.colour, 0.03));
    sheen.setColorAt(1, faded(ink.colour, 0.08));
    painter.fillPath(outer.closed, sheen);
    painter.fillPath(inner.closed, faded(ink.colour, 0.03));

    painter.save();
    painter.setClipPath(inner.closed, Qt::IntersectClip);
    const QPointF surfaceCenter(105, surfaceHeight(state));
    painter.translate(surfaceCenter);
    painter.rotate(state.liquidAngle);
    painter.translate(-surfaceCenter);
    drawCoffee(painter, state);
    drawIce(painter, state);
    painter.restore();

    // At the panel's size the walls and rims come out thinner than a pixel, too faint to see;
    // they are drawn at least one device pixel wide.
    const qreal pixel = 1 / std::sqrt(std::abs(painter.deviceTransform().determinant()));
    const auto line = [&](qreal opacity, qreal width) {
        return pen(faded(ink.colour, std::min(1.0, opacity * ink.weight)), std::max(width, pixel));
    };
    painter.strokePath(outer.open, line(0.42, 1.6));
    painter.strokePath(inner.open, line(0.26, 1.3));
    painter.strokePath(frontRim(), line(0.5, 1.8));
    painter.strokePath(backRim(), line(0.18, 1.1));
    drawLayer(painter, cache.leftHighlight());
    drawLayer(painter, cache.rightHighlight());
    painter.restore();
}

} // namespace

void GlassCache::prepare(const QTransform& canvasToDevice, const QColor& labelColor) {
    Q_ASSERT(canvasToDevice.type() <= QTransform::TxScale);
    const qreal pixelsPerUnit = canvasToDevice.m11();
    if (!qFuzzyCompare(pixelsPerUnit, pixelsPerUnit_)) {
        pixelsPerUnit_ = pixelsPerUnit;

        const QRectF shadowOval(48, 202, 114, 14);
        shadow_ = blurredLayer(shadowOval, 6, pixelsPerUnit, [&](QPainter& painter) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromRgbF(0, 0, 0, 0.34f));
            painter.drawEllipse(shadowOval);
        });

        const QRectF glowOval(30, 168, 150, 44);
        glow_ = blurredLayer(glowOval, 12, pixelsPerUnit, [&](QPainter& painter) {
            QRadialGradient gradient(QPointF(105, 196), 78);
            gradient.setColorAt(0, amber(0.26));
            gradient.setColorAt(1, amber(0));
            painter.setPen(Qt::NoPen);
            painter.setBrush(gradient);
            painter.drawEllipse(glowOval);
        });

        const qreal glassPixelsPerUnit = pixelsPerUnit * glassScale;
        leftHighlight_ = highlight(leftHighlightPath(), 0.26, 5, 2.4, glassPixelsPerUnit);
        rightHighlight_ = highlight(rightHighlightPath(), 0.16, 3, 1.8, glassPixelsPerUnit);
    }

    const bool moved = canvasToDevice != placement_;
    if (moved) {
        placement_ = canvasToDevice;
        const QBrush lit = litGradient();
        litTicks_.clear();
        for (int tick = 0; tick < tickCount; ++tick) {
            litTicks_.push_back(
                deviceSprite(canvasToDevice, tickBounds(tick),
                             [&](QPainter& painter) { strokeTick(painter, tickPath(tick), lit); }));
        }
    }
    if (moved || labelColor != trackColor_) {
        trackColor_ = labelColor;
        trackTicks_.clear();
        for (int tick = 0; tick < tickCount; ++tick) {
            trackTicks_.push_back(
                deviceSprite(canvasToDevice, tickBounds(tick), [&](QPainter& painter) {
                    strokeTick(painter, tickPath(tick), labelColor);
                }));
        }
    }
}

void paintGlass(QPainter& painter, const QSizeF& size, const GlassState& state,
                const QColor& labelColor, GlassCache& cache) {
    const qreal s = std::min(size.width() / canvasWidth, size.height() / canvasHeight);
    if (s <= 0) {
        return;
    }
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.translate((size.width() - canvasWidth * s) / 2, (size.height() - canvasHeight * s) / 2);
    painter.scale(s, s);
    cache.prepare(painter.deviceTransform(), labelColor);

    drawLayer(painter, cache.shadow());
    // The glow breathes with a period of 2.4 s between 70 % and 100 %.
    painter.setOpacity(0.85 + 0.15 * std::sin(2 * std::numbers::pi * state.time / 2.4));
    drawLayer(painter, cache.glow());
    painter.setOpacity(1);
    drawRing(painter, state, cache);
    drawGlass(painter, state, glassInk(labelColor), cache);
    painter.restore();
}

} // namespace vigilo
