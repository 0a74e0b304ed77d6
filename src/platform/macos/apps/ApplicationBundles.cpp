#include "platform/macos/apps/ApplicationBundles.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <set>
#include <system_error>

namespace vigilo {

namespace fs = std::filesystem;

namespace {

bool isBundle(const fs::path& path) {
    return path.extension() == ".app";
}

/// The folders below `folder` (not bundles), in name order; none when it cannot be read.
std::vector<fs::path> entries(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code kindError;
        if (it->is_directory(kindError)) {
            found.push_back(it->path());
        }
    }
    std::ranges::sort(found);
    return found;
}

fs::file_time_type modified(const fs::path& path) {
    std::error_code error;
    const auto time = fs::last_write_time(path, error);
    return error ? fs::file_time_type::min() : time;
}

} // namespace

std::vector<fs::path> standardApplicationFolders(const fs::path& home) {
    return {"/Applications", home / "Applications", "/System/Applications"};
}

std::vector<fs::path> findApplicationBundles(const std::vector<fs::path>& folders) {
    std::vector<fs::path> bundles;
    for (const auto& folder : folders) {
        for (const auto& entry : entries(folder)) {
            if (isBundle(entry)) {
                bundles.push_back(entry);
                continue;
            }
            for (const auto& inner : entries(entry)) {
                if (isBundle(inner)) {
                    bundles.push_back(inner);
                }
            }
        }
    }
    return bundles;
}

std::vector<fs::file_time_type> foldersStamp(const std::vector<fs::path>& folders) {
    std::vector<fs::file_time_type> stamp;
    for (const auto& folder : folders) {
        stamp.push_back(modified(folder));
        for (const auto& entry : entries(folder)) {
            if (!isBundle(entry)) {
                stamp.push_back(modified(entry));
            }
        }
    }
    return stamp;
}

std::vector<Workspace::InstalledApplication>
offeredApplications(const std::vector<fs::path>& bundles,
                    const std::function<std::optional<BundleInfo>(const fs::path&)>& read,
                    const std::function<std::optional<std::string>(const fs::path&)>& icon) {
    std::vector<Workspace::InstalledApplication> offered;
    std::set<std::string> seen;
    for (const auto& bundle : bundles) {
        const auto info = read(bundle);
        if (!info || info->isAgent || !info->identifier || info->identifier->empty() ||
            !seen.insert(*info->identifier).second) {
            continue;
        }
        std::string name = bundle.stem().string();
        if (info->displayName && !info->displayName->empty()) {
            name = *info->displayName;
        } else if (info->name && !info->name->empty()) {
            name = *info->name;
        }
        offered.push_back({.identifier = *info->identifier,
                           .location = bundle.string(),
                           .name = std::move(name),
                           .icon = icon(bundle)});
    }
    return offered;
}

fs::path renderedIconFile(const fs::path& cacheFolder, const std::string& location) {
    // FNV-1a: stable across runs and systems, unlike std::hash.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : location) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    std::array<char, 32> name{};
    std::snprintf(name.data(), name.size(), "%016llx.png", static_cast<unsigned long long>(hash));
    return cacheFolder / name.data();
}

bool hasFreshRenderedIcon(const fs::path& cacheFolder, const std::string& location) {
    const fs::path icon = renderedIconFile(cacheFolder, location);
    std::error_code error;
    if (!fs::is_regular_file(icon, error)) {
        return false;
    }
    return modified(icon) >= modified(location);
}

} // namespace vigilo
