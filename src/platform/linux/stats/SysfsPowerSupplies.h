#pragma once

#include "ports/StatsSource.h"

#include <dirent.h>
#include <filesystem>
#include <memory>
#include <vector>

namespace vigilo::LinuxStats {

class Supply;

/// The batteries of a power supply class folder (normally /sys/class/power_supply), read on
/// every heartbeat. The folder and the attribute files of its supplies stay open between reads:
/// the kernel writes an attribute anew on each read, and a supply that goes and comes back is a
/// new entry of the folder, whose files are opened afresh. The class folder itself is expected
/// to stay, as sysfs class folders do.
class SysfsPowerSupplies {
public:
    explicit SysfsPowerSupplies(std::filesystem::path folder);
    ~SysfsPowerSupplies();

    /// The batteries, sorted by supply name:
    /// - every present supply of type "Battery"; those of scope "Device" (a mouse, a headset)
    ///   are of kind `Other`, the rest the computer's own;
    /// - charge and capacity from energy_now/energy_full (µWh), else charge_now/charge_full
    ///   (µAh), else capacity (percent); a pair whose full value is not positive is skipped;
    ///   capacity 0 when none can be read;
    /// - the drain, while discharging, from power_now or current_now, whichever matches the
    ///   unit;
    /// - charging when status is "Charging";
    /// - on external power when charging or when a Mains or USB supply is online (any non-zero
    ///   value); only where the system lists no such supply, also when full or held at a
    ///   charge limit ("Not charging").
    /// A missing folder gives an empty list.
    [[nodiscard]] std::vector<PowerSource> read();

private:
    struct CloseFolder {
        void operator()(DIR* folder) const { ::closedir(folder); }
    };

    /// Brings `supplies_` in line with the folder's entries.
    void listSupplies();

    std::filesystem::path folder_;
    std::unique_ptr<DIR, CloseFolder> listing_;
    /// Sorted by name.
    std::vector<std::unique_ptr<Supply>> supplies_;
};

} // namespace vigilo::LinuxStats
