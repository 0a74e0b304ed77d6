#pragma once

#include "platform/linux/powersettings/SleepDelays.h"

#include <QDBusConnection>
#include <QObject>
#include <functional>

// logind's answers about sleep, asked without waiting: each `done` runs later from `context`'s
// event loop.
namespace vigilo {

/// logind's own idle action (IdleAction, IdleActionUSec in logind.conf) as a system-sleep delay;
/// nothing when logind cannot be asked.
void readLogindSleepSettings(const QDBusConnection& systemBus, QObject* context,
                             std::function<void(SleepDelays)> done);

/// Whether logind says the system cannot suspend at all (CanSuspend() answers "na"); false when
/// it cannot be asked.
void askWhetherLogindForbidsSuspend(const QDBusConnection& systemBus, QObject* context,
                                    std::function<void(bool)> done);

} // namespace vigilo
