#include "platform/linux/GnomePowerSettings.h"

#include "system/PowerSettings.h"
#include "util/Text.h"

#include <array>

namespace vigilo {

namespace {

/// gsettings prints numbers in GVariant text form: "uint32 300", "int32 1800" or just "1800".
std::optional<std::int64_t> integerValue(std::string_view printed) {
    constexpr std::array typeNames{"byte", "int16", "uint16", "int32", "uint32", "int64", "uint64"};
    printed = trimmed(printed);
    for (std::string_view type : typeNames) {
        if (printed.starts_with(type) && printed.size() > type.size() &&
            printed[type.size()] == ' ') {
            printed = trimmed(printed.substr(type.size()));
            break;
        }
    }
    return parseInteger(printed);
}

/// Strings come quoted: "'suspend'".
std::optional<std::string> stringValue(std::string_view printed) {
    printed = trimmed(printed);
    if (printed.size() < 2 || printed.front() != '\'' || printed.back() != '\'') {
        return std::nullopt;
    }
    return std::string(printed.substr(1, printed.size() - 2));
}

} // namespace

SleepDelays GnomePowerSettings::read(PowerValues::Source source) const {
    SleepDelays delays;
    std::error_code error;
    if (!std::filesystem::exists(gsettings_, error)) {
        return delays;
    }
    if (const auto idle = get("org.gnome.desktop.session", "idle-delay")) {
        if (const auto seconds = integerValue(*idle)) {
            delays.displayMinutes = minutesFromSeconds(*seconds);
        }
    }
    const std::string power = "org.gnome.settings-daemon.plugins.power";
    const std::string prefix =
        source == PowerValues::Source::Ac ? "sleep-inactive-ac-" : "sleep-inactive-battery-";
    const auto type = get(power, prefix + "type");
    if (type && stringValue(*type) == "nothing") {
        delays.systemMinutes = 0;
    } else if (const auto timeout = get(power, prefix + "timeout")) {
        if (const auto seconds = integerValue(*timeout)) {
            delays.systemMinutes = minutesFromSeconds(*seconds);
        }
    }
    return delays;
}

std::optional<std::string> GnomePowerSettings::get(const std::string& schema,
                                                   const std::string& key) const {
    // A schema that is not installed makes gsettings complain and exit with a failure.
    auto result = runner_.run(gsettings_.string(), {"get", schema, key});
    if (!result || result->exitStatus != 0) {
        return std::nullopt;
    }
    return std::move(result->standardOutput);
}

} // namespace vigilo
