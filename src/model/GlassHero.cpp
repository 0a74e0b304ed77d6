#include "model/GlassHero.h"

#include <algorithm>
#include <chrono>

namespace vigilo {

namespace {

constexpr double glassCenterX = 105;

} // namespace

void GlassHero::appear(TimePoint now, bool isAwake) {
    renderedAwake_ = isAwake;
    fromFill_ = isAwake ? 1 : 0;
    anchor_ = now;
    isSettled_ = !isAwake;
    settleDue_.reset();
}

void GlassHero::awakeChanged(TimePoint now, bool isAwake) {
    fromFill_ = level(now, renderedAwake_.value_or(!isAwake));
    anchor_ = now;
    renderedAwake_ = isAwake;
    isSettled_ = false;
    settleDue_.reset();
    if (!isAwake) {
        settleDue_ = now + std::chrono::duration_cast<TimePoint::duration>(
                               std::chrono::duration<double>(settleSeconds));
    }
}

void GlassHero::advance(TimePoint now) {
    if (settleDue_ && now >= *settleDue_) {
        isSettled_ = true;
        settleDue_.reset();
    }
}

void GlassHero::pointerEnteredGlass(TimePoint now, double canvasX) {
    hoverStarted_ = now;
    hoverDirection_ = canvasX < glassCenterX ? 1 : -1;
}

void GlassHero::pointerLeftGlass() {
    hoverStarted_.reset();
}

double GlassHero::level(TimePoint at, bool awake) const {
    return GlassHeroMath::fillLevel(secondsBetween(anchor_, at), fromFill_, awake);
}

std::optional<double> GlassHero::secondsSinceHover(TimePoint at, bool hovering,
                                                   bool reduceMotion) const {
    if (!hovering || reduceMotion || !hoverStarted_) {
        return std::nullopt;
    }
    return secondsBetween(*hoverStarted_, at);
}

double GlassHero::tilt(TimePoint at, bool hovering, bool reduceMotion) const {
    const auto seconds = secondsSinceHover(at, hovering, reduceMotion);
    return seconds ? GlassHeroMath::wobbleTilt(*seconds, hoverDirection_) : 0;
}

double GlassHero::liquidAngle(TimePoint at, bool hovering, bool reduceMotion) const {
    const auto seconds = secondsSinceHover(at, hovering, reduceMotion);
    return seconds ? GlassHeroMath::wobbleLiquidAngle(*seconds, hoverDirection_) : 0;
}

GlassState GlassHero::frame(TimePoint at, const Inputs& inputs) const {
    const bool awake = shownAwake(inputs.isAwake);
    const bool overGlass = GlassHeroMath::isOverGlass(inputs.pointer);
    const double fill = level(at, awake);
    return GlassState{.coffee = 0.72 * fill,
                      .ice = std::min(1.2 * fill, 1.0),
                      .ring = awake ? inputs.cupFraction : 0,
                      .time = secondsBetween(anchor_, at),
                      .hoverTick = GlassHeroMath::hoverTick(inputs.pointer, awake),
                      .tilt = tilt(at, overGlass, inputs.reduceMotion),
                      .liquidAngle = liquidAngle(at, overGlass, inputs.reduceMotion)};
}

bool GlassHero::needsFrames(const Inputs& inputs) const {
    if (!inputs.isPanelVisible) {
        return false;
    }
    const bool awake = shownAwake(inputs.isAwake);
    const bool atRest = !awake && !GlassHeroMath::hoverTick(inputs.pointer, awake) &&
                        !GlassHeroMath::isOverGlass(inputs.pointer) && isSettled_;
    return !atRest;
}

} // namespace vigilo
