#pragma once

#include "model/PanelGeometry.h"

#include <optional>

namespace vigilo {

/// Where the panel opens from: the tray icon's rectangle on the screen when the tray host tells
/// it (StatusNotifier hosts often do not), and the pointer's position at the click.
struct PanelAnchor {
    std::optional<PanelRect> icon{};
    ScreenPoint pointer{};
    friend bool operator==(const PanelAnchor&, const PanelAnchor&) = default;
};

namespace PanelPlacement {

/// Minimum distance of the visible panel from the left and right edges of the screen's area.
inline constexpr double screenEdgeGap = 8;
/// Between the icon and the visible panel.
inline constexpr double iconGap = 6;

/// The visible panel's rectangle (screen coordinates) for a panel of `size` opened from `anchor`
/// on a screen whose area free of docks and panels is `area`. Centred under the icon, at least
/// 8 points inside the area's left and right edges (the right edge wins where the area is
/// narrower than the panel), 6 points below the icon; above it when the icon lies in the
/// area's lower half (a tray at the bottom). Without the icon's rectangle the pointer stands in
/// for it. The panel is kept inside the area from top to bottom, its top edge winning.
[[nodiscard]] PanelRect visiblePanel(PanelSize size, const PanelAnchor& anchor, PanelRect area);

} // namespace PanelPlacement

} // namespace vigilo
