#pragma once

#include "model/PanelState.h"

namespace vigilo {

/// A point on the screen, in points, y downward (the X11 and Qt convention).
struct ScreenPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

/// A size in points.
struct PanelSize {
    double width = 0;
    double height = 0;
    friend bool operator==(const PanelSize&, const PanelSize&) = default;
};

/// A rectangle in points, y downward; on the screen or in a window, as its user says.
struct PanelRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    [[nodiscard]] double right() const { return x + width; }
    [[nodiscard]] double bottom() const { return y + height; }
    [[nodiscard]] PanelSize size() const { return {.width = width, .height = height}; }
    /// The left and top edges are inside, the right and bottom edges are not.
    [[nodiscard]] bool contains(PanelPoint point) const {
        return point.x >= x && point.x < right() && point.y >= y && point.y < bottom();
    }
    friend bool operator==(const PanelRect&, const PanelRect&) = default;
};

/// The panel's window is larger than the visible panel by a transparent margin on every side, in
/// which the view draws the panel's shadow and through which clicks reach what lies below.
namespace PanelGeometry {

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

} // namespace PanelGeometry

} // namespace vigilo
