#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace vigilo {

/// At most the first `limit` bytes of the file at `path`, in one read: sysfs attributes never
/// hold more than a page, and /proc files are generated anew on each read, so one read is both
/// the cheapest and the most consistent. Nothing when the file cannot be read.
[[nodiscard]] std::optional<std::string> readFileStart(const std::filesystem::path& path,
                                                       std::size_t limit = 4096);

/// The whole file at `path`, for configuration files of unknown but modest size. Nothing when
/// it cannot be read or is larger than `limit` bytes.
[[nodiscard]] std::optional<std::string> readWholeFile(const std::filesystem::path& path,
                                                       std::size_t limit = 16U << 20U);

} // namespace vigilo
