#pragma once

#include <chrono>

namespace vigilo {

using TimePoint = std::chrono::system_clock::time_point;
using SteadyTime = std::chrono::steady_clock::time_point;

/// The time, injected so tests can move it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    /// The wall-clock time: for what is shown or stored.
    [[nodiscard]] virtual TimePoint now() const = 0;
    /// A clock that never jumps: for intervals, which must not freeze or rush when the user
    /// sets the wall clock.
    [[nodiscard]] virtual SteadyTime steadyNow() const = 0;
    /// How far local time is ahead of UTC at `at` (negative west of Greenwich): for times the
    /// user reads or types, which follow the local zone and its daylight-saving changes.
    [[nodiscard]] virtual std::chrono::seconds utcOffsetAt(TimePoint at) const = 0;
};

/// Seconds between two time points, as a double.
template <typename Time> double secondsBetween(Time from, Time to) {
    return std::chrono::duration<double>(to - from).count();
}

} // namespace vigilo
