#pragma once

#include "ports/PowerAssertions.h"

#include <functional>
#include <string>

namespace vigilo {

/// The single owner of the power assertion that keeps the computer awake. Holds at most one,
/// can swap its kind between keeping the display on and letting it sleep, and tells its owner
/// when it starts or stops holding one. Failures leave the state as it was.
class SleepGuard {
public:
    /// What the guard tells its owner; either may be empty.
    struct Reports {
        /// After the guard started or stopped holding an assertion.
        std::function<void()> changed = {};
        /// After the system dropped the held assertion on its own, before `changed`.
        std::function<void()> lost = {};
    };

    /// `name` is what the system's lock listings show. The guard follows the assertions' losses
    /// while it exists.
    SleepGuard(PowerAssertions& assertions, Reports reports,
               std::string name = "Vigilo: keeping Mac awake");
    SleepGuard(const SleepGuard&) = delete;
    SleepGuard& operator=(const SleepGuard&) = delete;

    [[nodiscard]] bool isActive() const { return hasAssertion_; }
    [[nodiscard]] bool allowsDisplaySleep() const { return allowsDisplaySleep_; }

    /// Starts holding an assertion that keeps the display on.
    void activate();
    /// Releases the held assertion.
    void deactivate();
    void toggle();
    /// Swaps the kind of the held assertion; the new one is asked for before the old is
    /// released.
    void setAllowsDisplaySleep(bool allow);

private:
    void lost(AssertionId id);

    void reportChange() const;

    PowerAssertions& assertions_;
    Reports reports_;
    Connection lossConnection_;
    std::string name_;
    AssertionId assertionId_ = 0;
    bool hasAssertion_ = false;
    bool allowsDisplaySleep_ = false;
};

} // namespace vigilo
