#pragma once

#include "model/ChangeNotifier.h"
#include "model/SettingsStore.h"
#include "model/SleepGuard.h"
#include "model/SoundPlayer.h"
#include "model/StatusTexts.h"
#include "model/WatchedApps.h"
#include "platform/ports/Clock.h"
#include "platform/ports/Desktop.h"
#include "platform/ports/Displays.h"
#include "platform/ports/HttpGet.h"
#include "platform/ports/LidControl.h"
#include "platform/ports/PowerSettingsSource.h"
#include "platform/ports/Scheduler.h"
#include "platform/ports/StatsSource.h"
#include "system/SystemStats.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vigilo {

/// The one model of the program: the keep-awake state and how the user, the watched
/// applications and the settings combine into it, the figures the panel shows, and the settings.
/// Main thread only. Every published change first notifies `willChange()`.
class AwakeModel {
public:
    /// What the model talks to. Everything must outlive the model.
    struct Services {
        const Clock& clock;
        Defaults& defaults;
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
    };

    static constexpr double powerRefreshInterval = 30;
    /// CPU samples kept for the history line: one minute at one sample per 2-second tick.
    static constexpr std::size_t cpuHistoryLength = 30;
    /// The battery levels the user can stop at, in the order a click cycles through; 0 is off.
    static constexpr std::array<std::int64_t, 5> batteryThresholds{0, 10, 20, 30, 50};
    /// The donation question comes from the 4th cup on, and two hours after "Позже".
    static constexpr std::int64_t donationCup = 4;
    static constexpr double donationPostponeSeconds = 7200;

    explicit AwakeModel(Services services);
    ~AwakeModel();
    AwakeModel(const AwakeModel&) = delete;
    AwakeModel& operator=(const AwakeModel&) = delete;

    /// Observers are told before every published change.
    ChangeNotifier& willChange() { return willChange_; }
    /// Called after every real change of the keep-awake state.
    std::function<void()> onStateChange;

    // Keep-awake state.
    [[nodiscard]] bool isAwake() const { return sleepGuard_.isActive(); }
    [[nodiscard]] bool isManuallyOn() const { return isManuallyOn_; }
    [[nodiscard]] bool isAutoSuppressed() const { return isAutoSuppressed_; }
    [[nodiscard]] std::optional<TimePoint> awakeSince() const { return awakeSince_; }

    /// The user's switch: on with "pour-in", off with "pour-out".
    void toggle();
    /// Switches keep-awake on or off without touching the user's flags or playing a sound.
    void setAwake(bool on);
    /// Decides the state from the running watched applications.
    void applyWatchedApps();
    /// Re-reads the power settings; unless forced, at most once per 30 seconds.
    void refreshPowerSettings(bool force);
    /// Stores the running keep-awake period so the next process resumes it.
    void saveForRelaunch();
    /// Resumes a period stored by `saveForRelaunch`.
    void restoreAfterRelaunch();
    /// Releases everything held, at quit. Writes nothing to the store.
    void deactivateOnQuit();

    // Closed-lid mode.
    /// Sleep is switched off system-wide by this program.
    [[nodiscard]] bool isLidActive() const { return isLidActive_; }
    /// The last closed-lid error, for the panel.
    [[nodiscard]] const std::optional<std::string>& lidError() const { return lidError_; }
    /// The panel should ask for the closed-lid permission.
    [[nodiscard]] bool needsLidConsent() const { return needsLidConsent_; }
    /// The user said "not now" during this run.
    [[nodiscard]] bool lidConsentPostponed() const { return lidConsentPostponed_; }
    [[nodiscard]] bool isLidHelperInstalled() const { return lid_.isInstalled(); }
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

    // Metrics.
    /// Samples every figure, then runs the battery stop, the donation check and the lid's
    /// display check. Runs on every stats tick.
    void refreshStats();
    /// CPU load samples, 0..1, oldest first; at most `cpuHistoryLength`.
    [[nodiscard]] const std::vector<double>& cpuHistory() const { return cpuHistory_; }
    [[nodiscard]] const std::optional<MemoryUsage>& memory() const { return memory_; }
    [[nodiscard]] const std::optional<DiskSpace>& disk() const { return disk_; }
    [[nodiscard]] const std::optional<BatteryInfo>& battery() const { return battery_; }
    [[nodiscard]] const std::optional<std::string>& localIP() const { return localIP_; }
    [[nodiscard]] const std::optional<std::string>& externalIP() const { return externalIP_; }
    [[nodiscard]] bool isFetchingExternalIP() const { return isFetchingExternalIP_; }
    [[nodiscard]] bool didExternalIPFail() const { return didExternalIPFail_; }
    /// The address just copied, for one second.
    [[nodiscard]] const std::optional<std::string>& copiedIP() const { return copiedIP_; }
    /// Looks the public address up once; a request already running is not repeated.
    void fetchExternalIP();
    /// Copies an address to the clipboard and marks it copied for one second.
    void copyIP(const std::string& address);

    // Battery stop.
    /// On battery power at or below a threshold that is on.
    [[nodiscard]] bool isBatteryLow() const;
    /// The next of `batteryThresholds`, wrapping; a value not in the list moves to the second.
    void cycleBatteryThreshold();

    // Donation question.
    [[nodiscard]] bool isAskingForDonation() const { return isAskingForDonation_; }
    /// "Купить кофе" (true): never asks again, and opens the donation page.
    void answerDonationQuestion(bool buysCoffee);
    /// "Позже": asks again two hours from now.
    void postponeDonationQuestion();

    // Power figures.
    [[nodiscard]] std::int64_t displaySleepMinutes() const { return displaySleepMinutes_; }
    [[nodiscard]] bool canSleep() const { return canSleep_; }
    [[nodiscard]] PowerValues::Source powerSource() const { return powerSource_; }

    // Status texts.
    [[nodiscard]] std::int64_t cupCount(TimePoint at) const;
    [[nodiscard]] double cupFraction(TimePoint at) const;
    [[nodiscard]] std::string statusTitle(TimePoint at) const;
    [[nodiscard]] std::string statusSubtitle() const;

    // Settings kept in memory and stored on every change.
    [[nodiscard]] bool soundEnabled() const { return soundEnabled_; }
    void setSoundEnabled(bool enabled);
    [[nodiscard]] bool hidesMetrics() const { return hidesMetrics_; }
    void setHidesMetrics(bool hides);

    // Settings read from the store on every access.
    [[nodiscard]] bool keepsAwakeWithLidClosed() const;
    void setKeepsAwakeWithLidClosed(bool keeps);
    [[nodiscard]] bool turnsScreenOffWithLidClosed() const;
    void setTurnsScreenOffWithLidClosed(bool turnsOff);
    [[nodiscard]] std::int64_t batteryThreshold() const;
    void setBatteryThreshold(std::int64_t percent);
    [[nodiscard]] bool usesSimpleAnimation() const;
    void setUsesSimpleAnimation(bool uses);
    /// Kept by the system's login items, not by the store.
    [[nodiscard]] bool launchesAtLogin() const { return desktop_.launchesAtLogin(); }
    /// On failure shows an alert and leaves the login item as it was.
    void setLaunchesAtLogin(bool launches);

private:
    void switchOff();
    /// Switches system-wide sleep off while kept awake with the lid setting on, back on otherwise.
    void applyLidMode();
    /// Switches keep-awake off when the battery, on its own power, reached the threshold.
    void checkBattery();
    void checkDonationQuestion();
    [[nodiscard]] StatusTexts::State textState() const;

    const Clock& clock_;
    SettingsStore settings_;
    PowerSettingsSource& powerSettings_;
    WatchedApps& watcher_;
    SoundPlayer& sounds_;
    LidControl& lid_;
    Displays& displays_;
    Desktop& desktop_;
    HttpGet& http_;
    Scheduler& scheduler_;
    SystemStats stats_;
    SleepGuard sleepGuard_;
    ChangeNotifier willChange_;
    /// Late callbacks (a lookup, a delayed clear) check this to know the model still exists.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();

    std::optional<TimePoint> lastPowerRefresh_;
    bool isManuallyOn_ = false;
    bool isAutoSuppressed_ = false;
    bool isScreenOffForLid_ = false;

    std::optional<TimePoint> awakeSince_;
    bool isLidActive_ = false;
    std::optional<std::string> lidError_;
    bool needsLidConsent_ = false;
    bool lidConsentPostponed_ = false;
    std::vector<double> cpuHistory_;
    std::optional<MemoryUsage> memory_;
    std::optional<DiskSpace> disk_;
    std::optional<BatteryInfo> battery_;
    std::optional<std::string> localIP_;
    std::optional<std::string> externalIP_;
    bool isFetchingExternalIP_ = false;
    bool didExternalIPFail_ = false;
    std::optional<std::string> copiedIP_;
    bool isAskingForDonation_ = false;
    bool soundEnabled_ = true;
    bool hidesMetrics_ = false;
    std::int64_t displaySleepMinutes_ = 0;
    bool canSleep_ = false;
    PowerValues::Source powerSource_ = PowerValues::Source::Ac;
};

} // namespace vigilo
