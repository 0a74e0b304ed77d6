#include "model/KeepAwake.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace vigilo {

namespace {

/// A time end is checked again at least this often, so that a wall clock set by the user or a
/// timer that slept with the machine cannot carry it far past its time.
constexpr double longestTimeWaitSeconds = 60;

template <typename Number> std::optional<Number> numberFrom(const std::string& text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

KeepAwake::KeepAwake(Services services)
    : clock_(services.clock)
    , guard_(services.guard)
    , watcher_(services.watcher)
    , sounds_(services.sounds)
    , lidMode_(services.lidMode)
    , settings_(services.settings)
    , desktop_(services.desktop)
    , scheduler_(services.scheduler)
    , processes_(services.processes) {}

KeepAwake::~KeepAwake() = default;

void KeepAwake::toggle() {
    setEnd({});
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

bool KeepAwake::switchOnUntil(const AwakeEnd& end) {
    if (!guard_.isActive()) {
        toggle();
        if (!guard_.isActive()) {
            return false;
        }
    } else if (!isManuallyOn_) {
        isManuallyOn_ = true;
        isAutoSuppressed_ = false;
        changed_.notify();
    }
    setEnd(end);
    return true;
}

void KeepAwake::setEnd(const AwakeEnd& end) {
    if (end == end_ && !end.isSet()) {
        return;
    }
    end_ = end;
    const auto generation = ++endGeneration_;
    processWatch_.reset();
    switch (end_.kind) {
    case AwakeEnd::Kind::None:
        break;
    case AwakeEnd::Kind::At:
        waitForTime(generation);
        break;
    case AwakeEnd::Kind::WhileProcess:
        processWatch_ = processes_.watch(end_.process, [this, generation] {
            // The watch dies with this part, so `this` is alive here.
            endReached(generation);
        });
        break;
    }
    changed_.notify();
}

void KeepAwake::waitForTime(std::uint64_t generation) {
    const double left = secondsBetween(clock_.now(), end_.at);
    if (left <= 0) {
        scheduler_.post([this, generation, alive = std::weak_ptr(alive_)] {
            if (!alive.expired()) {
                endReached(generation);
            }
        });
        return;
    }
    scheduler_.after(std::min(left, longestTimeWaitSeconds),
                     [this, generation, alive = std::weak_ptr(alive_)] {
                         if (!alive.expired() && generation == endGeneration_) {
                             waitForTime(generation);
                         }
                     });
}

void KeepAwake::endReached(std::uint64_t generation) {
    if (generation != endGeneration_ || !end_.isSet()) {
        return;
    }
    // The session is over; a watched application that runs keeps the computer awake on its own.
    setEnd({});
    isManuallyOn_ = false;
    isAutoSuppressed_ = false;
    changed_.notify();
    applyWatchedApps();
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
        awakeSince_ = clock_.now();
        changed_.notify();
    }
    lidMode_.applyLidMode();
    return true;
}

void KeepAwake::switchOff() {
    setEnd({});
    guard_.deactivate();
    lidMode_.keepAwakeEnded();
    awakeSince_.reset();
    changed_.notify();
    lidMode_.applyLidMode();
}

void KeepAwake::switchedOffByUser() {
    isManuallyOn_ = false;
    isAutoSuppressed_ = !watcher_.runningNames().empty();
    changed_.notify();
}

void KeepAwake::tellRefused() {
    desktop_.notify("Не удалось не давать засыпать", "Система не разрешила запретить сон.");
}

void KeepAwake::guardLost() {
    // The system no longer keeps the computer awake: the state says so, as after a refusal at
    // switch-on, and a watched application's next change tries again.
    isManuallyOn_ = false;
    changed_.notify();
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
        if (std::exchange(isAutoSuppressed_, false)) {
            changed_.notify();
        }
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
    settings_.remove(SettingsKeys::resumeEndAt.name);
    settings_.remove(SettingsKeys::resumeEndProcess.name);
    if (!guard_.isActive()) {
        return;
    }
    switch (end_.kind) {
    case AwakeEnd::Kind::None:
        break;
    case AwakeEnd::Kind::At:
        settings_.write(SettingsKeys::resumeEndAt, end_.at);
        break;
    case AwakeEnd::Kind::WhileProcess:
        settings_.write(SettingsKeys::resumeEndProcess,
                        StringList{std::to_string(end_.process.pid),
                                   std::to_string(end_.process.startTime), end_.process.name});
        break;
    }
}

AwakeEnd KeepAwake::takeStoredEnd() {
    AwakeEnd end;
    if (const auto at = settings_.read(SettingsKeys::resumeEndAt)) {
        end = AwakeEnd::atTime(*at);
    }
    const auto process = settings_.read(SettingsKeys::resumeEndProcess);
    if (process.size() == 3) {
        const auto pid = numberFrom<std::int64_t>(process[0]);
        const auto startTime = numberFrom<std::uint64_t>(process[1]);
        if (pid && startTime) {
            end =
                AwakeEnd::whileRunning({.pid = *pid, .startTime = *startTime, .name = process[2]});
        }
    }
    settings_.remove(SettingsKeys::resumeEndAt.name);
    settings_.remove(SettingsKeys::resumeEndProcess.name);
    return end;
}

void KeepAwake::restoreAfterRelaunch() {
    const auto since = settings_.read(SettingsKeys::resumeAwakeSince);
    if (!since) {
        return;
    }
    settings_.remove(SettingsKeys::resumeAwakeSince.name);
    const AwakeEnd end = takeStoredEnd();
    const bool manuallyOn = settings_.read(SettingsKeys::resumeManuallyOn);
    // A session whose end came while no program ran is over: it is not resumed, and the
    // watched applications decide alone.
    const bool ended = (end.kind == AwakeEnd::Kind::At && end.at <= clock_.now()) ||
                       (end.kind == AwakeEnd::Kind::WhileProcess &&
                        processes_.identify(end.process.pid) != end.process);
    if (manuallyOn && ended) {
        return;
    }
    awakeSince_ = since;
    isManuallyOn_ = manuallyOn;
    if (!setAwake(true)) {
        awakeSince_.reset();
        isManuallyOn_ = false;
        changed_.notify();
        return;
    }
    changed_.notify();
    if (manuallyOn) {
        setEnd(end);
    }
}

void KeepAwake::deactivateOnQuit() {
    switchOff();
}

} // namespace vigilo
