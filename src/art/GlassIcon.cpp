#include "art/GlassIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace vigilo::GlassIcon {

namespace {

/// How far the rim reaches beyond each side of a stroke, in points.
constexpr qreal rimWidth = 0.5;

} // namespace

QColor activeColor(bool darkAppearance) {
    return darkAppearance ? QColor::fromRgbF(0.914f, 0.635f, 0.231f)
                          : QColor::fromRgbF(0.541f, 0.325f, 0.0f);
}

QImage image(qreal size, bool filled, qreal devicePixelRatio, bool darkAppearance,
             const QColor& outlineColor) {
    return image(size, filled, devicePixelRatio,
                 Ink{.color = filled ? activeColor(darkAppearance) : outlineColor});
}

QImage image(qreal size, bool filled, qreal devicePixelRatio, const Ink& ink) {
    const int pixels = qRound(size * devicePixelRatio);
    QImage canvas(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(devicePixelRatio);
    canvas.fill(Qt::transparent);

    const QColor& color = ink.color;
    const qreal u = size / 18.0;
    // The drawing is defined with y growing upwards from the bottom edge.
    const auto at = [&](qreal x, qreal y) { return QPointF(x * u, size - y * u); };

    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath outline(at(4.4, 2.8));
    outline.lineTo(at(5, 12.8));
    outline.cubicTo(at(5, 14.2), at(5.6, 15), at(6.6, 15));
    outline.lineTo(at(11.4, 15));
    outline.cubicTo(at(12.4, 15), at(13, 14.2), at(13, 12.8));
    outline.lineTo(at(13.6, 2.8));

    // The oval inscribed in the rectangle from (4.4, 1.8), 9.2 wide and 2 high.
    const QRectF base(at(4.4, 1.8 + 2).x(), at(4.4, 1.8 + 2).y(), 9.2 * u, 2 * u);

    const QPen outlinePen(color, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QPen basePen(color, 1.3);

    if (ink.rim.alpha() > 0) {
        // Laid opaque on a layer of its own and then blended once, so that where the rims of
        // outline and base overlap they are no darker than elsewhere.
        QImage rim(canvas.size(), QImage::Format_ARGB32_Premultiplied);
        rim.setDevicePixelRatio(devicePixelRatio);
        rim.fill(Qt::transparent);
        QPainter rimPainter(&rim);
        rimPainter.setRenderHint(QPainter::Antialiasing);
        const QColor opaque = QColor(ink.rim.rgb());
        QPen widened = outlinePen;
        widened.setColor(opaque);
        widened.setWidthF(outlinePen.widthF() + 2 * rimWidth);
        rimPainter.strokePath(outline, widened);
        widened = basePen;
        widened.setColor(opaque);
        widened.setWidthF(basePen.widthF() + 2 * rimWidth);
        rimPainter.setPen(widened);
        rimPainter.drawEllipse(base);
        rimPainter.end();
        painter.setOpacity(ink.rim.alphaF());
        painter.drawImage(QPointF(0, 0), rim);
        painter.setOpacity(1);
    }

    if (filled) {
        QPainterPath liquid(at(5.6, 3));
        liquid.lineTo(at(6.1, 12.6));
        liquid.cubicTo(at(6.1, 13.6), at(6.5, 14.1), at(7.2, 14.1));
        liquid.lineTo(at(10.8, 14.1));
        liquid.cubicTo(at(11.5, 14.1), at(11.9, 13.6), at(11.9, 12.6));
        liquid.lineTo(at(12.4, 3));
        liquid.closeSubpath();
        painter.save();
        painter.setClipPath(liquid);
        painter.fillRect(QRectF(at(0, 8.4), at(18, 0)), color);
        painter.restore();
    }

    painter.strokePath(outline, outlinePen);
    painter.setPen(basePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(base);
    return canvas;
}

} // namespace vigilo::GlassIcon
