#include "system/ExternalAddress.h"

#include "util/Text.h"

#include <algorithm>
#include <vector>

namespace vigilo::ExternalAddress {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

/// Splits at every `separator`, keeping empty parts.
std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const auto end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(end + 1);
    }
}

bool isDecimalOctet(std::string_view part) {
    if (part.empty() || part.size() > 3 || !std::all_of(part.begin(), part.end(), isDigit)) {
        return false;
    }
    if (part.size() > 1 && part.front() == '0') {
        return false; // "010" reads as octal to some parsers: ambiguous, so refused
    }
    int value = 0;
    for (const char c : part) {
        value = value * 10 + (c - '0');
    }
    return value <= 255;
}

bool isHexGroup(std::string_view group) {
    return !group.empty() && group.size() <= 4 &&
           std::all_of(group.begin(), group.end(), isHexDigit);
}

/// Checks colon-separated groups (one side of a "::", or the whole address without one) and
/// counts them; an IPv4 tail is allowed only at the very end and counts as two groups.
std::optional<std::size_t> groupCount(std::string_view text, bool mayEndInIPv4) {
    if (text.empty()) {
        return 0;
    }
    const auto groups = split(text, ':');
    std::size_t count = 0;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const bool last = i + 1 == groups.size();
        if (last && mayEndInIPv4 && isIPv4(groups[i])) {
            count += 2;
        } else if (isHexGroup(groups[i])) {
            count += 1;
        } else {
            return std::nullopt;
        }
    }
    return count;
}

} // namespace

bool isIPv4(std::string_view text) {
    const auto parts = split(text, '.');
    return parts.size() == 4 && std::all_of(parts.begin(), parts.end(), isDecimalOctet);
}

bool isIPv6(std::string_view text) {
    const auto gap = text.find("::");
    if (gap == std::string_view::npos) {
        return groupCount(text, true) == 8u;
    }
    const auto head = text.substr(0, gap);
    const auto tail = text.substr(gap + 2);
    if (tail.find("::") != std::string_view::npos) {
        return false;
    }
    const auto before = groupCount(head, false);
    const auto after = groupCount(tail, true);
    // "::" stands for at least one group of zeros.
    return before && after && *before + *after <= 7;
}

std::optional<std::string> fromBody(std::string_view body) {
    const auto text = trimmed(body);
    // No address is longer: an error page is refused before any parsing.
    if (text.empty() || text.size() > maxAddressLength) {
        return std::nullopt;
    }
    if (!isIPv4(text) && !isIPv6(text)) {
        return std::nullopt;
    }
    return std::string(text);
}

} // namespace vigilo::ExternalAddress
