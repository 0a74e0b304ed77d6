#pragma once

#include "fakes/ModelFakes.h"

#include <gtest/gtest.h>
#include <memory>

namespace vigilo {

/// A model over in-memory fakes; `start()` makes a new one over the same fakes, as a relaunch.
class AwakeModelTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    std::unique_ptr<AwakeModel> model;
    int stateChanges = 0;
    int notices = 0;
    Connection stateCounter;
    Connection noticeCounter;

    void start() {
        // The old process is gone before the new one starts: one model follows the fakes.
        model.reset();
        model = std::make_unique<AwakeModel>(services());
        stateCounter = model->stateChanged().connect([this] { ++stateChanges; });
        noticeCounter = model->changed().connect([this] { ++notices; });
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

inline CpuTicks ticksAt(std::uint32_t busy, std::uint32_t idle) {
    return {busy, 0, idle, 0};
}

inline PowerSource batteryAt(std::int64_t percent, bool onAC) {
    return {.kind = PowerSource::Kind::InternalBattery,
            .charge = percent,
            .capacity = 100,
            .onExternalPower = onAC};
}

/// A model whose stats tick the test runs by hand, 2 seconds of fake time each.
class TickingModelTest : public AwakeModelTest {
protected:
    void tick() {
        clock.advance(2);
        model->refreshStats();
    }
    void onBattery(std::int64_t percent, bool onAC = false) {
        stats.sources = {batteryAt(percent, onAC)};
    }
};

} // namespace vigilo
