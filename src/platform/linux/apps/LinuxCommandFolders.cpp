#include "platform/linux/apps/LinuxCommandFolders.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>

namespace vigilo {

namespace fs = std::filesystem;

namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::vector<fs::path> commandFolders() {
    std::vector<fs::path> candidates;
    for (auto path = environment("PATH"); !path.empty();) {
        const auto colon = path.find(':');
        candidates.emplace_back(path.substr(0, colon));
        path = colon == std::string_view::npos ? std::string_view() : path.substr(colon + 1);
    }
    // Without a home these are relative, and so left out.
    const fs::path home(environment("HOME"));
    candidates.push_back(home / ".local/bin");
    const auto npmPrefix = environment("NPM_CONFIG_PREFIX");
    candidates.push_back(npmPrefix.empty() ? home / ".npm-global/bin"
                                           : fs::path(npmPrefix) / "bin");
    candidates.emplace_back("/usr/local/bin");

    std::vector<fs::path> folders;
    for (auto& folder : candidates) {
        folder = folder.lexically_normal();
        if (!folder.has_filename() && folder.has_relative_path()) {
            folder = folder.parent_path(); // "/usr/bin/" is "/usr/bin"
        }
        if (folder.is_absolute() && std::ranges::find(folders, folder) == folders.end()) {
            folders.push_back(std::move(folder));
        }
    }
    return folders;
}

std::optional<fs::path> findCommand(const std::string& program,
                                    const std::vector<fs::path>& folders) {
    if (program.empty() || program.find('/') != std::string::npos || program == "." ||
        program == "..") {
        return std::nullopt;
    }
    for (const auto& folder : folders) {
        auto candidate = folder / program;
        // One stat per folder, following links (installers link their current version here).
        struct stat status {};
        if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace vigilo
