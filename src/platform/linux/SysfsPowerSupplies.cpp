#include "platform/linux/SysfsPowerSupplies.h"

#include "util/Files.h"
#include "util/Text.h"
#include "util/Text.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
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
    /// A number small enough to be scaled by 100 without overflow; sysfs figures are far
    /// smaller, so anything larger is a broken driver and counts as unreadable.
    [[nodiscard]] std::optional<std::int64_t> number(const char* attribute) const {
        constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 100;
        const auto content = readFileStart(folder_ / attribute);
        const auto value = content ? parseInteger(trimmed(*content)) : std::nullopt;
        if (!value || *value > limit || *value < -limit) {
            return std::nullopt;
        }
        return value;
    }

private:
    fs::path folder_;
};

struct Capacity {
    std::int64_t current = 0;
    std::int64_t maximum = 0;
};

std::optional<Capacity> capacityOf(const Supply& battery) {
    for (const auto& [now, full] :
         {std::pair{"energy_now", "energy_full"}, std::pair{"charge_now", "charge_full"}}) {
        const auto current = battery.number(now);
        const auto maximum = battery.number(full);
        // Some firmware reports a full value of 0 until the gauge is calibrated.
        if (current && maximum && *maximum > 0) {
            return Capacity{*current, *maximum};
        }
    }
    if (const auto percent = battery.number("capacity")) {
        return Capacity{*percent, 100};
    }
    return std::nullopt;
}

std::optional<std::int64_t> minutesToEmpty(const Supply& battery) {
    for (const auto& [amount, rate] :
         {std::pair{"energy_now", "power_now"}, std::pair{"charge_now", "current_now"}}) {
        const auto left = battery.number(amount);
        // Some drivers give the rate a negative sign while discharging.
        const auto drain = battery.number(rate);
        if (left && drain && *drain != 0) {
            return *left * 60 / std::abs(*drain);
        }
    }
    return std::nullopt;
}

bool isExternalPowerOnline(const std::vector<Supply>& supplies) {
    return std::any_of(supplies.begin(), supplies.end(), [](const Supply& supply) {
        const auto type = supply.text("type");
        return (type == "Mains" || type == "USB") && supply.number("online") == 1;
    });
}

bool isSystemBattery(const Supply& supply) {
    return supply.text("type") == "Battery" && supply.text("scope") != "Device" &&
           supply.number("present").value_or(1) != 0;
}

PowerSourceDescription describe(const Supply& battery, bool externalPowerOnline) {
    PowerSourceDescription description{{"Type", std::string("InternalBattery")}};
    if (const auto capacity = capacityOf(battery)) {
        description["Current Capacity"] = capacity->current;
        description["Max Capacity"] = capacity->maximum;
    }
    const auto status = battery.text("status");
    description["Is Charging"] = status == "Charging";
    const bool onAC =
        externalPowerOnline || status == "Charging" || status == "Full" || status == "Not charging";
    description["Power Source State"] = std::string(onAC ? "AC Power" : "Battery Power");
    if (status == "Discharging") {
        if (const auto minutes = minutesToEmpty(battery)) {
            description["Time to Empty"] = *minutes;
        }
    }
    return description;
}

} // namespace

std::vector<PowerSourceDescription> readPowerSupplies(const fs::path& powerSupplyFolder) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(powerSupplyFolder, error), end; !error && it != end;
         it.increment(error)) {
        folders.push_back(it->path());
    }
    // The kernel lists supplies in no stable order; by name, BAT0 comes before BAT1.
    std::sort(folders.begin(), folders.end());
    std::vector<Supply> supplies(folders.begin(), folders.end());

    const bool externalPowerOnline = isExternalPowerOnline(supplies);
    std::vector<PowerSourceDescription> descriptions;
    for (const auto& supply : supplies) {
        if (isSystemBattery(supply)) {
            descriptions.push_back(describe(supply, externalPowerOnline));
        }
    }
    return descriptions;
}

} // namespace vigilo::LinuxStats
