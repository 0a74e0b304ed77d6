#pragma once

#include <optional>
#include <string>

namespace vigilo {

/// Why installing or removing the closed-lid permission failed, in words for the user.
struct LidError {
    std::string description;
};

/// Keeping the computer awake with its lid closed: a permission installed once with the user's
/// consent, then a system-wide sleep switch this program may turn off and on.
class LidControl {
public:
    virtual ~LidControl() = default;
    /// The permission is in place, so `setSleepDisabled` can work without asking.
    [[nodiscard]] virtual bool isInstalled() const = 0;
    /// Sleep is switched off system-wide now.
    [[nodiscard]] virtual bool isSleepDisabled() const = 0;
    /// The lid is closed now.
    [[nodiscard]] virtual bool isLidClosed() const = 0;
    /// Switches sleep off (`true`) or back on. Returns whether the switch now has that value.
    virtual bool setSleepDisabled(bool disabled) = 0;
    /// Installs the permission; may ask the user. Nothing on success.
    [[nodiscard]] virtual std::optional<LidError> install() = 0;
    /// Switches sleep back on if needed, then removes the permission. Nothing on success.
    [[nodiscard]] virtual std::optional<LidError> uninstall() = 0;
};

} // namespace vigilo
