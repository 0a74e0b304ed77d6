#include "model/StatusTexts.h"

#include <algorithm>
#include <cmath>

namespace vigilo {

std::string sourceTitle(PowerValues::Source source) {
    return source == PowerValues::Source::Battery ? "на батарее" : "от сети";
}

} // namespace vigilo

namespace vigilo::StatusTexts {

namespace {

double elapsedSeconds(TimePoint since, TimePoint at) {
    return std::max(0.0, secondsBetween(since, at));
}

} // namespace

std::int64_t cupCount(std::optional<TimePoint> awakeSince, TimePoint at) {
    if (!awakeSince) {
        return 0;
    }
    return static_cast<std::int64_t>(elapsedSeconds(*awakeSince, at) / cupSeconds) + 1;
}

double cupFraction(std::optional<TimePoint> awakeSince, TimePoint at) {
    if (!awakeSince) {
        return 0;
    }
    return std::fmod(elapsedSeconds(*awakeSince, at), cupSeconds) / cupSeconds;
}

const std::string& plural(std::int64_t count, const std::string& one, const std::string& few,
                          const std::string& many) {
    const auto r10 = count % 10;
    const auto r100 = count % 100;
    if (r10 == 1 && r100 != 11) {
        return one;
    }
    if (r10 >= 2 && r10 <= 4 && (r100 < 12 || r100 > 14)) {
        return few;
    }
    return many;
}

std::string sleepDelay(std::int64_t minutes) {
    static const std::string minuteOne = "минуту", minuteFew = "минуты", minuteMany = "минут";
    static const std::string hourOne = "час", hourFew = "часа", hourMany = "часов";
    if (minutes < 60) {
        return std::to_string(minutes) + " " + plural(minutes, minuteOne, minuteFew, minuteMany);
    }
    const auto hours = minutes / 60;
    const auto rest = minutes % 60;
    if (rest != 0) {
        return std::to_string(hours) + " ч " + std::to_string(rest) + " мин";
    }
    return std::to_string(hours) + " " + plural(hours, hourOne, hourFew, hourMany);
}

std::string title(const State& state, TimePoint at, const PlatformWords& words) {
    static const std::string cupOne = "чашку", cupFew = "чашки", cupMany = "чашек";
    const auto count = cupCount(state.awakeSince, at);
    if (count < 1) {
        if (state.canSleep && state.displaySleepMinutes >= 1) {
            return words.willSleepTitle + " " + sleepDelay(state.displaySleepMinutes);
        }
        return words.cannotSleepTitle;
    }
    if (count == 1) {
        return "Пьёт кофе · первая чашка";
    }
    return "Пьёт кофе уже " + std::to_string(count) + " " + plural(count, cupOne, cupFew, cupMany);
}

std::string subtitle(const State& state, const PlatformWords& words) {
    if (state.isAwake) {
        return state.holdsWithLidClosed ? "не спит даже с закрытой крышкой"
                                        : words.computerAtStart + " не уснёт";
    }
    if (state.canSleep && state.displaySleepMinutes >= 1) {
        return sourceTitle(state.powerSource);
    }
    return state.displaySleepMinutes != 0 ? "сон отключён в настройках" : "экран не гаснет";
}

std::string toggleHelp(bool isAwake, const PlatformWords& words) {
    return (isAwake ? "Разрешить " : "Не давать ") + words.computerDative + " засыпать";
}

} // namespace vigilo::StatusTexts
