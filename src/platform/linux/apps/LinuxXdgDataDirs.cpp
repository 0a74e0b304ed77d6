#include "platform/linux/apps/LinuxXdgDataDirs.h"

#include <cstdlib>
#include <string_view>

namespace vigilo {

namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::vector<std::filesystem::path> xdgApplicationFolders() {
    std::vector<std::filesystem::path> folders;
    // Relative entries are invalid by the XDG rules and ignored.
    const auto dataHome = environment("XDG_DATA_HOME");
    if (dataHome.starts_with('/')) {
        folders.emplace_back(dataHome);
    } else if (const auto home = environment("HOME"); !home.empty()) {
        folders.push_back(std::filesystem::path(home) / ".local/share");
    }
    auto dataDirs = environment("XDG_DATA_DIRS");
    if (dataDirs.empty()) {
        dataDirs = "/usr/local/share:/usr/share";
    }
    while (!dataDirs.empty()) {
        const auto colon = dataDirs.find(':');
        const auto folder = dataDirs.substr(0, colon);
        if (folder.starts_with('/')) {
            folders.emplace_back(folder);
        }
        dataDirs =
            colon == std::string_view::npos ? std::string_view() : dataDirs.substr(colon + 1);
    }
    for (auto& folder : folders) {
        folder /= "applications";
    }
    return folders;
}

} // namespace vigilo
