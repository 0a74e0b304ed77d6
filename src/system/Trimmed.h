#pragma once

#include <string_view>

namespace vigilo {

/// Spaces, tabs, line breaks, vertical tabs and form feeds.
inline constexpr std::string_view whiteSpace = " \t\n\r\v\f";

/// `text` without `characters` at either end.
[[nodiscard]] constexpr std::string_view trimmed(std::string_view text,
                                                 std::string_view characters = whiteSpace) {
    const auto first = text.find_first_not_of(characters);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(characters) - first + 1);
}

} // namespace vigilo
