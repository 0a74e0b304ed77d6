#pragma once

#include "model/KeepAwake.h"
#include "model/Metrics.h"
#include "model/Settings.h"
#include "ports/Desktop.h"
#include "ports/PlatformWords.h"
#include "util/Signal.h"

#include <array>
#include <cstdint>

namespace vigilo {

/// Ends keep-awake when the battery, on its own power, falls to the level the user chose, and
/// tells the user. Main thread only.
class BatteryStop {
public:
    /// The levels the user can stop at, in the order a click cycles through; 0 is off.
    static constexpr std::array<std::int64_t, 5> batteryThresholds{0, 10, 20, 30, 50};

    /// Everything must outlive the battery stop.
    struct Services {
        Settings& settings;
        const Metrics& metrics;
        KeepAwake& keepAwake;
        Desktop& desktop;
        const PlatformWords& words;
    };

    explicit BatteryStop(Services services);

    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    /// On battery power at or below a threshold that is on.
    [[nodiscard]] bool isBatteryLow() const;
    /// The stored level; one outside 0–100 reads as the default.
    [[nodiscard]] std::int64_t batteryThreshold() const;
    void setBatteryThreshold(std::int64_t percent);
    /// The next of `batteryThresholds`, wrapping; a value not in the list moves to the second.
    void cycleBatteryThreshold();
    /// Switches keep-awake off when the battery reached the threshold. Runs on every stats tick.
    void checkBattery();

private:
    Settings& settings_;
    const Metrics& metrics_;
    KeepAwake& keepAwake_;
    Desktop& desktop_;
    const PlatformWords& words_;
    Signal<> changed_;
};

} // namespace vigilo
