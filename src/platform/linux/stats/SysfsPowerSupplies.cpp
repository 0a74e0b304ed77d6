#include "platform/linux/stats/SysfsPowerSupplies.h"

#include "util/Files.h"
#include "util/Text.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>

namespace vigilo::LinuxStats {

namespace {

namespace fs = std::filesystem;

/// One power supply folder's attribute files.
class Supply {
public:
    explicit Supply(fs::path folder)
        : folder_(std::move(folder)) {}

    [[nodiscard]] std::string text(const char* attribute) const {
        const auto content = readFileStart(folder_ / attribute);
        return content ? std::string(trimmed(*content)) : std::string();
    }
    /// A number within the bound the port promises; sysfs figures are far smaller (a laptop
    /// battery holds some 10^8 µWh), so anything larger is a broken driver and counts as
    /// unreadable.
    [[nodiscard]] std::optional<std::int64_t> number(const char* attribute) const {
        constexpr std::int64_t limit = std::int64_t{1} << 40;
        const auto content = readFileStart(folder_ / attribute);
        const auto value = content ? parseInteger(trimmed(*content)) : std::nullopt;
        if (!value || *value >= limit || *value <= -limit) {
            return std::nullopt;
        }
        return value;
    }

private:
    fs::path folder_;
};

/// The attributes of one way of counting a battery's charge.
struct ChargeAttributes {
    ChargeUnit unit;
    const char* now;
    const char* full;
    const char* rate;
};

constexpr ChargeAttributes energy{ChargeUnit::MicrowattHours, "energy_now", "energy_full",
                                  "power_now"};
constexpr ChargeAttributes electricCharge{ChargeUnit::MicroampHours, "charge_now", "charge_full",
                                          "current_now"};

/// Stored and full charge, and the drain while discharging, as energy where the driver gives
/// it: the energies of batteries at different voltages add up, their electric charges only
/// nearly.
void readCharge(const Supply& battery, bool discharging, PowerSource& source) {
    for (const auto& attributes : {energy, electricCharge}) {
        const auto now = battery.number(attributes.now);
        const auto full = battery.number(attributes.full);
        // Some firmware reports a full value of 0 until the gauge is calibrated.
        if (!now || !full || *full <= 0) {
            continue;
        }
        source.unit = attributes.unit;
        source.charge = *now;
        source.capacity = *full;
        if (discharging) {
            // Some drivers give the rate a negative sign while discharging.
            if (const auto rate = battery.number(attributes.rate)) {
                source.drain = std::abs(*rate);
            }
        }
        return;
    }
    if (const auto percent = battery.number("capacity")) {
        source.unit = ChargeUnit::Percent;
        source.charge = *percent;
        source.capacity = 100;
    }
}

PowerSource describe(const Supply& battery, std::optional<bool> linePowerOnline) {
    const auto status = battery.text("status");
    PowerSource source{.kind = battery.text("scope") == "Device"
                                   ? PowerSource::Kind::Other
                                   : PowerSource::Kind::InternalBattery,
                       .isCharging = status == "Charging"};
    readCharge(battery, status == "Discharging", source);
    // A battery that is full or held at a charge limit rests on external power, but so does
    // the idle one of two batteries while the other runs the computer: only where the system
    // lists no line supply does the status tell.
    source.onExternalPower =
        source.isCharging || linePowerOnline.value_or(status == "Full" || status == "Not charging");
    return source;
}

bool isPresentBattery(const Supply& supply, const std::string& type) {
    return type == "Battery" && supply.number("present").value_or(1) != 0;
}

} // namespace

std::vector<PowerSource> readPowerSupplies(const fs::path& powerSupplyFolder) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(powerSupplyFolder, error), end; !error && it != end;
         it.increment(error)) {
        folders.push_back(it->path());
    }
    // The kernel lists supplies in no stable order; by name, BAT0 comes before BAT1.
    std::sort(folders.begin(), folders.end());

    std::vector<Supply> batteries;
    std::optional<bool> linePowerOnline;
    for (const auto& folder : folders) {
        Supply supply(folder);
        const auto type = supply.text("type");
        if (type == "Mains" || type == "USB") {
            // A USB-C charger that negotiates its voltage reports 2.
            const bool online = supply.number("online").value_or(0) != 0;
            linePowerOnline = linePowerOnline.value_or(false) || online;
        } else if (isPresentBattery(supply, type)) {
            batteries.push_back(std::move(supply));
        }
    }

    std::vector<PowerSource> sources;
    sources.reserve(batteries.size());
    for (const auto& battery : batteries) {
        sources.push_back(describe(battery, linePowerOnline));
    }
    return sources;
}

} // namespace vigilo::LinuxStats
