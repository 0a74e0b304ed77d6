#pragma once

#include "ports/Clock.h"
#include "ports/PowerSettingsSource.h"
#include "util/Signal.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace vigilo {

/// The power settings the hero's texts show: when the display sleeps, whether the computer can
/// sleep by itself, and the power source. Read at most once per 30 seconds unless forced.
class PowerFigures {
public:
    static constexpr double powerRefreshInterval = 30;

    /// Both must outlive the figures.
    PowerFigures(const Clock& clock, PowerSettingsSource& source)
        : clock_(clock)
        , source_(source) {}

    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    /// Re-reads the power settings; unless forced, at most once per 30 seconds (measured on the
    /// steady clock, so setting the wall clock back does not freeze the reads). The figures
    /// change when the reading arrives, which may be later.
    void refreshPowerSettings(bool force);

    [[nodiscard]] std::int64_t displaySleepMinutes() const { return displaySleepMinutes_; }
    [[nodiscard]] bool canSleep() const { return canSleep_; }
    [[nodiscard]] PowerValues::Source powerSource() const { return powerSource_; }

private:
    /// Publishes only what differs, so an unchanged reading publishes nothing.
    void apply(const PowerValues& values);

    const Clock& clock_;
    PowerSettingsSource& source_;
    Signal<> changed_;
    /// A reading that arrives after the figures are gone finds this expired.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();

    std::optional<SteadyTime> lastPowerRefresh_;
    std::int64_t displaySleepMinutes_ = 0;
    bool canSleep_ = false;
    PowerValues::Source powerSource_ = PowerValues::Source::Ac;
};

} // namespace vigilo
