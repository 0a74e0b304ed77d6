#pragma once

#include <string>
#include <vector>

namespace vigilo {

/// One entry of an update archive (a tar.gz of the program's folder), as the archive lists it.
struct ArchiveEntry {
    enum class Kind { file, directory, symlink, hardlink, other };

    /// Relative to the folder the archive unpacks into.
    std::string path;
    Kind kind = Kind::file;
    /// Where a link points: for a symbolic link relative to the link's own folder, for a hard
    /// link relative to the folder the archive unpacks into. Empty for other kinds.
    std::string linkTarget;
};

/// Whether unpacking `entries` writes, and links, only inside the folder they unpack into. Every
/// path must be relative without "..", link targets too; no entry may lie below a symbolic link
/// (unpacking would write through it); and only files, folders and links are allowed. Links
/// that cannot step up cannot lead out, however they chain.
[[nodiscard]] bool staysInsideFolder(const std::vector<ArchiveEntry>& entries);

} // namespace vigilo
