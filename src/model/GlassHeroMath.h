#pragma once

#include <optional>

namespace vigilo::GlassHeroMath {

/// A point in the glass drawing's own units: 210 × 250, origin top-left, y downwards.
struct CanvasPoint {
    double x = 0;
    double y = 0;
};

inline constexpr double canvasWidth = 210;
inline constexpr double canvasHeight = 250;
inline constexpr double fillSeconds = 0.9;
inline constexpr double wobbleSeconds = 1.6;

/// Undoes the centred, aspect-fitted drawing: a pointer at (x, y) in a view of `width` ×
/// `height` → canvas units. None when the pointer lies outside the view (its edges count as
/// inside) or the view has no area.
[[nodiscard]] std::optional<CanvasPoint> canvasPoint(double x, double y, double width,
                                                     double height);

/// The pointer is over the glass itself (where it wobbles the glass, not the ring).
[[nodiscard]] bool isOverGlass(const std::optional<CanvasPoint>& pointer);

/// The ring tick nearest to the pointer while the glass shows the off state and the pointer is
/// on the ring band, 0 at twelve o'clock and clockwise; none otherwise.
[[nodiscard]] std::optional<int> hoverTick(const std::optional<CanvasPoint>& pointer, bool awake);

/// Fill level `seconds` after a transition that started at `fromFill`, easing over 0.9 s
/// towards full (awake) or empty.
[[nodiscard]] double fillLevel(double seconds, double fromFill, bool awake);

/// Rotation of the glass in degrees `seconds` after the pointer entered it; `direction` is +1
/// (clockwise first) or −1. Exactly 0 outside the 1.6 s of the wobble.
[[nodiscard]] double wobbleTilt(double seconds, double direction);

/// Rotation of the liquid in degrees: it leans against the glass's swing and sloshes on its own.
[[nodiscard]] double wobbleLiquidAngle(double seconds, double direction);

} // namespace vigilo::GlassHeroMath
