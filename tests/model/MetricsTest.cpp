#include "ModelFixture.h"

namespace vigilo {
namespace {

CpuTicks ticksAt(std::uint32_t busy, std::uint32_t idle) {
    return {busy, 0, idle, 0};
}

PowerSource batteryAt(std::int64_t percent, bool onAC) {
    return {.kind = PowerSource::Kind::InternalBattery,
            .charge = percent,
            .capacity = 100,
            .onExternalPower = onAC};
}

class MetricsTest : public AwakeModelTest {
protected:
    void tick() {
        clock.advance(2);
        model->refreshStats();
    }
    void onBattery(std::int64_t percent, bool onAC = false) {
        stats.sources = {batteryAt(percent, onAC)};
    }
};

TEST_F(MetricsTest, CpuHistoryKeepsTheLastThirtySamplesOldestFirst) {
    std::uint32_t busy = 0;
    for (int i = 1; i <= 31; ++i) {
        busy += static_cast<std::uint32_t>(i);
        stats.ticks.push_back(ticksAt(busy, static_cast<std::uint32_t>(100 * i)));
        tick();
    }
    // The counters were all zero when start-up primed them, so every tick had a load.
    const auto& history = model->metrics().cpuHistory();
    ASSERT_EQ(history.size(), 30U);
    EXPECT_DOUBLE_EQ(history.front(), 2.0 / 102.0) << "the first sample fell out";
    EXPECT_DOUBLE_EQ(history.back(), 31.0 / 131.0);
}

TEST_F(MetricsTest, NoLoadYetAddsNoHistory) {
    tick(); // no CPU reading at all
    EXPECT_TRUE(model->metrics().cpuHistory().empty());
}

TEST_F(MetricsTest, FiguresArePublishedOnEveryTickChangedOrNot) {
    stats.addresses = {{"en0", true, false, InterfaceAddress::Family::IPv4, "192.168.1.20"}};
    stats.volume = VolumeCapacity{100, 400};
    tick();
    EXPECT_EQ(model->metrics().localIP(), "192.168.1.20");
    EXPECT_EQ(model->metrics().disk(), (DiskSpace{100, 400}));
    EXPECT_FALSE(model->metrics().battery());
    notices = 0;
    tick();
    EXPECT_GE(notices, 1);
    stats.addresses.clear();
    tick();
    EXPECT_FALSE(model->metrics().localIP());
}

TEST_F(MetricsTest, OneLookupAtATimeAndTheAddressIsTrimmed) {
    model->metrics().fetchExternalIP();
    model->metrics().fetchExternalIP();
    ASSERT_EQ(http.urls.size(), 1U);
    EXPECT_TRUE(model->metrics().isFetchingExternalIP());
    http.answer(" 203.0.113.7\n");
    EXPECT_FALSE(model->metrics().isFetchingExternalIP());
    EXPECT_EQ(model->metrics().externalIP(), "203.0.113.7");
    EXPECT_FALSE(model->metrics().didExternalIPFail());
}

TEST_F(MetricsTest, BadAnswersFailAndKeepTheOldAddress) {
    model->metrics().fetchExternalIP();
    http.answer("203.0.113.7");
    for (const std::optional<std::string>& body :
         {std::optional<std::string>(" \n"), std::optional<std::string>("\xFF\xFE"),
          std::optional<std::string>("<html>blocked</html>"), std::optional<std::string>()}) {
        model->metrics().fetchExternalIP();
        http.answer(body);
        EXPECT_TRUE(model->metrics().didExternalIPFail());
        EXPECT_FALSE(model->metrics().isFetchingExternalIP());
        EXPECT_EQ(model->metrics().externalIP(), "203.0.113.7");
    }
    model->metrics().fetchExternalIP();
    EXPECT_FALSE(model->metrics().didExternalIPFail()) << "a retry starts afresh";
}

TEST_F(MetricsTest, NewerCopyOwnsTheConfirmation) {
    model->metrics().copyIP("192.168.1.20");
    EXPECT_EQ(desktop.clipboard, "192.168.1.20");
    scheduler.advance(0.5);
    model->metrics().copyIP("203.0.113.7");
    scheduler.advance(0.5);
    EXPECT_EQ(model->metrics().copiedIP(), "203.0.113.7") << "the first copy's clear does nothing";
    scheduler.advance(0.5);
    EXPECT_FALSE(model->metrics().copiedIP());
}

TEST_F(MetricsTest, BatteryStopSpeaksLinuxAndFollowsTheSoundSwitch) {
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

TEST_F(MetricsTest, BatteryStopAtTheThresholdOnBatteryOnly) {
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

TEST_F(MetricsTest, BatteryStopDoesNotLatch) {
    onBattery(10);
    tick();
    EXPECT_TRUE(desktop.notifications.empty()) << "not awake: nothing to stop";
    model->toggle();
    tick();
    model->toggle();
    tick();
    EXPECT_EQ(desktop.notifications.size(), 2U);
}

TEST_F(MetricsTest, BatteryStopWhileAWatchedAppRunsSuppressesIt) {
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

TEST_F(MetricsTest, BatteryStopRestoresSystemSleep) {
    lid.installed = true;
    model->toggle();
    ASSERT_TRUE(lid.sleepDisabled);
    onBattery(20);
    tick();
    EXPECT_FALSE(lid.sleepDisabled);
}

TEST_F(MetricsTest, ThresholdCyclesThroughItsList) {
    const std::vector<std::pair<std::int64_t, std::int64_t>> steps{{50, 0},  {25, 10}, {0, 10},
                                                                   {10, 20}, {20, 30}, {30, 50}};
    for (const auto& [from, to] : steps) {
        model->batteryStop().setBatteryThreshold(from);
        model->batteryStop().cycleBatteryThreshold();
        EXPECT_EQ(model->batteryStop().batteryThreshold(), to) << "from " << from;
    }
}

TEST_F(MetricsTest, DonationIsAskedFromTheFourthCup) {
    model->toggle();
    clock.advance(89 * 60 - 2);
    tick();
    EXPECT_FALSE(model->donationQuestion().isAskingForDonation());
    clock.advance(58);
    tick();
    EXPECT_TRUE(model->donationQuestion().isAskingForDonation());

    model->toggle();
    EXPECT_TRUE(model->donationQuestion().isAskingForDonation()) << "the bar stays until answered";
}

TEST_F(MetricsTest, PostponedDonationComesBackTwoHoursLater) {
    model->toggle();
    clock.advance(90 * 60);
    tick();
    model->donationQuestion().postponeDonationQuestion();
    clock.advance(7200 - 10);
    tick();
    EXPECT_FALSE(model->donationQuestion().isAskingForDonation());
    clock.advance(10);
    tick();
    EXPECT_TRUE(model->donationQuestion().isAskingForDonation());
}

TEST_F(MetricsTest, AnsweredDonationOpensThePageOnceAndNeverReturns) {
    model->toggle();
    clock.advance(90 * 60);
    tick();
    model->donationQuestion().answerDonationQuestion(true);
    ASSERT_EQ(desktop.openedUrls.size(), 1U);
    EXPECT_TRUE(desktop.openedUrls[0].starts_with("https://"));

    start();
    model->toggle();
    clock.advance(5 * 3600);
    tick();
    EXPECT_FALSE(model->donationQuestion().isAskingForDonation());
    EXPECT_EQ(desktop.openedUrls.size(), 1U);
}

} // namespace
} // namespace vigilo
