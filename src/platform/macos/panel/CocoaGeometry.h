#pragma once

#include "ports/ScreenGeometry.h"

namespace vigilo {

/// A rectangle as AppKit gives it: origin at the bottom-left corner, y upward.
struct CocoaRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const CocoaRect&, const CocoaRect&) = default;
};

/// `area` in a window's own coordinates (origin top-left, y downward) as AppKit's coordinates of
/// the same window, `windowHeight` points high (origin bottom-left, y upward).
[[nodiscard]] CocoaRect flippedIntoWindow(PanelRect area, double windowHeight);

/// The mouse at (`mouseX`, `mouseY`) in AppKit's screen coordinates, in the coordinates of the
/// window whose frame (also AppKit's) is `windowFrame`: origin at the window's top-left corner,
/// y downward, as the panel's clickable area is given.
[[nodiscard]] PanelPoint pointInWindow(double mouseX, double mouseY, CocoaRect windowFrame);

} // namespace vigilo
