#include "platform/linux/LinuxPowerSettings.h"

#include "platform/linux/KdePowerSettings.h"
#include "platform/linux/LogindSleepSettings.h"
#include "platform/linux/SysfsPowerSupply.h"
#include "platform/linux/UPowerSource.h"

namespace vigilo {

LinuxPowerSettings::LinuxPowerSettings(ProcessRunner& runner, QDBusConnection systemBus,
                                       Paths paths)
    : gnome_(runner, paths.gsettings)
    , systemBus_(std::move(systemBus))
    , paths_(std::move(paths)) {}

PowerValues LinuxPowerSettings::current() {
    PowerValues values;
    values.source = currentSource();

    const bool isKde = paths_.currentDesktop.find("KDE") != std::string::npos;
    SleepDelays delays =
        isKde ? readKdePowerSettings(paths_.configHome, values.source) : gnome_.read(values.source);
    if (!delays.isComplete()) {
        delays.fillFrom(isKde ? gnome_.read(values.source)
                              : readKdePowerSettings(paths_.configHome, values.source));
    }
    if (!delays.isComplete()) {
        delays.fillFrom(readLogindSleepSettings(systemBus_));
    }
    values.displaySleepMinutes = delays.displayMinutes.value_or(values.displaySleepMinutes);
    values.systemSleepMinutes = delays.systemMinutes.value_or(values.systemSleepMinutes);
    values.sleepDisabled = logindForbidsSuspend(systemBus_);
    return values;
}

PowerValues::Source LinuxPowerSettings::currentSource() const {
    return readUPowerSource(systemBus_).value_or(readSysfsPowerSource(paths_.powerSupplies));
}

} // namespace vigilo
