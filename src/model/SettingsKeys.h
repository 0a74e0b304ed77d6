#pragma once

#include <cstdint>
#include <string_view>

// Every key of the user's defaults store that the model owns, with its type and its default.
namespace vigilo::SettingsKeys {

struct BoolKey {
    std::string_view name;
    bool fallback;
};
struct IntegerKey {
    std::string_view name;
    std::int64_t fallback;
};
struct DateKey {
    std::string_view name;
};

inline constexpr BoolKey soundEnabled{"soundEnabled", true};
inline constexpr BoolKey hidesMetrics{"hidesMetrics", false};
inline constexpr BoolKey keepsAwakeWithLidClosed{"keepsAwakeWithLidClosed", true};
inline constexpr BoolKey turnsScreenOffWithLidClosed{"turnsScreenOffWithLidClosed", true};
inline constexpr IntegerKey batteryThreshold{"batteryThreshold", 20};
inline constexpr BoolKey usesSimpleAnimation{"usesSimpleAnimation", false};
inline constexpr BoolKey donationQuestionAnswered{"donationQuestionAnswered", false};
inline constexpr DateKey donationPostponedAt{"donationPostponedAt"};
inline constexpr DateKey resumeAwakeSince{"resumeAwakeSince"};
inline constexpr BoolKey resumeManuallyOn{"resumeManuallyOn", false};
/// The user allowed closed-lid mode where the system needs no administrator rule for it (Linux):
/// the permission is this stored consent.
inline constexpr BoolKey lidModeGranted{"lidModeGranted", false};

} // namespace vigilo::SettingsKeys
