#pragma once

#include "ports/Workspace.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vigilo {

/// Where macOS keeps the applications a user starts: /Applications, the user's own
/// ~/Applications, and the system's /System/Applications.
[[nodiscard]] std::vector<std::filesystem::path>
standardApplicationFolders(const std::filesystem::path& home);

/// The application bundles (folders named "*.app") directly in `folders` and in their plain
/// subfolders (as /Applications/Utilities), folder by folder in the given order, each folder's in
/// name order. The inside of a bundle is not searched; missing or unreadable folders are skipped.
[[nodiscard]] std::vector<std::filesystem::path>
findApplicationBundles(const std::vector<std::filesystem::path>& folders);

/// The last modification of `folders` and of their plain subfolders: installing or removing an
/// application changes it, so a list made from the folders is made again only then. Missing
/// folders count as never modified.
[[nodiscard]] std::vector<std::filesystem::file_time_type>
foldersStamp(const std::vector<std::filesystem::path>& folders);

/// What a chooser needs of one bundle's Info.plist.
struct BundleInfo {
    std::optional<std::string> identifier = std::nullopt;
    /// "CFBundleDisplayName", localised.
    std::optional<std::string> displayName = std::nullopt;
    /// "CFBundleName".
    std::optional<std::string> name = std::nullopt;
    /// "LSUIElement" or "LSBackgroundOnly": an agent or helper that shows no window of its own.
    bool isAgent = false;
};

/// The applications a chooser offers among `bundles` (see `findApplicationBundles`), as `read`
/// gives their information (nothing when unreadable): those with an identifier that are not
/// agents, only the first bundle of each identifier, named by their display name, else their
/// name, else the bundle's file name without ".app"; `icon` gives each one's icon.
[[nodiscard]] std::vector<Workspace::InstalledApplication> offeredApplications(
    const std::vector<std::filesystem::path>& bundles,
    const std::function<std::optional<BundleInfo>(const std::filesystem::path&)>& read,
    const std::function<std::optional<std::string>(const std::filesystem::path&)>& icon);

/// Where the icon drawn for the application at `location` is kept in `cacheFolder`: one PNG file
/// per location, named by a hash of it.
[[nodiscard]] std::filesystem::path renderedIconFile(const std::filesystem::path& cacheFolder,
                                                     const std::string& location);

/// The icon drawn for `location` is in `cacheFolder` and newer than the application, so it
/// still shows what the application's current version shows.
[[nodiscard]] bool hasFreshRenderedIcon(const std::filesystem::path& cacheFolder,
                                        const std::string& location);

} // namespace vigilo
