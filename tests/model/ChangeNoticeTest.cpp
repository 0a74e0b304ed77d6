#include "ModelFixture.h"

#include <functional>
#include <vector>

namespace vigilo {
namespace {

using ChangeNoticeTest = TickingModelTest;

TEST_F(ChangeNoticeTest, EveryPartTellsItsObserversAfterItChanged) {
    struct Case {
        const char* what;
        std::function<const Signal<>&(AwakeModel&)> signal;
        std::function<void()> change;
        /// Read in each notice: the change is already there.
        std::function<bool(AwakeModel&)> isChanged;
        int notices;
    };
    const std::vector<Case> cases{
        {"the keep-awake state: the lock, then the period's start",
         [](AwakeModel& m) -> const Signal<>& { return m.keepAwake().changed(); },
         [this] { model->toggle(); }, [](AwakeModel& m) { return m.isAwake(); }, 2},
        {"the model's keep-awake switch",
         [](AwakeModel& m) -> const Signal<>& { return m.stateChanged(); },
         [this] { model->toggle(); }, [](AwakeModel& m) { return m.isAwake(); }, 1},
        {"the lid consent", [](AwakeModel& m) -> const Signal<>& { return m.lidMode().changed(); },
         [this] { model->lidMode().declineLidPermission(); },
         [](AwakeModel& m) { return m.lidMode().lidConsentPostponed(); }, 1},
        {"the power figures, one notice per figure",
         [](AwakeModel& m) -> const Signal<>& { return m.powerFigures().changed(); },
         [this] {
             power.values = {.displaySleepMinutes = 5,
                             .systemSleepMinutes = 15,
                             .source = PowerValues::Source::Battery};
             model->refreshPowerSettings(true);
         },
         [](AwakeModel& m) { return m.powerFigures().displaySleepMinutes() == 5; }, 3},
        {"a copied address", [](AwakeModel& m) -> const Signal<>& { return m.metrics().changed(); },
         [this] { model->metrics().copyIP("10.0.0.1"); },
         [](AwakeModel& m) { return m.metrics().copiedIP() == "10.0.0.1"; }, 1},
        {"the battery stop's level",
         [](AwakeModel& m) -> const Signal<>& { return m.batteryStop().changed(); },
         [this] { model->batteryStop().setBatteryThreshold(30); },
         [](AwakeModel& m) { return m.batteryStop().batteryThreshold() == 30; }, 1},
        {"the donation question",
         [](AwakeModel& m) -> const Signal<>& { return m.donationQuestion().changed(); },
         [this] {
             model->toggle();
             clock.advance(90 * 60);
             tick();
         },
         [](AwakeModel& m) { return m.donationQuestion().isAskingForDonation(); }, 1},
        {"the sound switch",
         [](AwakeModel& m) -> const Signal<>& { return m.preferences().changed(); },
         [this] { model->preferences().setSoundEnabled(false); },
         [](AwakeModel& m) { return !m.preferences().soundEnabled(); }, 1},
        {"the panel's tab",
         [](AwakeModel& m) -> const Signal<>& { return m.panelState().changed(); },
         [this] { model->panelState().setPanelTab(PanelTab::About); },
         [](AwakeModel& m) { return m.panelState().panelTab() == PanelTab::About; }, 1},
        {"any part, through the model",
         [](AwakeModel& m) -> const Signal<>& { return m.changed(); },
         [this] { model->preferences().setHidesMetrics(true); },
         [](AwakeModel& m) { return m.preferences().hidesMetrics(); }, 1},
    };
    for (const auto& c : cases) {
        start();
        std::vector<bool> seen;
        const auto observer =
            c.signal(*model).connect([&] { seen.push_back(c.isChanged(*model)); });
        c.change();
        EXPECT_EQ(seen, std::vector<bool>(static_cast<std::size_t>(c.notices), true)) << c.what;
    }
}

} // namespace
} // namespace vigilo
