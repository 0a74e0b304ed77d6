#include "platform/macos/power/MacPowerSources.h"

#include "platform/macos/cf/CFRef.h"

#include <IOKit/ps/IOPSKeys.h>
#include <IOKit/ps/IOPowerSources.h>

namespace vigilo::MacPowerSources {

namespace {

CFTypeRef valueOf(CFDictionaryRef description, const char* key) {
    const auto name = cfString(key);
    return name ? CFDictionaryGetValue(description, name.get()) : nullptr;
}

} // namespace

std::optional<PowerSource> batteryFrom(CFDictionaryRef description) {
    if (textOf(valueOf(description, kIOPSTypeKey)) != kIOPSInternalBatteryType) {
        return std::nullopt;
    }
    const auto current = integerOf(valueOf(description, kIOPSCurrentCapacityKey));
    const auto maximum = integerOf(valueOf(description, kIOPSMaxCapacityKey));
    if (!current || !maximum || *maximum <= 0) {
        return std::nullopt;
    }
    PowerSource battery{
        .kind = PowerSource::Kind::InternalBattery,
        .unit = ChargeUnit::Percent,
        .charge = *current,
        .capacity = *maximum,
        .isCharging = booleanOf(valueOf(description, kIOPSIsChargingKey)).value_or(false),
        .onExternalPower =
            textOf(valueOf(description, kIOPSPowerSourceStateKey)) == kIOPSACPowerValue,
    };
    const auto minutesLeft = integerOf(valueOf(description, kIOPSTimeToEmptyKey));
    // Charge and capacity below 2^20 and at most a year of minutes keep every figure below
    // 2^40.
    constexpr std::int64_t yearInMinutes = 366LL * 24 * 60;
    if (minutesLeft && *minutesLeft > 0 && *minutesLeft <= yearInMinutes && *current > 0 &&
        *maximum < (1LL << 20)) {
        battery.charge = *current * *minutesLeft;
        battery.capacity = *maximum * *minutesLeft;
        battery.drain = *current * 60;
    }
    return battery;
}

std::vector<PowerSource> read() {
    const CFRef<CFTypeRef> snapshot(IOPSCopyPowerSourcesInfo());
    if (!snapshot) {
        return {};
    }
    const CFRef<CFArrayRef> sources(IOPSCopyPowerSourcesList(snapshot.get()));
    if (!sources) {
        return {};
    }
    const CFIndex count = CFArrayGetCount(sources.get());
    for (CFIndex i = 0; i < count; ++i) {
        // Owned by the snapshot: not released here.
        const CFDictionaryRef description =
            IOPSGetPowerSourceDescription(snapshot.get(), CFArrayGetValueAtIndex(sources.get(), i));
        if (description == nullptr) {
            continue;
        }
        if (auto battery = batteryFrom(description)) {
            return {*battery};
        }
    }
    return {};
}

} // namespace vigilo::MacPowerSources

namespace vigilo {

MacPowerSourceMonitor::MacPowerSourceMonitor(QObject* parent)
    : PowerSourceMonitor(parent)
    , source_(IOPSNotificationCreateRunLoopSource(&MacPowerSourceMonitor::onNotice, this)) {
    if (source_ != nullptr) {
        CFRunLoopAddSource(CFRunLoopGetMain(), source_, kCFRunLoopDefaultMode);
    }
}

MacPowerSourceMonitor::~MacPowerSourceMonitor() {
    if (source_ != nullptr) {
        CFRunLoopRemoveSource(CFRunLoopGetMain(), source_, kCFRunLoopDefaultMode);
        CFRelease(source_);
    }
}

void MacPowerSourceMonitor::onNotice(void* context) {
    Q_EMIT static_cast<MacPowerSourceMonitor*>(context)->changed();
}

} // namespace vigilo
