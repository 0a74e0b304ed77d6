#include "model/PowerFigures.h"

namespace vigilo {

void PowerFigures::refreshPowerSettings(bool force) {
    const auto now = clock_.steadyNow();
    if (!force && lastPowerRefresh_ &&
        secondsBetween(*lastPowerRefresh_, now) <= powerRefreshInterval) {
        return;
    }
    lastPowerRefresh_ = now;
    source_.read([this, alive = std::weak_ptr(lifetime_)](const PowerValues& values) {
        if (!alive.expired()) {
            apply(values);
        }
    });
}

void PowerFigures::apply(const PowerValues& values) {
    if (values.displaySleepMinutes != displaySleepMinutes_) {
        displaySleepMinutes_ = values.displaySleepMinutes;
        changed_.notify();
    }
    if (values.canSleep() != canSleep_) {
        canSleep_ = values.canSleep();
        changed_.notify();
    }
    if (values.source != powerSource_) {
        powerSource_ = values.source;
        changed_.notify();
    }
}

} // namespace vigilo
