#pragma once

#include <filesystem>

namespace vigilo {

/// Waits until the file or folder at `path` has reached the disk (fsync(2)): a file's bytes, or
/// a folder's list of names, so that what was created, renamed or linked in it survives a power
/// cut. Not followed through a symbolic link. False when the disk reports an error.
[[nodiscard]] bool syncToDisk(const std::filesystem::path& path);

} // namespace vigilo
