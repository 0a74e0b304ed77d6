#include "model/SettingsTexts.h"

#include "model/MetricsTexts.h"

namespace vigilo::SettingsTexts {

std::string batterySymbol(const std::optional<BatteryInfo>& battery) {
    return battery ? MetricsTexts::batterySymbol(*battery) : "battery.75percent";
}

std::string batterySubtitle(const std::optional<BatteryInfo>& battery, bool isBatteryLow) {
    if (isBatteryLow && battery) {
        return "заряд " + std::to_string(battery->percent) + "% — кофе выключится";
    }
    return "клик — следующий порог";
}

std::string thresholdPill(std::int64_t threshold) {
    return threshold != 0 ? "≤" + std::to_string(threshold) + "%" : "выкл";
}

std::string thresholdName(std::int64_t threshold) {
    return "Выключать при заряде, сейчас " +
           (threshold != 0 ? "порог " + std::to_string(threshold) + "%" : "выключено");
}

} // namespace vigilo::SettingsTexts
