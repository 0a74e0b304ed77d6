#pragma once

#include "ports/ScreenGeometry.h"

// The panel's window is larger than the visible panel by a transparent margin on every side, in
// which the view draws the panel's shadow and through which clicks reach what lies below.
namespace vigilo::PanelGeometry {

inline constexpr double margin = 40;

/// The window's frame around a visible panel at `visible` (screen coordinates).
[[nodiscard]] PanelRect windowFrame(PanelRect visible);
/// The window's own bounds, origin at its top-left corner: the pointer inside them counts as
/// activity.
[[nodiscard]] PanelRect contentBounds(PanelSize window);
/// Where the window takes clicks, in its own coordinates: the visible panel. Clicks in the margin
/// pass through.
[[nodiscard]] PanelRect clickableArea(PanelSize window);
/// The pointer at `global` in the coordinates of a window whose top-left corner is at `window`.
[[nodiscard]] PanelPoint pointer(ScreenPoint window, ScreenPoint global);

} // namespace vigilo::PanelGeometry
