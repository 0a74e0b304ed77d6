#include "app/TrayGlass.h"

#include "art/GlassIcon.h"

#include <QPixmap>

namespace vigilo::TrayGlass {

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QIcon icon(bool filled, const QPalette& palette) {
    const bool dark = isDark(palette);
    const QColor outline = palette.color(QPalette::WindowText);
    QIcon glass;
    for (const qreal ratio : {1.0, 2.0}) {
        glass.addPixmap(
            QPixmap::fromImage(GlassIcon::image(iconSize, filled, ratio, dark, outline)));
    }
    return glass;
}

} // namespace vigilo::TrayGlass
