#include "system/SystemStats.h"

#include <algorithm>

namespace vigilo {

namespace {

bool isComputerBatteryWithCapacity(const PowerSource& source) {
    return source.kind == PowerSource::Kind::InternalBattery && source.capacity > 0;
}

bool startsWithAny(const std::string& name, const std::vector<std::string>& prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const std::string& prefix) { return name.starts_with(prefix); });
}

} // namespace

std::optional<double> cpuLoad(const CpuTicks& previous, const CpuTicks& current) {
    // Unsigned 32-bit arithmetic is modular: a counter, or a sum of counters, that passed
    // 2^32 still gives the small number of ticks that really elapsed.
    const auto busyTicks = [](const CpuTicks& ticks) -> std::uint32_t {
        return ticks.user + ticks.system + ticks.nice + ticks.interrupts + ticks.steal;
    };
    const auto idleTicks = [](const CpuTicks& ticks) -> std::uint32_t {
        return ticks.idle + ticks.ioWait;
    };
    const auto busy =
        static_cast<double>(static_cast<std::uint32_t>(busyTicks(current) - busyTicks(previous)));
    const auto idle =
        static_cast<double>(static_cast<std::uint32_t>(idleTicks(current) - idleTicks(previous)));
    const double total = busy + idle;
    if (total > 0) {
        return busy / total;
    }
    return std::nullopt;
}

MemoryUsage memoryUsage(const MemoryFigures& figures) {
    const std::uint64_t internal =
        figures.internal > figures.purgeable ? figures.internal - figures.purgeable : 0;
    return {internal + figures.wired + figures.compressed, figures.physical};
}

std::optional<BatteryInfo> internalBattery(const std::vector<PowerSource>& sources) {
    const auto battery =
        std::find_if(sources.begin(), sources.end(), isComputerBatteryWithCapacity);
    if (battery == sources.end()) {
        return std::nullopt;
    }
    BatteryInfo info;
    info.percent = battery->charge * 100 / battery->capacity;
    info.isCharging = battery->isCharging;
    info.onAC = battery->onExternalPower;
    if (battery->drain.value_or(0) > 0) {
        if (const auto minutes = battery->charge * 60 / *battery->drain; minutes > 0) {
            info.minutesLeft = minutes;
        }
    }
    return info;
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
    const auto figures = source_.memoryFigures();
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
