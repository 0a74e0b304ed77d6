#include "platform/macos/powersettings/MacPowerSettingsSource.h"

#include "fakes/FakeProcessRunner.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vigilo {
namespace {

std::string fixture(const std::string& name) {
    std::ifstream file(std::string(VIGILO_TEST_DATA) + "/pmset/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void setOutputs(fakes::FakeProcessRunner& runner) {
    runner.outputs[{"-g", "custom"}] = fixture("custom-both.txt");
    runner.outputs[{"-g", "batt"}] = fixture("batt-battery.txt");
    runner.outputs[{"-g"}] = fixture("general-disabled-tabs.txt");
}

TEST(MacPowerSettingsSource, ReadsPmsetOffTheCallersThreadAndAnswersOnItLater) {
    fakes::FakeProcessRunner runner;
    setOutputs(runner);
    MacPowerSettingsSource source(runner);
    std::vector<PowerValues> first;
    std::vector<PowerValues> second;
    source.read([&](PowerValues values) { first.push_back(values); });
    // A second read while the first runs shares its result.
    source.read([&](PowerValues values) { second.push_back(values); });
    EXPECT_TRUE(first.empty());
    const QDeadlineTimer deadline(30000);
    while (second.empty() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    const PowerValues expected{2, 5, true, PowerValues::Source::Battery};
    EXPECT_EQ(first, std::vector<PowerValues>{expected});
    EXPECT_EQ(second, std::vector<PowerValues>{expected});
    EXPECT_EQ(runner.calls.size(), 3U);
}

TEST(MacPowerSettingsSource, NeverAnswersOnceDestroyed) {
    fakes::FakeProcessRunner runner;
    setOutputs(runner);
    bool answered = false;
    {
        MacPowerSettingsSource source(runner);
        source.read([&](PowerValues /*values*/) { answered = true; });
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(answered);
}

} // namespace
} // namespace vigilo
