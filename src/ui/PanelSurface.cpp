#include "ui/PanelSurface.h"

#include "art/GaussianBlur.h"

#include <QPainter>
#include <QPainterPath>
#include <QQuickWindow>

namespace vigilo {

namespace {

/// Three deviations hold all of the blur that shows.
constexpr qreal shadowPadding = 3 * PanelSurface::shadowSigma;

} // namespace

PanelSurface::PanelSurface(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

template <typename T> void PanelSurface::change(T& field, const T& value) {
    if (field == value) {
        return;
    }
    field = value;
    update();
    Q_EMIT appearanceChanged();
}

void PanelSurface::setSurface(const QRectF& surface) {
    change(surface_, surface);
}

void PanelSurface::setFillColor(const QColor& color) {
    change(fillColor_, color);
}

void PanelSurface::setBorderColor(const QColor& color) {
    change(borderColor_, color);
}

void PanelSurface::setShadowed(bool shadowed) {
    change(isShadowed_, shadowed);
}

const QImage& PanelSurface::shadow(QSizeF size, qreal scale) {
    if (size == shadowSize_ && qFuzzyCompare(shadow_.devicePixelRatio(), scale)) {
        return shadow_;
    }
    const QSizeF padded = size + QSizeF(2 * shadowPadding, 2 * shadowPadding);
    shadow_ = QImage((padded * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    shadow_.fill(Qt::transparent);
    {
        QPainter painter(&shadow_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgbF(0, 0, 0, shadowOpacity));
        painter.drawRoundedRect(QRectF(QPointF(shadowPadding, shadowPadding), size), cornerRadius,
                                cornerRadius);
    }
    gaussianBlur(shadow_, shadowSigma * scale);
    shadow_.setDevicePixelRatio(scale);
    shadowSize_ = size;
    return shadow_;
}

void PanelSurface::paint(QPainter* painter) {
    if (surface_.isEmpty()) {
        return;
    }
    painter->setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(surface_, cornerRadius, cornerRadius);
    if (isShadowed_) {
        // Only around the surface: through the translucent fill the shadow would grey it.
        QPainterPath outside;
        outside.addRect(boundingRect());
        painter->save();
        painter->setClipPath(outside.subtracted(shape));
        const qreal scale = window() != nullptr ? window()->effectiveDevicePixelRatio() : 1;
        painter->drawImage(surface_.topLeft() +
                               QPointF(-shadowPadding, shadowOffsetY - shadowPadding),
                           shadow(surface_.size(), scale));
        painter->restore();
    }
    painter->fillPath(shape, fillColor_);
    // The hairline lies along the inner edge, as a stroked border does.
    const qreal inset = borderWidth / 2;
    painter->setPen(QPen(borderColor_, borderWidth));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(surface_.adjusted(inset, inset, -inset, -inset), cornerRadius - inset,
                             cornerRadius - inset);
}

} // namespace vigilo
