#include "ModelFixture.h"

namespace vigilo {
namespace {

class LidModeTest : public AwakeModelTest {
protected:
    void installRule() { lid.installed = true; }
    AssertionKind heldKind() const { return assertions.held.begin()->second.kind; }
};

TEST_F(LidModeTest, WithoutTheRuleTheCardAppearsUntilPostponedForThisRun) {
    model->toggle();
    EXPECT_TRUE(model->lidMode().needsLidConsent());
    model->lidMode().declineLidPermission();
    EXPECT_FALSE(model->lidMode().needsLidConsent());
    EXPECT_TRUE(model->lidMode().lidConsentPostponed());

    pause();
    model->toggle();
    EXPECT_FALSE(model->lidMode().needsLidConsent()) << "switching off clears the card";
    pause();
    model->toggle();
    EXPECT_FALSE(model->lidMode().needsLidConsent()) << "postponed for the rest of the run";

    model->deactivateOnQuit();
    start();
    model->keepAwake().setAwake(true);
    EXPECT_TRUE(model->lidMode().needsLidConsent()) << "a new run asks again";
}

TEST_F(LidModeTest, GrantWhileAwakeSwitchesSleepOffAtOnceAndOffAgainRestoresIt) {
    model->toggle();
    model->lidMode().grantLidPermission();
    EXPECT_TRUE(lid.installed);
    EXPECT_TRUE(lid.sleepDisabled);
    EXPECT_TRUE(model->lidMode().isLidActive());
    EXPECT_FALSE(model->lidMode().needsLidConsent());

    pause();
    model->toggle();
    EXPECT_FALSE(lid.sleepDisabled);
    EXPECT_FALSE(model->lidMode().isLidActive());
}

TEST_F(LidModeTest, SubtitleClaimsTheClosedLidOnlyWhileSleepIsReallyOff) {
    model->toggle();
    ASSERT_TRUE(model->lidMode().needsLidConsent());
    EXPECT_EQ(model->statusSubtitle(), "Mac не уснёт") << "not allowed yet";

    lid.switchFails = true;
    model->lidMode().grantLidPermission();
    ASSERT_EQ(model->lidMode().lidError(), "Не удалось включить режим крышки");
    EXPECT_EQ(model->statusSubtitle(), "Mac не уснёт") << "the switch failed";

    lid.switchFails = false;
    model->lidMode().applyLidMode();
    EXPECT_EQ(model->statusSubtitle(), "не спит даже с закрытой крышкой");
}

TEST_F(LidModeTest, TheSubtitleFollowsTheSwitchWhenTheSystemChangesItLater) {
    installRule();
    model->toggle();
    ASSERT_EQ(model->statusSubtitle(), "не спит даже с закрытой крышкой");

    int lidNotices = 0;
    const auto counter = model->lidMode().changed().connect([&lidNotices] { ++lidNotices; });
    struct Step {
        const char* what;
        bool disabled;
        const char* subtitle;
        std::optional<std::string> error;
    };
    const std::vector<Step> steps{
        {"refused, or lost with its service", false, "Mac не уснёт",
         "Не удалось включить режим крышки"},
        {"taken again", true, "не спит даже с закрытой крышкой", std::nullopt},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const int before = lidNotices;
        lid.switchChangesByItself(step.disabled);
        EXPECT_EQ(lidNotices, before + 1);
        EXPECT_EQ(model->lidMode().isLidActive(), step.disabled);
        EXPECT_EQ(model->statusSubtitle(), step.subtitle);
        EXPECT_EQ(model->lidMode().lidError(), step.error);
    }

    pause();
    model->toggle();
    const int afterOff = lidNotices;
    lid.switchChangesByItself(true);
    EXPECT_EQ(lidNotices, afterOff) << "a switch nobody asked for is not claimed";
    EXPECT_FALSE(model->lidMode().isLidActive());
}

TEST_F(LidModeTest, GrantWhileOffOnlyInstalls) {
    model->lidMode().grantLidPermission();
    EXPECT_TRUE(lid.installed);
    EXPECT_FALSE(lid.sleepDisabled);
    EXPECT_FALSE(model->lidMode().isLidActive());
}

TEST_F(LidModeTest, FailedGrantShowsWhyAndDoesNotOfferTheCardUntilNextSwitchOn) {
    lid.installError = "Не удалось получить права администратора.";
    model->toggle();
    model->lidMode().grantLidPermission();
    EXPECT_EQ(model->lidMode().lidError(),
              "Нет разрешения: Не удалось получить права администратора.");
    EXPECT_FALSE(model->lidMode().needsLidConsent());
    EXPECT_FALSE(model->lidMode().isLidActive());
}

TEST_F(LidModeTest, FailedSwitchKeepsAwakeAndSaysSo) {
    installRule();
    lid.switchFails = true;
    model->toggle();
    EXPECT_TRUE(model->isAwake());
    EXPECT_FALSE(model->lidMode().isLidActive());
    EXPECT_EQ(model->lidMode().lidError(), "Не удалось включить режим крышки");
    pause();
    model->toggle();
    EXPECT_FALSE(model->lidMode().lidError()) << "every pass clears the last error first";
}

TEST_F(LidModeTest, SwitchLeftOffBySomethingElseIsRestoredAtTheNextPass) {
    installRule();
    model->keepAwake().setAwake(false);
    lid.sleepDisabled = true;
    model->keepAwake().setAwake(false);
    EXPECT_FALSE(lid.sleepDisabled);
}

TEST_F(LidModeTest, QuitRestoresSleepAndStartUpRepairsACrash) {
    installRule();
    model->toggle();
    ASSERT_TRUE(lid.sleepDisabled);
    model->deactivateOnQuit();
    EXPECT_FALSE(lid.sleepDisabled);

    lid.sleepDisabled = true; // as left behind by a crashed run
    start();
    EXPECT_FALSE(lid.sleepDisabled);
}

TEST_F(LidModeTest, StartUpLeavesAnUninstalledSwitchAlone) {
    lid.sleepDisabled = true;
    lid.switchCalls = 0;
    start();
    EXPECT_EQ(lid.switchCalls, 0);
}

TEST_F(LidModeTest, SettingOffEndsTheLidModeAndTheCard) {
    model->toggle();
    ASSERT_TRUE(model->lidMode().needsLidConsent());
    model->lidMode().setKeepsAwakeWithLidClosed(false);
    EXPECT_FALSE(model->lidMode().needsLidConsent());

    installRule();
    model->lidMode().setKeepsAwakeWithLidClosed(true);
    EXPECT_TRUE(model->lidMode().isLidActive());
    model->lidMode().setKeepsAwakeWithLidClosed(false);
    EXPECT_FALSE(model->lidMode().isLidActive());
    EXPECT_FALSE(lid.sleepDisabled);
    EXPECT_EQ(model->statusSubtitle(), "Mac не уснёт");
}

TEST_F(LidModeTest, ClosedLidWithoutExternalDisplayLetsTheScreenSleepOnce) {
    installRule();
    model->toggle();
    model->lidMode().updateScreenForLid(true);
    EXPECT_EQ(heldKind(), AssertionKind::DisplayMaySleep);
    EXPECT_EQ(displays.turnedOff, 1);
    model->lidMode().updateScreenForLid(true);
    model->lidMode().updateScreenForLid(true);
    EXPECT_EQ(displays.turnedOff, 1) << "not on every tick";

    model->lidMode().updateScreenForLid(false);
    EXPECT_EQ(heldKind(), AssertionKind::DisplayKeptOn);
    model->lidMode().updateScreenForLid(true);
    EXPECT_EQ(displays.turnedOff, 2) << "each closing counts again";
}

TEST_F(LidModeTest, ExternalDisplayKeepsTheScreenOn) {
    installRule();
    displays.external = true;
    model->toggle();
    model->lidMode().updateScreenForLid(true);
    EXPECT_EQ(heldKind(), AssertionKind::DisplayKeptOn);
    EXPECT_EQ(displays.turnedOff, 0);
}

TEST_F(LidModeTest, ScreenOffSettingRestoresTheDisplayAtOnce) {
    installRule();
    lid.lidClosed = true;
    model->toggle();
    model->lidMode().updateScreenForLid();
    ASSERT_EQ(heldKind(), AssertionKind::DisplayMaySleep);
    model->lidMode().setTurnsScreenOffWithLidClosed(false);
    EXPECT_EQ(heldKind(), AssertionKind::DisplayKeptOn);
}

TEST_F(LidModeTest, ScreenStaysOnWhenTheLidModeIsNotActive) {
    model->toggle(); // no rule: not active
    model->lidMode().updateScreenForLid(true);
    EXPECT_EQ(heldKind(), AssertionKind::DisplayKeptOn);
    EXPECT_EQ(displays.turnedOff, 0);
}

TEST_F(LidModeTest, TheLidIsOnlyAskedWhileItsStateMatters) {
    model->lidMode().updateScreenForLid();
    model->toggle(); // no rule: the lid mode is not active
    model->lidMode().updateScreenForLid();
    EXPECT_EQ(lid.lidReads, 0);
    installRule();
    model->lidMode().setKeepsAwakeWithLidClosed(true);
    model->lidMode().updateScreenForLid();
    EXPECT_EQ(lid.lidReads, 1);
}

TEST_F(LidModeTest, RemovingTheHelper) {
    installRule();
    model->toggle();
    model->lidMode().removeLidHelper();
    EXPECT_FALSE(lid.installed);
    EXPECT_FALSE(lid.sleepDisabled);
    EXPECT_FALSE(model->lidMode().isLidActive());
    EXPECT_FALSE(model->lidMode().isLidHelperInstalled());

    installRule();
    lid.uninstallError = "Отменено пользователем.";
    model->lidMode().removeLidHelper();
    EXPECT_EQ(model->lidMode().lidError(), "Отменено пользователем.");
}

} // namespace
} // namespace vigilo
