#include "platform/linux/powersettings/LinuxPowerSettings.h"

#include "platform/linux/powersettings/KdePowerSettings.h"
#include "platform/linux/powersettings/LogindSleepSettings.h"
#include "platform/linux/powersettings/SysfsPowerSupply.h"
#include "platform/linux/powersettings/UPowerSource.h"

namespace vigilo {

LinuxPowerSettings::LinuxPowerSettings(QDBusConnection systemBus, QDBusConnection sessionBus,
                                       Paths paths)
    : systemBus_(std::move(systemBus))
    , upower_(systemBus_)
    , logindWatch_(QStringLiteral("org.freedesktop.login1"), systemBus_,
                   QDBusServiceWatcher::WatchForOwnerChange)
    , paths_(std::move(paths))
    , gnome_(paths_.gsettings, std::move(sessionBus)) {
    QObject::connect(&logindWatch_, &QDBusServiceWatcher::serviceOwnerChanged, &calls_, [this] {
        logindDelays_.reset();
        logindForbidsSuspend_.reset();
        ++logindGeneration_;
    });
}

void LinuxPowerSettings::read(std::function<void(PowerValues)> done) {
    auto reading = std::make_shared<Reading>();
    reading->done = std::move(done);
    upower_.read([this, reading](std::optional<PowerValues::Source> source) {
        reading->values.source = source.value_or(readSysfsPowerSource(paths_.powerSupplies));
        readDesktopDelays(reading);
    });
}

void LinuxPowerSettings::readDesktopDelays(const std::shared_ptr<Reading>& reading) {
    const PowerValues::Source source = reading->values.source;
    if (isKde()) {
        reading->delays = readKdePowerSettings(paths_.configHome, source);
        if (reading->delays.isComplete()) {
            readLogindDelays(reading);
            return;
        }
        gnome_.read(source, [this, reading](SleepDelays gnome) {
            reading->delays.fillFrom(gnome);
            readLogindDelays(reading);
        });
        return;
    }
    gnome_.read(source, [this, reading, source](SleepDelays gnome) {
        reading->delays = gnome;
        if (!reading->delays.isComplete()) {
            reading->delays.fillFrom(readKdePowerSettings(paths_.configHome, source));
        }
        readLogindDelays(reading);
    });
}

void LinuxPowerSettings::readLogindDelays(const std::shared_ptr<Reading>& reading) {
    if (reading->delays.isComplete()) {
        readSleepDisabled(reading);
        return;
    }
    if (logindDelays_) {
        reading->delays.fillFrom(*logindDelays_);
        readSleepDisabled(reading);
        return;
    }
    readLogindSleepSettings(systemBus_, &calls_,
                            [this, reading, asked = logindGeneration_](SleepDelays logind) {
                                if (asked == logindGeneration_) {
                                    logindDelays_ = logind;
                                }
                                reading->delays.fillFrom(logind);
                                readSleepDisabled(reading);
                            });
}

void LinuxPowerSettings::readSleepDisabled(const std::shared_ptr<Reading>& reading) {
    const auto finish = [reading](bool forbids) {
        PowerValues& values = reading->values;
        values.displaySleepMinutes =
            reading->delays.displayMinutes.value_or(values.displaySleepMinutes);
        values.systemSleepMinutes =
            reading->delays.systemMinutes.value_or(values.systemSleepMinutes);
        values.sleepDisabled = forbids;
        reading->done(values);
    };
    // This runs on an answer from UPower: a read still never answers inside `read`.
    if (logindForbidsSuspend_) {
        finish(*logindForbidsSuspend_);
        return;
    }
    askWhetherLogindForbidsSuspend(systemBus_, &calls_,
                                   [this, finish, asked = logindGeneration_](bool forbids) {
                                       if (asked == logindGeneration_) {
                                           logindForbidsSuspend_ = forbids;
                                       }
                                       finish(forbids);
                                   });
}

bool LinuxPowerSettings::isKde() const {
    return paths_.currentDesktop.find("KDE") != std::string::npos;
}

} // namespace vigilo
