#include "system/SystemStats.h"

#include <algorithm>

namespace vigilo {

namespace {

template <typename T>
const T* valueOf(const PowerSourceDescription& description, const std::string& key) {
    const auto found = description.find(key);
    return found == description.end() ? nullptr : std::get_if<T>(&found->second);
}

bool startsWithAny(const std::string& name, const std::vector<std::string>& prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const std::string& prefix) { return name.starts_with(prefix); });
}

} // namespace

std::optional<double> cpuLoad(const CpuTicks& previous, const CpuTicks& current) {
    // Unsigned 32-bit subtraction is modular: a counter that passed 2^32 still gives the
    // small number of ticks that really elapsed.
    const std::uint32_t busyNow = current.user + current.system + current.nice;
    const std::uint32_t busyBefore = previous.user + previous.system + previous.nice;
    const auto busy = static_cast<double>(static_cast<std::uint32_t>(busyNow - busyBefore));
    const auto idle = static_cast<double>(static_cast<std::uint32_t>(current.idle - previous.idle));
    const double total = busy + idle;
    if (total > 0) {
        return busy / total;
    }
    return std::nullopt;
}

MemoryUsage memoryUsage(const VmFigures& figures) {
    const std::uint64_t internal = figures.internalPages > figures.purgeablePages
                                       ? figures.internalPages - figures.purgeablePages
                                       : 0;
    const std::uint64_t usedPages = internal + figures.wiredPages + figures.compressorPages;
    return {usedPages * figures.pageSize, figures.physicalMemory};
}

std::optional<BatteryInfo> internalBattery(const std::vector<PowerSourceDescription>& sources) {
    for (const auto& source : sources) {
        const auto* type = valueOf<std::string>(source, "Type");
        if (type == nullptr || *type != "InternalBattery") {
            continue;
        }
        const auto* current = valueOf<std::int64_t>(source, "Current Capacity");
        const auto* maximum = valueOf<std::int64_t>(source, "Max Capacity");
        if (current == nullptr || maximum == nullptr || *maximum <= 0) {
            continue;
        }
        BatteryInfo info;
        info.percent = *current * 100 / *maximum;
        if (const auto* charging = valueOf<bool>(source, "Is Charging")) {
            info.isCharging = *charging;
        }
        const auto* state = valueOf<std::string>(source, "Power Source State");
        info.onAC = state != nullptr && *state == "AC Power";
        if (const auto* minutes = valueOf<std::int64_t>(source, "Time to Empty");
            minutes != nullptr && *minutes > 0) {
            info.minutesLeft = *minutes;
        }
        return info;
    }
    return std::nullopt;
}

std::optional<std::string> localIPv4(const std::vector<InterfaceAddress>& addresses,
                                     const std::vector<std::string>& preferredPrefixes) {
    std::optional<std::string> fallback;
    for (const auto& entry : addresses) {
        if (!entry.isUp || entry.isLoopback || entry.family != InterfaceAddress::Family::IPv4) {
            continue;
        }
        if (startsWithAny(entry.name, preferredPrefixes)) {
            return entry.address;
        }
        if (!fallback) {
            fallback = entry.address;
        }
    }
    return fallback;
}

void SystemStats::sampleCPU() {
    const auto ticks = source_.cpuTicks();
    if (!ticks) {
        return;
    }
    if (prevTicks_) {
        if (const auto load = cpuLoad(*prevTicks_, *ticks)) {
            cpuUsage_ = load;
        }
    }
    prevTicks_ = ticks;
}

std::optional<MemoryUsage> SystemStats::memory() {
    const auto figures = source_.vmFigures();
    if (!figures) {
        return std::nullopt;
    }
    return memoryUsage(*figures);
}

std::optional<DiskSpace> SystemStats::disk() {
    const auto capacity = source_.rootVolumeCapacity();
    if (!capacity) {
        return std::nullopt;
    }
    return DiskSpace{capacity->available, capacity->total};
}

std::optional<BatteryInfo> SystemStats::battery() {
    return internalBattery(source_.powerSources());
}

std::optional<std::string> SystemStats::localIP() {
    return localIPv4(source_.interfaceAddresses(), source_.preferredInterfacePrefixes());
}

} // namespace vigilo
