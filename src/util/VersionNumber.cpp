#include "util/VersionNumber.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace vigilo {

VersionNumber::VersionNumber(std::vector<std::uint64_t> numbers)
    : numbers_(std::move(numbers)) {
    while (!numbers_.empty() && numbers_.back() == 0) {
        numbers_.pop_back();
    }
}

std::optional<VersionNumber> VersionNumber::parse(std::string_view text) {
    std::vector<std::uint64_t> numbers;
    for (;;) {
        const auto dot = text.find('.');
        const auto part = text.substr(0, dot);
        const bool isDigits =
            !part.empty() && std::ranges::all_of(part, [](char c) { return c >= '0' && c <= '9'; });
        std::uint64_t number = 0;
        if (!isDigits ||
            std::from_chars(part.data(), part.data() + part.size(), number).ec != std::errc{}) {
            return std::nullopt;
        }
        numbers.push_back(number);
        if (dot == std::string_view::npos) {
            return VersionNumber(std::move(numbers));
        }
        text.remove_prefix(dot + 1);
    }
}

} // namespace vigilo
