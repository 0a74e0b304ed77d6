#pragma once

#include "platform/posix/UniqueFd.h"

#include <QDBusConnection>
#include <QObject>
#include <functional>

namespace vigilo {

/// The connection is open and passes file descriptors, which logind's locks are.
[[nodiscard]] bool canTakeLogindLocks(const QDBusConnection& systemBus);

/// Asks logind for a block inhibitor lock on `what` (a ":"-list such as "idle:sleep"), owned by
/// "Vigilo" and explained by `why`, without waiting: `taken` gets the lock later from the event
/// loop of `context`'s thread, never once `context` is destroyed. The lock lasts while its
/// descriptor is open; the kernel closes it when the process dies, so a crash never leaves one
/// behind. Invalid when logind is missing or refuses, or when the connection cannot pass
/// descriptors.
void takeLogindLockAsync(const QDBusConnection& systemBus, const QString& what, const QString& why,
                         QObject* context, std::function<void(UniqueFd)> taken);

} // namespace vigilo
