#pragma once

#include "ports/StatsSource.h"
#include "system/BatteryInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vigilo {

/// Memory in use and installed, in bytes.
struct MemoryUsage {
    std::uint64_t used = 0;
    std::uint64_t total = 0;
    bool operator==(const MemoryUsage&) const = default;
};

/// Free and total space of the root volume, in bytes.
struct DiskSpace {
    std::int64_t free = 0;
    std::int64_t total = 0;
    bool operator==(const DiskSpace&) const = default;
};

/// The share of busy time between two counter readings, 0..1; nothing when no tick passed.
/// Busy is user, system, nice, interrupt and stolen time: a virtual machine whose host takes
/// the processor away is as loaded as one that computes. Waiting for input or output is idle.
/// Differences wrap in 32 bits so that a counter that overflowed in between still counts right.
[[nodiscard]] std::optional<double> cpuLoad(const CpuTicks& previous, const CpuTicks& current);

/// Memory in use: max(internal − purgeable, 0) + wired + compressed.
[[nodiscard]] MemoryUsage memoryUsage(const MemoryFigures& figures);

/// The computer's own batteries with a known capacity, taken as one, as desktops show them:
/// charges and capacities are summed, so each battery weighs by its size; charging when any
/// charges; on external power when any of them says so; minutes left from the summed charge
/// over the summed drain. Batteries that count in different units cannot be summed: each then
/// weighs the same and the minutes are unknown. Nothing when there is no such battery.
[[nodiscard]] std::optional<BatteryInfo> computerBattery(const std::vector<PowerSource>& sources);

/// The IPv4 address of the first up, non-loopback interface whose name starts with one of
/// `preferredPrefixes`; else that of the first other up, non-loopback interface.
[[nodiscard]] std::optional<std::string>
localIPv4(const std::vector<InterfaceAddress>& addresses,
          const std::vector<std::string>& preferredPrefixes = {"en"});

/// The figures of the metrics row, read through a `StatsSource`. Only the CPU sampler keeps
/// state: load is the difference between two readings.
class SystemStats {
public:
    explicit SystemStats(StatsSource& source)
        : source_(source) {}

    /// Reads the CPU counters; from the second successful reading on, updates `cpuUsage`.
    /// A failed reading changes nothing.
    void sampleCPU();
    /// The CPU load of the last interval, 0..1; nothing until two readings a tick apart.
    [[nodiscard]] std::optional<double> cpuUsage() const { return cpuUsage_; }

    [[nodiscard]] std::optional<MemoryUsage> memory();
    [[nodiscard]] std::optional<DiskSpace> disk();
    [[nodiscard]] std::optional<BatteryInfo> battery();
    /// The local IPv4 address in dotted decimal form.
    [[nodiscard]] std::optional<std::string> localIP();

private:
    StatsSource& source_;
    std::optional<CpuTicks> prevTicks_;
    std::optional<double> cpuUsage_;
};

} // namespace vigilo
