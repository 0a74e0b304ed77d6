#pragma once

#include <cstdint>
#include <optional>

namespace vigilo {

/// A snapshot of the computer's own battery; several batteries count as one.
struct BatteryInfo {
    /// Stored charge × 100 ÷ capacity, truncated; not clamped (worn or miscalibrated batteries
    /// report more than 100).
    std::int64_t percent = 0;
    bool isCharging = false;
    /// The computer draws from external power.
    bool onAC = false;
    /// Estimated minutes until empty; nothing when the system gives no positive estimate.
    std::optional<std::int64_t> minutesLeft;

    bool operator==(const BatteryInfo&) const = default;
};

} // namespace vigilo
