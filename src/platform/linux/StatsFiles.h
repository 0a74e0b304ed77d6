#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Small helpers for the kernel's text files under /proc and /sys.
namespace vigilo::LinuxStats {

/// The first 4 KiB of the file at `path` (sysfs attributes never hold more; of /proc files only
/// the first lines are needed); nothing when it cannot be read.
[[nodiscard]] std::optional<std::string> readFileStart(const std::filesystem::path& path);

/// A base-10 integer with an optional minus sign, white space around it allowed, nothing else.
[[nodiscard]] std::optional<std::int64_t> parseInteger(std::string_view text);

} // namespace vigilo::LinuxStats
