#include "platform/macos/power/MacPowerSources.h"

#include "FakeSystem.h"
#include "fakes/FakeStatsSource.h"
#include "system/SystemStats.h"

namespace vigilo {
namespace {

using MacPowerSourcesTest = testing::FakeSystemTest;
using fakeapple::Description;

Description battery(std::int64_t current, std::int64_t maximum) {
    return {{"Type", std::string("InternalBattery")},
            {"Current Capacity", current},
            {"Max Capacity", maximum},
            {"Power Source State", std::string("Battery Power")},
            {"Is Charging", false},
            {"Time to Empty", std::int64_t{-1}}};
}

Description with(Description description, const std::string& key, fakeapple::Scalar value) {
    description[key] = std::move(value);
    return description;
}

/// The battery the statistics make of what the system reports now.
std::optional<BatteryInfo> batteryNow() {
    fakes::FakeStatsSource source;
    source.sources = MacPowerSources::read();
    return SystemStats(source).battery();
}

TEST_F(MacPowerSourcesTest, ReadsTheFirstInternalBatteryIntoTheBatteryFigures) {
    struct Case {
        const char* name;
        std::vector<std::optional<Description>> sources;
        std::optional<BatteryInfo> expected;
    };
    const auto onAc = with(battery(80, 100), "Power Source State", std::string("AC Power"));
    const Case cases[] = {
        {"estimating: no minutes left", {battery(50, 100)}, BatteryInfo{50, false, false, {}}},
        {"minutes left exactly as reported",
         {with(battery(43, 100), "Time to Empty", std::int64_t{287})},
         BatteryInfo{43, false, false, 287}},
        {"a minute left",
         {with(battery(1, 100), "Time to Empty", std::int64_t{1})},
         BatteryInfo{1, false, false, 1}},
        {"zero minutes are no estimate",
         {with(battery(43, 100), "Time to Empty", std::int64_t{0})},
         BatteryInfo{43, false, false, {}}},
        {"a quarter of a larger maximum", {battery(50, 200)}, BatteryInfo{25, false, false, {}}},
        {"above full is not clamped", {battery(7, 3)}, BatteryInfo{233, false, false, {}}},
        {"charging on external power",
         {with(onAc, "Is Charging", true)},
         BatteryInfo{80, true, true, {}}},
        {"a non-boolean charging flag",
         {with(onAc, "Is Charging", std::int64_t{1})},
         BatteryInfo{80, false, true, {}}},
        {"no maximum yet", {battery(50, 0), battery(20, 100)}, BatteryInfo{20, false, false, {}}},
        {"a UPS is not the battery",
         {with(battery(90, 100), "Type", std::string("UPS")), battery(30, 100)},
         BatteryInfo{30, false, false, {}}},
        {"only the first battery counts",
         {battery(10, 100), battery(90, 100)},
         BatteryInfo{10, false, false, {}}},
        {"a source without a description is skipped",
         {std::nullopt, battery(60, 100)},
         BatteryInfo{60, false, false, {}}},
        {"a capacity as text",
         {with(battery(50, 100), "Current Capacity", std::string("50"))},
         std::nullopt},
        {"no power source at all", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        fakeapple::reset();
        fakeapple::setPowerSources(c.sources);
        EXPECT_EQ(batteryNow(), c.expected) << c.name;
        EXPECT_EQ(fakeapple::problems(), std::vector<std::string>{}) << c.name;
    }
}

TEST_F(MacPowerSourcesTest, MissingPowerSourceInformationGivesNoSources) {
    fakeapple::setPowerSourceInfoMissing(true);
    EXPECT_TRUE(MacPowerSources::read().empty());
}

TEST_F(MacPowerSourcesTest, TheMonitorTellsOfNoticesUntilItIsDestroyed) {
    int changes = 0;
    {
        MacPowerSourceMonitor monitor;
        QObject::connect(&monitor, &PowerSourceMonitor::changed, &monitor, [&] { ++changes; });
        EXPECT_EQ(fakeapple::noticeSourcesOnMainRunLoop(), 1U);
        fakeapple::postPowerSourceNotice();
        fakeapple::postPowerSourceNotice();
    }
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(fakeapple::noticeSourcesOnMainRunLoop(), 0U);
    fakeapple::postPowerSourceNotice();
    EXPECT_EQ(changes, 2);
}

} // namespace
} // namespace vigilo
