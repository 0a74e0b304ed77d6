#pragma once

#include "ports/Clock.h"

#include <ctime>

namespace vigilo {

/// The real wall clock.
class SystemClock final : public Clock {
public:
    [[nodiscard]] TimePoint now() const override { return std::chrono::system_clock::now(); }
    [[nodiscard]] SteadyTime steadyNow() const override { return std::chrono::steady_clock::now(); }
    [[nodiscard]] std::chrono::seconds utcOffsetAt(TimePoint at) const override {
        const std::time_t seconds = std::chrono::system_clock::to_time_t(at);
        std::tm local{};
        if (::localtime_r(&seconds, &local) == nullptr) {
            return std::chrono::seconds(0);
        }
        return std::chrono::seconds(local.tm_gmtoff);
    }
};

} // namespace vigilo
