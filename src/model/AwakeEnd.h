#pragma once

#include "ports/Clock.h"
#include "ports/ProcessWatch.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vigilo {

/// When a keep-awake session ends by itself: never, at a time, or when a process ends.
struct AwakeEnd {
    enum class Kind { None, At, WhileProcess };
    Kind kind = Kind::None;
    /// For `At`.
    TimePoint at{};
    /// For `WhileProcess`.
    ProcessIdentity process{};

    [[nodiscard]] static AwakeEnd atTime(TimePoint time) { return {.kind = Kind::At, .at = time}; }
    [[nodiscard]] static AwakeEnd whileRunning(ProcessIdentity running) {
        return {.kind = Kind::WhileProcess, .process = std::move(running)};
    }
    [[nodiscard]] bool isSet() const { return kind != Kind::None; }
    bool operator==(const AwakeEnd&) const = default;
};

/// A value read from what the user typed, or the reason it could not be, in Russian.
template <typename T> struct Parsed {
    std::optional<T> value{};
    std::string problem{};
};

// Reading the end a user types, and writing it for the status texts. Local time comes from the
// clock's zone, so daylight-saving changes count.
namespace AwakeEndTexts {

/// "90m", "1h30m", "2h", "45s": hours, minutes and seconds in that order, each at most once,
/// adding up to more than zero.
[[nodiscard]] Parsed<std::chrono::seconds> parseDuration(std::string_view text);

/// "18:00": the next moment after `now` at which the local clock shows that time; or
/// "2026-12-09 18:00", which must lie after `now`. A local time skipped by a daylight-saving
/// change means the moment after the skip; one that occurs twice, the first of the two.
[[nodiscard]] Parsed<TimePoint> parseLocalTime(std::string_view text, TimePoint now,
                                               const Clock& clock);

/// The moment at which the local clock shows `local` (a local date and time written as if it
/// were UTC), by the rules of `parseLocalTime`.
[[nodiscard]] TimePoint fromLocal(std::chrono::sys_seconds local, const Clock& clock);

/// The hero's subtitle while a session has an end: "до 18:00" (with the date, "до 10.12
/// 18:00", when the end is not within the coming day), or "пока работает make".
[[nodiscard]] std::string subtitle(const AwakeEnd& end, TimePoint now, const Clock& clock);

} // namespace AwakeEndTexts

} // namespace vigilo
