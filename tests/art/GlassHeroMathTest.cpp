#include "model/GlassHeroMath.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace vigilo::GlassHeroMath {
namespace {

// A point `distance` canvas units from the ring's centre, `angle` radians clockwise from twelve.
CanvasPoint onRing(double distance, double angle) {
    return {105 + distance * std::sin(angle), 118 - distance * std::cos(angle)};
}

TEST(GlassHeroMathTest, FillEasesOverNineTenthsOfASecond) {
    EXPECT_DOUBLE_EQ(fillLevel(0.45, 0, true), 0.5);
    EXPECT_DOUBLE_EQ(fillLevel(0.9, 0, true), 1);
    EXPECT_DOUBLE_EQ(fillLevel(5, 0, true), 1);
    EXPECT_DOUBLE_EQ(fillLevel(-0.1, 0.3, true), 0.3);
    EXPECT_DOUBLE_EQ(fillLevel(0.45, 1, false), 0.5);
    EXPECT_DOUBLE_EQ(fillLevel(0.9, 1, false), 0);
    // Easing in and out: a quarter of the time covers less than a quarter of the way.
    EXPECT_NEAR(fillLevel(0.225, 0, true), 0.15625, 1e-12);
}

TEST(GlassHeroMathTest, WobbleStartsTowardsItsDirectionAndEndsExactlyAt1_6Seconds) {
    EXPECT_GT(wobbleTilt(0.1, 1), 0);
    EXPECT_LT(wobbleTilt(0.1, -1), 0);
    EXPECT_DOUBLE_EQ(wobbleTilt(0.1, -1), -wobbleTilt(0.1, 1));
    // The liquid first leans against the glass.
    EXPECT_LT(wobbleLiquidAngle(0.05, 1), 0);
    EXPECT_NE(wobbleTilt(1.59, 1), 0);
    EXPECT_EQ(wobbleTilt(1.6, 1), 0);
    EXPECT_EQ(wobbleLiquidAngle(1.6, 1), 0);
    EXPECT_EQ(wobbleTilt(-0.01, 1), 0);
    const double t = 0.2;
    EXPECT_NEAR(wobbleTilt(t, 1),
                9 * std::exp(-3.2 * t) * std::sin(2 * std::numbers::pi * t / 0.62), 1e-12);
}

TEST(GlassHeroMathTest, HoverTickCoversTheRingBandInclusive) {
    EXPECT_EQ(hoverTick(CanvasPoint{181, 118}, false), 15); // 76 units, three o'clock
    EXPECT_EQ(hoverTick(CanvasPoint{105, 226}, false), 30); // 108 units, six o'clock
    EXPECT_EQ(hoverTick(onRing(75.9, std::numbers::pi / 2), false), std::nullopt);
    EXPECT_EQ(hoverTick(onRing(108.1, std::numbers::pi), false), std::nullopt);
    EXPECT_EQ(hoverTick(onRing(90, 3 * std::numbers::pi / 2), false), 45);
}

TEST(GlassHeroMathTest, HoverTickRoundsToTheNearestTickAndWrapsAtTwelve) {
    const double step = 2 * std::numbers::pi / 60;
    EXPECT_EQ(hoverTick(onRing(90, -0.01), false), 0); // rounds to 60
    EXPECT_EQ(hoverTick(onRing(90, 0.01), false), 0);
    EXPECT_EQ(hoverTick(onRing(90, 7.5 * step + 1e-9), false), 8);
    EXPECT_EQ(hoverTick(onRing(90, 7.5 * step - 1e-6), false), 7);
}

TEST(GlassHeroMathTest, NoHoverTickWhileAwakeOverTheGlassOrWithoutPointer) {
    EXPECT_EQ(hoverTick(onRing(90, 1), true), std::nullopt);
    EXPECT_EQ(hoverTick(std::nullopt, false), std::nullopt);
    EXPECT_TRUE(isOverGlass(CanvasPoint{75, 90}));
    EXPECT_TRUE(isOverGlass(CanvasPoint{135, 166}));
    EXPECT_FALSE(isOverGlass(CanvasPoint{74.9, 120}));
    EXPECT_FALSE(isOverGlass(CanvasPoint{105, 166.1}));
}

TEST(GlassHeroMathTest, CanvasPointUndoesTheCentredFit) {
    // 400 × 142: scale 142/250, drawing 119.28 wide, centred horizontally.
    const double s = 142.0 / 250;
    const auto centre = canvasPoint(200, 71, 400, 142);
    ASSERT_TRUE(centre);
    EXPECT_NEAR(centre->x, 105, 1e-9);
    EXPECT_NEAR(centre->y, 125, 1e-9);
    const auto left = canvasPoint((400 - 210 * s) / 2, 0, 400, 142);
    ASSERT_TRUE(left);
    EXPECT_NEAR(left->x, 0, 1e-9);
    EXPECT_NEAR(left->y, 0, 1e-9);
    EXPECT_TRUE(canvasPoint(400, 142, 400, 142)); // edges count as inside
    EXPECT_FALSE(canvasPoint(400.1, 10, 400, 142));
    EXPECT_FALSE(canvasPoint(10, -0.1, 400, 142));
    EXPECT_FALSE(canvasPoint(0, 0, 0, 0));
}

} // namespace
} // namespace vigilo::GlassHeroMath
