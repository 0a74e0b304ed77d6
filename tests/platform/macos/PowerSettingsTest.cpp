#include "platform/macos/powersettings/PowerSettings.h"

#include "fakes/FakeProcessRunner.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vigilo {
namespace {

using PowerSettings::Sections;
using Source = PowerValues::Source;

std::string fixture(const std::string& name) {
    std::ifstream file(std::string(VIGILO_TEST_DATA) + "/pmset/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    EXPECT_TRUE(file.good() || file.eof()) << name;
    return text.str();
}

TEST(PowerSettingsParse, ReadsSectionsAndSkipsWhatIsNotAnInteger) {
    const auto sections = PowerSettings::parse(fixture("custom-both.txt"));
    ASSERT_EQ(sections.size(), 2U);
    const auto& battery = sections.at("Battery Power");
    EXPECT_EQ(battery.at("sleep"), 5) << "a remark after the value is ignored";
    EXPECT_EQ(battery.at("displaysleep"), 2);
    EXPECT_FALSE(battery.contains("hibernatefile")) << "a file path stores nothing";
    EXPECT_EQ(sections.at("AC Power").at("displaysleep"), 15);
}

TEST(PowerSettingsParse, MalformedLinesAreSkippedOneByOne) {
    const auto sections = PowerSettings::parse("displaysleep 3\n" // before any heading
                                               "AC Power:\n"
                                               "\tsleep\t\t7\n"              // tabs separate too
                                               " lonely\n"                   // one word
                                               " big 99999999999999999999\n" // beyond 64 bits
                                               " plus +4\n"
                                               " minus -5\n"
                                               " odd 4x\n"
                                               " twice 1\n twice 2\n");
    const auto& ac = sections.at("AC Power");
    EXPECT_EQ(ac, (std::map<std::string, std::int64_t>{
                      {"sleep", 7}, {"plus", 4}, {"minus", -5}, {"twice", 2}}));
}

TEST(PowerSettingsParse, RepeatedHeadingEmptiesItsSection) {
    const auto sections = PowerSettings::parse("AC Power:\n sleep 1\nAC Power:\n displaysleep 2\n");
    EXPECT_EQ(sections.at("AC Power"), (std::map<std::string, std::int64_t>{{"displaysleep", 2}}));
}

TEST(PowerSettingsSource, FirstDrawingLineDecides) {
    EXPECT_EQ(PowerSettings::parseSource(fixture("batt-battery.txt")), Source::Battery);
    EXPECT_EQ(PowerSettings::parseSource(fixture("batt-ac.txt")), Source::Ac);
    EXPECT_EQ(PowerSettings::parseSource("nothing here\n"), Source::Ac);
    EXPECT_EQ(PowerSettings::parseSource(""), Source::Ac);
    EXPECT_EQ(PowerSettings::parseSource(
                  "Now drawing from 'AC Power'\nNow drawing from 'Battery Power'\n"),
              Source::Ac);
    EXPECT_EQ(PowerSettings::sourceFromRawValue("Battery Power"), Source::Battery);
    EXPECT_FALSE(PowerSettings::sourceFromRawValue("battery power"));
}

TEST(PowerSettingsSleepDisabled, ReadsTheFirstLineWhetherTabsOrSpacesSeparate) {
    EXPECT_TRUE(PowerSettings::parseSleepDisabled(fixture("general-disabled-tabs.txt")));
    EXPECT_TRUE(PowerSettings::parseSleepDisabled(fixture("general-disabled-spaces.txt")));
    EXPECT_FALSE(PowerSettings::parseSleepDisabled(fixture("general-enabled-then-second.txt")));
    EXPECT_FALSE(PowerSettings::parseSleepDisabled(" SleepDisabled\n"));
    EXPECT_FALSE(PowerSettings::parseSleepDisabled(" SleepDisabled yes\n"));
    EXPECT_FALSE(PowerSettings::parseSleepDisabled(""));
}

TEST(PowerSettingsValues, OwnSectionThenFallbackThenDefaults) {
    const auto onBattery = PowerSettings::valuesFrom(
        "Battery Power:\n displaysleep 2\nAC Power:\n displaysleep 15\n sleep 30\n",
        fixture("batt-battery.txt"), "");
    EXPECT_EQ(onBattery.displaySleepMinutes, 2);
    EXPECT_EQ(onBattery.systemSleepMinutes, 30) << "missing on battery, taken from the fallback";
    EXPECT_EQ(onBattery.source, Source::Battery);

    const auto acOnlyOnBattery =
        PowerSettings::valuesFrom(fixture("custom-ac-only.txt"), fixture("batt-battery.txt"), "");
    EXPECT_EQ(acOnlyOnBattery.displaySleepMinutes, 15);
    EXPECT_EQ(acOnlyOnBattery.systemSleepMinutes, 30);
    EXPECT_TRUE(acOnlyOnBattery.canSleep());
}

TEST(PowerSettingsValues, EmptyOutputsGiveTheDefaults) {
    const auto values = PowerSettings::valuesFrom("", "", "");
    EXPECT_EQ(values, (PowerValues{10, 0, false, Source::Ac}));
    EXPECT_FALSE(values.canSleep());
}

TEST(PowerSettingsValues, CanSleepNeedsBothDelaysAndNoSystemSwitch) {
    EXPECT_TRUE((PowerValues{10, 30, false, Source::Ac}).canSleep());
    EXPECT_FALSE((PowerValues{0, 30, false, Source::Ac}).canSleep());
    EXPECT_FALSE((PowerValues{10, -1, false, Source::Ac}).canSleep());
    EXPECT_FALSE((PowerValues{10, 30, true, Source::Ac}).canSleep());
}

TEST(PowerSettingsTool, RunsPmsetThreeTimesInOrderAndSurvivesAMissingTool) {
    fakes::FakeProcessRunner runner;
    runner.outputs[{"-g", "custom"}] = fixture("custom-both.txt");
    runner.outputs[{"-g", "batt"}] = fixture("batt-battery.txt");
    runner.outputs[{"-g"}] = fixture("general-disabled-tabs.txt");
    PmsetPowerSettings reader(runner);
    const auto values = reader.current();
    ASSERT_EQ(runner.calls.size(), 3U);
    EXPECT_EQ(runner.calls[0].path, "/usr/bin/pmset");
    EXPECT_EQ(runner.calls[0].arguments, (std::vector<std::string>{"-g", "custom"}));
    EXPECT_EQ(runner.calls[1].arguments, (std::vector<std::string>{"-g", "batt"}));
    EXPECT_EQ(runner.calls[2].arguments, std::vector<std::string>{"-g"});
    EXPECT_EQ(values, (PowerValues{2, 5, true, Source::Battery}));

    fakes::FakeProcessRunner missing;
    EXPECT_EQ(PmsetPowerSettings(missing).current(), PowerValues{});
}

TEST(PowerSettingsTool, InvalidUtf8IsReplacedNotRejected) {
    fakes::FakeProcessRunner runner;
    runner.outputs[{"-g", "batt"}] = "Now drawing from \xFF'Battery Power'\n";
    EXPECT_EQ(PmsetPowerSettings(runner).currentSource(), Source::Battery);
}

} // namespace
} // namespace vigilo
