#include "model/AwakeEnd.h"

#include "fakes/FakeClock.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

/// Central European time in 2026: +1 h, and +2 h from 29 March 01:00 UTC (02:00 local becomes
/// 03:00) to 25 October 01:00 UTC (03:00 local becomes 02:00 again).
seconds berlin(TimePoint at) {
    const TimePoint summerStarts = sys_days(2026y / March / 29) + 1h;
    const TimePoint summerEnds = sys_days(2026y / October / 25) + 1h;
    return at >= summerStarts && at < summerEnds ? 2h : 1h;
}

/// A UTC time point from a date and a time of day.
TimePoint utc(sys_days date, minutes timeOfDay) {
    return date + timeOfDay;
}

TEST(AwakeEndTexts, ReadsDurationsAndRefusesWhatIsNotOne) {
    struct Case {
        const char* text;
        std::optional<seconds> expected;
        const char* problemPart;
    };
    const Case cases[] = {
        {"90m", 90min, ""},
        {"1h30m", 90min, ""},
        {"2h", 2h, ""},
        {"45s", 45s, ""},
        {"1h0m5s", 1h + 5s, ""},
        {"0h1s", 1s, ""},
        {"0m", std::nullopt, "больше нуля"},
        {"0h0m0s", std::nullopt, "больше нуля"},
        {"-5m", std::nullopt, "больше нуля"},
        {"5x", std::nullopt, "неизвестная единица «x»"},
        {"5d", std::nullopt, "неизвестная единица «d»"},
        {"90", std::nullopt, "не указана единица"},
        {"1h30", std::nullopt, "не указана единица"},
        {"30m1h", std::nullopt, "по порядку"},
        {"1h1h", std::nullopt, "по порядку"},
        {"m", std::nullopt, "не понимаю"},
        {"1.5h", std::nullopt, "неизвестная единица «.»"},
        {" 5m", std::nullopt, "не понимаю"},
        {"", std::nullopt, "не задана"},
        {"9000h", std::nullopt, "длиннее года"},
        {"99999999999s", std::nullopt, "не понимаю"},
    };
    for (const auto& c : cases) {
        const auto parsed = AwakeEndTexts::parseDuration(c.text);
        EXPECT_EQ(parsed.value, c.expected) << c.text;
        if (c.expected) {
            EXPECT_EQ(parsed.problem, "") << c.text;
        } else {
            EXPECT_NE(parsed.problem.find(c.problemPart), std::string::npos)
                << c.text << ": " << parsed.problem;
        }
    }
}

TEST(AwakeEndTexts, ReadsLocalTimesAsTheNextSuchMomentAcrossMidnightAndDaylightSaving) {
    fakes::FakeClock clock;
    clock.zone = berlin;
    struct Case {
        const char* text;
        TimePoint now;
        std::optional<TimePoint> expected;
        const char* problemPart;
    };
    const auto winterDay = 2026y / January / 15;
    const auto springChange = 2026y / March / 29;
    const auto autumnChange = 2026y / October / 25;
    const Case cases[] = {
        // Later today (local 10:00 is 09:00 UTC in winter).
        {"18:00", utc(winterDay, 9h), utc(winterDay, 17h), ""},
        {"9:05", utc(winterDay, 7h), utc(winterDay, 8h + 5min), ""},
        // Past for today: tomorrow; the present minute counts as past.
        {"08:00", utc(winterDay, 9h), utc(sys_days(winterDay) + days(1), 7h), ""},
        {"10:00", utc(winterDay, 9h), utc(sys_days(winterDay) + days(1), 9h), ""},
        // Midnight, and just past it.
        {"00:00", utc(winterDay, 22h), utc(winterDay, 23h), ""},
        {"0:30", utc(winterDay, 23h + 10min), utc(winterDay, 23h + 30min), ""},
        // Across the spring change tomorrow's 18:00 is 23 hours away, not 24.
        {"18:00", utc(2026y / March / 28, 17h + 30min), utc(springChange, 16h), ""},
        // 02:30 does not exist on the spring change: the moment after the skip, 03:30 CEST.
        {"02:30", utc(springChange, 0h), utc(springChange, 1h + 30min), ""},
        // 02:30 happens twice on the autumn change: the first, still summer time.
        {"02:30", utc(autumnChange, 0h), utc(autumnChange, 30min), ""},
        // With a date.
        {"2026-12-09 18:00", utc(winterDay, 9h), utc(2026y / December / 9, 17h), ""},
        {"2026-07-01 00:00", utc(winterDay, 9h), utc(2026y / June / 30, 22h), ""},
        {"2026-01-15 09:00", utc(winterDay, 9h), std::nullopt, "уже прошло"},
        {"2026-02-30 10:00", utc(winterDay, 9h), std::nullopt, "нет такой даты"},
        {"24:00", utc(winterDay, 9h), std::nullopt, "нет такого времени"},
        {"12:60", utc(winterDay, 9h), std::nullopt, "нет такого времени"},
        {"18", utc(winterDay, 9h), std::nullopt, "не понимаю время"},
        {"18:0", utc(winterDay, 9h), std::nullopt, "не понимаю время"},
        {"6pm", utc(winterDay, 9h), std::nullopt, "не понимаю время"},
        {"18:00 ", utc(winterDay, 9h), std::nullopt, "не понимаю время"},
        {"2026-1-15 10:00", utc(winterDay, 9h), std::nullopt, "не понимаю время"},
        {"2026-12-09T18:00", utc(winterDay, 9h), std::nullopt, "не понимаю время"},
        {"", utc(winterDay, 9h), std::nullopt, "не понимаю время"},
    };
    for (const auto& c : cases) {
        const auto parsed = AwakeEndTexts::parseLocalTime(c.text, c.now, clock);
        EXPECT_EQ(parsed.value, c.expected) << c.text;
        if (!c.expected) {
            EXPECT_NE(parsed.problem.find(c.problemPart), std::string::npos)
                << c.text << ": " << parsed.problem;
        }
    }
}

TEST(AwakeEndTexts, SubtitleNamesTheLocalTimeOrTheProcess) {
    fakes::FakeClock clock;
    clock.zone = berlin;
    const TimePoint now = utc(2026y / July / 1, 8h);
    EXPECT_EQ(AwakeEndTexts::subtitle(AwakeEnd::atTime(utc(2026y / July / 1, 16h)), now, clock),
              "до 18:00");
    EXPECT_EQ(
        AwakeEndTexts::subtitle(AwakeEnd::atTime(utc(2026y / July / 1, 23h + 5min)), now, clock),
        "до 1:05");
    EXPECT_EQ(AwakeEndTexts::subtitle(AwakeEnd::atTime(utc(2026y / July / 3, 16h)), now, clock),
              "до 03.07 18:00");
    EXPECT_EQ(
        AwakeEndTexts::subtitle(AwakeEnd::whileRunning({.pid = 42, .name = "make"}), now, clock),
        "пока работает make");
}

} // namespace
} // namespace vigilo
