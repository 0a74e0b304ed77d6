#pragma once

#include "platform/linux/powersettings/GnomePowerSettings.h"
#include "platform/linux/powersettings/UPowerSource.h"
#include "ports/PowerSettingsSource.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <filesystem>
#include <memory>
#include <optional>

namespace vigilo {

/// The power settings of a Linux desktop, best effort, read without waiting. Delays come from the
/// running desktop's own settings first — KDE's rc files in a KDE session, else GNOME
/// (gsettings) — then from the other desktop's, then from logind's idle action, each value from
/// the first source that has it; the power source from UPower, else sysfs; "sleep disabled" from
/// logind's CanSuspend. logind's answers come from its configuration and the machine: they are
/// asked once, and again only once another logind took over the bus name (a restart). UPower's
/// is kept until it announces a change or restarts.
class LinuxPowerSettings final : public PowerSettingsSource {
public:
    struct Paths {
        std::filesystem::path gsettings = "/usr/bin/gsettings";
        /// $XDG_CONFIG_HOME, where KDE keeps its rc files.
        std::filesystem::path configHome;
        std::filesystem::path powerSupplies = "/sys/class/power_supply";
        /// $XDG_CURRENT_DESKTOP, e.g. "KDE" or "ubuntu:GNOME". GNOME's schemas are often
        /// installed in KDE sessions too, where their values mean nothing.
        std::string currentDesktop;
    };

    /// UPower and logind answer on `systemBus`; dconf announces GNOME's changes on `sessionBus`.
    LinuxPowerSettings(QDBusConnection systemBus, QDBusConnection sessionBus, Paths paths);

    void read(std::function<void(PowerValues)> done) override;

private:
    /// One read in progress: what is known so far, and who waits for it.
    struct Reading {
        PowerValues values;
        SleepDelays delays;
        std::function<void(PowerValues)> done;
    };

    // The steps of a read, in this order.
    void readDesktopDelays(const std::shared_ptr<Reading>& reading);
    void readLogindDelays(const std::shared_ptr<Reading>& reading);
    void readSleepDisabled(const std::shared_ptr<Reading>& reading);

    [[nodiscard]] bool isKde() const;

    QDBusConnection systemBus_;
    UPowerSource upower_;
    /// What logind answered, until it restarts; an answer to a question asked before the
    /// restart (an older generation) is not kept.
    std::optional<SleepDelays> logindDelays_;
    std::optional<bool> logindForbidsSuspend_;
    int logindGeneration_ = 0;
    QDBusServiceWatcher logindWatch_;
    Paths paths_;
    GnomePowerSettings gnome_;
    /// Holds the D-Bus calls in flight: their answers are dropped with this object.
    QObject calls_;
};

} // namespace vigilo
