#pragma once

#include <cstdint>
#include <optional>

namespace vigilo {

/// Idle delays as far as one settings source knows them; unread values stay empty so that
/// the next source can supply them.
struct SleepDelays {
    std::optional<std::int64_t> displayMinutes;
    std::optional<std::int64_t> systemMinutes;

    [[nodiscard]] bool isComplete() const { return displayMinutes && systemMinutes; }
    /// Takes from `other` what is still missing here.
    void fillFrom(const SleepDelays& other) {
        if (!displayMinutes) {
            displayMinutes = other.displayMinutes;
        }
        if (!systemMinutes) {
            systemMinutes = other.systemMinutes;
        }
    }
};

/// Whole minutes, a partial minute rounded up (a 90-second delay still sleeps, so it must not
/// read as 1 minute nor as never). 0 or less means never and stays 0.
[[nodiscard]] constexpr std::int64_t minutesFromSeconds(std::int64_t seconds) {
    return seconds <= 0 ? 0 : seconds / 60 + (seconds % 60 != 0 ? 1 : 0);
}

} // namespace vigilo
