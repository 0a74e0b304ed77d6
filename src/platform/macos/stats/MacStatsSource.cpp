#include "platform/macos/stats/MacStatsSource.h"

#include "platform/macos/cf/CFRef.h"
#include "platform/macos/power/MacPowerSources.h"

#include <CoreFoundation/CoreFoundation.h>
#include <array>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/sysctl.h>

namespace vigilo {

namespace {

/// The integer resource value `key` of `url`; nothing when the query fails or has no value.
std::optional<std::int64_t> resourceInteger(CFURLRef url, CFStringRef key) {
    CFTypeRef value = nullptr;
    CFErrorRef error = nullptr;
    const bool found = CFURLCopyResourcePropertyForKey(url, key, &value, &error) != 0;
    const CFRef<CFErrorRef> ownedError(error);
    const CFRef<CFTypeRef> ownedValue(value);
    return found ? integerOf(ownedValue.get()) : std::nullopt;
}

} // namespace

MacStatsSource::MacStatsSource()
    : host_(mach_host_self()) {}

MacStatsSource::~MacStatsSource() {
    mach_port_deallocate(mach_task_self(), host_);
}

std::optional<CpuTicks> MacStatsSource::cpuTicks() {
    host_cpu_load_info_data_t load{};
    mach_msg_type_number_t count = HOST_CPU_LOAD_INFO_COUNT;
    if (host_statistics(host_, HOST_CPU_LOAD_INFO, reinterpret_cast<host_info_t>(&load), &count) !=
        KERN_SUCCESS) {
        return std::nullopt;
    }
    return CpuTicks{.user = load.cpu_ticks[CPU_STATE_USER],
                    .system = load.cpu_ticks[CPU_STATE_SYSTEM],
                    .idle = load.cpu_ticks[CPU_STATE_IDLE],
                    .nice = load.cpu_ticks[CPU_STATE_NICE]};
}

std::optional<MemoryFigures> MacStatsSource::memoryFigures() {
    vm_statistics64_data_t statistics{};
    mach_msg_type_number_t count = HOST_VM_INFO64_COUNT;
    if (host_statistics64(host_, HOST_VM_INFO64, reinterpret_cast<host_info64_t>(&statistics),
                          &count) != KERN_SUCCESS) {
        return std::nullopt;
    }
    vm_size_t pageSize = 0;
    if (host_page_size(host_, &pageSize) != KERN_SUCCESS) {
        return std::nullopt;
    }
    std::uint64_t physical = 0;
    std::size_t size = sizeof physical;
    if (sysctlbyname("hw.memsize", &physical, &size, nullptr, 0) != 0) {
        return std::nullopt;
    }
    const auto bytes = [&](std::uint64_t pages) { return pages * std::uint64_t{pageSize}; };
    return MemoryFigures{.internal = bytes(statistics.internal_page_count),
                         .purgeable = bytes(statistics.purgeable_count),
                         .wired = bytes(statistics.wire_count),
                         .compressed = bytes(statistics.compressor_page_count),
                         .physical = physical};
}

std::optional<VolumeCapacity> MacStatsSource::rootVolumeCapacity() {
    const auto path = cfString("/");
    const CFRef<CFURLRef> root(path ? CFURLCreateWithFileSystemPath(kCFAllocatorDefault, path.get(),
                                                                    kCFURLPOSIXPathStyle, 1)
                                    : nullptr);
    if (!root) {
        return std::nullopt;
    }
    const auto available =
        resourceInteger(root.get(), kCFURLVolumeAvailableCapacityForImportantUsageKey);
    const auto total = resourceInteger(root.get(), kCFURLVolumeTotalCapacityKey);
    if (!available || !total) {
        return std::nullopt;
    }
    return VolumeCapacity{.available = *available, .total = *total};
}

std::vector<PowerSource> MacStatsSource::powerSources() {
    return MacPowerSources::read();
}

std::vector<InterfaceAddress> MacStatsSource::interfaceAddresses() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return {};
    }
    std::vector<InterfaceAddress> addresses;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr) {
            continue;
        }
        const int family = entry->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) {
            continue;
        }
        const socklen_t length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
        std::array<char, NI_MAXHOST> host{};
        if (::getnameinfo(entry->ifa_addr, length, host.data(), host.size(), nullptr, 0,
                          NI_NUMERICHOST) != 0) {
            continue;
        }
        addresses.push_back(InterfaceAddress{
            .name = entry->ifa_name,
            .isUp = (entry->ifa_flags & IFF_UP) != 0,
            .isLoopback = (entry->ifa_flags & IFF_LOOPBACK) != 0,
            .family =
                family == AF_INET ? InterfaceAddress::Family::IPv4 : InterfaceAddress::Family::IPv6,
            .address = host.data(),
        });
    }
    ::freeifaddrs(list);
    return addresses;
}

std::vector<std::string> MacStatsSource::preferredInterfacePrefixes() const {
    return {"en"};
}

} // namespace vigilo
