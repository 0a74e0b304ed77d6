#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vigilo {

/// How the computer is set to sleep right now.
struct PowerValues {
    /// The power source the computer draws from.
    enum class Source { Ac, Battery };

    /// Minutes of inactivity before the display sleeps; 0 or less means never.
    std::int64_t displaySleepMinutes = 10;
    /// Minutes of inactivity before the system sleeps; 0 or less means never.
    std::int64_t systemSleepMinutes = 0;
    /// Sleep is switched off system-wide.
    bool sleepDisabled = false;
    Source source = Source::Ac;

    /// The computer can fall asleep by itself.
    [[nodiscard]] bool canSleep() const {
        return displaySleepMinutes > 0 && systemSleepMinutes > 0 && !sleepDisabled;
    }
    bool operator==(const PowerValues&) const = default;
};

/// The shown name of a power source: "от сети" or "на батарее".
[[nodiscard]] std::string sourceTitle(PowerValues::Source source);

/// Reads the current power settings. Never fails: what cannot be read takes the defaults of
/// `PowerValues`.
class PowerSettingsSource {
public:
    virtual ~PowerSettingsSource() = default;
    /// Reads a fresh snapshot without blocking the caller. `done` runs once with it, on the
    /// caller's (main) thread: an adapter that asks a tool or a service runs it later from the
    /// event loop, an in-memory one may run it at once. It never runs once this source is
    /// destroyed.
    virtual void read(std::function<void(PowerValues)> done) = 0;
};

} // namespace vigilo
