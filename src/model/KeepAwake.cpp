#include "model/KeepAwake.h"

namespace vigilo {

KeepAwake::KeepAwake(Services services)
    : clock_(services.clock)
    , guard_(services.guard)
    , watcher_(services.watcher)
    , sounds_(services.sounds)
    , lidMode_(services.lidMode)
    , settings_(services.settings)
    , desktop_(services.desktop) {
    guard_.onLost = [this] { lockLost(); };
}

void KeepAwake::toggle() {
    if (!guard_.isActive()) {
        const bool wasSuppressed = isAutoSuppressed_;
        isManuallyOn_ = true;
        isAutoSuppressed_ = false;
        if (!setAwake(true)) {
            isManuallyOn_ = false;
            isAutoSuppressed_ = wasSuppressed;
            return;
        }
        sounds_.play("pour-in", 0.5F);
        return;
    }
    switchedOffByUser();
    switchOff();
    sounds_.play("pour-out", 0.45F);
}

bool KeepAwake::setAwake(bool on) {
    if (!on) {
        switchOff();
        return true;
    }
    guard_.activate();
    if (!guard_.isActive()) {
        // A period the system does not keep is no period: no start time, no cups, no lid mode.
        tellRefused();
        return false;
    }
    if (!awakeSince_) {
        willChange_.notify();
        awakeSince_ = clock_.now();
    }
    lidMode_.applyLidMode();
    return true;
}

void KeepAwake::switchOff() {
    guard_.deactivate();
    lidMode_.keepAwakeEnded();
    willChange_.notify();
    awakeSince_.reset();
    lidMode_.applyLidMode();
}

void KeepAwake::switchedOffByUser() {
    willChange_.notify();
    isManuallyOn_ = false;
    isAutoSuppressed_ = !watcher_.runningNames().empty();
}

void KeepAwake::tellRefused() {
    desktop_.notify("Не удалось не давать засыпать", "Система не разрешила запретить сон.");
}

void KeepAwake::lockLost() {
    // The system no longer keeps the computer awake: the state says so, as after a refusal at
    // switch-on, and a watched application's next change tries again.
    willChange_.notify();
    isManuallyOn_ = false;
    switchOff();
    tellRefused();
}

void KeepAwake::applyWatchedApps() {
    // Nothing is known to run or to have quit yet: a period resumed after a relaunch goes on
    // until the answer comes.
    if (!watcher_.knowsRunning()) {
        return;
    }
    bool wanted = false;
    if (watcher_.runningNames().empty()) {
        isAutoSuppressed_ = false;
        wanted = isManuallyOn_;
    } else if (isManuallyOn_) {
        wanted = true;
    } else {
        wanted = !isAutoSuppressed_;
    }
    if (guard_.isActive() != wanted) {
        setAwake(wanted);
    }
}

void KeepAwake::stopForBattery() {
    switchedOffByUser();
    switchOff();
}

void KeepAwake::saveForRelaunch() {
    // An update waiting for the period's end relaunches from the release of the lock, while the
    // start is still set: only a period that is still on goes on in the new process.
    if (awakeSince_ && guard_.isActive()) {
        settings_.write(SettingsKeys::resumeAwakeSince, *awakeSince_);
    } else {
        settings_.remove(SettingsKeys::resumeAwakeSince.name);
    }
    settings_.write(SettingsKeys::resumeManuallyOn, isManuallyOn_);
}

void KeepAwake::restoreAfterRelaunch() {
    const auto since = settings_.read(SettingsKeys::resumeAwakeSince);
    if (!since) {
        return;
    }
    settings_.remove(SettingsKeys::resumeAwakeSince.name);
    willChange_.notify();
    awakeSince_ = since;
    isManuallyOn_ = settings_.read(SettingsKeys::resumeManuallyOn);
    if (!setAwake(true)) {
        awakeSince_.reset();
        isManuallyOn_ = false;
    }
}

void KeepAwake::deactivateOnQuit() {
    switchOff();
}

} // namespace vigilo
