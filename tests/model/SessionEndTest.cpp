#include "ModelFixture.h"

namespace vigilo {
namespace {

using namespace std::chrono_literals;

/// A session with an end over the model's fakes; time moves the clock and the scheduler
/// together.
class SessionEndTest : public AwakeModelTest {
protected:
    void wait(double seconds) {
        // In steps, as the real event loop runs due work as time passes.
        for (double waited = 0; waited < seconds; waited += 1) {
            clock.advance(1);
            scheduler.advance(1);
            scheduler.runPosted();
        }
    }
    [[nodiscard]] AwakeEnd inSeconds(int seconds) const {
        return AwakeEnd::atTime(clock.now() + std::chrono::seconds(seconds));
    }
    const ProcessIdentity make{.pid = 4242, .startTime = 777, .name = "make"};
};

TEST_F(SessionEndTest, ATimedSessionSwitchesOffSilentlyWhenItsTimeComes) {
    ASSERT_TRUE(model->keepAwake().switchOnUntil(inSeconds(90)));
    EXPECT_TRUE(model->isAwake());
    EXPECT_TRUE(model->keepAwake().isManuallyOn());
    EXPECT_EQ(playedNames(), (std::vector<std::string>{"pour-in"}));
    wait(89);
    EXPECT_TRUE(model->isAwake());
    wait(2);
    EXPECT_FALSE(model->isAwake());
    EXPECT_FALSE(model->keepAwake().isManuallyOn());
    EXPECT_FALSE(model->keepAwake().end().isSet());
    EXPECT_TRUE(assertions.held.empty());
    EXPECT_EQ(playedNames(), (std::vector<std::string>{"pour-in"})) << "no sound at the end";
}

TEST_F(SessionEndTest, ATimeEndFollowsTheWallClock) {
    // Hours away: the end is checked again as time passes, so a wall clock set forward (or a
    // machine that slept with a timer) ends the session soon after.
    model->keepAwake().switchOnUntil(inSeconds(3 * 3600));
    clock.set(clock.now() + 4h);
    wait(61);
    EXPECT_FALSE(model->isAwake());
}

TEST_F(SessionEndTest, SwitchingOnByHandMeanwhileKeepsItOn) {
    const std::vector<std::function<void()>> byHand{
        [&] {
            model->toggle();
            pause();
            model->toggle();
        },
        [&] { model->keepAwake().switchOnUntil({}); },
    };
    for (const auto& switchOnAgain : byHand) {
        model->keepAwake().switchOnUntil(inSeconds(60));
        wait(10);
        switchOnAgain();
        EXPECT_FALSE(model->keepAwake().end().isSet());
        wait(120);
        EXPECT_TRUE(model->isAwake());
        EXPECT_TRUE(model->keepAwake().isManuallyOn());
        model->toggle();
        pause();
    }
}

TEST_F(SessionEndTest, ANewEndReplacesTheOldOne) {
    model->keepAwake().switchOnUntil(inSeconds(30));
    model->keepAwake().switchOnUntil(inSeconds(300));
    wait(60);
    EXPECT_TRUE(model->isAwake()) << "the first end no longer counts";
    wait(300);
    EXPECT_FALSE(model->isAwake());
}

TEST_F(SessionEndTest, AProcessSessionEndsWithItsProcessOnly) {
    processes.start(make);
    model->keepAwake().switchOnUntil(AwakeEnd::whileRunning(make));
    processes.end(1);
    EXPECT_TRUE(model->isAwake()) << "another process";
    processes.end(make.pid);
    EXPECT_FALSE(model->isAwake());
    EXPECT_FALSE(model->keepAwake().end().isSet());

    // Switched off by hand before the process ends: its end no longer reaches anything.
    processes.start(make);
    model->keepAwake().switchOnUntil(AwakeEnd::whileRunning(make));
    model->toggle();
    EXPECT_EQ(processes.liveWatches(), 0U);
}

TEST_F(SessionEndTest, AWatchedApplicationAndASessionCombine) {
    // The session ends while the application runs: the computer stays awake for it.
    watcher.change({"Claude"});
    model->keepAwake().switchOnUntil(inSeconds(60));
    wait(61);
    EXPECT_TRUE(model->isAwake());
    EXPECT_FALSE(model->keepAwake().isManuallyOn());
    watcher.change({});
    EXPECT_FALSE(model->isAwake());

    // The application quits while the session runs: the session goes on until its end.
    watcher.change({"Claude"});
    model->keepAwake().switchOnUntil(inSeconds(60));
    watcher.change({});
    EXPECT_TRUE(model->isAwake());
    wait(61);
    EXPECT_FALSE(model->isAwake());
}

TEST_F(SessionEndTest, StatusSubtitleNamesTheEnd) {
    words = linuxWords();
    start();
    model->lidMode().setKeepsAwakeWithLidClosed(false);
    // The fake clock starts at 2026-03-01 00:00 UTC, local time here being UTC.
    model->keepAwake().switchOnUntil(AwakeEnd::atTime(clock.now() + 18h));
    EXPECT_EQ(model->statusSubtitle(), "до 18:00");
    processes.start(make);
    model->keepAwake().switchOnUntil(AwakeEnd::whileRunning(make));
    EXPECT_EQ(model->statusSubtitle(), "пока работает make");
    model->keepAwake().switchOnUntil({});
    EXPECT_EQ(model->statusSubtitle(), "Компьютер не уснёт");
}

TEST_F(SessionEndTest, RelaunchKeepsAPendingEndOrEndsAtOnce) {
    struct Case {
        const char* name;
        std::function<AwakeEnd()> session;
        /// What happens while no program runs.
        std::function<void()> meanwhile;
        bool resumes;
    };
    const ProcessIdentity reused{.pid = make.pid, .startTime = 999, .name = "bash"};
    const std::vector<Case> cases{
        {"time ahead", [&] { return inSeconds(600); }, [] {}, true},
        {"time passed", [&] { return inSeconds(600); }, [&] { clock.advance(601); }, false},
        {"process runs", [&] { return AwakeEnd::whileRunning(make); }, [] {}, true},
        {"process gone", [&] { return AwakeEnd::whileRunning(make); },
         [&] { processes.running.clear(); }, false},
        {"PID reused", [&] { return AwakeEnd::whileRunning(make); },
         [&] { processes.start(reused); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        processes.start(make);
        start();
        const AwakeEnd end = c.session();
        model->keepAwake().switchOnUntil(end);
        model->saveForRelaunch();
        model->deactivateOnQuit();
        c.meanwhile();

        start();
        const int locksBefore = assertions.createCalls;
        model->restoreAfterRelaunch();
        EXPECT_EQ(assertions.createCalls - locksBefore, c.resumes ? 1 : 0)
            << "an ended session takes no lock, not even for a moment";
        model->applyWatchedApps();
        processes.reportGone();
        scheduler.runPosted();
        EXPECT_EQ(model->isAwake(), c.resumes);
        if (c.resumes) {
            EXPECT_EQ(model->keepAwake().end(), end);
            EXPECT_TRUE(model->keepAwake().isManuallyOn());
        }
        EXPECT_FALSE(defaults.contains("resumeEndAt"));
        EXPECT_FALSE(defaults.contains("resumeEndProcess"));
        model->deactivateOnQuit();
    }
    // A resumed end still fires.
    start();
    model->keepAwake().switchOnUntil(inSeconds(600));
    model->saveForRelaunch();
    model->deactivateOnQuit();
    start();
    model->restoreAfterRelaunch();
    wait(601);
    EXPECT_FALSE(model->isAwake());
}

} // namespace
} // namespace vigilo
