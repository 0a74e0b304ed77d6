#pragma once

#include "model/Settings.h"
#include "model/SleepGuard.h"
#include "ports/Displays.h"
#include "ports/LidControl.h"
#include "util/Signal.h"

#include <optional>
#include <string>

namespace vigilo {

/// Keeping the computer awake with its lid closed: the system-wide sleep switch while keep-awake
/// is on, the user's consent to it, and the display while the lid is closed. Main thread only.
class LidMode {
public:
    /// Everything must outlive the lid mode.
    struct Services {
        LidControl& lid;
        Displays& displays;
        SleepGuard& guard;
        Settings& settings;
    };

    /// Switches sleep back on if an earlier run left it off: a switch left over from a run that
    /// ended without clean-up never outlives a restart. Follows the switch while it exists.
    explicit LidMode(Services services);
    LidMode(const LidMode&) = delete;
    LidMode& operator=(const LidMode&) = delete;

    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    /// Sleep is switched off system-wide by this program (or that is being asked for, and not
    /// yet refused).
    [[nodiscard]] bool isLidActive() const { return isLidActive_; }
    /// The last closed-lid error, for the panel.
    [[nodiscard]] const std::optional<std::string>& lidError() const { return lidError_; }
    /// The panel should ask for the closed-lid permission.
    [[nodiscard]] bool needsLidConsent() const { return needsLidConsent_; }
    /// The user said "not now" during this run.
    [[nodiscard]] bool lidConsentPostponed() const { return lidConsentPostponed_; }
    [[nodiscard]] bool isLidHelperInstalled() const { return lid_.isInstalled(); }
    /// The platform can keep the computer awake with its lid closed at all.
    [[nodiscard]] bool canKeepAwakeWithLidClosed() const {
        return lid_.canKeepAwakeWithLidClosed();
    }

    /// Switches system-wide sleep off while kept awake with the lid setting on, back on
    /// otherwise; asks for consent when the permission is missing.
    void applyLidMode();
    /// Keep-awake ended: the display is no longer off for the lid and no consent is asked.
    /// The caller runs `applyLidMode` next.
    void keepAwakeEnded();
    /// Lets the display sleep while the lid is closed with no external display; restores it
    /// otherwise. Runs on every stats tick.
    void updateScreenForLid(bool isLidClosed);
    /// The same with the lid's state now; the lid is only asked when its state matters.
    void updateScreenForLid();
    /// The consent card's "Разрешить": installs the permission (may ask for a password).
    void grantLidPermission();
    /// The consent card's "Не сейчас": no card again during this run.
    void declineLidPermission();
    /// The about tab's "Отозвать доступ".
    void removeLidHelper();

    [[nodiscard]] bool keepsAwakeWithLidClosed() const;
    void setKeepsAwakeWithLidClosed(bool keeps);
    [[nodiscard]] bool turnsScreenOffWithLidClosed() const;
    void setTurnsScreenOffWithLidClosed(bool turnsOff);

private:
    /// The switch changed on its own: refused, lost, or taken again.
    void sleepSwitchChanged();

    LidControl& lid_;
    Displays& displays_;
    SleepGuard& guard_;
    Settings& settings_;
    Signal<> changed_;
    Connection switchConnection_;

    bool isScreenOffForLid_ = false;
    /// Sleep was asked to be switched off and not yet back on.
    bool wantsSleepDisabled_ = false;
    bool isLidActive_ = false;
    std::optional<std::string> lidError_;
    bool needsLidConsent_ = false;
    bool lidConsentPostponed_ = false;
};

} // namespace vigilo
