#pragma once

#include "ports/StatsSource.h"

#include <mach/mach.h>

namespace vigilo {

/// The statistics of a Mac: Mach host counters, the installed memory (sysctl "hw.memsize"), the
/// start-up volume's capacity as the file system reports it for important use, the battery from
/// IOPowerSources, and the interface list.
class MacStatsSource final : public StatsSource {
public:
    /// Takes the host port for the whole life of this object.
    MacStatsSource();
    ~MacStatsSource() override;
    MacStatsSource(const MacStatsSource&) = delete;
    MacStatsSource& operator=(const MacStatsSource&) = delete;

    [[nodiscard]] std::optional<CpuTicks> cpuTicks() override;
    [[nodiscard]] std::optional<MemoryFigures> memoryFigures() override;
    /// The capacity of "/", with the space available for important use (which counts what the
    /// system would purge to make room).
    [[nodiscard]] std::optional<VolumeCapacity> rootVolumeCapacity() override;
    [[nodiscard]] std::vector<PowerSource> powerSources() override;
    [[nodiscard]] std::vector<InterfaceAddress> interfaceAddresses() override;
    /// "en": Ethernet and Wi-Fi alike.
    [[nodiscard]] std::vector<std::string> preferredInterfacePrefixes() const override;

private:
    mach_port_t host_;
};

} // namespace vigilo
