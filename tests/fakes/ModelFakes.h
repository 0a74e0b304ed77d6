#pragma once

#include "fakes/FakeAudioOut.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeHttpGet.h"
#include "fakes/FakeLidControl.h"
#include "fakes/FakePowerAssertions.h"
#include "fakes/FakePowerSettings.h"
#include "fakes/FakeProcessWatch.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeStatsSource.h"
#include "fakes/FakeWatchedApps.h"
#include "model/AwakeModel.h"

namespace vigilo::fakes {

/// Every service of the model as an in-memory fake. A test of a real adapter passes it to
/// `services` in place of the fake.
struct ModelFakes {
    ModelFakes() = default;
    /// Fakes for a platform that speaks of the machine in `platformWords`.
    explicit ModelFakes(PlatformWords platformWords)
        : words(std::move(platformWords)) {}

    [[nodiscard]] AwakeModel::Services services() { return services(lid, desktop); }
    [[nodiscard]] AwakeModel::Services services(LidControl& lidControl, Desktop& desktopServices) {
        return {clock,    settings,        assertions, power, watcher,   sounds, lidControl,
                displays, desktopServices, stats,      http,  scheduler, words,  processes};
    }

    FakeClock clock;
    FakeDefaults defaults;
    Settings settings{defaults};
    PlatformWords words;
    FakePowerAssertions assertions;
    FakePowerSettings power;
    FakeWatchedApps watcher;
    FakeAudioOut audio;
    FakeLidControl lid;
    FakeDisplays displays;
    FakeDesktop desktop;
    FakeStatsSource stats;
    FakeHttpGet http;
    FakeScheduler scheduler;
    FakeProcessWatch processes;
    SoundPlayer sounds{audio, settings, clock};
};

} // namespace vigilo::fakes
