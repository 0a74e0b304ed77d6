#pragma once

#include "platform/ports/Clock.h"

namespace vigilo::fakes {

/// A clock that only moves when told to.
class FakeClock final : public Clock {
public:
    FakeClock()
        : now_(std::chrono::sys_days(std::chrono::year(2026) / 3 / 1)) {}
    [[nodiscard]] TimePoint now() const override { return now_; }
    void advance(double seconds) {
        now_ +=
            std::chrono::duration_cast<TimePoint::duration>(std::chrono::duration<double>(seconds));
    }
    void set(TimePoint time) { now_ = time; }

private:
    TimePoint now_;
};

} // namespace vigilo::fakes
