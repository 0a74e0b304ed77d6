#include "platform/linux/powersettings/KdePowerSettings.h"

#include "platform/linux/settings/IniFile.h"
#include "util/Text.h"

namespace vigilo {

namespace {

std::optional<std::int64_t> integerValue(const IniFile& file, const std::string& group,
                                         const std::string& key) {
    const auto text = file.value(group, key);
    return text ? parseInteger(*text) : std::nullopt;
}

/// Plasma 6 writes only what differs from its built-in defaults, so a missing key stays unread.
SleepDelays readPlasma6(const IniFile& file, const std::string& profile) {
    SleepDelays delays;
    const std::string display = profile + "/Display";
    if (file.value(display, "TurnOffDisplayWhenIdle") == "false") {
        delays.displayMinutes = 0;
    } else if (const auto seconds = integerValue(file, display, "TurnOffDisplayIdleTimeoutSec")) {
        delays.displayMinutes = minutesFromSeconds(*seconds);
    }
    const std::string suspend = profile + "/SuspendAndShutdown";
    if (integerValue(file, suspend, "AutoSuspendAction") == 0) { // 0: do nothing
        delays.systemMinutes = 0;
    } else if (const auto seconds = integerValue(file, suspend, "AutoSuspendIdleTimeoutSec")) {
        delays.systemMinutes = minutesFromSeconds(*seconds);
    }
    return delays;
}

/// Plasma 5 writes whole profiles; an action switched off has no group in its profile.
SleepDelays readPlasma5(const IniFile& file, const std::string& profile) {
    SleepDelays delays;
    if (!file.hasGroupAt(profile)) {
        return delays;
    }
    delays.displayMinutes = 0;
    if (const auto seconds = integerValue(file, profile + "/DPMSControl", "idleTime")) {
        delays.displayMinutes = minutesFromSeconds(*seconds);
    }
    delays.systemMinutes = 0;
    if (const auto milliseconds = integerValue(file, profile + "/SuspendSession", "idleTime")) {
        delays.systemMinutes =
            minutesFromSeconds(*milliseconds / 1000 + (*milliseconds % 1000 != 0));
    }
    return delays;
}

} // namespace

SleepDelays readKdePowerSettings(const std::filesystem::path& configHome,
                                 PowerValues::Source source) {
    const std::string profile = source == PowerValues::Source::Ac ? "AC" : "Battery";
    SleepDelays delays;
    if (const auto plasma6 = IniFile::read(configHome / "powerdevilrc")) {
        delays = readPlasma6(*plasma6, profile);
    }
    if (!delays.isComplete()) {
        if (const auto plasma5 = IniFile::read(configHome / "powermanagementprofilesrc")) {
            delays.fillFrom(readPlasma5(*plasma5, profile));
        }
    }
    return delays;
}

} // namespace vigilo
