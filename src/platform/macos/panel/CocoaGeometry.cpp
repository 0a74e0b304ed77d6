#include "platform/macos/panel/CocoaGeometry.h"

namespace vigilo {

CocoaRect flippedIntoWindow(PanelRect area, double windowHeight) {
    return {.x = area.x,
            .y = windowHeight - area.y - area.height,
            .width = area.width,
            .height = area.height};
}

PanelPoint pointInWindow(double mouseX, double mouseY, CocoaRect windowFrame) {
    return {.x = mouseX - windowFrame.x, .y = windowFrame.y + windowFrame.height - mouseY};
}

} // namespace vigilo
