#pragma once

#include "ports/StatsSource.h"

#include <filesystem>
#include <vector>

namespace vigilo::LinuxStats {

/// The batteries under `powerSupplyFolder` (normally /sys/class/power_supply), sorted by
/// supply name:
/// - every present supply of type "Battery"; those of scope "Device" (a mouse, a headset) are
///   of kind `Other`, the rest the computer's own;
/// - charge and capacity from energy_now/energy_full (µWh), else charge_now/charge_full (µAh),
///   else capacity (percent); a pair whose full value is not positive is skipped; capacity 0
///   when none can be read;
/// - the drain, while discharging, from power_now or current_now, whichever matches the unit;
/// - charging when status is "Charging";
/// - on external power when charging or when a Mains or USB supply is online (any non-zero
///   value); only where the system lists no such supply, also when full or held at a charge
///   limit ("Not charging").
/// A missing folder gives an empty list.
[[nodiscard]] std::vector<PowerSource>
readPowerSupplies(const std::filesystem::path& powerSupplyFolder);

} // namespace vigilo::LinuxStats
