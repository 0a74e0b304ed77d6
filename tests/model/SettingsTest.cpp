#include "model/Settings.h"

#include "fakes/FakeDefaults.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

using namespace SettingsKeys;

class SettingsTest : public ::testing::Test {
protected:
    fakes::FakeDefaults defaults;
    Settings store{defaults};
};

TEST_F(SettingsTest, AbsentKeysGiveTheirDefaults) {
    EXPECT_TRUE(store.read(soundEnabled));
    EXPECT_FALSE(store.read(hidesMetrics));
    EXPECT_TRUE(store.read(keepsAwakeWithLidClosed));
    EXPECT_TRUE(store.read(turnsScreenOffWithLidClosed));
    EXPECT_EQ(store.read(batteryThreshold), 20);
    EXPECT_FALSE(store.read(usesSimpleAnimation));
    EXPECT_FALSE(store.read(resumeAwakeSince).has_value());
}

TEST_F(SettingsTest, WronglyTypedValuesGiveTheDefaults) {
    defaults.set("soundEnabled", std::string("no"));
    defaults.set("batteryThreshold", std::string("30"));
    defaults.set("keepsAwakeWithLidClosed", std::int64_t{7});
    defaults.set("resumeAwakeSince", std::string("2026-01-01"));
    EXPECT_TRUE(store.read(soundEnabled));
    EXPECT_EQ(store.read(batteryThreshold), 20);
    EXPECT_TRUE(store.read(keepsAwakeWithLidClosed));
    EXPECT_FALSE(store.read(resumeAwakeSince).has_value());
}

TEST_F(SettingsTest, DatesTooFarForTheClockToMeasureReadAsAbsent) {
    using namespace std::chrono;
    const std::vector<std::pair<TimePoint, bool>> cases{
        {TimePoint::min(), false},
        {TimePoint(sys_days(1800y / January / 1)), false},
        {TimePoint(sys_days(1900y / January / 1)), true},
        {TimePoint(sys_days(2026y / March / 1) + 10h), true},
        {TimePoint(sys_days(2100y / December / 31)), true},
        {TimePoint(sys_days(2200y / January / 1)), false},
        {TimePoint::max(), false},
    };
    for (const auto& [date, readable] : cases) {
        defaults.set("resumeAwakeSince", date);
        EXPECT_EQ(store.read(resumeAwakeSince), readable ? std::optional(date) : std::nullopt)
            << date.time_since_epoch().count();
    }
}

TEST_F(SettingsTest, NumbersConvertLikeTheStoreDoes) {
    defaults.set("soundEnabled", std::int64_t{0});
    EXPECT_FALSE(store.read(soundEnabled));
    defaults.set("batteryThreshold", 30.0);
    EXPECT_EQ(store.read(batteryThreshold), 30);
    defaults.set("batteryThreshold", 30.5);
    EXPECT_EQ(store.read(batteryThreshold), 20);
    defaults.set("batteryThreshold", 1e300);
    EXPECT_EQ(store.read(batteryThreshold), 20);
}

TEST_F(SettingsTest, LooseBooleanReadAcceptsNumbersAndWords) {
    defaults.set("usesSimpleAnimation", std::string("YES"));
    EXPECT_TRUE(store.read(usesSimpleAnimation));
    defaults.set("usesSimpleAnimation", std::string("0"));
    EXPECT_FALSE(store.read(usesSimpleAnimation));
    defaults.set("usesSimpleAnimation", std::int64_t{2});
    EXPECT_TRUE(store.read(usesSimpleAnimation));
    defaults.set("usesSimpleAnimation", StringList{"true"});
    EXPECT_FALSE(store.read(usesSimpleAnimation));
}

TEST_F(SettingsTest, ListsAndDataReadAsStoredElseEmpty) {
    EXPECT_TRUE(store.read(watchedApps).empty());
    EXPECT_FALSE(store.read(customWatchedApps));
    store.write(watchedApps, StringList{"a", "b"});
    store.write(customWatchedApps, Bytes{'[', ']'});
    EXPECT_EQ(store.read(watchedApps), (StringList{"a", "b"}));
    EXPECT_EQ(store.read(customWatchedApps), (Bytes{'[', ']'}));
    defaults.set("watchedApps", std::string("a"));
    defaults.set("customWatchedApps", StringList{"[]"});
    EXPECT_TRUE(store.read(watchedApps).empty());
    EXPECT_FALSE(store.read(customWatchedApps));
}

TEST_F(SettingsTest, ObserversHearOnlyTheirKeyAfterItChanged) {
    std::vector<bool> heard;
    const auto observer = store.changed(soundEnabled.name).connect([&] {
        heard.push_back(store.read(soundEnabled));
    });
    store.write(soundEnabled, false);
    store.write(hidesMetrics, true);
    store.remove(soundEnabled.name);
    EXPECT_EQ(heard, (std::vector<bool>{false, true})) << "each notice sees the new value";
}

} // namespace
} // namespace vigilo
