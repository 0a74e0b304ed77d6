#include "platform/qt/QtScheduler.h"

#include "EventLoop.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vigilo {
namespace {

TEST(QtSchedulerTest, PostedWorkRunsOnALaterTurnInOrder) {
    QtScheduler scheduler;
    std::vector<int> ran;
    scheduler.post([&] {
        ran.push_back(1);
        scheduler.post([&] { ran.push_back(3); });
    });
    scheduler.post([&] { ran.push_back(2); });
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(testing::runEventsUntil([&] { return ran.size() == 3; }, 1000));
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

TEST(QtSchedulerTest, DelayedWorkWaitsItsTimeAndPendingWorkDiesWithTheScheduler) {
    auto scheduler = std::make_unique<QtScheduler>();
    QElapsedTimer clock;
    clock.start();
    qint64 ranAfter = -1;
    scheduler->after(0.15, [&] { ranAfter = clock.elapsed(); });
    EXPECT_TRUE(testing::runEventsUntil([&] { return ranAfter >= 0; }, 2000));
    EXPECT_GE(ranAfter, 140);

    bool ran = false;
    scheduler->post([&] { ran = true; });
    scheduler->after(0.01, [&] { ran = true; });
    scheduler.reset();
    testing::runEventsFor(100);
    EXPECT_FALSE(ran);
}

TEST(QtSchedulerTest, HeartbeatWorkRunsTogetherInJoiningOrderUntilItsHandleGoes) {
    QtScheduler scheduler;
    std::vector<char> ran;
    auto first = scheduler.onHeartbeat([&] { ran.push_back('a'); });
    auto second = scheduler.onHeartbeat([&] { ran.push_back('b'); });
    const int beatMs = static_cast<int>(Scheduler::heartbeatSeconds * 1000);
    ASSERT_TRUE(testing::runEventsUntil([&] { return ran.size() >= 4; }, 3 * beatMs + 2000));
    EXPECT_EQ(std::vector<char>(ran.begin(), ran.begin() + 4),
              (std::vector<char>{'a', 'b', 'a', 'b'}));

    second.reset();
    ran.clear();
    ASSERT_TRUE(testing::runEventsUntil([&] { return ran.size() >= 2; }, 2 * beatMs + 2000));
    EXPECT_EQ(ran, (std::vector<char>{'a', 'a'}));
}

} // namespace
} // namespace vigilo
