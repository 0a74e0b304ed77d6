#pragma once

#include <cstdint>
#include <string_view>

// Every key of the user's defaults store, with its type, its default and its reading rule.
namespace vigilo::SettingsKeys {

/// How a stored value becomes a boolean. Strict: a boolean, or the integer 0 or 1; anything
/// else gives the fallback. Lenient (the store's own boolean read): absent is false; numbers are
/// true when not 0; texts are true for "true", "yes" (any case) or a non-zero integer.
enum class BoolReading { Strict, Lenient };

struct BoolKey {
    std::string_view name;
    bool fallback;
    BoolReading reading = BoolReading::Strict;
};
struct IntegerKey {
    std::string_view name;
    std::int64_t fallback;
};
/// A date; absent (or of another type) is none.
struct DateKey {
    std::string_view name;
};
/// A list of texts; absent (or of another type) is the empty list.
struct StringListKey {
    std::string_view name;
};
/// Binary data; absent (or of another type) is none.
struct BytesKey {
    std::string_view name;
};

inline constexpr BoolKey soundEnabled{"soundEnabled", true};
inline constexpr BoolKey hidesMetrics{"hidesMetrics", false};
inline constexpr BoolKey keepsAwakeWithLidClosed{"keepsAwakeWithLidClosed", true};
inline constexpr BoolKey turnsScreenOffWithLidClosed{"turnsScreenOffWithLidClosed", true};
inline constexpr IntegerKey batteryThreshold{"batteryThreshold", 20};
inline constexpr BoolKey usesSimpleAnimation{"usesSimpleAnimation", false, BoolReading::Lenient};
inline constexpr BoolKey donationQuestionAnswered{"donationQuestionAnswered", false,
                                                  BoolReading::Lenient};
inline constexpr DateKey donationPostponedAt{"donationPostponedAt"};
inline constexpr DateKey resumeAwakeSince{"resumeAwakeSince"};
inline constexpr BoolKey resumeManuallyOn{"resumeManuallyOn", false, BoolReading::Lenient};
// The end of the resumed session: a time, or the process it lasts for as [PID, start time, name].
inline constexpr DateKey resumeEndAt{"resumeEndAt"};
inline constexpr StringListKey resumeEndProcess{"resumeEndProcess"};
// The watched applications: enabled ids, hidden built-in ids, and the added applications as
// JSON text ([{"name": …, "bundleIDs": […]}, …]).
inline constexpr StringListKey watchedApps{"watchedApps"};
inline constexpr StringListKey hiddenWatchedApps{"hiddenWatchedApps"};
inline constexpr BytesKey customWatchedApps{"customWatchedApps"};

} // namespace vigilo::SettingsKeys
