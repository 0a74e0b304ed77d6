#include "util/Text.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace vigilo {

std::optional<std::int64_t> parseInteger(std::string_view text) {
    // from_chars takes a minus sign but not a plus; "+-5" must not slip through.
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) {
            return std::nullopt;
        }
    }
    std::int64_t value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::string sanitizedUtf8(std::string_view bytes) {
    static const std::string replacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        // Take the longest valid prefix; an invalid sequence becomes one replacement character.
        std::size_t valid = length == 0 ? 0 : 1;
        while (valid < length && i + valid < bytes.size()) {
            const auto c = static_cast<unsigned char>(bytes[i + valid]);
            const auto min = valid == 1 ? low : static_cast<unsigned char>(0x80);
            const auto max = valid == 1 ? high : static_cast<unsigned char>(0xBF);
            if (c < min || c > max) {
                break;
            }
            ++valid;
        }
        if (length != 0 && valid == length) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            out += replacement;
            i += std::max<std::size_t>(valid, 1);
        }
    }
    return out;
}

} // namespace vigilo
