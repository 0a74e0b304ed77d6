#pragma once

#include "platform/linux/SleepDelays.h"

#include <QDBusConnection>

namespace vigilo {

/// logind's own idle action (IdleAction, IdleActionUSec in logind.conf) as a system-sleep
/// delay; nothing when logind cannot be asked.
[[nodiscard]] SleepDelays readLogindSleepSettings(const QDBusConnection& systemBus);

/// logind says the system cannot suspend at all (CanSuspend() answers "na"). False when it
/// cannot be asked.
[[nodiscard]] bool logindForbidsSuspend(const QDBusConnection& systemBus);

} // namespace vigilo
