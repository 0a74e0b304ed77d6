#include "platform/macos/power/MacDisplays.h"

#include <CoreGraphics/CoreGraphics.h>
#include <algorithm>
#include <vector>

namespace vigilo {

MacDisplays::MacDisplays(ProcessRunner& processes)
    : processes_(processes) {}

bool MacDisplays::hasExternalDisplay() const {
    std::uint32_t count = 0;
    if (CGGetActiveDisplayList(0, nullptr, &count) != kCGErrorSuccess || count == 0) {
        return false;
    }
    std::vector<CGDirectDisplayID> displays(count);
    if (CGGetActiveDisplayList(count, displays.data(), &count) != kCGErrorSuccess) {
        return false;
    }
    displays.resize(std::min<std::size_t>(count, displays.size()));
    return std::any_of(displays.begin(), displays.end(),
                       [](CGDirectDisplayID display) { return CGDisplayIsBuiltin(display) == 0; });
}

void MacDisplays::turnScreenOff() {
    // A run still under way puts the displays to sleep already.
    if (running_) {
        return;
    }
    running_ = true;
    // Replacing the previous worker joins it, which has ended its run already.
    worker_ = std::jthread([this](const std::stop_token& stop) {
        (void)processes_.runWithin(powerTool, {"displaysleepnow"},
                                   {.timeout = toolTimeout, .stop = stop});
        running_ = false;
    });
}

} // namespace vigilo
