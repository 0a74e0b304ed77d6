#include "platform/macos/power/MacPowerAssertions.h"

#include "platform/macos/cf/CFRef.h"

#include <IOKit/pwr_mgt/IOPMLib.h>

namespace vigilo {

MacPowerAssertions::~MacPowerAssertions() {
    for (const AssertionId id : held_) {
        (void)IOPMAssertionRelease(IOPMAssertionID{id});
    }
}

std::optional<AssertionId> MacPowerAssertions::create(AssertionKind kind, const std::string& name) {
    const CFStringRef type = kind == AssertionKind::DisplayKeptOn
                                 ? kIOPMAssertionTypePreventUserIdleDisplaySleep
                                 : kIOPMAssertionTypePreventUserIdleSystemSleep;
    const auto shownName = cfString(name);
    if (!shownName) {
        return std::nullopt;
    }
    IOPMAssertionID id = 0;
    if (IOPMAssertionCreateWithName(type, kIOPMAssertionLevelOn, shownName.get(), &id) !=
        kIOReturnSuccess) {
        return std::nullopt;
    }
    held_.insert(AssertionId{id});
    return AssertionId{id};
}

void MacPowerAssertions::release(AssertionId id) {
    if (held_.erase(id) != 0) {
        (void)IOPMAssertionRelease(IOPMAssertionID{id});
    }
}

} // namespace vigilo
