#include "platform/macos/power/MacRootPowerDomain.h"

#include "platform/macos/cf/CFRef.h"

#include <IOKit/IOKitLib.h>

namespace vigilo {

bool MacRootPowerDomain::sleepDisabled() const {
    return flag("SleepDisabled");
}

bool MacRootPowerDomain::clamshellClosed() const {
    return flag("AppleClamshellState");
}

bool MacRootPowerDomain::flag(const std::string& key) {
    // IOServiceGetMatchingService consumes the matching dictionary.
    const io_service_t domain =
        IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("IOPMrootDomain"));
    if (domain == IO_OBJECT_NULL) {
        return false;
    }
    const auto name = cfString(key);
    const CFRef<CFTypeRef> value(
        name ? IORegistryEntryCreateCFProperty(domain, name.get(), kCFAllocatorDefault, 0)
             : nullptr);
    IOObjectRelease(domain);
    return booleanOf(value.get()).value_or(false);
}

} // namespace vigilo
