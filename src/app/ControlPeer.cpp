#include "app/ControlPeer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vigilo::ControlPeer {

bool isThisUser(qintptr descriptor) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           size == sizeof credentials && credentials.uid == ::getuid();
}

bool hasHungUp(qintptr descriptor) {
    // POLLHUP means both directions are shut: a client that only ended its sending half
    // (shutdown(SHUT_WR)) still waits for the reply.
    pollfd probe{.fd = int(descriptor), .events = 0, .revents = 0};
    return ::poll(&probe, 1, 0) != 0 && (probe.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

} // namespace vigilo::ControlPeer
