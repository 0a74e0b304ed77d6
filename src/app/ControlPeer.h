#pragma once

#include <QtGlobal>

// Who is at the other end of a control connection.
namespace vigilo::ControlPeer {

/// Whether the process at the other end of the connected local socket `descriptor` runs as this
/// process's user (SO_PEERCRED: the credentials it connected or listened with). Anyone who can
/// reach the socket file could otherwise pose as the instance, or drive it.
[[nodiscard]] bool isThisUser(qintptr descriptor);

/// Whether the other end of the connected socket `descriptor` has closed it, so that nothing
/// sent there would be read.
[[nodiscard]] bool hasHungUp(qintptr descriptor);

} // namespace vigilo::ControlPeer
