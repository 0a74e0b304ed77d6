#pragma once

#include "ports/PowerSettingsSource.h"

namespace vigilo::fakes {

/// Answers at once with whatever `values` holds and counts the reads.
class FakePowerSettings final : public PowerSettingsSource {
public:
    void read(std::function<void(PowerValues)> done) override {
        ++reads;
        done(values);
    }

    PowerValues values{.displaySleepMinutes = 10, .systemSleepMinutes = 0};
    int reads = 0;
};

} // namespace vigilo::fakes
