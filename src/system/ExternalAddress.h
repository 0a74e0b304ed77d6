#pragma once

#include <optional>
#include <string>
#include <string_view>

// The public address as told by a lookup service that answers a plain GET with the caller's
// address as the whole body.
namespace vigilo::ExternalAddress {

/// The lookup service. It answers over HTTPS with the bare IPv4 address as plain text.
inline constexpr const char* lookupUrl = "https://api.ipify.org";

/// Longest textual IPv6 address (with an embedded IPv4 tail), in characters.
inline constexpr std::size_t maxAddressLength = 45;

/// The address in a lookup answer: the body with white space trimmed at both ends, when that is
/// exactly one IPv4 address in dotted decimal form or one IPv6 address. Anything else (empty,
/// an error page, several addresses, bytes that are not text) gives nothing.
[[nodiscard]] std::optional<std::string> fromBody(std::string_view body);

/// Four decimal parts 0..255 separated by dots, without leading zeros.
[[nodiscard]] bool isIPv4(std::string_view text);
/// Eight hexadecimal groups separated by colons, at most one "::" standing for missing groups,
/// the last two groups possibly written as an IPv4 address.
[[nodiscard]] bool isIPv6(std::string_view text);

} // namespace vigilo::ExternalAddress
