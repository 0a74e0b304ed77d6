#include "platform/linux/stats/InterfaceAddresses.h"

#include <array>
#include <ifaddrs.h>
#include <memory>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>

namespace vigilo::LinuxStats {

std::vector<InterfaceAddress> interfaceAddressesFrom(const ifaddrs* list) {
    std::vector<InterfaceAddress> addresses;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr) {
            continue;
        }
        const auto family = entry->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) {
            continue;
        }
        const socklen_t length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
        std::array<char, NI_MAXHOST> text{};
        if (::getnameinfo(entry->ifa_addr, length, text.data(), text.size(), nullptr, 0,
                          NI_NUMERICHOST) != 0) {
            continue;
        }
        addresses.push_back({.name = entry->ifa_name,
                             .isUp = (entry->ifa_flags & IFF_UP) != 0,
                             .isLoopback = (entry->ifa_flags & IFF_LOOPBACK) != 0,
                             .family = family == AF_INET ? InterfaceAddress::Family::IPv4
                                                         : InterfaceAddress::Family::IPv6,
                             .address = text.data()});
    }
    return addresses;
}

std::vector<InterfaceAddress> currentInterfaceAddresses() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return {};
    }
    const std::unique_ptr<ifaddrs, decltype(&::freeifaddrs)> owner(list, &::freeifaddrs);
    return interfaceAddressesFrom(list);
}

} // namespace vigilo::LinuxStats
