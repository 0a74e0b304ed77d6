#pragma once

namespace vigilo {

/// A point in the panel's own coordinates: origin at the window's top-left corner, y downward.
struct PanelPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const PanelPoint&, const PanelPoint&) = default;
};

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

} // namespace vigilo
