#include "model/SettingsTexts.h"

#include <gtest/gtest.h>
#include <vector>

namespace vigilo {
namespace {

BatteryInfo battery(std::int64_t percent, bool charging) {
    return {.percent = percent, .isCharging = charging, .onAC = charging, .minutesLeft = {}};
}

TEST(SettingsTexts, TheBatteryRowFollowsTheBatteryAndTheThreshold) {
    struct Case {
        std::optional<BatteryInfo> battery;
        bool isBatteryLow;
        std::int64_t threshold;
        std::string symbol;
        std::string subtitle;
        std::string pill;
        std::string nameEnd;
    };
    const std::string hint = "клик — следующий порог";
    const std::vector<Case> cases = {
        {std::nullopt, false, 20, "battery.75percent", hint, "≤20%", "порог 20%"},
        {std::nullopt, true, 50, "battery.75percent", hint, "≤50%", "порог 50%"},
        {battery(17, false), true, 20, "battery.25percent", "заряд 17% — кофе выключится", "≤20%",
         "порог 20%"},
        {battery(17, false), false, 0, "battery.25percent", hint, "выкл", "выключено"},
        {battery(12, false), false, 10, "battery.0percent", hint, "≤10%", "порог 10%"},
        {battery(62, false), false, 30, "battery.50percent", hint, "≤30%", "порог 30%"},
        {battery(88, false), false, 30, "battery.100percent", hint, "≤30%", "порог 30%"},
        {battery(99, true), false, 30, "battery.100percent", hint, "≤30%", "порог 30%"},
        {battery(100, true), false, 30, "battery.100percent.bolt", hint, "≤30%", "порог 30%"},
    };
    for (const auto& c : cases) {
        const auto what = c.battery ? std::to_string(c.battery->percent) + "%" : "no battery";
        EXPECT_EQ(SettingsTexts::batterySymbol(c.battery), c.symbol) << what;
        EXPECT_EQ(SettingsTexts::batterySubtitle(c.battery, c.isBatteryLow), c.subtitle) << what;
        EXPECT_EQ(SettingsTexts::thresholdPill(c.threshold), c.pill) << c.threshold;
        EXPECT_EQ(SettingsTexts::thresholdName(c.threshold),
                  "Выключать при заряде, сейчас " + c.nameEnd)
            << c.threshold;
    }
}

} // namespace
} // namespace vigilo
