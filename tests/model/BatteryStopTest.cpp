#include "ModelFixture.h"

namespace vigilo {
namespace {

using BatteryStopTest = TickingModelTest;

TEST_F(BatteryStopTest, BatteryStopSpeaksLinuxAndFollowsTheSoundSwitch) {
    words = linuxWords();
    start();
    model->preferences().setSoundEnabled(false);
    model->toggle();
    onBattery(10);
    tick();
    EXPECT_FALSE(model->isAwake());
    ASSERT_EQ(desktop.notifications.size(), 1U);
    EXPECT_EQ(desktop.notifications[0].body, "Заряд батареи 10% — компьютер снова может засыпать.");
    EXPECT_EQ(desktop.alertSounds, 0) << "sounds are switched off";
}

TEST_F(BatteryStopTest, BatteryStopAtTheThresholdOnBatteryOnly) {
    model->toggle();
    onBattery(21);
    tick();
    EXPECT_TRUE(model->isAwake());
    onBattery(15, true);
    tick();
    EXPECT_TRUE(model->isAwake()) << "on external power nothing happens";
    onBattery(20);
    tick();
    EXPECT_FALSE(model->isAwake());
    EXPECT_FALSE(model->keepAwake().isManuallyOn());
    ASSERT_EQ(desktop.notifications.size(), 1U);
    EXPECT_EQ(desktop.notifications[0].title, "Кофе закончился");
    EXPECT_EQ(desktop.notifications[0].body, "Заряд батареи 20% — Mac снова может засыпать.");
    EXPECT_EQ(desktop.alertSounds, 1);
    EXPECT_EQ(audio.plays.size(), 1U) << "only the switch-on poured";
}

TEST_F(BatteryStopTest, BatteryStopDoesNotLatch) {
    onBattery(10);
    tick();
    EXPECT_TRUE(desktop.notifications.empty()) << "not awake: nothing to stop";
    model->toggle();
    tick();
    model->toggle();
    tick();
    EXPECT_EQ(desktop.notifications.size(), 2U);
}

TEST_F(BatteryStopTest, BatteryStopWhileAWatchedAppRunsSuppressesIt) {
    onBattery(5);
    model->batteryStop().setBatteryThreshold(0);
    tick();
    watcher.change({"Claude"});
    ASSERT_TRUE(model->isAwake());
    EXPECT_FALSE(model->batteryStop().isBatteryLow()) << "threshold 0 is off";
    model->batteryStop().setBatteryThreshold(50);
    EXPECT_FALSE(model->isAwake()) << "the setter checks at once";
    EXPECT_TRUE(model->keepAwake().isAutoSuppressed());
}

TEST_F(BatteryStopTest, BatteryStopRestoresSystemSleep) {
    lid.installed = true;
    model->toggle();
    ASSERT_TRUE(lid.sleepDisabled);
    onBattery(20);
    tick();
    EXPECT_FALSE(lid.sleepDisabled);
}

TEST_F(BatteryStopTest, ThresholdCyclesThroughItsList) {
    const std::vector<std::pair<std::int64_t, std::int64_t>> steps{{50, 0},  {25, 10}, {0, 10},
                                                                   {10, 20}, {20, 30}, {30, 50}};
    for (const auto& [from, to] : steps) {
        model->batteryStop().setBatteryThreshold(from);
        model->batteryStop().cycleBatteryThreshold();
        EXPECT_EQ(model->batteryStop().batteryThreshold(), to) << "from " << from;
    }
}

TEST_F(BatteryStopTest, ALevelNoBatteryCanReportReadsAsTheDefault) {
    for (const std::int64_t stored : {-5, 101}) {
        defaults.set("batteryThreshold", stored);
        EXPECT_EQ(model->batteryStop().batteryThreshold(), 20) << stored;
    }
    defaults.set("batteryThreshold", std::int64_t{-5});
    model->toggle();
    onBattery(15);
    tick();
    EXPECT_FALSE(model->isAwake()) << "the stop fires at the default level";
}

} // namespace
} // namespace vigilo
