#include "app/ControlPeer.h"

#include <sys/socket.h>
#include <unistd.h>

namespace vigilo::ControlPeer {

bool isThisUser(qintptr descriptor) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           size == sizeof credentials && credentials.uid == ::getuid();
}

} // namespace vigilo::ControlPeer
