#pragma once

#include <QColor>
#include <QList>
#include <QPolygonF>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

namespace vigilo {

/// The CPU history line: load fractions spread evenly across the width, 0 on the bottom edge,
/// 1 and above on the top edge. Fewer than two values draw nothing.
[[nodiscard]] QPolygonF sparklinePoints(const QList<double>& values, QSizeF size);

/// Draws `values` as a sparkline, stroked 1.5 wide in `color`.
class Sparkline : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QList<double> values READ values WRITE setValues NOTIFY valuesChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)

public:
    explicit Sparkline(QQuickItem* parent = nullptr);

    [[nodiscard]] QList<double> values() const { return values_; }
    void setValues(const QList<double>& values);
    [[nodiscard]] QColor color() const { return color_; }
    void setColor(const QColor& color);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void valuesChanged();
    void colorChanged();

private:
    QList<double> values_;
    QColor color_ = Qt::black;
};

} // namespace vigilo
