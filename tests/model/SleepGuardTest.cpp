#include "model/SleepGuard.h"

#include "fakes/FakePowerAssertions.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

class SleepGuardTest : public ::testing::Test {
protected:
    fakes::FakePowerAssertions assertions;
    int changes = 0;
    SleepGuard guard{assertions, {.changed = [this] { ++changes; }}};
};

TEST_F(SleepGuardTest, ActivatingTwiceHoldsOneNamedDisplayAssertionAndReportsOnce) {
    guard.activate();
    guard.activate();
    EXPECT_TRUE(guard.isActive());
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(assertions.held.size(), 1U);
    const auto& held = assertions.held.begin()->second;
    EXPECT_EQ(held.kind, AssertionKind::DisplayKeptOn);
    EXPECT_EQ(held.name, "Vigilo: keeping Mac awake");
}

TEST_F(SleepGuardTest, DeactivatingWhileIdleDoesNothing) {
    guard.deactivate();
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(assertions.released.empty());
}

TEST_F(SleepGuardTest, ToggleReleasesWhatItHolds) {
    guard.toggle();
    guard.toggle();
    EXPECT_FALSE(guard.isActive());
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(assertions.held.empty());
}

TEST_F(SleepGuardTest, RefusedCreationLeavesTheGuardIdleAndSilent) {
    assertions.refuses = true;
    guard.activate();
    EXPECT_FALSE(guard.isActive());
    EXPECT_EQ(changes, 0);
}

TEST_F(SleepGuardTest, SwappingTheKindTakesTheNewAssertionBeforeReleasingTheOld) {
    guard.activate();
    const auto first = assertions.held.begin()->first;
    guard.setAllowsDisplaySleep(true);
    EXPECT_TRUE(guard.allowsDisplaySleep());
    ASSERT_EQ(assertions.held.size(), 1U);
    EXPECT_EQ(assertions.held.begin()->second.kind, AssertionKind::DisplayMaySleep);
    EXPECT_EQ(assertions.released, std::vector<AssertionId>{first});
    EXPECT_EQ(changes, 1) << "a swap is not a change of the keep-awake state";
}

TEST_F(SleepGuardTest, FailedSwapKeepsTheOldAssertionAndFlag) {
    guard.activate();
    assertions.refuses = true;
    guard.setAllowsDisplaySleep(true);
    EXPECT_FALSE(guard.allowsDisplaySleep());
    ASSERT_EQ(assertions.held.size(), 1U);
    EXPECT_EQ(assertions.held.begin()->second.kind, AssertionKind::DisplayKeptOn);
    EXPECT_TRUE(assertions.released.empty());
}

TEST_F(SleepGuardTest, SwapWhileIdleDoesNothingAndNextActivationKeepsTheDisplayOn) {
    guard.setAllowsDisplaySleep(true);
    EXPECT_EQ(assertions.createCalls, 0);
    guard.activate();
    EXPECT_EQ(assertions.held.begin()->second.kind, AssertionKind::DisplayKeptOn);

    guard.setAllowsDisplaySleep(true);
    guard.deactivate();
    guard.activate();
    EXPECT_FALSE(guard.allowsDisplaySleep());
    EXPECT_EQ(assertions.held.begin()->second.kind, AssertionKind::DisplayKeptOn);
}

} // namespace
} // namespace vigilo
