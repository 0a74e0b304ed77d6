#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vigilo {

/// The keys of a desktop entry file's [Desktop Entry] group that the program reads.
/// String values have their escapes (\s \n \t \r \\) resolved. The names are shown and stored
/// as text, so bytes that are not UTF-8 in them become U+FFFD; the other values are compared
/// with file names and keep their bytes.
struct LinuxDesktopEntry {
    std::string type;
    std::optional<std::string> name;
    /// Name[ru], the name in the program's language.
    std::optional<std::string> localizedName;
    std::optional<std::string> icon;
    std::optional<std::string> exec;
    std::optional<std::string> tryExec;
    std::optional<std::string> startupWMClass;
    bool noDisplay = false;
    bool hidden = false;
};

/// Reads the [Desktop Entry] group of a desktop entry file's text; other groups are skipped.
/// Nothing when the text has no such group.
[[nodiscard]] std::optional<LinuxDesktopEntry> parseDesktopEntry(std::string_view text);

/// Reads and parses the file at `path`; nothing when it cannot be read or is no desktop entry.
[[nodiscard]] std::optional<LinuxDesktopEntry> readDesktopEntry(const std::filesystem::path& path);

} // namespace vigilo
