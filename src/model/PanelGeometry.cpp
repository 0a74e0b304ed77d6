#include "model/PanelGeometry.h"

#include <algorithm>

namespace vigilo::PanelGeometry {

PanelRect windowFrame(PanelRect visible) {
    return {.x = visible.x - margin,
            .y = visible.y - margin,
            .width = visible.width + 2 * margin,
            .height = visible.height + 2 * margin};
}

PanelRect contentBounds(PanelSize window) {
    return {.width = window.width, .height = window.height};
}

PanelRect clickableArea(PanelSize window) {
    return {.x = margin,
            .y = margin,
            .width = std::max(window.width - 2 * margin, 0.0),
            .height = std::max(window.height - 2 * margin, 0.0)};
}

PanelPoint pointer(ScreenPoint window, ScreenPoint global) {
    return {.x = global.x - window.x, .y = global.y - window.y};
}

} // namespace vigilo::PanelGeometry
