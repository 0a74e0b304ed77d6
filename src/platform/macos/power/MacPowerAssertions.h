#pragma once

#include "ports/PowerAssertions.h"

#include <set>

namespace vigilo {

/// Power assertions of IOKit's power management (IOPMAssertionCreateWithName). The system
/// grants or refuses them at once and keeps them until released or the process ends, so none
/// is ever lost afterwards.
class MacPowerAssertions final : public PowerAssertions {
public:
    MacPowerAssertions() = default;
    /// Releases the assertions still held.
    ~MacPowerAssertions() override;
    MacPowerAssertions(const MacPowerAssertions&) = delete;
    MacPowerAssertions& operator=(const MacPowerAssertions&) = delete;

    [[nodiscard]] std::optional<AssertionId> create(AssertionKind kind,
                                                    const std::string& name) override;
    void release(AssertionId id) override;
    /// Never tells anything: nothing is ever lost.
    [[nodiscard]] const Signal<AssertionId>& lost() const override { return lost_; }

private:
    std::set<AssertionId> held_;
    Signal<AssertionId> lost_;
};

} // namespace vigilo
