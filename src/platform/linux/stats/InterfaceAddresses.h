#pragma once

#include "ports/StatsSource.h"

#include <vector>

struct ifaddrs;

namespace vigilo::LinuxStats {

/// The IPv4 and IPv6 entries of an interface list as `getifaddrs` returns it, in list order,
/// with numeric address text. Entries without an address, of other families, or whose address
/// cannot be written as text are left out.
[[nodiscard]] std::vector<InterfaceAddress> interfaceAddressesFrom(const ifaddrs* list);

/// The system's interface addresses now; empty when the list cannot be read.
[[nodiscard]] std::vector<InterfaceAddress> currentInterfaceAddresses();

} // namespace vigilo::LinuxStats
