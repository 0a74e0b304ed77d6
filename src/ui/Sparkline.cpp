#include "ui/Sparkline.h"

#include <QPainter>
#include <algorithm>

namespace vigilo {

QPolygonF sparklinePoints(const QList<double>& values, QSizeF size) {
    if (values.size() < 2) {
        return {};
    }
    const double step = size.width() / static_cast<double>(values.size() - 1);
    QPolygonF points;
    points.reserve(values.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        points.append(
            QPointF(step * static_cast<double>(i), size.height() * (1 - std::min(values[i], 1.0))));
    }
    return points;
}

Sparkline::Sparkline(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

void Sparkline::setValues(const QList<double>& values) {
    if (values == values_) {
        return;
    }
    values_ = values;
    update();
    Q_EMIT valuesChanged();
}

void Sparkline::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
    Q_EMIT colorChanged();
}

void Sparkline::paint(QPainter* painter) {
    QPen pen(color_, 1.5);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::FlatCap);
    pen.setMiterLimit(10);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(pen);
    painter->drawPolyline(sparklinePoints(values_, size()));
}

} // namespace vigilo
