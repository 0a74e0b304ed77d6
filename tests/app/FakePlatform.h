#pragma once

#include "fakes/FakeAudioOut.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakePowerAssertions.h"
#include "fakes/FakePowerSettings.h"
#include "fakes/FakeProcessRunner.h"
#include "platform/PlatformServices.h"

namespace vigilo::fakes {

/// A `PlatformServices` bundle made of fakes, with the fakes at hand for checks.
struct FakePlatform {
    template <typename Fake, typename Port> static Fake& install(std::unique_ptr<Port>& slot) {
        auto fake = std::make_unique<Fake>();
        Fake& handle = *fake;
        slot = std::move(fake);
        return handle;
    }

    PlatformServices services;
    FakeClock& clock = install<FakeClock>(services.clock);
    FakeDefaults& defaults = install<FakeDefaults>(services.defaults);
    FakeProcessRunner& processes = install<FakeProcessRunner>(services.processes);
    FakePowerAssertions& assertions = install<FakePowerAssertions>(services.assertions);
    FakePowerSettings& powerSettings = install<FakePowerSettings>(services.powerSettings);
    PowerSourceMonitor& powerSourceMonitor =
        install<PowerSourceMonitor>(services.powerSourceMonitor);
    FakeAudioOut& audio = install<FakeAudioOut>(services.audio);
};

} // namespace vigilo::fakes
