#pragma once

#include "platform/linux/UniqueFd.h"
#include "platform/ports/LidControl.h"

#include <QDBusConnection>
#include <filesystem>

namespace vigilo {

/// Closed-lid mode on Linux. logind suspends on lid close even under sleep locks; only a
/// "handle-lid-switch" block lock stops it, and any local user may take one, so there is no
/// permission to install: the permission is "logind is there". The lock dies with the process.
class LogindLidControl final : public LidControl {
public:
    /// `root` is where /proc is looked for (a fixture tree in tests).
    explicit LogindLidControl(QDBusConnection systemBus, std::filesystem::path root = "/");

    /// logind is on the bus.
    [[nodiscard]] bool isInstalled() const override;
    /// This program holds its lid lock.
    [[nodiscard]] bool isSleepDisabled() const override { return lidLock_.isValid(); }
    /// Asks UPower, then logind, then the ACPI button in /proc; false when nothing answers.
    [[nodiscard]] bool isLidClosed() const override;
    bool setSleepDisabled(bool disabled) override;
    /// Fails only when logind is missing: there is nothing to install.
    [[nodiscard]] std::optional<LidError> install() override;
    /// Drops the lid lock; never fails.
    [[nodiscard]] std::optional<LidError> uninstall() override;

private:
    [[nodiscard]] std::optional<bool> upowerLidClosed() const;
    [[nodiscard]] std::optional<bool> logindLidClosed() const;
    [[nodiscard]] bool acpiLidClosed() const;

    QDBusConnection systemBus_;
    std::filesystem::path root_;
    UniqueFd lidLock_;
};

} // namespace vigilo
