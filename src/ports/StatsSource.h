#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vigilo {

/// Cumulative CPU time counters since boot, summed over all processors, in the system's own
/// tick unit. Only differences between two readings mean anything; each counter may wrap.
/// A system that does not count a state leaves it at 0.
struct CpuTicks {
    std::uint32_t user = 0;
    std::uint32_t system = 0;
    std::uint32_t idle = 0;
    std::uint32_t nice = 0;
    /// Idle while some input or output was outstanding.
    std::uint32_t ioWait = 0;
    /// Serving hardware interrupts and the work they defer.
    std::uint32_t interrupts = 0;
    /// Taken by the hypervisor for other virtual machines while this one wanted to run.
    std::uint32_t steal = 0;

    bool operator==(const CpuTicks&) const = default;
};

/// Memory of the whole system, in bytes. Memory in use is
/// max(internal − purgeable, 0) + wired + compressed.
struct MemoryFigures {
    /// Process memory that is not a file cache (anonymous memory).
    std::uint64_t internal = 0;
    /// The part of it that the system may discard at any time.
    std::uint64_t purgeable = 0;
    /// Memory that can never be paged out.
    std::uint64_t wired = 0;
    /// Memory holding compressed pages.
    std::uint64_t compressed = 0;
    /// Installed physical memory.
    std::uint64_t physical = 0;
};

/// Space on a volume, in bytes.
struct VolumeCapacity {
    /// Space an ordinary program may still use.
    std::int64_t available = 0;
    /// Size of the whole volume.
    std::int64_t total = 0;
};

/// How a power source counts its charge. Only figures in the same unit add up.
enum class ChargeUnit {
    /// Energy: charge and capacity in µWh, drain in µW.
    MicrowattHours,
    /// Electric charge: charge and capacity in µAh, drain in µA.
    MicroampHours,
    /// Share of full: capacity 100, drain in percent per hour.
    Percent,
};

/// What the system says about one source of power. Charge, capacity and drain stay below
/// 2^40, so that sums of them can be scaled without overflow.
struct PowerSource {
    enum class Kind {
        /// A battery that powers the computer itself.
        InternalBattery,
        /// Anything else: a UPS, the battery of a mouse or a headset.
        Other,
    };

    Kind kind = Kind::Other;
    /// The unit of `charge`, `capacity` and `drain`.
    ChargeUnit unit = ChargeUnit::Percent;
    /// Charge stored now.
    std::int64_t charge = 0;
    /// Charge when full; 0 when the system does not know it, for example before the gauge is
    /// calibrated.
    std::int64_t capacity = 0;
    /// Charge drawn per hour while the source discharges (time to empty is charge ÷ drain
    /// hours); nothing when it is not discharging or the rate is unknown.
    std::optional<std::int64_t> drain = std::nullopt;
    bool isCharging = false;
    /// The computer draws from external power.
    bool onExternalPower = false;

    bool operator==(const PowerSource&) const = default;
};

/// One address of one network interface.
struct InterfaceAddress {
    enum class Family { IPv4, IPv6 };

    /// The interface's system name, for example "en0" or "wlan0".
    std::string name;
    /// The interface is administratively up.
    bool isUp = false;
    /// The interface is a loopback interface.
    bool isLoopback = false;
    Family family = Family::IPv4;
    /// The address as numeric text, for example "192.168.1.20".
    std::string address;
};

/// The raw readings behind the system statistics. Every reading gives what holds now (asked
/// afresh, or kept while the system announces no change) and never blocks for long (kernel
/// counters and small files only).
class StatsSource {
public:
    virtual ~StatsSource() = default;
    /// The CPU counters now; nothing when they cannot be read.
    [[nodiscard]] virtual std::optional<CpuTicks> cpuTicks() = 0;
    /// The memory figures now; nothing when they cannot be read.
    [[nodiscard]] virtual std::optional<MemoryFigures> memoryFigures() = 0;
    /// The capacity of the volume holding the root folder; nothing when either figure is
    /// unknown.
    [[nodiscard]] virtual std::optional<VolumeCapacity> rootVolumeCapacity() = 0;
    /// The power sources with a charge, in the system's order; empty when there are none or
    /// they cannot be read.
    [[nodiscard]] virtual std::vector<PowerSource> powerSources() = 0;
    /// Every IPv4 and IPv6 address of every interface, in the system's order; empty when the
    /// list cannot be read.
    [[nodiscard]] virtual std::vector<InterfaceAddress> interfaceAddresses() = 0;
    /// Name prefixes of the wired and wireless interfaces, whose addresses are preferred over
    /// those of other interfaces (tunnels, bridges, virtual machines).
    [[nodiscard]] virtual std::vector<std::string> preferredInterfacePrefixes() const = 0;
};

} // namespace vigilo
