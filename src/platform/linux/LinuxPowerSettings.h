#pragma once

#include "platform/linux/GnomePowerSettings.h"
#include "platform/ports/PowerSettingsSource.h"
#include "platform/ports/ProcessRunner.h"

#include <QDBusConnection>
#include <filesystem>

namespace vigilo {

/// The power settings of a Linux desktop, best effort. Delays come from the running desktop's
/// own settings first — KDE's rc files in a KDE session, else GNOME (gsettings) — then from the
/// other desktop's, then from logind's idle action, each value from the first source that has it;
/// the power source from UPower, else sysfs; "sleep disabled" from logind's CanSuspend.
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

    /// `runner` must outlive this object.
    LinuxPowerSettings(ProcessRunner& runner, QDBusConnection systemBus, Paths paths);

    [[nodiscard]] PowerValues current() override;
    [[nodiscard]] PowerValues::Source currentSource() const;

private:
    GnomePowerSettings gnome_;
    QDBusConnection systemBus_;
    Paths paths_;
};

} // namespace vigilo
