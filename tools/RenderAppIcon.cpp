// Renders the application icon into a hicolor icon theme folder, as PNGs of the given sizes and
// one SVG:
//   vigilo_render_app_icon <folder> <application id> <size>...
// writes <folder>/hicolor/<size>x<size>/apps/<id>.png and <folder>/hicolor/scalable/apps/<id>.svg;
// or into a Mac's icon file, with every size a Mac asks for:
//   vigilo_render_app_icon --icns <file>
#include "IcnsFile.h"
#include "art/AppIcon.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

namespace {

bool writeSvg(const QString& path) {
    // The tile is drawn as vectors; the glass comes as a picture large enough for any icon size
    // a desktop asks for.
    constexpr int side = 256;
    constexpr qreal pixelsPerUnit = 4;
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(side, side));
    svg.setViewBox(QRect(0, 0, side, side));
    svg.setTitle(QStringLiteral("Vigilo"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    vigilo::AppIcon::paint(painter, QRectF(0, 0, side, side), pixelsPerUnit);
    return painter.end();
}

bool report(bool written, const QString& path) {
    if (written) {
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
    return written;
}

bool writeIcns(const QString& path) {
    std::vector<vigilo::IcnsFile::Element> elements;
    for (const auto& [type, pixels] : vigilo::IcnsFile::pngTypes) {
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) ||
            !vigilo::AppIcon::image(pixels).save(&buffer, "PNG")) {
            return false;
        }
        elements.push_back({.type = type, .data = {png.begin(), png.end()}});
    }
    const std::vector<std::uint8_t> icns = vigilo::IcnsFile::write(elements);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(icns.data()),
                      static_cast<qint64>(icns.size())) == static_cast<qint64>(icns.size()) &&
           file.flush();
}

QString iconPath(const QDir& root, const QString& size, const QString& fileName) {
    const QString folder = QStringLiteral("hicolor/%1/apps").arg(size);
    return root.mkpath(folder) ? root.filePath(folder + QLatin1Char('/') + fileName) : QString();
}

} // namespace

int main(int argc, char** argv) {
    const QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--icns")) {
        return report(writeIcns(arguments[2]), arguments[2]) ? 0 : 1;
    }
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: vigilo_render_app_icon <folder> <application id> <size>...\n"
                             "       vigilo_render_app_icon --icns <file>\n");
        return 64;
    }
    const QDir root(arguments[1]);
    const QString& id = arguments[2];

    bool ok = true;
    for (const QString& size : arguments.mid(3)) {
        const int side = size.toInt();
        const QString path =
            iconPath(root, size + QLatin1Char('x') + size, id + QStringLiteral(".png"));
        ok &= report(side > 0 && !path.isEmpty() && vigilo::AppIcon::image(side).save(path), path);
    }
    const QString svgPath = iconPath(root, QStringLiteral("scalable"), id + QStringLiteral(".svg"));
    ok &= report(!svgPath.isEmpty() && writeSvg(svgPath), svgPath);
    return ok ? 0 : 1;
}
