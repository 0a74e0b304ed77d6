#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Standard Base64 (RFC 4648, with padding), for binary values in text files.
namespace vigilo::Base64 {

[[nodiscard]] std::string encode(const std::vector<std::uint8_t>& bytes);
/// Nothing when `text` is not padded Base64 of the standard alphabet (no whitespace either).
[[nodiscard]] std::optional<std::vector<std::uint8_t>> decode(std::string_view text);

} // namespace vigilo::Base64
