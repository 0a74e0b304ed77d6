#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vigilo {

/// A KDE configuration file, read as far as the power settings need it. Nested group headers
/// such as "[AC][Display]" name the group "AC/Display"; a later key of the same name wins;
/// comment lines (#, ;), localised keys ("Name[de]") and flagged keys ("Key[$e]") are skipped.
class IniFile {
public:
    /// Nothing when the file cannot be read.
    [[nodiscard]] static std::optional<IniFile> read(const std::filesystem::path& path);
    [[nodiscard]] static IniFile parse(std::string_view text);

    [[nodiscard]] std::optional<std::string> value(const std::string& group,
                                                   const std::string& key) const;
    /// A group named `group` or nested below it exists (even an empty one).
    [[nodiscard]] bool hasGroupAt(const std::string& group) const;

private:
    std::map<std::string, std::map<std::string, std::string>> groups_;
};

} // namespace vigilo
