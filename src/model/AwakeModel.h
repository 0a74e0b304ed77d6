#pragma once

#include "model/BatteryStop.h"
#include "model/Donation.h"
#include "model/DonationQuestion.h"
#include "model/KeepAwake.h"
#include "model/LidMode.h"
#include "model/Metrics.h"
#include "model/PanelState.h"
#include "model/PowerFigures.h"
#include "model/Preferences.h"
#include "model/Settings.h"
#include "model/SleepGuard.h"
#include "model/SoundPlayer.h"
#include "model/StatusTexts.h"
#include "model/WatchedApps.h"
#include "ports/Clock.h"
#include "ports/Desktop.h"
#include "ports/Displays.h"
#include "ports/HttpGet.h"
#include "ports/LidControl.h"
#include "ports/PlatformWords.h"
#include "ports/PowerSettingsSource.h"
#include "ports/ProcessWatch.h"
#include "ports/Scheduler.h"
#include "ports/StatsSource.h"
#include "util/Signal.h"

#include <optional>
#include <string>
#include <vector>

namespace vigilo {

/// The program's model, composed of parts with one job each: the keep-awake state, the lid
/// mode, the power figures, the metrics, the battery stop, the donation question, the
/// preferences and what the open panel shows. The shell and the views talk to it; each screen
/// observes only the parts it shows. Main thread only.
class AwakeModel {
public:
    /// What the model talks to. Everything must outlive the model.
    struct Services {
        const Clock& clock;
        Settings& settings;
        PowerAssertions& assertions;
        PowerSettingsSource& powerSettings;
        WatchedApps& watcher;
        SoundPlayer& sounds;
        LidControl& lid;
        Displays& displays;
        Desktop& desktop;
        StatsSource& stats;
        HttpGet& http;
        Scheduler& scheduler;
        const PlatformWords& words;
        ProcessWatch& processes;
    };

    /// Starts up: restores a sleep switch left off, samples the figures, reads the power
    /// settings, then follows the watched applications.
    explicit AwakeModel(Services services);
    AwakeModel(const AwakeModel&) = delete;
    AwakeModel& operator=(const AwakeModel&) = delete;

    /// Told after every published change of any part.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }
    /// Told after every real change of the keep-awake state.
    [[nodiscard]] const Signal<>& stateChanged() const { return stateChanged_; }

    [[nodiscard]] KeepAwake& keepAwake() { return keepAwake_; }
    [[nodiscard]] LidMode& lidMode() { return lidMode_; }
    [[nodiscard]] PowerFigures& powerFigures() { return powerFigures_; }
    [[nodiscard]] Metrics& metrics() { return metrics_; }
    [[nodiscard]] BatteryStop& batteryStop() { return batteryStop_; }
    [[nodiscard]] DonationQuestion& donationQuestion() { return donationQuestion_; }
    [[nodiscard]] Preferences& preferences() { return preferences_; }
    [[nodiscard]] PanelState& panelState() { return panelState_; }

    // The operations the shell drives.
    [[nodiscard]] bool isAwake() const { return keepAwake_.isAwake(); }
    void toggle() { keepAwake_.toggle(); }
    void applyWatchedApps() { keepAwake_.applyWatchedApps(); }
    void refreshPowerSettings(bool force) { powerFigures_.refreshPowerSettings(force); }
    /// Samples every figure, then runs the battery stop, the donation check and the lid's
    /// display check. Runs on every stats tick.
    void refreshStats();
    void saveForRelaunch() { keepAwake_.saveForRelaunch(); }
    void restoreAfterRelaunch() { keepAwake_.restoreAfterRelaunch(); }
    void deactivateOnQuit() { keepAwake_.deactivateOnQuit(); }
    /// The about tab's donation button.
    void openDonationPage() { Donation::open(desktop_); }
    /// How the program names the machine and its parts on this platform.
    [[nodiscard]] const PlatformWords& words() const { return words_; }

    // Status texts.
    [[nodiscard]] std::int64_t cupCount(TimePoint at) const;
    [[nodiscard]] double cupFraction(TimePoint at) const;
    [[nodiscard]] std::string statusTitle(TimePoint at) const;
    /// The subtitle; while a session has an end, that end ("до 18:00").
    [[nodiscard]] std::string statusSubtitle() const;
    /// The hero button's tooltip.
    [[nodiscard]] std::string toggleHelp() const {
        return StatusTexts::toggleHelp(isAwake(), words_);
    }

private:
    [[nodiscard]] StatusTexts::State textState() const;

    const Clock& clock_;
    WatchedApps& watcher_;
    Desktop& desktop_;
    const PlatformWords& words_;
    Signal<> changed_;
    Signal<> stateChanged_;
    SleepGuard sleepGuard_;
    LidMode lidMode_;
    KeepAwake keepAwake_;
    PowerFigures powerFigures_;
    Metrics metrics_;
    BatteryStop batteryStop_;
    DonationQuestion donationQuestion_;
    Preferences preferences_;
    PanelState panelState_;
    /// Pass the parts' notices on as the model's.
    std::vector<Connection> partConnections_;
    Connection watcherConnection_;
};

} // namespace vigilo
