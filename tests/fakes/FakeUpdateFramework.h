#pragma once

#include "ports/UpdateFramework.h"

namespace vigilo::fakes {

/// Counts the checks it is asked for; the test plays the framework's part through `driver()`.
class FakeUpdateFramework final : public UpdateFramework {
public:
    void start(UpdateDriver& driver) override { driver_ = &driver; }
    void checkForUpdates() override { ++checks; }

    /// The driver given to `start`; only valid once started.
    [[nodiscard]] UpdateDriver& driver() const { return *driver_; }

    int checks = 0;

private:
    UpdateDriver* driver_ = nullptr;
};

} // namespace vigilo::fakes
