#include "ui/AppIconItem.h"

#include "art/AppIcon.h"

#include <QQuickWindow>

namespace vigilo {

AppIconItem::AppIconItem(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

void AppIconItem::paint(QPainter* painter) {
    const qreal scale = window() != nullptr ? window()->effectiveDevicePixelRatio() : 1;
    AppIcon::paint(*painter, boundingRect(), scale);
}

} // namespace vigilo
