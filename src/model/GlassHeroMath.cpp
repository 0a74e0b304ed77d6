#include "model/GlassHeroMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vigilo::GlassHeroMath {

namespace {

constexpr CanvasPoint ringCenter{105, 118};
constexpr double ringBandInner = 76;
constexpr double ringBandOuter = 108;
constexpr int tickCount = 60;
constexpr double wobbleTiltDegrees = 9;
constexpr double wobblePeriod = 0.62;

bool isWobbling(double seconds) {
    return seconds >= 0 && seconds < wobbleSeconds;
}

} // namespace

std::optional<CanvasPoint> canvasPoint(double x, double y, double width, double height) {
    if (x < 0 || y < 0 || x > width || y > height) {
        return std::nullopt;
    }
    const double s = std::min(width / canvasWidth, height / canvasHeight);
    if (s <= 0) {
        return std::nullopt;
    }
    return CanvasPoint{(x - (width - canvasWidth * s) / 2) / s,
                       (y - (height - canvasHeight * s) / 2) / s};
}

bool isOverGlass(const std::optional<CanvasPoint>& pointer) {
    return pointer && pointer->x >= 75 && pointer->x <= 75 + 60 && pointer->y >= 90 &&
           pointer->y <= 90 + 76;
}

std::optional<int> hoverTick(const std::optional<CanvasPoint>& pointer, bool awake) {
    if (!pointer || awake || isOverGlass(pointer)) {
        return std::nullopt;
    }
    const double dx = pointer->x - ringCenter.x;
    const double dy = pointer->y - ringCenter.y;
    const double distance = std::hypot(dx, dy);
    if (distance < ringBandInner || distance > ringBandOuter) {
        return std::nullopt;
    }
    double angle = std::atan2(dy, dx) + std::numbers::pi / 2;
    if (angle < 0) {
        angle += 2 * std::numbers::pi;
    }
    const auto nearest = static_cast<int>(std::round(angle / (2 * std::numbers::pi / tickCount)));
    return nearest % tickCount;
}

double fillLevel(double seconds, double fromFill, bool awake) {
    const double f = seconds < 0 ? 0 : std::min(seconds / fillSeconds, 1.0);
    const double target = awake ? 1 : 0;
    return fromFill + f * f * (3 - 2 * f) * (target - fromFill);
}

double wobbleTilt(double seconds, double direction) {
    if (!isWobbling(seconds)) {
        return 0;
    }
    return wobbleTiltDegrees * direction * std::exp(-3.2 * seconds) *
           std::sin(2 * std::numbers::pi * seconds / wobblePeriod);
}

double wobbleLiquidAngle(double seconds, double direction) {
    if (!isWobbling(seconds)) {
        return 0;
    }
    const double slosh = 3.4 * direction * std::exp(-1.7 * seconds) * std::sin(7 * seconds);
    const double counterSwing = 0.88 * wobbleTiltDegrees * direction * std::exp(-3.2 * seconds) *
                                std::sin(-2 * std::numbers::pi * seconds / wobblePeriod);
    return slosh + counterSwing;
}

} // namespace vigilo::GlassHeroMath
