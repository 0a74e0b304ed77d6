#pragma once

#include "model/Settings.h"
#include "ports/Desktop.h"
#include "util/Signal.h"

namespace vigilo {

/// The general settings that change only how the program looks and sounds, and launch at
/// login. Main thread only.
class Preferences {
public:
    /// Both must outlive the preferences. Reads the sound and metrics switches once.
    Preferences(Settings& settings, Desktop& desktop);

    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    [[nodiscard]] bool soundEnabled() const { return soundEnabled_; }
    void setSoundEnabled(bool enabled);
    [[nodiscard]] bool hidesMetrics() const { return hidesMetrics_; }
    void setHidesMetrics(bool hides);
    [[nodiscard]] bool usesSimpleAnimation() const;
    void setUsesSimpleAnimation(bool uses);

    /// The platform can start the program at login; when not, the switch is hidden.
    [[nodiscard]] bool canLaunchAtLogin() const { return desktop_.canLaunchAtLogin(); }
    /// Kept by the system's login items, not by the settings.
    [[nodiscard]] bool launchesAtLogin() const { return desktop_.launchesAtLogin(); }
    /// On failure shows an alert and leaves the login item as it was.
    void setLaunchesAtLogin(bool launches);

private:
    Settings& settings_;
    Desktop& desktop_;
    Signal<> changed_;
    bool soundEnabled_;
    bool hidesMetrics_;
};

} // namespace vigilo
