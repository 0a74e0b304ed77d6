#include "model/AwakeModel.h"

namespace vigilo {

AwakeModel::AwakeModel(Services services)
    : clock_(services.clock)
    , settings_(services.defaults)
    , powerSettings_(services.powerSettings)
    , watcher_(services.watcher)
    , sounds_(services.sounds)
    , lid_(services.lid)
    , displays_(services.displays)
    , desktop_(services.desktop)
    , http_(services.http)
    , scheduler_(services.scheduler)
    , stats_(services.stats)
    , sleepGuard_(services.assertions) {
    soundEnabled_ = settings_.read(SettingsKeys::soundEnabled);
    hidesMetrics_ = settings_.read(SettingsKeys::hidesMetrics);

    sleepGuard_.onChange = [this] {
        willChange_.notify();
        if (onStateChange) {
            onStateChange();
        }
    };

    // A switch left off by a run that ended without clean-up never outlives a restart.
    if (lid_.isInstalled() && lid_.isSleepDisabled()) {
        lid_.setSleepDisabled(false);
    }

    stats_.sampleCPU();
    refreshStats();
    refreshPowerSettings(true);

    watcher_.setOnChange([this] {
        willChange_.notify();
        applyWatchedApps();
    });
}

AwakeModel::~AwakeModel() {
    watcher_.setOnChange({});
}

void AwakeModel::toggle() {
    if (!sleepGuard_.isActive()) {
        isManuallyOn_ = true;
        isAutoSuppressed_ = false;
        setAwake(true);
        sounds_.play("pour-in", 0.5F);
        return;
    }
    isManuallyOn_ = false;
    isAutoSuppressed_ = !watcher_.runningNames().empty();
    switchOff();
    sounds_.play("pour-out", 0.45F);
}

void AwakeModel::setAwake(bool on) {
    if (!on) {
        switchOff();
        return;
    }
    sleepGuard_.activate();
    if (!awakeSince_) {
        willChange_.notify();
        awakeSince_ = clock_.now();
    }
    applyLidMode();
}

void AwakeModel::switchOff() {
    sleepGuard_.deactivate();
    isScreenOffForLid_ = false;
    willChange_.notify();
    awakeSince_.reset();
    needsLidConsent_ = false;
    applyLidMode();
}

void AwakeModel::applyLidMode() {
    willChange_.notify();
    lidError_.reset();
    if (sleepGuard_.isActive() && keepsAwakeWithLidClosed()) {
        if (lid_.isInstalled()) {
            isLidActive_ = lid_.setSleepDisabled(true);
            if (!isLidActive_) {
                lidError_ = "Не удалось включить режим крышки";
            }
            return;
        }
        if (!lidConsentPostponed_) {
            needsLidConsent_ = true;
        }
    } else if (lid_.isInstalled() && lid_.isSleepDisabled()) {
        lid_.setSleepDisabled(false);
    }
    isLidActive_ = false;
}

void AwakeModel::updateScreenForLid(bool isLidClosed) {
    if (sleepGuard_.isActive() && isLidActive_ && turnsScreenOffWithLidClosed() && isLidClosed) {
        const bool shouldSleep = !displays_.hasExternalDisplay();
        if (shouldSleep == isScreenOffForLid_) {
            return;
        }
        isScreenOffForLid_ = shouldSleep;
        sleepGuard_.setAllowsDisplaySleep(shouldSleep);
        if (shouldSleep) {
            displays_.turnScreenOff();
        }
    } else if (isScreenOffForLid_) {
        isScreenOffForLid_ = false;
        sleepGuard_.setAllowsDisplaySleep(false);
    }
}

void AwakeModel::updateScreenForLid() {
    // Asking for the lid costs service calls; on most ticks the answer could change nothing.
    const bool lidMatters = sleepGuard_.isActive() && isLidActive_ && turnsScreenOffWithLidClosed();
    updateScreenForLid(lidMatters && lid_.isLidClosed());
}

void AwakeModel::grantLidPermission() {
    willChange_.notify();
    needsLidConsent_ = false;
    lidConsentPostponed_ = false;
    if (const auto error = lid_.install()) {
        lidError_ = "Нет разрешения: " + error->description;
        return;
    }
    applyLidMode();
}

void AwakeModel::declineLidPermission() {
    willChange_.notify();
    needsLidConsent_ = false;
    lidConsentPostponed_ = true;
}

void AwakeModel::removeLidHelper() {
    willChange_.notify();
    if (const auto error = lid_.uninstall()) {
        lidError_ = error->description;
        return;
    }
    isLidActive_ = false;
    lidConsentPostponed_ = false;
}

void AwakeModel::applyWatchedApps() {
    bool wanted = false;
    if (watcher_.runningNames().empty()) {
        isAutoSuppressed_ = false;
        wanted = isManuallyOn_;
    } else if (isManuallyOn_) {
        wanted = true;
    } else {
        wanted = !isAutoSuppressed_;
    }
    if (sleepGuard_.isActive() != wanted) {
        setAwake(wanted);
    }
}

void AwakeModel::refreshPowerSettings(bool force) {
    const auto now = clock_.now();
    if (!force && lastPowerRefresh_ &&
        secondsBetween(*lastPowerRefresh_, now) <= powerRefreshInterval) {
        return;
    }
    lastPowerRefresh_ = now;
    powerSettings_.read([this, alive = std::weak_ptr(lifetime_)](PowerValues values) {
        if (alive.expired()) {
            return;
        }
        if (values.displaySleepMinutes != displaySleepMinutes_) {
            willChange_.notify();
            displaySleepMinutes_ = values.displaySleepMinutes;
        }
        if (values.canSleep() != canSleep_) {
            willChange_.notify();
            canSleep_ = values.canSleep();
        }
        if (values.source != powerSource_) {
            willChange_.notify();
            powerSource_ = values.source;
        }
    });
}

void AwakeModel::saveForRelaunch() {
    if (awakeSince_) {
        settings_.write(SettingsKeys::resumeAwakeSince, *awakeSince_);
    } else {
        settings_.remove(SettingsKeys::resumeAwakeSince.name);
    }
    settings_.write(SettingsKeys::resumeManuallyOn, isManuallyOn_);
}

void AwakeModel::restoreAfterRelaunch() {
    const auto since = settings_.read(SettingsKeys::resumeAwakeSince);
    if (!since) {
        return;
    }
    settings_.remove(SettingsKeys::resumeAwakeSince.name);
    willChange_.notify();
    awakeSince_ = since;
    isManuallyOn_ = settings_.looseBool(SettingsKeys::resumeManuallyOn);
    setAwake(true);
}

void AwakeModel::deactivateOnQuit() {
    switchOff();
}

StatusTexts::State AwakeModel::textState() const {
    return {.awakeSince = awakeSince_,
            .isAwake = isAwake(),
            .keepsAwakeWithLidClosed = keepsAwakeWithLidClosed(),
            .canSleep = canSleep_,
            .displaySleepMinutes = displaySleepMinutes_,
            .powerSource = powerSource_};
}

std::int64_t AwakeModel::cupCount(TimePoint at) const {
    return StatusTexts::cupCount(awakeSince_, at);
}

double AwakeModel::cupFraction(TimePoint at) const {
    return StatusTexts::cupFraction(awakeSince_, at);
}

std::string AwakeModel::statusTitle(TimePoint at) const {
    return StatusTexts::title(textState(), at);
}

std::string AwakeModel::statusSubtitle() const {
    return StatusTexts::subtitle(textState());
}

void AwakeModel::setSoundEnabled(bool enabled) {
    willChange_.notify();
    soundEnabled_ = enabled;
    settings_.write(SettingsKeys::soundEnabled, enabled);
}

void AwakeModel::setHidesMetrics(bool hides) {
    willChange_.notify();
    hidesMetrics_ = hides;
    settings_.write(SettingsKeys::hidesMetrics, hides);
}

bool AwakeModel::keepsAwakeWithLidClosed() const {
    return settings_.read(SettingsKeys::keepsAwakeWithLidClosed);
}

void AwakeModel::setKeepsAwakeWithLidClosed(bool keeps) {
    willChange_.notify();
    settings_.write(SettingsKeys::keepsAwakeWithLidClosed, keeps);
    if (!keeps) {
        needsLidConsent_ = false;
    } else if (!lid_.isInstalled()) {
        needsLidConsent_ = true;
    }
    applyLidMode();
}

bool AwakeModel::turnsScreenOffWithLidClosed() const {
    return settings_.read(SettingsKeys::turnsScreenOffWithLidClosed);
}

void AwakeModel::setTurnsScreenOffWithLidClosed(bool turnsOff) {
    willChange_.notify();
    settings_.write(SettingsKeys::turnsScreenOffWithLidClosed, turnsOff);
    updateScreenForLid();
}

std::int64_t AwakeModel::batteryThreshold() const {
    return settings_.read(SettingsKeys::batteryThreshold);
}

void AwakeModel::setBatteryThreshold(std::int64_t percent) {
    willChange_.notify();
    settings_.write(SettingsKeys::batteryThreshold, percent);
    checkBattery();
}

bool AwakeModel::usesSimpleAnimation() const {
    return settings_.looseBool(SettingsKeys::usesSimpleAnimation);
}

void AwakeModel::setUsesSimpleAnimation(bool uses) {
    willChange_.notify();
    settings_.write(SettingsKeys::usesSimpleAnimation, uses);
}

void AwakeModel::setLaunchesAtLogin(bool launches) {
    willChange_.notify();
    if (const auto error = desktop_.setLaunchesAtLogin(launches)) {
        auto message = *error;
        if (desktop_.suggestsApplicationsFolder()) {
            message += "\n\nПереместите приложение в /Applications и попробуйте снова.";
        }
        desktop_.showAlert("Не удалось изменить автозапуск", message);
    }
}

} // namespace vigilo
