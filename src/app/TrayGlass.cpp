#include "app/TrayGlass.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QPixmap>
#include <QStandardPaths>

namespace vigilo {

namespace {

constexpr qreal glassPoints = 18;

} // namespace

TrayGlass::TrayGlass(QObject* parent)
    : TrayGlass(std::make_unique<DesktopAppearance>(
                    QDBusConnection::sessionBus(),
                    qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString(),
                    QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                        .toStdString()),
                parent) {}

TrayGlass::TrayGlass(std::unique_ptr<DesktopAppearance> desktop, QObject* parent)
    : QObject(parent)
    , desktop_(std::move(desktop))
    , paletteDark_(isDark(QGuiApplication::palette())) {
    connect(desktop_.get(), &DesktopAppearance::changed, this, &TrayGlass::refresh);
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
    DesktopFacts facts = desktop_->facts();
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
