#pragma once

#include "ports/Clock.h"

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

private:
    TimePoint now_;
    SteadyTime steady_{std::chrono::hours(1000)};
};

} // namespace vigilo::fakes
