#include "platform/qt/RoundedRegion.h"

#include <QPainterPath>
#include <QPolygon>

namespace vigilo {

QRegion roundedRegion(const QRect& rect, double cornerRadius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(rect), cornerRadius, cornerRadius);
    return {path.toFillPolygon().toPolygon()};
}

} // namespace vigilo
