#pragma once

#include "platform/PowerSourceMonitor.h"
#include "ports/StatsSource.h"

#include <CoreFoundation/CoreFoundation.h>
#include <optional>
#include <vector>

namespace vigilo::MacPowerSources {

/// The computer's battery from one IOPowerSources description: only an "InternalBattery" with
/// an integer "Current Capacity" and an integer "Max Capacity" above 0. The charge counts in
/// shares of full; while the system reports a positive "Time to Empty", charge and capacity are
/// counted in 1/minutes-left shares and the drain is set so that charge ÷ drain gives exactly
/// those minutes. While it is still estimating (-1), charging or full, there is no drain.
[[nodiscard]] std::optional<PowerSource> batteryFrom(CFDictionaryRef description);

/// The first source that is the computer's battery, as the system lists them; empty when the
/// information is missing or there is no such battery.
[[nodiscard]] std::vector<PowerSource> read();

} // namespace vigilo::MacPowerSources

namespace vigilo {

/// Tells of power-source changes through IOPowerSources notices on the main run loop, which
/// the Qt event loop runs on macOS. Create and destroy it on the main thread.
class MacPowerSourceMonitor final : public PowerSourceMonitor {
public:
    explicit MacPowerSourceMonitor(QObject* parent = nullptr);
    /// Takes the notice source off the main run loop.
    ~MacPowerSourceMonitor() override;
    MacPowerSourceMonitor(const MacPowerSourceMonitor&) = delete;
    MacPowerSourceMonitor& operator=(const MacPowerSourceMonitor&) = delete;

private:
    static void onNotice(void* context);

    CFRunLoopSourceRef source_ = nullptr;
};

} // namespace vigilo
