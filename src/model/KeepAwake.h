#pragma once

#include "model/AwakeEnd.h"
#include "model/LidMode.h"
#include "model/Settings.h"
#include "model/SleepGuard.h"
#include "model/SoundPlayer.h"
#include "model/WatchedApps.h"
#include "ports/Clock.h"
#include "ports/Desktop.h"
#include "ports/ProcessWatch.h"
#include "ports/Scheduler.h"
#include "util/Signal.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace vigilo {

/// The keep-awake state: how the user's switch, a session with an end and the watched
/// applications combine into it, when the current period started, and what survives a relaunch.
/// Main thread only.
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
        Scheduler& scheduler;
        ProcessWatch& processes;
    };

    explicit KeepAwake(Services services);
    ~KeepAwake();
    KeepAwake(const KeepAwake&) = delete;
    KeepAwake& operator=(const KeepAwake&) = delete;

    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    [[nodiscard]] bool isAwake() const { return guard_.isActive(); }
    [[nodiscard]] bool isManuallyOn() const { return isManuallyOn_; }
    [[nodiscard]] bool isAutoSuppressed() const { return isAutoSuppressed_; }
    [[nodiscard]] std::optional<TimePoint> awakeSince() const { return awakeSince_; }
    /// When the session switched on by hand ends by itself; none for a plain switch-on.
    [[nodiscard]] const AwakeEnd& end() const { return end_; }

    /// The user's switch: on with "pour-in", off with "pour-out". When the system refuses to
    /// keep the computer awake, nothing changes and the user is told; when it later drops the
    /// lock for good, the period ends as if it had refused it. Either way clears the end.
    void toggle();
    /// Switches on by hand as `toggle` does (with its sound when it was off) until `end`: then
    /// keep-awake goes off without a sound, unless a watched application still wants it. An end
    /// of none makes it a plain switch-on, which clears an earlier end. Returns whether the
    /// computer is kept awake.
    bool switchOnUntil(const AwakeEnd& end);
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
    /// Sets the end and starts watching for it; none stops watching.
    void setEnd(const AwakeEnd& end);
    void waitForTime(std::uint64_t generation);
    void endReached(std::uint64_t generation);
    /// The end stored with the relaunch state, removing it from the store.
    [[nodiscard]] AwakeEnd takeStoredEnd();

    const Clock& clock_;
    SleepGuard& guard_;
    WatchedApps& watcher_;
    SoundPlayer& sounds_;
    LidMode& lidMode_;
    Settings& settings_;
    Desktop& desktop_;
    Scheduler& scheduler_;
    ProcessWatch& processes_;
    Signal<> changed_;

    bool isManuallyOn_ = false;
    bool isAutoSuppressed_ = false;
    std::optional<TimePoint> awakeSince_;
    AwakeEnd end_;
    /// Counts the ends set; a report for an earlier one is stale.
    std::uint64_t endGeneration_ = 0;
    std::unique_ptr<ProcessWatch::Watch> processWatch_;
    /// Scheduled work holds a weak reference, so none runs after this part is gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>();
};

} // namespace vigilo
