#include "model/AwakeEnd.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace vigilo::AwakeEndTexts {

namespace {

using std::chrono::seconds;

/// The longest duration accepted: a year, far beyond any job, and far from overflowing.
constexpr seconds longestDuration = std::chrono::hours(24 * 366);

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// Reads exactly `digits` decimal digits (or 1 to `digits` when `exact` is false) at `text`.
std::optional<int> readNumber(std::string_view& text, std::size_t digits, bool exact) {
    std::size_t length = 0;
    while (length < text.size() && length < digits && isDigit(text[length])) {
        ++length;
    }
    if (length == 0 || (exact && length != digits)) {
        return std::nullopt;
    }
    int value = 0;
    std::from_chars(text.data(), text.data() + length, value);
    text.remove_prefix(length);
    return value;
}

bool readChar(std::string_view& text, char expected) {
    if (text.empty() || text.front() != expected) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

std::string twoDigits(unsigned value) {
    std::array<char, 8> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%02u", value % 100);
    return buffer.data();
}

std::chrono::sys_seconds toLocal(TimePoint at, const Clock& clock) {
    return std::chrono::floor<seconds>(at) + clock.utcOffsetAt(at);
}

} // namespace

Parsed<seconds> parseDuration(std::string_view text) {
    const std::string shown(text);
    if (text.empty()) {
        return {.problem = "не задана длительность: например, 90m, 1h30m или 45s"};
    }
    if (text.front() == '-') {
        return {.problem = "длительность «" + shown + "» должна быть больше нуля"};
    }
    constexpr std::array<std::pair<char, seconds>, 3> units{
        {{'h', std::chrono::hours(1)}, {'m', std::chrono::minutes(1)}, {'s', seconds(1)}}};
    std::size_t nextUnit = 0;
    seconds total{0};
    std::string_view rest = text;
    while (!rest.empty()) {
        std::size_t length = 0;
        while (length < rest.size() && isDigit(rest[length])) {
            ++length;
        }
        if (length == 0 || length > 9) {
            return {.problem = "не понимаю длительность «" + shown +
                               "»: нужно число с единицей, например 90m, 1h30m или 45s"};
        }
        long long value = 0;
        std::from_chars(rest.data(), rest.data() + length, value);
        rest.remove_prefix(length);
        if (rest.empty()) {
            return {.problem = "в длительности «" + shown +
                               "» не указана единица: h (часы), m (минуты) или s (секунды)"};
        }
        std::size_t unit = nextUnit;
        while (unit < units.size() && units[unit].first != rest.front()) {
            ++unit;
        }
        if (unit == units.size()) {
            const bool known = rest.front() == 'h' || rest.front() == 'm' || rest.front() == 's';
            return {.problem = known ? "в длительности «" + shown +
                                           "» единицы идут по порядку: часы, минуты, секунды"
                                     : "неизвестная единица «" + std::string(1, rest.front()) +
                                           "» в длительности «" + shown +
                                           "»: используйте h, m или s"};
        }
        rest.remove_prefix(1);
        nextUnit = unit + 1;
        total += units[unit].second * value;
        if (total > longestDuration) {
            return {.problem = "длительность «" + shown + "» длиннее года"};
        }
    }
    if (total <= seconds(0)) {
        return {.problem = "длительность «" + shown + "» должна быть больше нуля"};
    }
    return {.value = total};
}

TimePoint fromLocal(std::chrono::sys_seconds local, const Clock& clock) {
    // The offsets in force a day either side cover any one change of the zone's rules near it.
    const auto before = clock.utcOffsetAt(local - std::chrono::days(1));
    const auto after = clock.utcOffsetAt(local + std::chrono::days(1));
    const TimePoint withBefore = local - before;
    const TimePoint withAfter = local - after;
    const bool beforeHolds = clock.utcOffsetAt(withBefore) == before;
    const bool afterHolds = clock.utcOffsetAt(withAfter) == after;
    if (beforeHolds && afterHolds) {
        return std::min(withBefore, withAfter);
    }
    if (afterHolds) {
        return withAfter;
    }
    // Either only the earlier offset holds, or the time was skipped: read with the offset before
    // the skip, it names the moment as far past the skip as it lay inside it.
    return withBefore;
}

Parsed<TimePoint> parseLocalTime(std::string_view text, TimePoint now, const Clock& clock) {
    const std::string shown(text);
    Parsed<TimePoint> unreadable{.problem = "не понимаю время «" + shown +
                                            "»: нужно ЧЧ:ММ или ГГГГ-ММ-ДД ЧЧ:ММ"};
    std::string_view rest = text;
    std::optional<std::chrono::year_month_day> date;
    if (rest.size() > 5 && rest[4] == '-') {
        const auto year = readNumber(rest, 4, true);
        if (!year || !readChar(rest, '-')) {
            return unreadable;
        }
        const auto month = readNumber(rest, 2, true);
        if (!month || !readChar(rest, '-')) {
            return unreadable;
        }
        const auto day = readNumber(rest, 2, true);
        if (!day || !readChar(rest, ' ')) {
            return unreadable;
        }
        date = std::chrono::year(*year) / std::chrono::month(static_cast<unsigned>(*month)) /
               std::chrono::day(static_cast<unsigned>(*day));
        if (!date->ok()) {
            return {.problem = "нет такой даты: «" + shown + "»"};
        }
    }
    const auto hour = readNumber(rest, 2, false);
    if (!hour || !readChar(rest, ':')) {
        return unreadable;
    }
    const auto minute = readNumber(rest, 2, true);
    if (!minute || !rest.empty()) {
        return unreadable;
    }
    if (*hour > 23 || *minute > 59) {
        return {.problem = "нет такого времени суток: «" + shown + "»"};
    }
    const auto timeOfDay = std::chrono::hours(*hour) + std::chrono::minutes(*minute);
    if (date) {
        const TimePoint at = fromLocal(std::chrono::sys_days(*date) + timeOfDay, clock);
        if (at <= now) {
            return {.problem = "время «" + shown + "» уже прошло"};
        }
        return {.value = at};
    }
    const auto today = std::chrono::floor<std::chrono::days>(toLocal(now, clock));
    for (int day = 0; day < 3; ++day) {
        const TimePoint at = fromLocal(today + std::chrono::days(day) + timeOfDay, clock);
        if (at > now) {
            return {.value = at};
        }
    }
    return unreadable;
}

std::string subtitle(const AwakeEnd& end, TimePoint now, const Clock& clock) {
    switch (end.kind) {
    case AwakeEnd::Kind::None:
        return {};
    case AwakeEnd::Kind::WhileProcess:
        return "пока работает " + end.process.name;
    case AwakeEnd::Kind::At:
        break;
    }
    const auto local = toLocal(end.at, clock);
    const auto day = std::chrono::floor<std::chrono::days>(local);
    const std::chrono::hh_mm_ss clockTime(local - day);
    std::string text = "до ";
    if (end.at - now >= std::chrono::hours(24)) {
        const std::chrono::year_month_day date(day);
        text += twoDigits(static_cast<unsigned>(date.day())) + "." +
                twoDigits(static_cast<unsigned>(date.month())) + " ";
    }
    return text + std::to_string(clockTime.hours().count()) + ":" +
           twoDigits(static_cast<unsigned>(clockTime.minutes().count()));
}

} // namespace vigilo::AwakeEndTexts
