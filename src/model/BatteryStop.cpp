#include "model/BatteryStop.h"

#include <algorithm>

namespace vigilo {

BatteryStop::BatteryStop(Services services)
    : settings_(services.settings)
    , metrics_(services.metrics)
    , keepAwake_(services.keepAwake)
    , desktop_(services.desktop)
    , words_(services.words) {}

bool BatteryStop::isBatteryLow() const {
    const auto threshold = batteryThreshold();
    const auto& battery = metrics_.battery();
    return threshold > 0 && battery && !battery->onAC && battery->percent <= threshold;
}

std::int64_t BatteryStop::batteryThreshold() const {
    const auto stored = settings_.read(SettingsKeys::batteryThreshold);
    // Only a hand-edited or damaged settings file holds a level no battery can report; the stop
    // would never fire and the pill would show it as it is.
    if (stored < 0 || stored > 100) {
        return SettingsKeys::batteryThreshold.fallback;
    }
    return stored;
}

void BatteryStop::setBatteryThreshold(std::int64_t percent) {
    settings_.write(SettingsKeys::batteryThreshold, percent);
    changed_.notify();
    checkBattery();
}

void BatteryStop::cycleBatteryThreshold() {
    const auto current = std::ranges::find(batteryThresholds, batteryThreshold());
    const auto position =
        current == batteryThresholds.end() ? 0 : current - batteryThresholds.begin();
    const auto next =
        batteryThresholds[static_cast<std::size_t>(position + 1) % batteryThresholds.size()];
    setBatteryThreshold(next);
}

void BatteryStop::checkBattery() {
    if (!keepAwake_.isAwake() || !isBatteryLow()) {
        return;
    }
    const auto percent = metrics_.battery()->percent;
    keepAwake_.stopForBattery();
    desktop_.notify("Кофе закончился", "Заряд батареи " + std::to_string(percent) + "% — " +
                                           words_.computer + " снова может засыпать.");
    // The notification may be hidden (do-not-disturb, no notification service); the sound is
    // heard anyway, unless the user switched the program's sounds off.
    if (settings_.read(SettingsKeys::soundEnabled)) {
        desktop_.playAlertSound();
    }
}

} // namespace vigilo
