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
#include "fakes/FakeScheduler.h"
#include "fakes/FakeStatsSource.h"
#include "fakes/FakeWatchedApps.h"
#include "model/AwakeModel.h"

#include <gtest/gtest.h>

#include <memory>

namespace vigilo {

/// A model over in-memory fakes; `start()` makes a new one over the same fakes, as a relaunch.
class AwakeModelTest : public ::testing::Test {
protected:
    fakes::FakeClock clock;
    fakes::FakeDefaults defaults;
    fakes::FakePowerAssertions assertions;
    fakes::FakePowerSettings power;
    fakes::FakeWatchedApps watcher;
    fakes::FakeAudioOut audio;
    fakes::FakeLidControl lid;
    fakes::FakeDisplays displays;
    fakes::FakeDesktop desktop;
    fakes::FakeStatsSource stats;
    fakes::FakeHttpGet http;
    fakes::FakeScheduler scheduler;
    SoundPlayer sounds{audio, defaults, clock};
    std::unique_ptr<AwakeModel> model;
    int stateChanges = 0;
    int notices = 0;

    void start() {
        model = std::make_unique<AwakeModel>(
            AwakeModel::Services{clock, defaults, assertions, power, watcher, sounds, lid, displays, desktop,
                                 stats, http, scheduler});
        model->onStateChange = [this] { ++stateChanges; };
        model->willChange().subscribe([this] { ++notices; });
    }

    AwakeModelTest() { start(); }

    std::vector<std::string> playedNames() const {
        std::vector<std::string> names;
        for (const auto& play : audio.plays) {
            names.push_back(play.name);
        }
        return names;
    }
    // Sounds of one name are throttled; tests that toggle fast move past the throttle.
    void pause() { clock.advance(1); }
};

} // namespace vigilo
