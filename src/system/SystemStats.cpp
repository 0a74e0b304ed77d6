#include "system/SystemStats.h"

#include <algorithm>
#include <iterator>

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

std::optional<BatteryInfo> computerBattery(const std::vector<PowerSource>& sources) {
    std::vector<PowerSource> batteries;
    std::copy_if(sources.begin(), sources.end(), std::back_inserter(batteries),
                 isComputerBatteryWithCapacity);
    if (batteries.empty()) {
        return std::nullopt;
    }
    const auto unit = batteries.front().unit;
    const bool oneUnit =
        std::all_of(batteries.begin(), batteries.end(),
                    [&](const PowerSource& battery) { return battery.unit == unit; });
    std::int64_t charge = 0;
    std::int64_t capacity = 0;
    std::int64_t drain = 0;
    BatteryInfo info;
    for (const auto& battery : batteries) {
        if (oneUnit) {
            charge += battery.charge;
            capacity += battery.capacity;
            drain += battery.drain.value_or(0);
        } else {
            charge += battery.charge * 100 / battery.capacity;
            capacity += 100;
        }
        info.isCharging = info.isCharging || battery.isCharging;
        info.onAC = info.onAC || battery.onExternalPower;
    }
    info.percent = charge * 100 / capacity;
    if (drain > 0) {
        if (const auto minutes = charge * 60 / drain; minutes > 0) {
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
    return computerBattery(source_.powerSources());
}

std::optional<std::string> SystemStats::localIP() {
    return localIPv4(source_.interfaceAddresses(), source_.preferredInterfacePrefixes());
}

} // namespace vigilo
