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
        willChange_.notify();
        displaySleepMinutes_ = values.displaySleepMinutes;
    }
    if (values.canSleep() != canSleep_) {
        willChange_.notify();
        canSleep_ = values.canSleep();
    }
    if (values.source != powerSource_) {
        willChange_.notify();
        powerSource_ = values.source;
    }
}

} // namespace vigilo
