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
    switchConnection_ = lid_.sleepSwitchChanged().connect([this] { sleepSwitchChanged(); });
}

void LidMode::applyLidMode() {
    lidError_.reset();
    isLidActive_ = false;
    if (guard_.isActive() && keepsAwakeWithLidClosed()) {
        if (lid_.isInstalled()) {
            wantsSleepDisabled_ = lid_.setSleepDisabled(true) || wantsSleepDisabled_;
            isLidActive_ = wantsSleepDisabled_ && lid_.isSleepDisabled();
            if (!isLidActive_) {
                lidError_ = lidSwitchFailed;
            }
        } else if (!lidConsentPostponed_) {
            needsLidConsent_ = true;
        }
    } else if (wantsSleepDisabled_ || lid_.isSleepDisabled()) {
        // Even while the permission cannot be used (its service is away): a switch left off
        // would come back with the service.
        lid_.setSleepDisabled(false);
        wantsSleepDisabled_ = false;
    }
    changed_.notify();
}

void LidMode::sleepSwitchChanged() {
    if (!wantsSleepDisabled_) {
        return;
    }
    isLidActive_ = lid_.isSleepDisabled();
    if (isLidActive_) {
        lidError_.reset();
    } else {
        lidError_ = lidSwitchFailed;
    }
    changed_.notify();
}

void LidMode::keepAwakeEnded() {
    isScreenOffForLid_ = false;
    needsLidConsent_ = false;
    changed_.notify();
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
    needsLidConsent_ = false;
    lidConsentPostponed_ = false;
    const auto error = lid_.install();
    if (error) {
        lidError_ = "Нет разрешения: " + error->description;
    }
    changed_.notify();
    if (!error) {
        applyLidMode();
    }
}

void LidMode::declineLidPermission() {
    needsLidConsent_ = false;
    lidConsentPostponed_ = true;
    changed_.notify();
}

void LidMode::removeLidHelper() {
    if (const auto error = lid_.uninstall()) {
        lidError_ = error->description;
    } else {
        wantsSleepDisabled_ = false;
        isLidActive_ = false;
        lidConsentPostponed_ = false;
    }
    changed_.notify();
}

bool LidMode::keepsAwakeWithLidClosed() const {
    return settings_.read(SettingsKeys::keepsAwakeWithLidClosed);
}

void LidMode::setKeepsAwakeWithLidClosed(bool keeps) {
    settings_.write(SettingsKeys::keepsAwakeWithLidClosed, keeps);
    if (!keeps) {
        needsLidConsent_ = false;
    } else if (!lid_.isInstalled()) {
        needsLidConsent_ = true;
    }
    changed_.notify();
    applyLidMode();
}

bool LidMode::turnsScreenOffWithLidClosed() const {
    return settings_.read(SettingsKeys::turnsScreenOffWithLidClosed);
}

void LidMode::setTurnsScreenOffWithLidClosed(bool turnsOff) {
    settings_.write(SettingsKeys::turnsScreenOffWithLidClosed, turnsOff);
    updateScreenForLid();
    changed_.notify();
}

} // namespace vigilo
