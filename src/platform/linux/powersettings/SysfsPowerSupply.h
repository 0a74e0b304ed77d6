#pragma once

#include "ports/PowerSettingsSource.h"

#include <filesystem>

namespace vigilo {

/// The power source as the kernel reports it in `root` (normally /sys/class/power_supply):
/// external power when a Mains or USB supply is online, else battery when a battery is
/// discharging, else external power (a desktop without any supply, or an unknown state).
/// Batteries of peripherals (scope "Device") do not count.
[[nodiscard]] PowerValues::Source readSysfsPowerSource(const std::filesystem::path& root);

} // namespace vigilo
