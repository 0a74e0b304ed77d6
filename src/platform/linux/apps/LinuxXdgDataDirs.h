#pragma once

#include <filesystem>
#include <vector>

namespace vigilo {

/// The `applications` folders of this session's XDG data folders, most important first:
/// $XDG_DATA_HOME (else ~/.local/share), then $XDG_DATA_DIRS (else /usr/local/share:/usr/share).
[[nodiscard]] std::vector<std::filesystem::path> xdgApplicationFolders();

} // namespace vigilo
