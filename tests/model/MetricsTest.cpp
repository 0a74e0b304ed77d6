#include "ModelFixture.h"

namespace vigilo {
namespace {

using MetricsTest = TickingModelTest;

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

TEST_F(MetricsTest, ATickIsOneNotice) {
    stats.ticks = {ticksAt(0, 0), ticksAt(10, 90)};
    tick();
    notices = 0;
    tick();
    ASSERT_EQ(model->metrics().cpuHistory().size(), 1U);
    EXPECT_EQ(notices, 1) << "the history and the figures change together";
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

} // namespace
} // namespace vigilo
