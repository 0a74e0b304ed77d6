#pragma once

#include "ports/StatsSource.h"

namespace vigilo::fakes {

/// Hands out readings set by the test. `cpuTicks` pops one reading per call, front first.
class FakeStatsSource final : public StatsSource {
public:
    [[nodiscard]] std::optional<CpuTicks> cpuTicks() override {
        if (ticks.empty()) {
            return std::nullopt;
        }
        const auto next = ticks.front();
        ticks.erase(ticks.begin());
        return next;
    }
    [[nodiscard]] std::optional<MemoryFigures> memoryFigures() override { return memory; }
    [[nodiscard]] std::optional<VolumeCapacity> rootVolumeCapacity() override { return volume; }
    [[nodiscard]] std::vector<PowerSource> powerSources() override { return sources; }
    [[nodiscard]] std::vector<InterfaceAddress> interfaceAddresses() override { return addresses; }
    [[nodiscard]] std::vector<std::string> preferredInterfacePrefixes() const override {
        return prefixes;
    }

    /// Readings still to come; an entry without a value is a failed reading.
    std::vector<std::optional<CpuTicks>> ticks;
    std::optional<MemoryFigures> memory;
    std::optional<VolumeCapacity> volume;
    std::vector<PowerSource> sources;
    std::vector<InterfaceAddress> addresses;
    std::vector<std::string> prefixes{"en"};
};

} // namespace vigilo::fakes
