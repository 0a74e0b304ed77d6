#pragma once

#include "ports/Clock.h"

#include <functional>

namespace vigilo::fakes {

/// A clock that only moves when told to. `advance` moves both clocks; `set` moves only the
/// wall clock, as a user setting the time does.
class FakeClock final : public Clock {
public:
    FakeClock()
        : now_(std::chrono::sys_days(std::chrono::year(2026) / 3 / 1)) {}
    [[nodiscard]] TimePoint now() const override { return now_; }
    [[nodiscard]] SteadyTime steadyNow() const override { return steady_; }
    void advance(double seconds) {
        now_ +=
            std::chrono::duration_cast<TimePoint::duration>(std::chrono::duration<double>(seconds));
        steady_ += std::chrono::duration_cast<SteadyTime::duration>(
            std::chrono::duration<double>(seconds));
    }
    void set(TimePoint time) { now_ = time; }
    /// Local time is UTC unless a test gives a zone.
    [[nodiscard]] std::chrono::seconds utcOffsetAt(TimePoint at) const override {
        return zone ? zone(at) : std::chrono::seconds(0);
    }

    std::function<std::chrono::seconds(TimePoint)> zone;

private:
    TimePoint now_;
    SteadyTime steady_{std::chrono::hours(1000)};
};

} // namespace vigilo::fakes
