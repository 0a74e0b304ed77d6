#include "platform/linux/update/InstalledVersions.h"

#include "platform/posix/DiskSync.h"
#include "util/VersionNumber.h"

#include <algorithm>

namespace vigilo {

namespace fs = std::filesystem;

namespace {

/// The same release, however its folder spells the number.
bool isSameVersion(const std::string& name, const std::string& version) {
    if (name == version) {
        return true;
    }
    const auto parsedName = VersionNumber::parse(name);
    const auto parsedVersion = VersionNumber::parse(version);
    return parsedName && parsedVersion && *parsedName == *parsedVersion;
}

} // namespace

std::optional<std::string> InstalledVersions::currentVersion() const {
    std::error_code error;
    const auto target = fs::read_symlink(folder_ / "current", error);
    if (error) {
        return std::nullopt;
    }
    // "1.2/" names the folder as well as "1.2" does.
    auto normal = target.lexically_normal();
    if (!normal.has_filename()) {
        normal = normal.parent_path();
    }
    return normal.filename().string();
}

bool InstalledVersions::switchCurrent(const std::string& version) const {
    const fs::path link = folder_ / (std::string(workPrefix) + "current");
    std::error_code error;
    // A leftover of a switch that was interrupted.
    fs::remove(link, error);
    // Relative, so that the install keeps working wherever the home folder is mounted.
    fs::create_directory_symlink(version, link, error);
    // The new link reaches the disk before the switch and the switch right after, so that a
    // power cut leaves `current` at one whole version or the other (the version's files are on
    // the disk before it is switched to).
    if (error || !syncToDisk(folder_)) {
        fs::remove(link, error);
        return false;
    }
    // rename(2) replaces the old link itself, never what it points at.
    fs::rename(link, folder_ / "current", error);
    if (error) {
        fs::remove(link, error);
        return false;
    }
    // Switched already, whatever the disk says now.
    (void)syncToDisk(folder_);
    return true;
}

void InstalledVersions::removeAllBut(const std::vector<std::string>& kept) const {
    std::error_code error;
    std::vector<fs::path> removed;
    for (const auto& entry : fs::directory_iterator(folder_, error)) {
        const std::string name = entry.path().filename().string();
        const bool isWork = name.starts_with(workPrefix);
        const bool isVersion = VersionNumber::parse(name).has_value();
        const bool isKept = std::ranges::any_of(
            kept, [&name](const std::string& version) { return isSameVersion(name, version); });
        if ((isWork || isVersion) && !isKept) {
            removed.push_back(entry.path());
        }
    }
    // Removing while iterating would leave the iterator's view of the folder undefined.
    for (const auto& path : removed) {
        fs::remove_all(path, error);
    }
}

} // namespace vigilo
