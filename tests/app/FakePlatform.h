#pragma once

#include "fakes/FakeAudioOut.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeDesktopAppearance.h"
#include "fakes/FakeDisplays.h"
#include "fakes/FakeHttpGet.h"
#include "fakes/FakeLidControl.h"
#include "fakes/FakePanelWindowSystem.h"
#include "fakes/FakePowerAssertions.h"
#include "fakes/FakePowerSettings.h"
#include "fakes/FakeProcessRunner.h"
#include "fakes/FakeProcessWatch.h"
#include "fakes/FakeReducedMotion.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeStatsSource.h"
#include "fakes/FakeTrayHostMonitor.h"
#include "fakes/FakeUpdateFramework.h"
#include "fakes/FakeWorkspace.h"
#include "platform/PlatformServices.h"
#include "platform/qt/QtStatusItem.h"

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
    Settings& settings = *(services.settings = std::make_unique<Settings>(defaults));
    FakeProcessRunner& processes = install<FakeProcessRunner>(services.processes);
    FakeProcessWatch& processWatch = install<FakeProcessWatch>(services.processWatch);
    FakePowerAssertions& assertions = install<FakePowerAssertions>(services.assertions);
    FakePowerSettings& powerSettings = install<FakePowerSettings>(services.powerSettings);
    PowerSourceMonitor& powerSourceMonitor =
        install<PowerSourceMonitor>(services.powerSourceMonitor);
    FakeAudioOut& audio = install<FakeAudioOut>(services.audio);
    FakeScheduler& scheduler = install<FakeScheduler>(services.scheduler);
    FakeStatsSource& stats = install<FakeStatsSource>(services.stats);
    FakeHttpGet& http = install<FakeHttpGet>(services.http);
    FakeWorkspace& workspace = install<FakeWorkspace>(services.workspace);
    FakeLidControl& lid = install<FakeLidControl>(services.lid);
    FakeDisplays& displays = install<FakeDisplays>(services.displays);
    FakeDesktop& desktop = install<FakeDesktop>(services.desktop);
    FakePanelWindowSystem& panelWindows = install<FakePanelWindowSystem>(services.panelWindows);
    // The real tray icon, which works offscreen: tests click it as Qt would.
    QtStatusItem& statusItem = install<QtStatusItem>(services.statusItem);
    FakeTrayHostMonitor& trayHosts = install<FakeTrayHostMonitor>(services.trayHosts);
    FakeDesktopAppearance& desktopAppearance =
        install<FakeDesktopAppearance>(services.desktopAppearance);
    FakeReducedMotion& reducedMotion = install<FakeReducedMotion>(services.reducedMotion);
    FakeUpdateFramework& updates = install<FakeUpdateFramework>(services.updates);
};

} // namespace vigilo::fakes
