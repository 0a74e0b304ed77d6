#include "ui/AppIconProvider.h"

#include <QImageReader>
#include <QStandardPaths>
#include <QUrl>
#include <charconv>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <string>
#include <utility>

namespace vigilo {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

/// How far an icon folder's size is from the wanted one, smaller is better: "48x48" by its
/// size (a larger one first on a tie, it scales down better), "scalable" just after an exact
/// size. Nothing for other folders.
std::optional<std::pair<int, int>> sizeDistance(const std::string& folder) {
    if (folder == "scalable") {
        return std::pair{0, 0};
    }
    int width = 0;
    std::from_chars(folder.data(), folder.data() + folder.size(), width);
    const auto side = std::to_string(width);
    if (width <= 0 || folder != side + "x" + side) {
        return std::nullopt;
    }
    return std::pair{std::abs(width - AppIconProvider::preferredPixels), -width};
}

std::optional<fs::path> firstFile(const fs::path& folder, const std::string& name,
                                  std::initializer_list<const char*> extensions) {
    for (const char* extension : extensions) {
        if (auto file = folder / (name + extension); isFile(file)) {
            return file;
        }
    }
    return std::nullopt;
}

} // namespace

AppIconProvider::AppIconProvider()
    : QQuickImageProvider(QQuickImageProvider::Image,
                          QQuickImageProvider::ForceAsynchronousImageLoading) {
    for (const auto& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        dataFolders_.emplace_back(folder.toStdString());
    }
}

std::optional<fs::path> AppIconProvider::iconFile(const QString& reference) const {
    const fs::path given = reference.toStdString();
    if (given.is_absolute()) {
        return isFile(given) ? std::optional(given) : std::nullopt;
    }
    // A name never holds a folder: nothing is read from outside the icon folders.
    if (reference.isEmpty() || reference.contains(QLatin1Char('/'))) {
        return std::nullopt;
    }
    const std::string name = reference.toStdString();
    auto found = themeIcon(name);
    return found ? found : pixmap(name);
}

std::optional<fs::path> AppIconProvider::themeIcon(const std::string& name) const {
    std::optional<fs::path> best;
    auto bestDistance = std::pair{std::numeric_limits<int>::max(), 0};
    // Folders earlier in the list win among icons of the same size.
    for (const auto& data : dataFolders_) {
        std::error_code error;
        for (fs::directory_iterator folder(data / "icons/hicolor", error), end;
             !error && folder != end; folder.increment(error)) {
            const auto distance = sizeDistance(folder->path().filename().string());
            if (!distance || *distance >= bestDistance) {
                continue;
            }
            if (auto file = firstFile(folder->path() / "apps", name, {".png", ".svg"})) {
                best = std::move(file);
                bestDistance = *distance;
            }
        }
    }
    return best;
}

std::optional<fs::path> AppIconProvider::pixmap(const std::string& name) const {
    std::vector<fs::path> folders;
    for (const auto& data : dataFolders_) {
        folders.push_back(data / "pixmaps");
    }
    folders.emplace_back("/usr/share/pixmaps");
    for (const auto& folder : folders) {
        if (auto file = firstFile(folder, name, {".png", ".svg", ".xpm"})) {
            return file;
        }
    }
    return std::nullopt;
}

QImage AppIconProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize) {
    QImage image;
    if (const auto file = iconFile(QUrl::fromPercentEncoding(id.toUtf8()))) {
        QImageReader reader(QString::fromStdString(file->string()));
        if (requestedSize.isValid() && reader.size().isValid()) {
            reader.setScaledSize(reader.size().scaled(requestedSize, Qt::KeepAspectRatio));
        }
        image = reader.read();
    }
    if (size != nullptr) {
        *size = image.size();
    }
    return image;
}

} // namespace vigilo
