#pragma once

#include "platform/ports/PowerSettingsSource.h"

#include <QDBusConnection>
#include <optional>

namespace vigilo {

/// The power source as UPower sees it (its OnBattery property); nothing when UPower is not
/// running.
[[nodiscard]] std::optional<PowerValues::Source> readUPowerSource(const QDBusConnection& systemBus);

} // namespace vigilo
