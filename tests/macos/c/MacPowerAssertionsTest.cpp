#include "platform/macos/power/MacPowerAssertions.h"

#include "FakeSystem.h"

namespace vigilo {
namespace {

using MacPowerAssertionsTest = testing::FakeSystemTest;

constexpr const char* shownName = "Vigilo: keeping Mac awake";

TEST_F(MacPowerAssertionsTest, EachKindTakesItsAssertionTypeAtFullLevelUnderTheName) {
    const std::pair<AssertionKind, const char*> cases[] = {
        {AssertionKind::DisplayKeptOn, "PreventUserIdleDisplaySleep"},
        {AssertionKind::DisplayMaySleep, "PreventUserIdleSystemSleep"},
    };
    MacPowerAssertions assertions;
    for (const auto& [kind, type] : cases) {
        const auto id = assertions.create(kind, shownName);
        ASSERT_TRUE(id) << type;
        const auto held = fakeapple::assertions().back();
        EXPECT_EQ(held.id, *id);
        EXPECT_EQ(held.type, type);
        EXPECT_EQ(held.name, shownName);
        EXPECT_EQ(held.level, 255U);
        assertions.release(*id);
        EXPECT_TRUE(fakeapple::assertions().back().released) << type;
    }
}

TEST_F(MacPowerAssertionsTest, ReleasesOnlyWhatItHoldsAndTheRestWhenDestroyed) {
    std::optional<AssertionId> kept;
    {
        MacPowerAssertions assertions;
        const auto first = assertions.create(AssertionKind::DisplayKeptOn, shownName);
        kept = assertions.create(AssertionKind::DisplayMaySleep, shownName);
        ASSERT_TRUE(first && kept);
        assertions.release(*first);
        // Released twice, or never handed out: ignored, not passed to the system.
        assertions.release(*first);
        assertions.release(*kept + 100);
        EXPECT_FALSE(fakeapple::assertions().at(1).released);
    }
    EXPECT_TRUE(fakeapple::assertions().at(1).released);
}

TEST_F(MacPowerAssertionsTest, ARefusedAssertionGivesNoIdentifier) {
    fakeapple::refuseAssertions(true);
    MacPowerAssertions assertions;
    EXPECT_EQ(assertions.create(AssertionKind::DisplayKeptOn, shownName), std::nullopt);
    EXPECT_TRUE(fakeapple::assertions().empty());
}

} // namespace
} // namespace vigilo
