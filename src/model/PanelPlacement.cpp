#include "model/PanelPlacement.h"

#include <algorithm>

namespace vigilo::PanelPlacement {

PanelRect visiblePanel(PanelSize size, const PanelAnchor& anchor, PanelRect area) {
    const PanelRect icon =
        anchor.icon.value_or(PanelRect{.x = anchor.pointer.x, .y = anchor.pointer.y});

    double x = icon.x + icon.width / 2 - size.width / 2;
    x = std::max(x, area.x + screenEdgeGap);
    x = std::min(x, area.right() - size.width - screenEdgeGap);

    const bool trayAtTheBottom = icon.y + icon.height / 2 > area.y + area.height / 2;
    double y = trayAtTheBottom ? icon.y - iconGap - size.height : icon.bottom() + iconGap;
    y = std::min(y, area.bottom() - size.height);
    y = std::max(y, area.y);

    return {.x = x, .y = y, .width = size.width, .height = size.height};
}

} // namespace vigilo::PanelPlacement
