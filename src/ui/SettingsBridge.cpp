#include "ui/SettingsBridge.h"

namespace vigilo {

SettingsBridge::SettingsBridge(Preferences& preferences, BatteryStop& batteryStop, QObject* parent)
    : Bridge(parent)
    , preferences_(preferences)
    , batteryStop_(batteryStop) {
    follow(preferences.willChange());
    follow(batteryStop.willChange());
}

} // namespace vigilo
