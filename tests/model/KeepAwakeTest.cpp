#include "ModelFixture.h"

namespace vigilo {
namespace {

TEST_F(AwakeModelTest, ToggleOnAndOffWithSounds) {
    model->toggle();
    EXPECT_TRUE(model->isAwake());
    EXPECT_TRUE(model->keepAwake().isManuallyOn());
    EXPECT_EQ(model->keepAwake().awakeSince(), clock.now());
    pause();
    model->toggle();
    EXPECT_FALSE(model->isAwake());
    EXPECT_FALSE(model->keepAwake().isManuallyOn());
    EXPECT_FALSE(model->keepAwake().isAutoSuppressed());
    EXPECT_FALSE(model->keepAwake().awakeSince());
    EXPECT_EQ(stateChanges, 2);
    EXPECT_EQ(playedNames(), (std::vector<std::string>{"pour-in", "pour-out"}));
    EXPECT_FLOAT_EQ(audio.plays[0].volume, 0.5F);
    EXPECT_FLOAT_EQ(audio.plays[1].volume, 0.45F);
    EXPECT_TRUE(assertions.held.empty());
}

TEST_F(AwakeModelTest, SwitchingOffWhileAWatchedAppRunsSuppressesUntilItQuits) {
    watcher.change({"Claude"});
    EXPECT_TRUE(model->isAwake()) << "a watched application switches keep-awake on";
    EXPECT_FALSE(model->keepAwake().isManuallyOn());

    model->toggle();
    EXPECT_FALSE(model->isAwake());
    EXPECT_TRUE(model->keepAwake().isAutoSuppressed());

    watcher.change({"Claude", "ChatGPT"});
    EXPECT_FALSE(model->isAwake()) << "suppressed while any watched application runs";

    watcher.change({});
    EXPECT_FALSE(model->keepAwake().isAutoSuppressed());
    EXPECT_FALSE(model->isAwake());

    watcher.change({"Claude"});
    EXPECT_TRUE(model->isAwake());
}

TEST_F(AwakeModelTest, ManualOnOutlastsTheWatchedApp) {
    watcher.running = {"Claude"};
    model->toggle();
    watcher.change({});
    EXPECT_TRUE(model->isAwake());
    EXPECT_TRUE(model->keepAwake().isManuallyOn());
}

TEST_F(AwakeModelTest, WatchedAppQuittingEndsItsPeriod) {
    watcher.change({"Claude"});
    watcher.change({});
    EXPECT_FALSE(model->isAwake());
    EXPECT_FALSE(model->keepAwake().awakeSince());
    EXPECT_EQ(stateChanges, 2);
    EXPECT_TRUE(audio.plays.empty()) << "automatic switching is silent";
}

TEST_F(AwakeModelTest, RepeatedSetAwakeKeepsTheStartAndReportsNothing) {
    model->keepAwake().setAwake(true);
    const auto since = model->keepAwake().awakeSince();
    clock.advance(60);
    model->keepAwake().setAwake(true);
    EXPECT_EQ(model->keepAwake().awakeSince(), since);
    EXPECT_EQ(stateChanges, 1);
    EXPECT_EQ(assertions.createCalls, 1);
}

TEST_F(AwakeModelTest, ARefusedKeepAwakeStaysOffAndSaysSo) {
    assertions.refuses = true;
    lid.installed = true;
    for (const auto& attempt : {std::function<void()>([&] { model->toggle(); }),
                                std::function<void()>([&] { watcher.change({"Claude"}); })}) {
        desktop.notifications.clear();
        attempt();
        EXPECT_FALSE(model->isAwake());
        EXPECT_EQ(stateChanges, 0);
        EXPECT_FALSE(model->keepAwake().isManuallyOn());
        EXPECT_FALSE(model->keepAwake().awakeSince()) << "no cups are counted";
        EXPECT_FALSE(lid.sleepDisabled) << "no lid mode without keep-awake";
        EXPECT_TRUE(audio.plays.empty()) << "no pour-in";
        ASSERT_EQ(desktop.notifications.size(), 1U);
        EXPECT_EQ(desktop.notifications[0].body, "Система не разрешила запретить сон.");
    }
    watcher.change({});

    assertions.refuses = false;
    pause();
    model->toggle();
    EXPECT_TRUE(model->isAwake()) << "the next toggle tries again";
    EXPECT_EQ(playedNames(), std::vector<std::string>{"pour-in"});
}

TEST_F(AwakeModelTest, ALockTheSystemDropsForGoodEndsThePeriodAndSaysSo) {
    lid.installed = true;
    model->toggle();
    ASSERT_TRUE(lid.sleepDisabled);
    ASSERT_EQ(assertions.held.size(), 1U);
    const int changesWhileOn = stateChanges;

    assertions.lose(assertions.held.begin()->first);

    EXPECT_FALSE(model->isAwake()) << "the status and the icon say asleep";
    EXPECT_EQ(stateChanges, changesWhileOn + 1);
    EXPECT_FALSE(model->keepAwake().isManuallyOn());
    EXPECT_FALSE(model->keepAwake().awakeSince()) << "no cups are counted";
    EXPECT_FALSE(lid.sleepDisabled) << "no lid mode without keep-awake";
    ASSERT_EQ(desktop.notifications.size(), 1U);
    EXPECT_EQ(desktop.notifications[0].title, "Не удалось не давать засыпать");
    EXPECT_EQ(desktop.notifications[0].body, "Система не разрешила запретить сон.");

    pause();
    model->toggle();
    EXPECT_TRUE(model->isAwake()) << "the next toggle takes a new lock";
}

TEST_F(AwakeModelTest, ARefusedRelaunchDoesNotResume) {
    defaults.set("resumeAwakeSince", clock.now());
    defaults.set("resumeManuallyOn", true);
    assertions.refuses = true;
    model->restoreAfterRelaunch();
    EXPECT_FALSE(model->isAwake());
    EXPECT_FALSE(model->keepAwake().awakeSince());
    EXPECT_FALSE(model->keepAwake().isManuallyOn());
}

TEST_F(AwakeModelTest, LinuxTextsSayComputer) {
    words = linuxWords();
    start();
    EXPECT_EQ(model->statusTitle(clock.now()), "Компьютер не может спать");
    power.values = {.displaySleepMinutes = 10, .systemSleepMinutes = 10};
    model->refreshPowerSettings(true);
    EXPECT_EQ(model->statusTitle(clock.now()), "Уснёт через 10 минут");
    model->lidMode().setKeepsAwakeWithLidClosed(false);
    model->toggle();
    EXPECT_EQ(model->statusSubtitle(), "Компьютер не уснёт");
    ASSERT_EQ(assertions.held.size(), 1U);
    EXPECT_EQ(assertions.held.begin()->second.name, "Vigilo: keeping the computer awake");
}

TEST_F(AwakeModelTest, RelaunchResumesThePeriodAndItsStart) {
    model->toggle();
    const auto since = *model->keepAwake().awakeSince();
    clock.advance(3600);
    model->saveForRelaunch();
    model->deactivateOnQuit();
    EXPECT_TRUE(assertions.held.empty());

    start();
    model->restoreAfterRelaunch();
    model->applyWatchedApps();
    EXPECT_TRUE(model->isAwake());
    EXPECT_TRUE(model->keepAwake().isManuallyOn());
    EXPECT_EQ(model->keepAwake().awakeSince(), since);
    EXPECT_EQ(model->cupCount(clock.now()), 3);
    EXPECT_FALSE(defaults.contains("resumeAwakeSince"));
    EXPECT_TRUE(defaults.contains("resumeManuallyOn"));
}

TEST_F(AwakeModelTest, SavingWhileOffForgetsAnyEarlierPeriod) {
    defaults.set("resumeAwakeSince", clock.now());
    model->saveForRelaunch();
    EXPECT_FALSE(defaults.contains("resumeAwakeSince"));
    start();
    model->restoreAfterRelaunch();
    EXPECT_FALSE(model->isAwake());
}

TEST_F(AwakeModelTest, APeriodSavedAsItEndsIsNotResumed) {
    // An update that waited for the period to end installs from the state change, before the
    // period's start is cleared.
    const auto saveWhenOff = model->stateChanged().connect([this] {
        if (!model->isAwake()) {
            model->saveForRelaunch();
        }
    });
    model->toggle();
    pause();
    model->toggle();
    model->deactivateOnQuit();

    start();
    model->restoreAfterRelaunch();
    EXPECT_FALSE(model->isAwake());
    EXPECT_EQ(assertions.createCalls, 1) << "no lock is taken and dropped again";
}

TEST_F(AwakeModelTest, SuppressionIsNotCarriedOverARelaunch) {
    watcher.change({"Claude"});
    model->toggle();
    model->saveForRelaunch();
    model->deactivateOnQuit();

    start();
    model->restoreAfterRelaunch();
    model->applyWatchedApps();
    EXPECT_TRUE(model->isAwake()) << "the watched application still runs";
}

TEST_F(AwakeModelTest, WatchedPeriodWhoseAppQuitEndsAfterRelaunch) {
    watcher.change({"Claude"});
    model->saveForRelaunch();
    model->deactivateOnQuit();
    watcher.running = {};

    start();
    model->restoreAfterRelaunch();
    EXPECT_TRUE(model->isAwake());
    model->applyWatchedApps();
    EXPECT_FALSE(model->isAwake());
}

TEST_F(AwakeModelTest, AResumedWatchedPeriodWaitsForTheFirstLookAtTheApplications) {
    for (const bool stillRuns : {true, false}) {
        SCOPED_TRACE(stillRuns ? "the application still runs" : "the application quit");
        watcher.change({"Claude"});
        const auto since = *model->keepAwake().awakeSince();
        clock.advance(3600);
        model->saveForRelaunch();
        model->deactivateOnQuit();

        watcher.running = {};
        watcher.knows = false;
        start();
        model->restoreAfterRelaunch();
        model->applyWatchedApps();
        EXPECT_TRUE(model->isAwake()) << "nothing is known to have quit yet";
        EXPECT_EQ(model->keepAwake().awakeSince(), since);

        watcher.change(stillRuns ? std::vector<std::string>{"Claude"} : std::vector<std::string>{});
        EXPECT_EQ(model->isAwake(), stillRuns);
        EXPECT_EQ(model->keepAwake().awakeSince(), stillRuns ? std::optional(since) : std::nullopt);
        watcher.change({});
    }
}

TEST_F(AwakeModelTest, QuitReleasesButKeepsTheUserFlagAndStore) {
    model->toggle();
    const auto stored = defaults.values.size();
    model->deactivateOnQuit();
    EXPECT_FALSE(model->isAwake());
    EXPECT_TRUE(model->keepAwake().isManuallyOn());
    EXPECT_EQ(defaults.values.size(), stored);
}

} // namespace
} // namespace vigilo
