#include "platform/linux/stats/SysfsPowerSupplies.h"

#include "platform/posix/KeptOpenFile.h"
#include "util/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <string>
#include <system_error>
#include <utility>

namespace vigilo::LinuxStats {

namespace fs = std::filesystem;

/// One supply's folder: its attributes, each opened at its first read. A driver creates a
/// supply's attributes with it, so they are listed when the supply appears and once more at the
/// next read, in case the first listing came while the driver was still adding them; an
/// attribute missing then stays missing.
class Supply {
public:
    /// `seenBefore`: the supply was listed at an earlier read, so its attributes are all there.
    Supply(std::string name, ino_t entry, const fs::path& folder, bool seenBefore)
        : name_(std::move(name))
        , entry_(entry)
        , isSettled_(seenBefore) {
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            attributes_.emplace(it->path().filename().string(), KeptOpenFile(it->path()));
        }
    }

    [[nodiscard]] const std::string& name() const { return name_; }
    [[nodiscard]] ino_t entry() const { return entry_; }
    [[nodiscard]] bool isSettled() const { return isSettled_; }

    [[nodiscard]] std::string text(std::string_view attribute) {
        const auto content = read(attribute);
        return content ? std::string(trimmed(*content)) : std::string();
    }
    /// A number within the bound the port promises; sysfs figures are far smaller (a laptop
    /// battery holds some 10^8 µWh), so anything larger is a broken driver and counts as
    /// unreadable.
    [[nodiscard]] std::optional<std::int64_t> number(std::string_view attribute) {
        constexpr std::int64_t limit = std::int64_t{1} << 40;
        const auto content = read(attribute);
        const auto value = content ? parseInteger(trimmed(*content)) : std::nullopt;
        if (!value || *value >= limit || *value <= -limit) {
            return std::nullopt;
        }
        return value;
    }

private:
    [[nodiscard]] std::optional<std::string> read(std::string_view attribute) {
        // Attribute values are a line of a few dozen bytes.
        constexpr std::size_t longestValue = 256;
        const auto file = attributes_.find(attribute);
        return file == attributes_.end() ? std::nullopt : file->second.readStart(longestValue);
    }

    std::string name_;
    /// The folder entry's inode: a supply that goes and comes back under the same name has a
    /// new one.
    ino_t entry_;
    bool isSettled_;
    std::map<std::string, KeptOpenFile, std::less<>> attributes_;
};

namespace {

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
void readCharge(Supply& battery, bool discharging, PowerSource& source) {
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

PowerSource describe(Supply& battery, std::optional<bool> linePowerOnline) {
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

bool isPresentBattery(Supply& supply, const std::string& type) {
    return type == "Battery" && supply.number("present").value_or(1) != 0;
}

} // namespace

SysfsPowerSupplies::SysfsPowerSupplies(fs::path folder)
    : folder_(std::move(folder)) {}

SysfsPowerSupplies::~SysfsPowerSupplies() = default;

std::vector<PowerSource> SysfsPowerSupplies::read() {
    listSupplies();
    std::vector<Supply*> batteries;
    std::optional<bool> linePowerOnline;
    for (const auto& supply : supplies_) {
        const auto type = supply->text("type");
        if (type == "Mains" || type == "USB") {
            // A USB-C charger that negotiates its voltage reports 2.
            const bool online = supply->number("online").value_or(0) != 0;
            linePowerOnline = linePowerOnline.value_or(false) || online;
        } else if (isPresentBattery(*supply, type)) {
            batteries.push_back(supply.get());
        }
    }

    std::vector<PowerSource> sources;
    sources.reserve(batteries.size());
    for (Supply* battery : batteries) {
        sources.push_back(describe(*battery, linePowerOnline));
    }
    return sources;
}

void SysfsPowerSupplies::listSupplies() {
    if (!listing_) {
        listing_.reset(::opendir(folder_.c_str()));
    }
    if (!listing_) {
        supplies_.clear();
        return;
    }
    ::rewinddir(listing_.get());
    std::vector<std::pair<std::string, ino_t>> entries;
    errno = 0;
    while (const dirent* entry = ::readdir(listing_.get())) {
        if (entry->d_name[0] != '.') {
            entries.emplace_back(entry->d_name, entry->d_ino);
        }
    }
    if (errno != 0) {
        listing_.reset();
        supplies_.clear();
        return;
    }
    // The kernel lists supplies in no stable order; by name, BAT0 comes before BAT1.
    std::ranges::sort(entries);

    std::vector<std::unique_ptr<Supply>> listed;
    listed.reserve(entries.size());
    for (const auto& [name, inode] : entries) {
        const auto known =
            std::ranges::find_if(supplies_, [&name = name, inode = inode](const auto& supply) {
                return supply && supply->name() == name && supply->entry() == inode;
            });
        const bool seenBefore = known != supplies_.end();
        listed.push_back(seenBefore && (*known)->isSettled()
                             ? std::move(*known)
                             : std::make_unique<Supply>(name, inode, folder_ / name, seenBefore));
    }
    supplies_ = std::move(listed);
}

} // namespace vigilo::LinuxStats
