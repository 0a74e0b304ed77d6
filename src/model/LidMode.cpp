#include "model/LidMode.h"

namespace vigilo {

namespace {

const std::string lidSwitchFailed = "Не удалось включить режим крышки";

} // namespace

LidMode::LidMode(Services services)
    : lid_(services.lid)
    , displays_(services.displays)
    , guard_(services.guard)
    , settings_(services.settings) {
    if (lid_.isInstalled() && lid_.isSleepDisabled()) {
        lid_.setSleepDisabled(false);
    }
    lid_.setOnSleepSwitchChanged([this] { sleepSwitchChanged(); });
}

LidMode::~LidMode() {
    lid_.setOnSleepSwitchChanged({});
}

void LidMode::applyLidMode() {
    willChange_.notify();
    lidError_.reset();
    if (guard_.isActive() && keepsAwakeWithLidClosed()) {
        if (lid_.isInstalled()) {
            wantsSleepDisabled_ = lid_.setSleepDisabled(true) || wantsSleepDisabled_;
            isLidActive_ = wantsSleepDisabled_ && lid_.isSleepDisabled();
            if (!isLidActive_) {
                lidError_ = lidSwitchFailed;
            }
            return;
        }
        if (!lidConsentPostponed_) {
            needsLidConsent_ = true;
        }
    } else if (wantsSleepDisabled_ || lid_.isSleepDisabled()) {
        // Even while the permission cannot be used (its service is away): a switch left off
        // would come back with the service.
        lid_.setSleepDisabled(false);
        wantsSleepDisabled_ = false;
    }
    isLidActive_ = false;
}

void LidMode::sleepSwitchChanged() {
    if (!wantsSleepDisabled_) {
        return;
    }
    willChange_.notify();
    isLidActive_ = lid_.isSleepDisabled();
    if (isLidActive_) {
        lidError_.reset();
    } else {
        lidError_ = lidSwitchFailed;
    }
}

void LidMode::keepAwakeEnded() {
    isScreenOffForLid_ = false;
    willChange_.notify();
    needsLidConsent_ = false;
}

void LidMode::updateScreenForLid(bool isLidClosed) {
    if (guard_.isActive() && isLidActive_ && turnsScreenOffWithLidClosed() && isLidClosed) {
        const bool shouldSleep = !displays_.hasExternalDisplay();
        if (shouldSleep == isScreenOffForLid_) {
            return;
        }
        isScreenOffForLid_ = shouldSleep;
        guard_.setAllowsDisplaySleep(shouldSleep);
        if (shouldSleep) {
            displays_.turnScreenOff();
        }
    } else if (isScreenOffForLid_) {
        isScreenOffForLid_ = false;
        guard_.setAllowsDisplaySleep(false);
    }
}

void LidMode::updateScreenForLid() {
    // Asking for the lid costs service calls; on most ticks the answer could change nothing.
    const bool lidMatters = guard_.isActive() && isLidActive_ && turnsScreenOffWithLidClosed();
    updateScreenForLid(lidMatters && lid_.isLidClosed());
}

void LidMode::grantLidPermission() {
    willChange_.notify();
    needsLidConsent_ = false;
    lidConsentPostponed_ = false;
    if (const auto error = lid_.install()) {
        lidError_ = "Нет разрешения: " + error->description;
        return;
    }
    applyLidMode();
}

void LidMode::declineLidPermission() {
    willChange_.notify();
    needsLidConsent_ = false;
    lidConsentPostponed_ = true;
}

void LidMode::removeLidHelper() {
    willChange_.notify();
    if (const auto error = lid_.uninstall()) {
        lidError_ = error->description;
        return;
    }
    wantsSleepDisabled_ = false;
    isLidActive_ = false;
    lidConsentPostponed_ = false;
}

bool LidMode::keepsAwakeWithLidClosed() const {
    return settings_.read(SettingsKeys::keepsAwakeWithLidClosed);
}

void LidMode::setKeepsAwakeWithLidClosed(bool keeps) {
    willChange_.notify();
    settings_.write(SettingsKeys::keepsAwakeWithLidClosed, keeps);
    if (!keeps) {
        needsLidConsent_ = false;
    } else if (!lid_.isInstalled()) {
        needsLidConsent_ = true;
    }
    applyLidMode();
}

bool LidMode::turnsScreenOffWithLidClosed() const {
    return settings_.read(SettingsKeys::turnsScreenOffWithLidClosed);
}

void LidMode::setTurnsScreenOffWithLidClosed(bool turnsOff) {
    willChange_.notify();
    settings_.write(SettingsKeys::turnsScreenOffWithLidClosed, turnsOff);
    updateScreenForLid();
}

} // namespace vigilo
