#include "model/Spring.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vigilo {

namespace {

/// Short enough for a stiff spring (response 0.2 s) to stay stable and accurate with
/// semi-implicit Euler steps.
constexpr double stepSeconds = 1.0 / 1000;

} // namespace

Spring::Spring(double response, double dampingFraction) {
    tune(response, dampingFraction);
}

void Spring::tune(double response, double dampingFraction) {
    stiffness_ = std::pow(2 * std::numbers::pi / response, 2);
    damping_ = 4 * std::numbers::pi * dampingFraction / response;
}

void Spring::jumpTo(double value) {
    value_ = value;
    target_ = value;
    velocity_ = 0;
}

void Spring::advance(double seconds) {
    while (seconds > 0) {
        const double dt = std::min(seconds, stepSeconds);
        const double acceleration = -stiffness_ * (value_ - target_) - damping_ * velocity_;
        velocity_ += acceleration * dt;
        value_ += velocity_ * dt;
        seconds -= dt;
    }
}

bool Spring::isSettled(double tolerance) const {
    return std::abs(value_ - target_) < tolerance && std::abs(velocity_) < tolerance * 10;
}

} // namespace vigilo
