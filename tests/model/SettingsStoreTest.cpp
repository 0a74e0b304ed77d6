#include "model/SettingsStore.h"

#include "fakes/FakeDefaults.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

using namespace SettingsKeys;

class SettingsStoreTest : public ::testing::Test {
protected:
    fakes::FakeDefaults defaults;
    SettingsStore store{defaults};
};

TEST_F(SettingsStoreTest, AbsentKeysGiveTheirDefaults) {
    EXPECT_TRUE(store.read(soundEnabled));
    EXPECT_FALSE(store.read(hidesMetrics));
    EXPECT_TRUE(store.read(keepsAwakeWithLidClosed));
    EXPECT_TRUE(store.read(turnsScreenOffWithLidClosed));
    EXPECT_EQ(store.read(batteryThreshold), 20);
    EXPECT_FALSE(store.looseBool(usesSimpleAnimation));
    EXPECT_FALSE(store.read(resumeAwakeSince).has_value());
}

TEST_F(SettingsStoreTest, WronglyTypedValuesGiveTheDefaults) {
    defaults.set("soundEnabled", std::string("no"));
    defaults.set("batteryThreshold", std::string("30"));
    defaults.set("keepsAwakeWithLidClosed", std::int64_t{7});
    defaults.set("resumeAwakeSince", std::string("2026-01-01"));
    EXPECT_TRUE(store.read(soundEnabled));
    EXPECT_EQ(store.read(batteryThreshold), 20);
    EXPECT_TRUE(store.read(keepsAwakeWithLidClosed));
    EXPECT_FALSE(store.read(resumeAwakeSince).has_value());
}

TEST_F(SettingsStoreTest, NumbersConvertLikeTheStoreDoes) {
    defaults.set("soundEnabled", std::int64_t{0});
    EXPECT_FALSE(store.read(soundEnabled));
    defaults.set("batteryThreshold", 30.0);
    EXPECT_EQ(store.read(batteryThreshold), 30);
    defaults.set("batteryThreshold", 30.5);
    EXPECT_EQ(store.read(batteryThreshold), 20);
    defaults.set("batteryThreshold", 1e300);
    EXPECT_EQ(store.read(batteryThreshold), 20);
}

TEST_F(SettingsStoreTest, LooseBooleanReadAcceptsNumbersAndWords) {
    defaults.set("usesSimpleAnimation", std::string("YES"));
    EXPECT_TRUE(store.looseBool(usesSimpleAnimation));
    defaults.set("usesSimpleAnimation", std::string("0"));
    EXPECT_FALSE(store.looseBool(usesSimpleAnimation));
    defaults.set("usesSimpleAnimation", std::int64_t{2});
    EXPECT_TRUE(store.looseBool(usesSimpleAnimation));
    defaults.set("usesSimpleAnimation", StringList{"true"});
    EXPECT_FALSE(store.looseBool(usesSimpleAnimation));
}

TEST_F(SettingsStoreTest, OnlyAStoredFalseCountsAsFalse) {
    EXPECT_FALSE(store.isStoredFalse("soundEnabled"));
    defaults.set("soundEnabled", std::int64_t{0});
    EXPECT_FALSE(store.isStoredFalse("soundEnabled"));
    defaults.set("soundEnabled", false);
    EXPECT_TRUE(store.isStoredFalse("soundEnabled"));
}

} // namespace
} // namespace vigilo
