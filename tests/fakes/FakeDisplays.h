#pragma once

#include "ports/Displays.h"

namespace vigilo::fakes {

/// Displays whose set the test chooses; counts requests to switch them off.
class FakeDisplays final : public Displays {
public:
    [[nodiscard]] bool hasExternalDisplay() const override { return external; }
    void turnScreenOff() override { ++turnedOff; }

    bool external = false;
    int turnedOff = 0;
};

} // namespace vigilo::fakes
