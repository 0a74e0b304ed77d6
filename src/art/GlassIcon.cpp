#include "art/GlassIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace vigilo::GlassIcon {

QColor activeColor(bool darkAppearance) {
    return darkAppearance ? QColor::fromRgbF(0.914f, 0.635f, 0.231f)
                          : QColor::fromRgbF(0.541f, 0.325f, 0.0f);
}

QImage image(qreal size, bool filled, qreal devicePixelRatio, bool darkAppearance,
             const QColor& outlineColor) {
    const int pixels = qRound(size * devicePixelRatio);
    QImage canvas(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(devicePixelRatio);
    canvas.fill(Qt::transparent);

    const QColor color = filled ? activeColor(darkAppearance) : outlineColor;
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

    QPen pen(color, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.strokePath(outline, pen);
    painter.setPen(QPen(color, 1.3));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(base);
    return canvas;
}

} // namespace vigilo::GlassIcon
