#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vigilo {

/// Cumulative CPU time counters since boot, summed over all processors, in the system's own
/// tick unit. Only differences between two readings mean anything; each counter may wrap.
struct CpuTicks {
    std::uint32_t user = 0;
    std::uint32_t system = 0;
    std::uint32_t idle = 0;
    std::uint32_t nice = 0;

    bool operator==(const CpuTicks&) const = default;
};

/// Virtual-memory page counts of the whole system, and the sizes needed to turn them into bytes.
/// Memory in use is max(internal − purgeable, 0) + wired + compressor pages.
struct VmFigures {
    /// Pages backing process memory that is not a file cache (anonymous memory).
    std::uint64_t internalPages = 0;
    /// Pages of that memory that the system may discard at any time.
    std::uint64_t purgeablePages = 0;
    /// Pages that can never be paged out.
    std::uint64_t wiredPages = 0;
    /// Pages holding compressed memory.
    std::uint64_t compressorPages = 0;
    /// Bytes per page as counted above.
    std::uint64_t pageSize = 0;
    /// Installed physical memory, in bytes.
    std::uint64_t physicalMemory = 0;
};

/// Space on a volume, in bytes.
struct VolumeCapacity {
    /// Space an ordinary program may still use.
    std::int64_t available = 0;
    /// Size of the whole volume.
    std::int64_t total = 0;
};

/// One value of a power-source description: an integer, a flag or a text.
using PowerSourceValue = std::variant<std::int64_t, bool, std::string>;

/// What the system says about one power source, by key. Keys and values follow the system's
/// power-source descriptions: "Type" ("InternalBattery" for the computer's own battery),
/// "Current Capacity" and "Max Capacity" (integers in one unit), "Is Charging" (flag),
/// "Power Source State" ("AC Power" or "Battery Power"), "Time to Empty" (minutes).
/// A key the system does not know is missing.
using PowerSourceDescription = std::map<std::string, PowerSourceValue>;

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

/// The raw readings behind the system statistics. Every reading asks the system afresh and
/// never blocks for long (kernel counters and small files only).
class StatsSource {
public:
    virtual ~StatsSource() = default;
    /// The CPU counters now; nothing when they cannot be read.
    [[nodiscard]] virtual std::optional<CpuTicks> cpuTicks() = 0;
    /// The memory figures now; nothing when they cannot be read.
    [[nodiscard]] virtual std::optional<VmFigures> vmFigures() = 0;
    /// The capacity of the volume holding the root folder; nothing when either figure is
    /// unknown.
    [[nodiscard]] virtual std::optional<VolumeCapacity> rootVolumeCapacity() = 0;
    /// The descriptions of the power sources in the system's order; empty when there are none
    /// or they cannot be read.
    [[nodiscard]] virtual std::vector<PowerSourceDescription> powerSources() = 0;
    /// Every IPv4 and IPv6 address of every interface, in the system's order; empty when the
    /// list cannot be read.
    [[nodiscard]] virtual std::vector<InterfaceAddress> interfaceAddresses() = 0;
    /// Name prefixes of the wired and wireless interfaces, whose addresses are preferred over
    /// those of other interfaces (tunnels, bridges, virtual machines).
    [[nodiscard]] virtual std::vector<std::string> preferredInterfacePrefixes() const = 0;
};

} // namespace vigilo
