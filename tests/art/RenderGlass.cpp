// Writes PNGs of the glass drawing and the tray icon for a person to look at:
//   vigilo_render_glass <folder>
#include "art/GlassIcon.h"
#include "art/GlassView.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

using vigilo::GlassState;

constexpr qreal ratio = 2;

GlassState glassState(double coffee, double ice, double ring, double time, double tilt = 0,
                      double liquidAngle = 0) {
    GlassState state;
    state.coffee = coffee;
    state.ice = ice;
    state.ring = ring;
    state.time = time;
    state.tilt = tilt;
    state.liquidAngle = liquidAngle;
    return state;
}

// The panel's two surfaces: the ring's track takes the text colour of the one behind it.
struct Surface {
    const char* name;
    QColor background;
    QColor label;
};

bool save(const QImage& image, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

QImage glass(const GlassState& state, const Surface& surface) {
    const QSizeF size(210, 250);
    QImage image((size * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(surface.background);
    vigilo::GlassCache cache;
    QPainter painter(&image);
    vigilo::paintGlass(painter, size, state, surface.label, cache);
    return image;
}

QImage icon(qreal size, bool filled, const Surface& surface) {
    const bool dark = surface.label == Qt::white;
    // A template image is tinted by the bar: white on a dark one, black on a light one.
    const QImage drawn = vigilo::GlassIcon::image(size, filled, 8, dark, surface.label);
    QImage image(drawn.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(drawn.devicePixelRatio());
    image.fill(surface.background);
    QPainter(&image).drawImage(0, 0, drawn);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1])
                               : QStringLiteral("/tmp/vigilo-glass"));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    const Surface surfaces[] = {{"dark", QColor(30, 30, 32), Qt::white},
                                {"light", QColor(236, 236, 238), Qt::black}};
    GlassState hover = vigilo::stillGlassState(false);
    hover.hoverTick = 59;
    const struct {
        const char* name;
        GlassState state;
    } glasses[] = {
        {"off", vigilo::stillGlassState(false)},
        {"filling", glassState(0.36, 0.6, 0, 0.45)},
        {"full", glassState(0.72, 1, 0.35, 1.2)},
        {"still-awake", vigilo::stillGlassState(true)},
        {"hover", hover},
        {"tilt", glassState(0.72, 1, 0.5, 0.3, 5, -3)},
    };

    bool ok = true;
    for (const Surface& surface : surfaces) {
        const QString suffix = QString::fromLatin1(surface.name) + QStringLiteral(".png");
        for (const auto& entry : glasses) {
            ok &= save(glass(entry.state, surface), folder,
                       QStringLiteral("glass-%1-").arg(QString::fromLatin1(entry.name)) + suffix);
        }
        for (const int size : {18, 36}) {
            for (const bool filled : {false, true}) {
                ok &=
                    save(icon(size, filled, surface), folder,
                         QStringLiteral("icon-%1-%2-")
                                 .arg(size)
                                 .arg(filled ? QStringLiteral("filled") : QStringLiteral("empty")) +
                             suffix);
            }
        }
    }
    return ok ? 0 : 1;
}
