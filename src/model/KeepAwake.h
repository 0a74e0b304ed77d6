#pragma once

#include "model/ChangeNotifier.h"
#include "model/LidMode.h"
#include "model/Settings.h"
#include "model/SleepGuard.h"
#include "model/SoundPlayer.h"
#include "model/WatchedApps.h"
#include "platform/ports/Clock.h"
#include "platform/ports/Desktop.h"

#include <optional>

namespace vigilo {

/// The keep-awake state: how the user's switch and the watched applications combine into it,
/// when the current period started, and what survives a relaunch. Main thread only.
class KeepAwake {
public:
    /// Everything must outlive the keep-awake state. The guard's loss report is this part's.
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

    /// Observers are told before every published change.
    ChangeNotifier& willChange() { return willChange_; }

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
    /// Decides the state from the running watched applications, once the watcher knows them.
    void applyWatchedApps();
    /// The battery stop: off as if by the user's switch, but without a sound.
    void stopForBattery();
    /// Stores the running keep-awake period so the next process resumes it.
    void saveForRelaunch();
    /// Resumes a period stored by `saveForRelaunch`.
    void restoreAfterRelaunch();
    /// Releases everything held, at quit. Writes nothing to the store.
    void deactivateOnQuit();

private:
    void switchOff();
    /// Ends the flags of a switch-off by the user: suppressed while a watched application runs.
    void switchedOffByUser();
    void tellRefused();
    void lockLost();

    const Clock& clock_;
    SleepGuard& guard_;
    WatchedApps& watcher_;
    SoundPlayer& sounds_;
    LidMode& lidMode_;
    Settings& settings_;
    Desktop& desktop_;
    ChangeNotifier willChange_;

    bool isManuallyOn_ = false;
    bool isAutoSuppressed_ = false;
    std::optional<TimePoint> awakeSince_;
};

} // namespace vigilo
