#pragma once

#include <QColor>
#include <QImage>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

namespace vigilo {

/// The panel's own surface: a rounded rectangle with a translucent fill and a hairline edge,
/// casting a soft shadow into the window's transparent margin. The shadow is blurred here, in
/// software, because Qt Quick's effects draw nothing on the software scene graph the panel
/// uses; it is blurred once per surface size.
class PanelSurface : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    /// The visible panel, in this item's coordinates.
    Q_PROPERTY(QRectF surface READ surface WRITE setSurface NOTIFY appearanceChanged)
    Q_PROPERTY(QColor fillColor READ fillColor WRITE setFillColor NOTIFY appearanceChanged)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor NOTIFY appearanceChanged)
    /// Off where nothing composites the window: its margin would show black, not a shadow.
    Q_PROPERTY(bool shadowed READ isShadowed WRITE setShadowed NOTIFY appearanceChanged)

public:
    static constexpr qreal cornerRadius = 26;
    static constexpr qreal borderWidth = 0.5;
    static constexpr qreal shadowOpacity = 0.22;
    /// The shadow's blur radius is 24 points; a Gaussian of half that deviation matches it.
    static constexpr qreal shadowSigma = 12;
    static constexpr qreal shadowOffsetY = 10;

    explicit PanelSurface(QQuickItem* parent = nullptr);

    [[nodiscard]] QRectF surface() const { return surface_; }
    void setSurface(const QRectF& surface);
    [[nodiscard]] QColor fillColor() const { return fillColor_; }
    void setFillColor(const QColor& color);
    [[nodiscard]] QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor& color);
    [[nodiscard]] bool isShadowed() const { return isShadowed_; }
    void setShadowed(bool shadowed);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void appearanceChanged();

private:
    template <typename T> void change(T& field, const T& value);
    /// The blurred shadow of a surface of `size`, `shadowPadding` larger on every side.
    [[nodiscard]] const QImage& shadow(QSizeF size, qreal scale);

    QRectF surface_;
    QColor fillColor_;
    QColor borderColor_;
    bool isShadowed_ = true;
    QImage shadow_;
    QSizeF shadowSize_;
};

} // namespace vigilo
