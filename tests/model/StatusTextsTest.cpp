#include "model/StatusTexts.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

using StatusTexts::State;

const TimePoint noon =
    std::chrono::sys_days(std::chrono::year(2026) / 5 / 4) + std::chrono::hours(12);

State awakeFor(std::chrono::seconds elapsed) {
    State state;
    state.isAwake = true;
    state.awakeSince = noon - elapsed;
    return state;
}

TEST(CupCount, CountsCompletedHalfHoursPlusOne) {
    using std::chrono::minutes;
    using std::chrono::seconds;
    EXPECT_EQ(StatusTexts::cupCount(std::nullopt, noon), 0);
    EXPECT_EQ(StatusTexts::cupCount(noon - seconds(10), noon), 1);
    EXPECT_EQ(StatusTexts::cupCount(noon - seconds(1799), noon), 1);
    EXPECT_EQ(StatusTexts::cupCount(noon - seconds(1800), noon), 2);
    EXPECT_EQ(StatusTexts::cupCount(noon - minutes(130), noon), 5);
    EXPECT_EQ(StatusTexts::cupCount(noon - minutes(605), noon), 21);
}

TEST(CupCount, ClockSetBackCountsAsTheFirstSecond) {
    const auto future = noon + std::chrono::minutes(5);
    EXPECT_EQ(StatusTexts::cupCount(future, noon), 1);
    EXPECT_EQ(StatusTexts::cupFraction(future, noon), 0.0);
}

TEST(CupCount, FractionOfTheCurrentCup) {
    EXPECT_EQ(StatusTexts::cupFraction(std::nullopt, noon), 0.0);
    EXPECT_DOUBLE_EQ(StatusTexts::cupFraction(noon - std::chrono::seconds(450), noon), 0.25);
    EXPECT_DOUBLE_EQ(StatusTexts::cupFraction(noon - std::chrono::seconds(1800 + 900), noon), 0.5);
}

TEST(RussianPlural, ChoosesOneFewMany) {
    const std::string one = "чашку", few = "чашки", many = "чашек";
    const std::vector<std::pair<int, std::string>> cases = {
        {1, one},  {2, few},  {5, many},  {11, many}, {12, many},  {14, many},
        {21, one}, {22, few}, {25, many}, {101, one}, {111, many}, {0, many},
    };
    for (const auto& [count, expected] : cases) {
        EXPECT_EQ(StatusTexts::plural(count, one, few, many), expected) << count;
    }
}

TEST(SleepDelay, MinutesHoursAndMixed) {
    EXPECT_EQ(StatusTexts::sleepDelay(1), "1 минуту");
    EXPECT_EQ(StatusTexts::sleepDelay(3), "3 минуты");
    EXPECT_EQ(StatusTexts::sleepDelay(11), "11 минут");
    EXPECT_EQ(StatusTexts::sleepDelay(21), "21 минуту");
    EXPECT_EQ(StatusTexts::sleepDelay(60), "1 час");
    EXPECT_EQ(StatusTexts::sleepDelay(90), "1 ч 30 мин");
    EXPECT_EQ(StatusTexts::sleepDelay(180), "3 часа");
    EXPECT_EQ(StatusTexts::sleepDelay(300), "5 часов");
    EXPECT_EQ(StatusTexts::sleepDelay(1320), "22 часа");
}

TEST(StatusTitle, CountsCupsWhileAwake) {
    using std::chrono::minutes;
    EXPECT_EQ(StatusTexts::title(awakeFor(std::chrono::seconds(10)), noon),
              "Пьёт кофе · первая чашка");
    EXPECT_EQ(StatusTexts::title(awakeFor(minutes(45)), noon), "Пьёт кофе уже 2 чашки");
    EXPECT_EQ(StatusTexts::title(awakeFor(minutes(130)), noon), "Пьёт кофе уже 5 чашек");
    EXPECT_EQ(StatusTexts::title(awakeFor(minutes(605)), noon), "Пьёт кофе уже 21 чашку");
    EXPECT_EQ(StatusTexts::title(awakeFor(minutes(300 + 1)), noon), "Пьёт кофе уже 11 чашек");
    EXPECT_EQ(StatusTexts::title(awakeFor(minutes(330 + 1)), noon), "Пьёт кофе уже 12 чашек");
}

TEST(StatusTitle, SaysWhenAnIdleComputerWillSleep) {
    State state;
    state.canSleep = true;
    state.displaySleepMinutes = 90;
    EXPECT_EQ(StatusTexts::title(state, noon), "Mac уснёт через 1 ч 30 мин");
    EXPECT_EQ(StatusTexts::subtitle(state), "от сети");
    state.powerSource = PowerValues::Source::Battery;
    EXPECT_EQ(StatusTexts::subtitle(state), "на батарее");
}

TEST(StatusTitle, ComputerThatCannotSleep) {
    State state;
    state.canSleep = false;
    state.displaySleepMinutes = 10;
    EXPECT_EQ(StatusTexts::title(state, noon), "Твой Mac не может спать");
    EXPECT_EQ(StatusTexts::subtitle(state), "сон отключён в настройках");

    state.canSleep = true;
    state.displaySleepMinutes = 0;
    EXPECT_EQ(StatusTexts::title(state, noon), "Твой Mac не может спать");
    EXPECT_EQ(StatusTexts::subtitle(state), "экран не гаснет");
}

TEST(StatusSubtitle, ClaimsTheClosedLidOnlyWhileTheLidModeHolds) {
    auto state = awakeFor(std::chrono::minutes(1));
    EXPECT_EQ(StatusTexts::subtitle(state), "Mac не уснёт");
    EXPECT_EQ(StatusTexts::subtitle(state, linuxWords()), "Компьютер не уснёт");
    state.holdsWithLidClosed = true;
    EXPECT_EQ(StatusTexts::subtitle(state), "не спит даже с закрытой крышкой");
}

TEST(StatusTitle, LinuxWordsLeaveTheLongNameOutOfTheIdleTitles) {
    State state;
    state.canSleep = true;
    state.displaySleepMinutes = 5;
    EXPECT_EQ(StatusTexts::title(state, noon, linuxWords()), "Уснёт через 5 минут");
    state.canSleep = false;
    EXPECT_EQ(StatusTexts::title(state, noon, linuxWords()), "Компьютер не может спать");
}

TEST(ToggleHelp, SaysWhatAClickDoesInThePlatformsWords) {
    EXPECT_EQ(StatusTexts::toggleHelp(true), "Разрешить Mac засыпать");
    EXPECT_EQ(StatusTexts::toggleHelp(false), "Не давать Mac засыпать");
    EXPECT_EQ(StatusTexts::toggleHelp(true, linuxWords()), "Разрешить компьютеру засыпать");
    EXPECT_EQ(StatusTexts::toggleHelp(false, linuxWords()), "Не давать компьютеру засыпать");
}

} // namespace
} // namespace vigilo
