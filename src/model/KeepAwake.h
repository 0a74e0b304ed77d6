#pragma once

#include "model/LidMode.h"
#include "model/Settings.h"
#include "model/SleepGuard.h"
#include "model/SoundPlayer.h"
#include "model/WatchedApps.h"
#include "ports/Clock.h"
#include "ports/Desktop.h"
#include "util/Signal.h"

#include <optional>

namespace vigilo {

/// The keep-awake state: how the user's switch and the watched applications combine into it,
/// when the current period started, and what survives a relaunch. Main thread only.
class KeepAwake {
public:
    /// Everything must outlive the keep-awake state. The guard's owner passes its reports on to
    /// `guardChanged` and `guardLost`.
    struct Services {
        const Clock& clock;
        SleepGuard& guard;
        WatchedApps& watcher;
        SoundPlayer& sounds;
        LidMode& lidMode;
        Settings& settings;
        Desktop& desktop;
    };

    explicit KeepAwake(Services services);

    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    [[nodiscard]] bool isAwake() const { return guard_.isActive(); }
    [[nodiscard]] bool isManuallyOn() const { return isManuallyOn_; }
    [[nodiscard]] bool isAutoSuppressed() const { return isAutoSuppressed_; }
    [[nodiscard]] std::optional<TimePoint> awakeSince() const { return awakeSince_; }

    /// The user's switch: on with "pour-in", off with "pour-out". When the system refuses to
    /// keep the computer awake, nothing changes and the user is told; when it later drops the
    /// lock for good, the period ends as if it had refused it.
    void toggle();
    /// Switches keep-awake on or off without touching the user's flags or playing a sound.
    /// Returns whether the computer is now kept awake as asked.
    bool setAwake(bool on);
    /// Decides the state from the running watched applications.
    void applyWatchedApps();
    /// The battery stop: off as if by the user's switch, but without a sound.
    void stopForBattery();
    /// Stores the running keep-awake period so the next process resumes it.
    void saveForRelaunch();
    /// Resumes a period stored by `saveForRelaunch`.
    void restoreAfterRelaunch();
    /// Releases everything held, at quit. Writes nothing to the store.
    void deactivateOnQuit();

    /// The guard started or stopped holding its lock: `isAwake` changed.
    void guardChanged() { changed_.notify(); }
    /// The system no longer keeps the computer awake: the state says so, as after a refusal at
    /// switch-on, and a watched application's next change tries again.
    void guardLost();

private:
    void switchOff();
    /// Ends the flags of a switch-off by the user: suppressed while a watched application runs.
    void switchedOffByUser();
    void tellRefused();

    const Clock& clock_;
    SleepGuard& guard_;
    WatchedApps& watcher_;
    SoundPlayer& sounds_;
    LidMode& lidMode_;
    Settings& settings_;
    Desktop& desktop_;
    Signal<> changed_;

    bool isManuallyOn_ = false;
    bool isAutoSuppressed_ = false;
    std::optional<TimePoint> awakeSince_;
};

} // namespace vigilo
