#include "platform/linux/stats/InterfaceChanges.h"

#include <cerrno>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

namespace vigilo {

InterfaceChanges::InterfaceChanges()
    : socket_(::socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE)) {
    sockaddr_nl groups{};
    groups.nl_family = AF_NETLINK;
    // Links going up or down, and addresses coming and going.
    groups.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR;
    if (socket_.isValid() &&
        ::bind(socket_.get(), reinterpret_cast<const sockaddr*>(&groups), sizeof groups) != 0) {
        socket_.reset();
    }
}

bool InterfaceChanges::sinceLastAsked() {
    if (!socket_.isValid()) {
        return true;
    }
    bool changed = false;
    for (;;) {
        // Only whether a notice came matters: a datagram is taken in whole however little of
        // it is copied out.
        char notice = 0;
        const ssize_t length = ::recv(socket_.get(), &notice, 1, 0);
        if (length > 0) {
            changed = true;
        } else if (length < 0 && errno == EAGAIN) {
            return changed; // all taken in
        } else if (length >= 0 || errno != EINTR) {
            // ENOBUFS above all: the kernel dropped notices that did not fit.
            return true;
        }
    }
}

} // namespace vigilo
