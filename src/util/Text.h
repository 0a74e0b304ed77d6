#pragma once

#include <cstdint>
#include <optional>
#include <string>
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

/// A base-10 integer: an optional "+" or "-", then digits, and nothing else (no white space:
/// callers trim what their format allows). Nothing when the text is not one or the value does
/// not fit in 64 bits.
[[nodiscard]] std::optional<std::int64_t> parseInteger(std::string_view text);

/// Decodes bytes as UTF-8, replacing every invalid sequence by U+FFFD.
[[nodiscard]] std::string sanitizedUtf8(std::string_view bytes);

} // namespace vigilo
