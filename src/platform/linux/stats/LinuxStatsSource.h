#pragma once

#include "platform/linux/stats/InterfaceChanges.h"
#include "platform/linux/stats/SysfsPowerSupplies.h"
#include "platform/posix/KeptOpenFile.h"
#include "ports/StatsSource.h"

#include <filesystem>

namespace vigilo {

/// System statistics from the kernel's files, `statvfs` and `getifaddrs`.
class LinuxStatsSource final : public StatsSource {
public:
    /// `root` is the folder holding proc/ and sys/: "/" for the running system, a fixture tree
    /// in tests. The disk figures are those of the volume holding `root`.
    explicit LinuxStatsSource(std::filesystem::path root)
        : root_(std::move(root))
        , procStat_(root_ / "proc/stat")
        , memInfo_(root_ / "proc/meminfo")
        , powerSupplies_(root_ / "sys/class/power_supply") {}

    /// From the "cpu " line of proc/stat.
    [[nodiscard]] std::optional<CpuTicks> cpuTicks() override;
    /// From proc/meminfo: used = MemTotal − MemAvailable, carried as "internal" memory.
    [[nodiscard]] std::optional<MemoryFigures> memoryFigures() override;
    /// Space for unprivileged users (f_bavail) and volume size (f_blocks), from `statvfs`.
    [[nodiscard]] std::optional<VolumeCapacity> rootVolumeCapacity() override;
    /// The batteries of sys/class/power_supply.
    [[nodiscard]] std::vector<PowerSource> powerSources() override;
    /// Read again only after the kernel announced a change of the interfaces or their addresses.
    [[nodiscard]] std::vector<InterfaceAddress> interfaceAddresses() override;
    /// Wired ("en…" by systemd naming, "eth…" by the kernel's) and wireless ("wl…").
    [[nodiscard]] std::vector<std::string> preferredInterfacePrefixes() const override;

private:
    std::filesystem::path root_;
    KeptOpenFile procStat_;
    KeptOpenFile memInfo_;
    LinuxStats::SysfsPowerSupplies powerSupplies_;
    InterfaceChanges interfaceChanges_;
    std::optional<std::vector<InterfaceAddress>> interfaceAddresses_;
};

} // namespace vigilo
