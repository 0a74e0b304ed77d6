#pragma once

namespace vigilo {

/// A damped spring of unit mass pulling a value towards a target, as the panel's motion is
/// described: by a response (the period of the undamped oscillation, in seconds) and a damping
/// fraction (1 settles fastest without overshoot, below 1 bounces). Stiffness is
/// (2π / response)², the damping coefficient 4π · fraction / response.
class Spring {
public:
    Spring(double response, double dampingFraction);

    /// Changes the spring's response and damping; the value keeps its place and speed.
    void tune(double response, double dampingFraction);

    [[nodiscard]] double value() const { return value_; }
    [[nodiscard]] double target() const { return target_; }
    [[nodiscard]] double velocity() const { return velocity_; }

    /// Moves the target; the value follows from where it is, at the speed it has.
    void setTarget(double target) { target_ = target; }
    /// Puts the value at `value` at rest, and makes it the target.
    void jumpTo(double value);
    /// Lets `seconds` pass. Frame-rate independent: integrates in fixed small steps.
    void advance(double seconds);
    /// The value is within `tolerance` of the target and hardly moves; a settled spring
    /// snaps onto its target.
    [[nodiscard]] bool isSettled(double tolerance) const;
    void settle() { jumpTo(target_); }

private:
    double stiffness_ = 0;
    double damping_ = 0;
    double value_ = 0;
    double target_ = 0;
    double velocity_ = 0;
};

} // namespace vigilo
