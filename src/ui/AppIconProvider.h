#pragma once

#include <QQuickImageProvider>
#include <filesystem>
#include <optional>
#include <vector>

namespace vigilo {

/// The watched applications' icons for the views, at "image://appicon/<reference>" with the
/// reference percent-encoded: an absolute image path, or an icon-theme name looked up in the
/// hicolor theme and then the pixmaps folders. Loaded off the GUI thread, so it uses no
/// QIcon; an icon that is not found or cannot be read gives no image.
class AppIconProvider final : public QQuickImageProvider {
public:
    /// The size an icon is wanted at: 22 points on a screen of double density.
    static constexpr int preferredPixels = 44;

    /// Looks below the XDG data folders of the environment as it is now.
    AppIconProvider();

    /// The image file of `reference`: the path itself when it is absolute; for a name, the
    /// hicolor "apps" icon (PNG or SVG) of the size nearest `preferredPixels` below any data
    /// folder, else a PNG, SVG or XPM of that name in a pixmaps folder.
    [[nodiscard]] std::optional<std::filesystem::path> iconFile(const QString& reference) const;

    /// The icon read at `requestedSize` (keeping its proportions) when one is given.
    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

private:
    [[nodiscard]] std::optional<std::filesystem::path> themeIcon(const std::string& name) const;
    [[nodiscard]] std::optional<std::filesystem::path> pixmap(const std::string& name) const;

    std::vector<std::filesystem::path> dataFolders_;
};

} // namespace vigilo
