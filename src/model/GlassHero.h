#pragma once

#include "model/GlassHeroMath.h"
#include "model/GlassState.h"
#include "ports/Clock.h"

#include <optional>

namespace vigilo {

/// The animated glass's memory between frames: when the current fill transition started and
/// from which level, whether the off state has finished animating, and the wobble started by the
/// pointer. Turns the four things the hero reacts to into the `GlassState` of any frame.
class GlassHero {
public:
    /// What the hero is given from outside at a moment.
    struct Inputs {
        bool isAwake = false;
        bool isPanelVisible = false;
        bool reduceMotion = false;
        double cupFraction = 0;                            ///< progress of the current cup
        std::optional<GlassHeroMath::CanvasPoint> pointer; ///< in canvas units
    };

    static constexpr double settleSeconds = 1.0;

    explicit GlassHero(TimePoint now)
        : anchor_(now) {}

    /// The view is shown: it opens at rest, full or empty, without a fill animation.
    void appear(TimePoint now, bool isAwake);
    /// The keep-awake state changed while shown: ease from the level shown now to the new target.
    void awakeChanged(TimePoint now, bool isAwake);
    /// Lets the off state settle once a second has passed since switching off.
    void advance(TimePoint now);
    /// The pointer moved onto the glass at canvas x `canvasX`: start a wobble, clockwise when it
    /// came in on the left half.
    void pointerEnteredGlass(TimePoint now, double canvasX);
    void pointerLeftGlass();

    /// The awake state the drawing follows.
    [[nodiscard]] bool shownAwake(bool isAwake) const { return renderedAwake_.value_or(isAwake); }
    [[nodiscard]] double level(TimePoint at, bool awake) const;
    [[nodiscard]] double tilt(TimePoint at, bool hovering, bool reduceMotion) const;
    [[nodiscard]] double liquidAngle(TimePoint at, bool hovering, bool reduceMotion) const;

    [[nodiscard]] GlassState frame(TimePoint at, const Inputs& inputs) const;
    /// Frames are needed while the panel is open and anything can still move.
    [[nodiscard]] bool needsFrames(const Inputs& inputs) const;

    [[nodiscard]] bool isSettled() const { return isSettled_; }
    [[nodiscard]] double fromFill() const { return fromFill_; }

private:
    [[nodiscard]] std::optional<double> secondsSinceHover(TimePoint at, bool hovering,
                                                          bool reduceMotion) const;

    TimePoint anchor_;
    double fromFill_ = 0;
    bool isSettled_ = false;
    std::optional<bool> renderedAwake_;
    std::optional<TimePoint> hoverStarted_;
    double hoverDirection_ = 1;
    std::optional<TimePoint> settleDue_;
};

} // namespace vigilo
