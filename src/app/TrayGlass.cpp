#include "app/TrayGlass.h"

#include <QGuiApplication>
#include <QPixmap>

namespace vigilo {

namespace {

constexpr qreal glassPoints = 18;

} // namespace

TrayGlass::TrayGlass(DesktopAppearance& desktop, QObject* parent)
    : QObject(parent)
    , desktop_(desktop)
    , paletteDark_(isDark(QGuiApplication::palette())) {
    connect(&desktop_, &DesktopAppearance::changed, this, &TrayGlass::refresh);
    refresh();
}

void TrayGlass::setPalette(const QPalette& palette) {
    paletteDark_ = isDark(palette);
    refresh();
}

bool TrayGlass::isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QIcon TrayGlass::draw(bool filled, const GlassIcon::Ink& ink) {
    QIcon glass;
    for (const int pixels : pixelSizes) {
        QImage image = GlassIcon::image(glassPoints, filled, pixels / glassPoints, ink);
        // Tray hosts pick by pixel size: the icon holds plain pixmaps of each.
        image.setDevicePixelRatio(1);
        glass.addPixmap(QPixmap::fromImage(image));
    }
    return glass;
}

void TrayGlass::refresh() {
    DesktopFacts facts = desktop_.facts();
    facts.paletteDark = paletteDark_;
    const PanelShade shade = panelShade(facts);
    if (shade == shade_) {
        return;
    }
    shade_ = shade;
    empty_ = draw(false, trayInk(shade, false));
    filled_ = draw(true, trayInk(shade, true));
    Q_EMIT changed();
}

} // namespace vigilo
