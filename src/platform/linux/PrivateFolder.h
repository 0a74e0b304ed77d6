#pragma once

#include <filesystem>
#include <string_view>
#include <sys/types.h>

namespace vigilo {

/// The folder for the program's files that last as long as the login session:
/// "<xdgRuntimeDir>/vigilo" when `xdgRuntimeDir` ($XDG_RUNTIME_DIR) names an existing folder,
/// else "/tmp/vigilo-<uid>". The command-line control keeps its socket there too.
[[nodiscard]] std::filesystem::path sessionFolder(std::string_view xdgRuntimeDir, uid_t uid);

/// Creates `folder` (in an existing parent) open to its owner only, and accepts a folder that
/// already exists only when it belongs to this user and nobody else may enter it, so no other
/// user can replace the files put there.
[[nodiscard]] bool makePrivateFolder(const std::filesystem::path& folder);

} // namespace vigilo
