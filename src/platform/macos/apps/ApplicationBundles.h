#pragma once

#include <filesystem>
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

/// The icon file the bundle at `bundle` names in its "CFBundleIconFile" entry (`entry`): in its
/// Contents/Resources, with ".icns" added when the entry has no extension. Nothing when the entry
/// is empty, leads out of the resources, or the file is missing.
[[nodiscard]] std::optional<std::filesystem::path>
bundleIconFile(const std::filesystem::path& bundle, const std::string& entry);

/// Where the icon drawn for the application at `location` is kept in `cacheFolder`: one PNG file
/// per location, named by a hash of it.
[[nodiscard]] std::filesystem::path renderedIconFile(const std::filesystem::path& cacheFolder,
                                                     const std::string& location);

/// The icon drawn for `location` is in `cacheFolder` and newer than the application, so it
/// still shows what the application's current version shows.
[[nodiscard]] bool hasFreshRenderedIcon(const std::filesystem::path& cacheFolder,
                                        const std::string& location);

} // namespace vigilo
