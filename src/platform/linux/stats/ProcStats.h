#pragma once

#include "ports/StatsSource.h"

#include <optional>
#include <string_view>

// Parsing the kernel's CPU and memory counters.
namespace vigilo::LinuxStats {

/// The CPU counters of the first line of /proc/stat (the "cpu " line, summed over all
/// processors): user, nice, system and idle, which every kernel gives, then iowait, irq plus
/// softirq, and steal, 0 where an older kernel stops early. Each is cut to its low 32 bits: the
/// load is computed from wrapping 32-bit differences, which stay right across the cut.
[[nodiscard]] std::optional<CpuTicks> parseCpuTicks(std::string_view procStat);

/// Memory figures from /proc/meminfo, shaped so that the shared formula gives
/// used = MemTotal − MemAvailable: the kernel's own estimate of memory that cannot be
/// reclaimed without swapping. That amount is carried as "internal" memory; the other figures
/// are 0. Nothing when either line is missing or unreadable, or when MemAvailable exceeds
/// MemTotal.
[[nodiscard]] std::optional<MemoryFigures> parseMemInfo(std::string_view memInfo);

} // namespace vigilo::LinuxStats
