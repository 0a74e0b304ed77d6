#pragma once

#include "platform/linux/powersettings/SleepDelays.h"
#include "ports/PowerSettingsSource.h"

#include <filesystem>

namespace vigilo {

/// KDE PowerDevil's screen-off and automatic-suspend delays for `source`, from the rc files in
/// `configHome`: Plasma 6's `powerdevilrc` first, then Plasma 5's
/// `powermanagementprofilesrc`.
[[nodiscard]] SleepDelays readKdePowerSettings(const std::filesystem::path& configHome,
                                               PowerValues::Source source);

} // namespace vigilo
