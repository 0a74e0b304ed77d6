#pragma once

#include "platform/ports/PowerSettingsSource.h"

namespace vigilo::fakes {

/// Returns whatever `values` holds and counts the reads.
class FakePowerSettings final : public PowerSettingsSource {
public:
    [[nodiscard]] PowerValues current() override {
        ++reads;
        return values;
    }

    PowerValues values{.displaySleepMinutes = 10, .systemSleepMinutes = 0};
    int reads = 0;
};

} // namespace vigilo::fakes
