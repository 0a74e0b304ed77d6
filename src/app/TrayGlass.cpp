#include "app/TrayGlass.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <map>

namespace vigilo {

namespace {

constexpr qreal glassPoints = 18;

/// The glass drawn at each pixel size the first time that size is asked for. A tray host shows
/// one or two sizes of one state at a time: drawing every size of both up front is wasted work
/// at start.
class GlassIconEngine final : public QIconEngine {
public:
    GlassIconEngine(bool filled, const GlassIcon::Ink& ink)
        : filled_(filled)
        , ink_(ink) {}

    /// The glass is square: a tray's taller slot gets the glass at the slot's width, centred.
    QSize actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        QRect square(QPoint(), actualSize(rect.size(), mode, state));
        square.moveCenter(rect.center());
        const qreal ratio = painter->device()->devicePixelRatioF();
        painter->drawPixmap(square, pixmap(square.size() * ratio, mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        const int pixels = std::min(size.width(), size.height());
        if (pixels <= 0) {
            return {};
        }
        QPixmap& drawn = drawn_[pixels];
        if (drawn.isNull()) {
            QImage image = GlassIcon::image(glassPoints, filled_, pixels / glassPoints, ink_);
            // Tray hosts pick by pixel size: plain pixmaps of each.
            image.setDevicePixelRatio(1);
            drawn = QPixmap::fromImage(image);
        }
        return drawn;
    }

    /// The sizes StatusNotifier hosts receive.
    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        QList<QSize> sizes;
        for (const int pixels : TrayGlass::pixelSizes) {
            sizes.append(QSize(pixels, pixels));
        }
        return sizes;
    }

    [[nodiscard]] QIconEngine* clone() const override { return new GlassIconEngine(*this); }
    [[nodiscard]] QString key() const override { return QStringLiteral("vigilo-glass"); }

private:
    bool filled_;
    GlassIcon::Ink ink_;
    std::map<int, QPixmap> drawn_;
};

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
    return QIcon(new GlassIconEngine(filled, ink));
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
