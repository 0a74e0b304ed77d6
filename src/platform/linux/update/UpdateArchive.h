#pragma once

#include "util/ArchiveEntries.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

// The update archive, a gzip-compressed tar of a version folder, read with libarchive. Both calls
// read the whole file: keep them off the main thread.
namespace vigilo::UpdateArchive {

/// The archive's entries in archive order; nothing when it is not a readable tar.gz to its end.
[[nodiscard]] std::optional<std::vector<ArchiveEntry>> list(const std::filesystem::path& archive);

/// Unpacks `archive` into the existing folder `folder`, reporting the share of the archive read
/// so far (0 to 1) to `progress` after each entry. Check the entries with `staysInsideFolder`
/// first: this adds libarchive's own refusals (no "..", nothing written through a link) but
/// trusts the paths otherwise. Owners are not restored, and modes only as far as the umask
/// allows. Then reads every file back and compares its size and digest with the bytes read from
/// the archive, and waits until the files and folders have reached the disk (fsync). Stops early
/// when `stop` is requested. False on any failure (a write that failed, a full disk, a file
/// that differs from the archive's) or stop; what was unpacked then stays for the caller to
/// remove.
[[nodiscard]] bool extract(const std::filesystem::path& archive,
                           const std::filesystem::path& folder,
                           const std::function<void(double)>& progress,
                           const std::stop_token& stop);

} // namespace vigilo::UpdateArchive
