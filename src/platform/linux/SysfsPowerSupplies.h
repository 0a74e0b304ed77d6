#pragma once

#include "platform/ports/StatsSource.h"

#include <filesystem>
#include <vector>

namespace vigilo::LinuxStats {

/// Describes the system batteries under `powerSupplyFolder` (normally
/// /sys/class/power_supply), sorted by supply name, with the keys of `PowerSourceDescription`:
/// - only supplies of type "Battery" that power the computer (scope not "Device", which marks
///   a mouse or headset) and are present; each has "Type" "InternalBattery";
/// - "Current Capacity"/"Max Capacity" from energy_now/energy_full, else charge_now/charge_full,
///   else capacity/100 (a pair whose full value is not positive is skipped); missing when none
///   can be read;
/// - "Is Charging" when status is "Charging";
/// - "Power Source State" "AC Power" when a Mains or USB supply is online or the battery is
///   charging, full or held ("Not charging"), else "Battery Power";
/// - "Time to Empty" in minutes from energy_now/power_now (or charge_now/current_now), only
///   while discharging with a non-zero rate.
/// A missing folder gives an empty list.
[[nodiscard]] std::vector<PowerSourceDescription>
readPowerSupplies(const std::filesystem::path& powerSupplyFolder);

} // namespace vigilo::LinuxStats
