#pragma once

#include <chrono>

namespace vigilo {

using TimePoint = std::chrono::system_clock::time_point;

/// Wall-clock time. Injected so tests can move time by hand.
class Clock {
public:
    virtual ~Clock() = default;
    /// The current time.
    [[nodiscard]] virtual TimePoint now() const = 0;
};

/// Seconds between two time points, as a double.
inline double secondsBetween(TimePoint from, TimePoint to) {
    return std::chrono::duration<double>(to - from).count();
}

} // namespace vigilo
