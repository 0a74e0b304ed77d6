#pragma once

#include <optional>

namespace vigilo {

/// Everything one frame of the glass illustration depends on. The drawing keeps no clock of its
/// own: the animated hero builds a fresh state per frame, the still picture a fixed one.
struct GlassState {
    double coffee = 0.72;         ///< liquid level in the glass, 0…1
    double ice = 0.8;             ///< visibility of the ice cubes, 0…1
    double ring = 0.35;           ///< fraction of the ring's ticks that are lit, 0…1
    double time = 0;              ///< seconds; drives the glow pulse and the bobbing ice
    std::optional<int> hoverTick; ///< ring tick under the pointer
    double tilt = 0;              ///< rotation of the whole glass, degrees, clockwise
    double liquidAngle = 0;       ///< rotation of the liquid inside the glass, degrees

    friend bool operator==(const GlassState&, const GlassState&) = default;
};

/// The still picture shown instead of the animation (simple animation, reduced motion).
[[nodiscard]] inline GlassState stillGlassState(bool isAwake) {
    return GlassState{.coffee = isAwake ? 0.72 : 0,
                      .ice = isAwake ? 0.85 : 0,
                      .ring = 0,
                      .time = 0,
                      .hoverTick = std::nullopt,
                      .tilt = 0,
                      .liquidAngle = 0};
}

} // namespace vigilo
