#include "platform/linux/stats/LinuxStatsSource.h"

#include "platform/linux/stats/InterfaceAddresses.h"
#include "platform/linux/stats/ProcStats.h"

#include <sys/statvfs.h>

namespace vigilo {

std::optional<CpuTicks> LinuxStatsSource::cpuTicks() {
    const auto text = procStat_.readStart();
    return text ? LinuxStats::parseCpuTicks(*text) : std::nullopt;
}

std::optional<MemoryFigures> LinuxStatsSource::memoryFigures() {
    const auto text = memInfo_.readStart();
    return text ? LinuxStats::parseMemInfo(*text) : std::nullopt;
}

std::optional<VolumeCapacity> LinuxStatsSource::rootVolumeCapacity() {
    struct statvfs volume {};
    if (::statvfs(root_.c_str(), &volume) != 0) {
        return std::nullopt;
    }
    const auto bytes = [&](fsblkcnt_t blocks) {
        return static_cast<std::int64_t>(blocks * volume.f_frsize);
    };
    return VolumeCapacity{.available = bytes(volume.f_bavail), .total = bytes(volume.f_blocks)};
}

std::vector<PowerSource> LinuxStatsSource::powerSources() {
    return powerSupplies_.read();
}

std::vector<InterfaceAddress> LinuxStatsSource::interfaceAddresses() {
    // The notices are taken in before the list is read: one that comes during the reading
    // makes the next call read again.
    if (interfaceChanges_.sinceLastAsked() || !interfaceAddresses_) {
        interfaceAddresses_ = LinuxStats::currentInterfaceAddresses();
    }
    return *interfaceAddresses_;
}

std::vector<std::string> LinuxStatsSource::preferredInterfacePrefixes() const {
    return {"en", "eth", "wl"};
}

} // namespace vigilo
