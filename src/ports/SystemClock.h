#pragma once

#include "ports/Clock.h"

namespace vigilo {

/// The real wall clock.
class SystemClock final : public Clock {
public:
    [[nodiscard]] TimePoint now() const override { return std::chrono::system_clock::now(); }
    [[nodiscard]] SteadyTime steadyNow() const override { return std::chrono::steady_clock::now(); }
};

} // namespace vigilo
