#pragma once

#include "platform/ReducedMotion.h"

namespace vigilo::fakes {

/// A desktop that does not ask for less motion.
class FakeReducedMotion final : public ReducedMotion {
public:
    [[nodiscard]] bool isReduced() const override { return false; }
};

} // namespace vigilo::fakes
