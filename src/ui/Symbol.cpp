#include "ui/Symbol.h"

#include <QImage>
#include <QPainter>
#include <QQuickWindow>

namespace vigilo {

Symbol::Symbol(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

QString Symbol::resourcePath(const QString& name) {
    return QStringLiteral(":/vigilo/symbols/%1.svg").arg(name);
}

void Symbol::setName(const QString& name) {
    if (name == name_) {
        return;
    }
    name_ = name;
    drawing_.load(resourcePath(name));
    update();
    Q_EMIT nameChanged();
}

void Symbol::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
    Q_EMIT colorChanged();
}

void Symbol::paint(QPainter* painter) {
    if (!drawing_.isValid() || width() <= 0 || height() <= 0) {
        return;
    }
    QSizeF fitted = drawing_.defaultSize();
    fitted.scale(size(), Qt::KeepAspectRatio);
    const QRectF bounds(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                        fitted);
    // Drawn black into a layer of its own, then every covered pixel takes the tint.
    const qreal scale = window() != nullptr ? window()->effectiveDevicePixelRatio() : 1;
    QImage layer((size() * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        layerPainter.setRenderHint(QPainter::Antialiasing);
        layerPainter.scale(scale, scale);
        drawing_.render(&layerPainter, bounds);
        layerPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        layerPainter.fillRect(QRectF(QPointF(), size()), color_);
    }
    layer.setDevicePixelRatio(scale);
    painter->drawImage(QPointF(), layer);
}

} // namespace vigilo
