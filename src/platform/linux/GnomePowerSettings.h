#pragma once

#include "platform/linux/SleepDelays.h"
#include "platform/ports/PowerSettingsSource.h"
#include "platform/ports/ProcessRunner.h"

#include <filesystem>

namespace vigilo {

/// GNOME's screen-blank and automatic-suspend delays, read with `gsettings`, which (unlike
/// dconf) also reports the values the user never changed.
class GnomePowerSettings {
public:
    /// `gsettings` is the tool's path; when it is missing nothing is run.
    GnomePowerSettings(ProcessRunner& runner, std::filesystem::path gsettings)
        : runner_(runner)
        , gsettings_(std::move(gsettings)) {}

    /// The delays that apply on `source`. A key whose schema is not installed stays unread.
    [[nodiscard]] SleepDelays read(PowerValues::Source source) const;

private:
    [[nodiscard]] std::optional<std::string> get(const std::string& schema,
                                                 const std::string& key) const;

    ProcessRunner& runner_;
    std::filesystem::path gsettings_;
};

} // namespace vigilo
