#include "model/Spring.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

struct Motion {
    /// The last moment the value was more than 1 % of the jump away from the target.
    double settleSeconds = 0;
    /// How far past the target it swung, as a share of the jump.
    double overshoot = 0;
};

/// Jumps from 0 to 1 and watches the value at 60 frames a second, as the panel does.
Motion jumpOfOne(double response, double fraction) {
    Spring spring(response, fraction);
    spring.setTarget(1);
    Motion motion;
    constexpr double frame = 1.0 / 60;
    for (double t = frame; t < 3; t += frame) {
        spring.advance(frame);
        if (std::abs(spring.value() - 1) > 0.01) {
            motion.settleSeconds = t;
        }
        motion.overshoot = std::max(motion.overshoot, spring.value() - 1);
    }
    return motion;
}

// Expected figures: the closed-form motion of a unit-mass spring, x'' = −k(x − 1) − c·x', with
// k = (2π / response)² and c = 4π · fraction / response.
TEST(Spring, SettlesAndOvershootsLikeTheDescribedSpring) {
    struct Case {
        double response;
        double fraction;
        double settleSeconds;
        double overshoot;
    };
    const Case cases[] = {
        {0.28, 1.0, 0.2958, 0},      // the settings tabs
        {0.30, 1.0, 0.3170, 0},      // metrics expanded or hidden
        {0.35, 1.0, 0.3698, 0},      // the donation bar
        {0.35, 0.7, 0.3662, 0.0460}, // the hero when keep-awake flips
    };
    for (const auto& c : cases) {
        const auto motion = jumpOfOne(c.response, c.fraction);
        // One frame of slack on top of 10 %: settling is seen only at frame times.
        EXPECT_NEAR(motion.settleSeconds, c.settleSeconds, c.settleSeconds * 0.1 + 1.0 / 60)
            << c.response << " s, fraction " << c.fraction;
        EXPECT_NEAR(motion.overshoot, c.overshoot, std::max(c.overshoot * 0.1, 1e-4))
            << c.response << " s, fraction " << c.fraction;
    }
}

TEST(Spring, KeepsItsSpeedWhenTheTargetMovesAndRestsWhenSettled) {
    Spring spring(0.3, 1.0);
    spring.jumpTo(10);
    EXPECT_TRUE(spring.isSettled(0.01));
    spring.setTarget(20);
    EXPECT_FALSE(spring.isSettled(0.01));
    spring.advance(0.1);
    const double speed = spring.velocity();
    EXPECT_GT(speed, 0);
    spring.setTarget(0);
    EXPECT_DOUBLE_EQ(spring.velocity(), speed) << "no jump in speed when the target turns";
    spring.advance(1);
    EXPECT_TRUE(spring.isSettled(0.01));
    spring.settle();
    EXPECT_EQ(spring.value(), 0);
}

} // namespace
} // namespace vigilo
