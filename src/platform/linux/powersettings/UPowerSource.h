#pragma once

#include "ports/PowerSettingsSource.h"

#include <QDBusConnection>
#include <QObject>
#include <functional>
#include <optional>

namespace vigilo {

/// Asks UPower for the power source (its OnBattery property) without waiting; `done` gets it
/// later from `context`'s event loop, or nothing when UPower is not running.
void readUPowerSource(const QDBusConnection& systemBus, QObject* context,
                      std::function<void(std::optional<PowerValues::Source>)> done);

} // namespace vigilo
