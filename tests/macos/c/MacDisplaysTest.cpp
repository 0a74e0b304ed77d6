#include "platform/macos/power/MacDisplays.h"

#include "FakeSystem.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace vigilo {
namespace {

using MacDisplaysTest = testing::FakeSystemTest;
using Displays = std::vector<std::pair<CGDirectDisplayID, bool>>;

/// Records the runs it is asked for, from any thread.
class RecordingRunner final : public ProcessRunner {
public:
    std::optional<ProcessResult> run(const std::string& path,
                                     const std::vector<std::string>& arguments) override {
        const std::lock_guard lock(mutex_);
        runs_.push_back(path);
        for (const auto& argument : arguments) {
            runs_.back() += " " + argument;
        }
        return ProcessResult{.standardOutput = {}, .exitStatus = 0};
    }
    std::optional<ProcessResult> runWithin(const std::string& path,
                                           const std::vector<std::string>& arguments,
                                           const RunLimit& /*limit*/) override {
        return run(path, arguments);
    }
    std::vector<std::string> runs() const {
        const std::lock_guard lock(mutex_);
        return runs_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> runs_;
};

TEST_F(MacDisplaysTest, AnyActiveDisplayNotBuiltInIsExternal) {
    struct Case {
        const char* name;
        std::optional<Displays> displays;
        bool external;
    };
    const Case cases[] = {
        {"the built-in panel only", Displays{{1, true}}, false},
        {"lid closed, one monitor", Displays{{7, false}}, true},
        {"panel and monitor", Displays{{1, true}, {7, false}}, true},
        {"no active display", Displays{}, false},
        {"the list cannot be read", std::nullopt, false},
    };
    RecordingRunner runner;
    for (const auto& c : cases) {
        fakeapple::setDisplays(c.displays);
        EXPECT_EQ(MacDisplays(runner).hasExternalDisplay(), c.external) << c.name;
    }
}

TEST_F(MacDisplaysTest, TurnsTheScreenOffThroughThePowerTool) {
    RecordingRunner runner;
    {
        MacDisplays displays(runner);
        displays.turnScreenOff();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (runner.runs().empty() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    EXPECT_EQ(runner.runs(), std::vector<std::string>{"/usr/bin/pmset displaysleepnow"});
}

} // namespace
} // namespace vigilo
