#pragma once

#include "platform/posix/UniqueFd.h"

namespace vigilo {

/// Whether the network interfaces or their addresses may have changed, from the kernel's route
/// notices: a netlink socket that is only ever read without waiting, so it wakes nobody. Where
/// the socket cannot be opened, the answer is always yes.
class InterfaceChanges {
public:
    InterfaceChanges();

    /// True when a notice came since the previous call (or notices were lost): what was read
    /// before the previous call is out of date. Takes the notices in.
    [[nodiscard]] bool sinceLastAsked();

private:
    UniqueFd socket_;
};

} // namespace vigilo
