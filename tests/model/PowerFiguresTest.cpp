#include "ModelFixture.h"

namespace vigilo {
namespace {

TEST_F(AwakeModelTest, SettingTheClockBackDoesNotFreezeThePowerReads) {
    clock.advance(31);
    model->refreshPowerSettings(false);
    ASSERT_EQ(power.reads, 2);
    clock.set(clock.now() - std::chrono::hours(1));
    clock.advance(31);
    model->refreshPowerSettings(false);
    EXPECT_EQ(power.reads, 3) << "31 real seconds passed, whatever the wall clock says";
}

TEST_F(AwakeModelTest, PowerSettingsAreReadAtMostEveryThirtySeconds) {
    clock.advance(10);
    model->refreshPowerSettings(false);
    EXPECT_EQ(power.reads, 1);
    clock.advance(20);
    model->refreshPowerSettings(false);
    EXPECT_EQ(power.reads, 1) << "exactly 30 seconds is still too soon";
    clock.advance(1);
    model->refreshPowerSettings(false);
    EXPECT_EQ(power.reads, 2);
    model->refreshPowerSettings(true);
    EXPECT_EQ(power.reads, 3) << "a forced read ignores the interval";
}

TEST_F(AwakeModelTest, UnchangedPowerReadingPublishesNothing) {
    notices = 0;
    model->refreshPowerSettings(true);
    EXPECT_EQ(notices, 0);
    power.values = {.displaySleepMinutes = 5,
                    .systemSleepMinutes = 15,
                    .sleepDisabled = false,
                    .source = PowerValues::Source::Battery};
    model->refreshPowerSettings(true);
    EXPECT_EQ(notices, 3);
    EXPECT_EQ(model->powerFigures().displaySleepMinutes(), 5);
    EXPECT_TRUE(model->powerFigures().canSleep());
    EXPECT_EQ(model->powerFigures().powerSource(), PowerValues::Source::Battery);
    EXPECT_EQ(model->statusTitle(clock.now()), "Mac уснёт через 5 минут");
    EXPECT_EQ(model->statusSubtitle(), "на батарее");
}

} // namespace
} // namespace vigilo
