#pragma once

#include <QColor>
#include <QQuickPaintedItem>
#include <QSvgRenderer>
#include <QtQmlIntegration>

namespace vigilo {

/// A small monochrome symbol, "cpu" or "chevron.down", drawn from the SVG of that name among
/// the module's resources and tinted with `color`, so it looks the same on every desktop.
/// The drawing is fitted into the item, keeping its proportions.
class Symbol : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)

public:
    explicit Symbol(QQuickItem* parent = nullptr);

    /// The resource of the symbol called `name`.
    [[nodiscard]] static QString resourcePath(const QString& name);

    [[nodiscard]] QString name() const { return name_; }
    void setName(const QString& name);
    [[nodiscard]] QColor color() const { return color_; }
    void setColor(const QColor& color);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void nameChanged();
    void colorChanged();

private:
    QString name_;
    QColor color_ = Qt::black;
    QSvgRenderer drawing_;
};

} // namespace vigilo
