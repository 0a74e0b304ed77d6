#include "platform/linux/process/LinuxProcessWatch.h"

#include "apps/EventLoop.h"

#include <csignal>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vigilo;

namespace {

/// A `sleep` child that the test ends when it likes; killed and reaped at the latest at the end.
class SleepingChild {
public:
    SleepingChild() {
        char program[] = "/bin/sleep";
        char seconds[] = "300";
        char* const arguments[] = {program, seconds, nullptr};
        if (::posix_spawn(&pid_, program, nullptr, nullptr, arguments, environ) != 0) {
            pid_ = -1;
        }
    }
    ~SleepingChild() { end(); }
    SleepingChild(const SleepingChild&) = delete;
    SleepingChild& operator=(const SleepingChild&) = delete;

    [[nodiscard]] pid_t pid() const { return pid_; }
    /// Kills the child; `reap` also collects it, so its PID is free again.
    void end(bool reap = true) {
        if (pid_ > 0 && !killed_) {
            ::kill(pid_, SIGKILL);
            killed_ = true;
        }
        if (pid_ > 0 && reap) {
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    bool killed_ = false;
};

} // namespace

TEST(LinuxProcessWatch, ReadsTheIdentityFromStat) {
    struct Case {
        const char* stat;
        std::optional<ProcessIdentity> expected;
    };
    const Case cases[] = {
        {"42 (make) S 1 42 42 0 -1 4194560 100 0 0 0 1 2 0 0 20 0 1 0 123456 1000 10",
         ProcessIdentity{.pid = 42, .startTime = 123456, .name = "make"}},
        // A name with spaces and parentheses ends at the last ')'.
        {"42 (a) b (c) R 1 42 42 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 99 0 0",
         ProcessIdentity{.pid = 42, .startTime = 99, .name = "a) b (c"}},
        {"42 (make) S 1 42", std::nullopt},
        {"42 make S 1 42 42 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 99 0 0", std::nullopt},
        {"42 (make) S 1 42 42 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 x9 0 0", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LinuxProcessWatch::fromStat(42, c.stat), c.expected) << c.stat;
    }
}

TEST(LinuxProcessWatch, ReportsOnceWhenTheProcessEnds) {
    LinuxProcessWatch watcher;
    SleepingChild child;
    ASSERT_GT(child.pid(), 0);
    const auto identity = watcher.identify(child.pid());
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->name, "sleep");
    EXPECT_EQ(watcher.identify(child.pid()), identity) << "the same process, the same identity";

    int reports = 0;
    const auto watch = watcher.watch(*identity, [&] { ++reports; });
    vigilo::testing::runEventsFor(100);
    EXPECT_EQ(reports, 0) << "still running";
    // Reported when it ends, before anyone reaps it.
    child.end(false);
    EXPECT_TRUE(vigilo::testing::runEventsUntil([&] { return reports > 0; }, 10000));
    child.end();
    vigilo::testing::runEventsFor(100);
    EXPECT_EQ(reports, 1);
}

TEST(LinuxProcessWatch, ReportsSoonForAProcessThatIsNotTheOneIdentified) {
    LinuxProcessWatch watcher;
    SleepingChild child;
    const auto identity = watcher.identify(child.pid());
    ASSERT_TRUE(identity);
    ProcessIdentity earlier = *identity;
    earlier.startTime -= 1;
    child.end();
    for (const ProcessIdentity& gone : {earlier, *identity}) {
        int reports = 0;
        const auto watch = watcher.watch(gone, [&] { ++reports; });
        EXPECT_EQ(reports, 0) << "never from within the call";
        EXPECT_TRUE(vigilo::testing::runEventsUntil([&] { return reports > 0; }, 10000));
    }
    EXPECT_EQ(watcher.identify(child.pid()), std::nullopt);
    EXPECT_EQ(watcher.identify(0), std::nullopt);
}

TEST(LinuxProcessWatch, ADestroyedWatchStaysSilent) {
    LinuxProcessWatch watcher;
    SleepingChild child;
    const auto identity = watcher.identify(child.pid());
    ASSERT_TRUE(identity);
    int reports = 0;
    auto watch = watcher.watch(*identity, [&] { ++reports; });
    watch.reset();
    child.end();
    vigilo::testing::runEventsFor(200);
    EXPECT_EQ(reports, 0);
}
