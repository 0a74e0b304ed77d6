#pragma once

#include "ports/Clock.h"
#include "ports/PlatformWords.h"
#include "ports/PowerSettingsSource.h"

#include <cstdint>
#include <optional>
#include <string>

// The hero's title and subtitle, and the count of half-hour cups. Pure functions of the state.
namespace vigilo::StatusTexts {

/// One cup is half an hour of keep-awake time.
inline constexpr double cupSeconds = 1800;

/// What the texts depend on.
struct State {
    std::optional<TimePoint> awakeSince;
    bool isAwake = false;
    /// The closed-lid mode really holds now: asked for, allowed and taken.
    bool holdsWithLidClosed = false;
    bool canSleep = false;
    std::int64_t displaySleepMinutes = 0;
    PowerValues::Source powerSource = PowerValues::Source::Ac;
};

/// Completed cups plus one (the first cup counts from the first second); 0 when not running.
[[nodiscard]] std::int64_t cupCount(std::optional<TimePoint> awakeSince, TimePoint at);
/// How far the current cup is drunk, in [0, 1); 0 when not running.
[[nodiscard]] double cupFraction(std::optional<TimePoint> awakeSince, TimePoint at);

/// The Russian plural form for `count`: "one", "few" or "many".
[[nodiscard]] const std::string& plural(std::int64_t count, const std::string& one,
                                        const std::string& few, const std::string& many);

/// "5 минут", "1 ч 30 мин", "3 часа".
[[nodiscard]] std::string sleepDelay(std::int64_t minutes);

/// `words` name the machine: "Mac" unless the platform says otherwise.
[[nodiscard]] std::string title(const State& state, TimePoint at, const PlatformWords& words = {});
[[nodiscard]] std::string subtitle(const State& state, const PlatformWords& words = {});
/// The hero button's tooltip: what a click on it does.
[[nodiscard]] std::string toggleHelp(bool isAwake, const PlatformWords& words = {});

} // namespace vigilo::StatusTexts
