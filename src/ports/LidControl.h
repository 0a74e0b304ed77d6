#pragma once

#include "util/Signal.h"

#include <optional>
#include <string>

namespace vigilo {

/// Why installing or removing the closed-lid permission failed, in words for the user.
struct LidError {
    std::string description;
};

/// Keeping the computer awake with its lid closed: a permission granted once with the user's
/// consent, then a system-wide sleep switch this program may turn off and on.
class LidControl {
public:
    virtual ~LidControl() = default;
    /// The platform can keep the computer awake with its lid closed at all (the screens hide
    /// the closed-lid settings where it cannot). Answers without waiting for a service.
    [[nodiscard]] virtual bool canKeepAwakeWithLidClosed() const = 0;
    /// The permission is in place, so `setSleepDisabled` can work without asking the user.
    /// Asked whenever the lid mode is applied: answers without waiting for a service.
    [[nodiscard]] virtual bool isInstalled() const = 0;
    /// Sleep is switched off system-wide now, or the switch asked for by `setSleepDisabled` has
    /// not been answered yet.
    [[nodiscard]] virtual bool isSleepDisabled() const = 0;
    /// The lid is closed now, as last reported by the system. Asked on every stats tick while
    /// the lid mode is on: answers without waiting for a service.
    [[nodiscard]] virtual bool isLidClosed() const = 0;
    /// Switches sleep off (`true`) or back on, without waiting for the system. Returns false at
    /// once when the switch cannot be asked for (without the permission it cannot be switched
    /// off); otherwise true, and a refusal that comes later is told through
    /// `sleepSwitchChanged`.
    virtual bool setSleepDisabled(bool disabled) = 0;
    /// Told on the main thread, never from within a call to this object, whenever
    /// `isSleepDisabled` changed without being asked: the system refused to switch sleep off
    /// after `setSleepDisabled` returned, let the switch go (its service left), or switched it
    /// off again (its service came back, or a failed request was asked again).
    [[nodiscard]] virtual const Signal<>& sleepSwitchChanged() const = 0;
    /// Installs the permission; may ask the user. Nothing on success.
    [[nodiscard]] virtual std::optional<LidError> install() = 0;
    /// Switches sleep back on if needed, then removes the permission until the next `install`.
    /// Nothing on success.
    [[nodiscard]] virtual std::optional<LidError> uninstall() = 0;
};

} // namespace vigilo
