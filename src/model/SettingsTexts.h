#pragma once

#include "system/BatteryInfo.h"

#include <cstdint>
#include <optional>
#include <string>

// What the battery row of the general settings writes: its symbol, its subtitle and the
// threshold pill. Pure functions.
namespace vigilo::SettingsTexts {

/// The charge in quarters, "battery.100percent.bolt" when charging to full; a three-quarter
/// battery on a computer that reports none.
[[nodiscard]] std::string batterySymbol(const std::optional<BatteryInfo>& battery);
/// "заряд 17% — кофе выключится" while the battery is low, else the pill's hint.
[[nodiscard]] std::string batterySubtitle(const std::optional<BatteryInfo>& battery,
                                          bool isBatteryLow);
/// "≤20%", or "выкл" for the threshold 0.
[[nodiscard]] std::string thresholdPill(std::int64_t threshold);
/// The pill's accessible name: "Выключать при заряде, сейчас порог 20%" or "… сейчас выключено".
[[nodiscard]] std::string thresholdName(std::int64_t threshold);

} // namespace vigilo::SettingsTexts
