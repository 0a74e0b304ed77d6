#include "model/AwakeModel.h"

#include "model/StatusTexts.h"

namespace vigilo {

AwakeModel::AwakeModel(Services services)
    : clock_(services.clock)
    , watcher_(services.watcher)
    , desktop_(services.desktop)
    , words_(services.words)
    , sleepGuard_(services.assertions,
                  {.changed =
                       [this] {
                           keepAwake_.guardChanged();
                           stateChanged_.notify();
                       },
                   .lost = [this] { keepAwake_.guardLost(); }},
                  "Vigilo: keeping " + services.words.computerInEnglish + " awake")
    , lidMode_({.lid = services.lid,
                .displays = services.displays,
                .guard = sleepGuard_,
                .settings = services.settings})
    , keepAwake_({.clock = services.clock,
                  .guard = sleepGuard_,
                  .watcher = services.watcher,
                  .sounds = services.sounds,
                  .lidMode = lidMode_,
                  .settings = services.settings,
                  .desktop = services.desktop,
                  .scheduler = services.scheduler,
                  .processes = services.processes})
    , powerFigures_(services.clock, services.powerSettings)
    , metrics_({.stats = services.stats,
                .http = services.http,
                .desktop = services.desktop,
                .scheduler = services.scheduler})
    , batteryStop_({.settings = services.settings,
                    .metrics = metrics_,
                    .keepAwake = keepAwake_,
                    .desktop = services.desktop,
                    .words = services.words})
    , donationQuestion_(services.settings, services.clock, services.desktop)
    , preferences_(services.settings, services.desktop) {
    for (const Signal<>* part :
         {&lidMode_.changed(), &keepAwake_.changed(), &powerFigures_.changed(), &metrics_.changed(),
          &batteryStop_.changed(), &donationQuestion_.changed(), &preferences_.changed(),
          &panelState_.changed()}) {
        partConnections_.push_back(part->connect([this] { changed_.notify(); }));
    }

    refreshStats();
    refreshPowerSettings(true);

    watcherConnection_ = watcher_.runningChecked().connect([this] { applyWatchedApps(); });
}

void AwakeModel::refreshStats() {
    metrics_.sample();
    batteryStop_.checkBattery();
    donationQuestion_.checkDonationQuestion(cupCount(clock_.now()));
    lidMode_.updateScreenForLid();
}

StatusTexts::State AwakeModel::textState() const {
    return {.awakeSince = keepAwake_.awakeSince(),
            .isAwake = keepAwake_.isAwake(),
            .holdsWithLidClosed = lidMode_.isLidActive(),
            .canSleep = powerFigures_.canSleep(),
            .displaySleepMinutes = powerFigures_.displaySleepMinutes(),
            .powerSource = powerFigures_.powerSource()};
}

std::int64_t AwakeModel::cupCount(TimePoint at) const {
    return StatusTexts::cupCount(keepAwake_.awakeSince(), at);
}

double AwakeModel::cupFraction(TimePoint at) const {
    return StatusTexts::cupFraction(keepAwake_.awakeSince(), at);
}

std::string AwakeModel::statusTitle(TimePoint at) const {
    return StatusTexts::title(textState(), at, words_);
}

std::string AwakeModel::statusSubtitle() const {
    if (keepAwake_.isAwake() && keepAwake_.end().isSet()) {
        return AwakeEndTexts::subtitle(keepAwake_.end(), clock_.now(), clock_);
    }
    return StatusTexts::subtitle(textState(), words_);
}

} // namespace vigilo
