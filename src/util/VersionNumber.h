#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vigilo {

/// A release number: whole numbers separated by dots, compared number by number ("1.10" is newer
/// than "1.9"). Missing numbers count as 0, so "1.2" and "1.2.0" are the same release.
class VersionNumber {
public:
    /// Nothing unless `text` is one or more runs of digits joined by single dots: a version the
    /// program cannot order is never taken for a newer one.
    [[nodiscard]] static std::optional<VersionNumber> parse(std::string_view text);

    friend bool operator==(const VersionNumber&, const VersionNumber&) = default;
    // clang-tidy 14 misreads the comparison category's literal 0 in a defaulted <=>.
    friend auto operator<=>(const VersionNumber&,
                            const VersionNumber&) = default; // NOLINT(modernize-use-nullptr)

private:
    explicit VersionNumber(std::vector<std::uint64_t> numbers);

    /// Without trailing zeros, so that equal releases compare equal element by element.
    std::vector<std::uint64_t> numbers_;
};

} // namespace vigilo
