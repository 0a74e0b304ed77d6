#include "model/GlassHero.h"

#include "fakes/FakeClock.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

using GlassHeroMath::CanvasPoint;

class GlassHeroTest : public ::testing::Test {
protected:
    fakes::FakeClock clock;
    GlassHero hero{clock.now()};
    GlassHero::Inputs inputs{.isAwake = false,
                             .isPanelVisible = true,
                             .reduceMotion = false,
                             .cupFraction = 0.4,
                             .pointer = std::nullopt};

    void switchTo(bool awake) {
        inputs.isAwake = awake;
        hero.awakeChanged(clock.now(), awake);
    }
    GlassState frame() { return hero.frame(clock.now(), inputs); }
};

TEST_F(GlassHeroTest, OpeningWhileAwakeShowsAFullGlassAtOnce) {
    inputs.isAwake = true;
    hero.appear(clock.now(), true);
    const GlassState state = frame();
    EXPECT_DOUBLE_EQ(state.coffee, 0.72);
    EXPECT_DOUBLE_EQ(state.ice, 1);
    EXPECT_DOUBLE_EQ(state.ring, 0.4);
    EXPECT_EQ(state.hoverTick, std::nullopt);
}

TEST_F(GlassHeroTest, SwitchingOnFillsOverNineTenthsOfASecond) {
    hero.appear(clock.now(), false);
    switchTo(true);
    clock.advance(0.45);
    GlassState state = frame();
    EXPECT_NEAR(state.coffee, 0.36, 1e-9);
    EXPECT_NEAR(state.ice, 0.6, 1e-9);
    EXPECT_NEAR(state.time, 0.45, 1e-6);
    clock.advance(0.45);
    state = frame();
    EXPECT_NEAR(state.coffee, 0.72, 1e-9);
    EXPECT_DOUBLE_EQ(state.ice, 1);
    clock.advance(3);
    EXPECT_DOUBLE_EQ(frame().coffee, 0.72);
}

TEST_F(GlassHeroTest, SwitchingOffDarkensTheRingAtOnceAndEmptiesTheGlass) {
    inputs.isAwake = true;
    hero.appear(clock.now(), true);
    switchTo(false);
    EXPECT_DOUBLE_EQ(frame().ring, 0);
    EXPECT_NEAR(frame().coffee, 0.72, 1e-9);
    clock.advance(0.9);
    EXPECT_DOUBLE_EQ(frame().coffee, 0);
    EXPECT_DOUBLE_EQ(frame().ice, 0);
}

TEST_F(GlassHeroTest, ReversalContinuesFromTheShownLevel) {
    inputs.isAwake = true;
    hero.appear(clock.now(), true);
    switchTo(false);
    clock.advance(0.3);
    const double shown = hero.level(clock.now(), false);
    EXPECT_NEAR(shown, 0.7407, 1e-4);
    switchTo(true);
    EXPECT_NEAR(hero.fromFill(), shown, 1e-12);
    EXPECT_NEAR(frame().coffee, 0.72 * shown, 1e-9);
    clock.advance(0.45);
    EXPECT_NEAR(hero.level(clock.now(), true), shown + 0.5 * (1 - shown), 1e-9);
}

TEST_F(GlassHeroTest, OffStateSettlesOneSecondAfterSwitchingOff) {
    inputs.isAwake = true;
    hero.appear(clock.now(), true);
    EXPECT_TRUE(hero.needsFrames(inputs));
    switchTo(false);
    clock.advance(0.99);
    hero.advance(clock.now());
    EXPECT_TRUE(hero.needsFrames(inputs));
    clock.advance(0.01);
    hero.advance(clock.now());
    EXPECT_TRUE(hero.isSettled());
    EXPECT_FALSE(hero.needsFrames(inputs));

    inputs.pointer = CanvasPoint{105, 28}; // on the ring band
    EXPECT_TRUE(hero.needsFrames(inputs));
    EXPECT_EQ(frame().hoverTick, 0);
    inputs.pointer = CanvasPoint{105, 120}; // on the glass
    EXPECT_TRUE(hero.needsFrames(inputs));
    inputs.pointer.reset();
    inputs.isPanelVisible = false;
    switchTo(true);
    EXPECT_FALSE(hero.needsFrames(inputs));
}

TEST_F(GlassHeroTest, SwitchingOnAgainCancelsThePendingSettle) {
    hero.appear(clock.now(), true);
    switchTo(false);
    clock.advance(0.5);
    switchTo(true);
    clock.advance(0.6);
    switchTo(false);
    clock.advance(0.6);
    hero.advance(clock.now());
    EXPECT_FALSE(hero.isSettled());
    clock.advance(0.4);
    hero.advance(clock.now());
    EXPECT_TRUE(hero.isSettled());
}

TEST_F(GlassHeroTest, WobbleFollowsTheSideThePointerCameFrom) {
    inputs.pointer = CanvasPoint{80, 120};
    hero.appear(clock.now(), false);
    hero.pointerEnteredGlass(clock.now(), 80);
    clock.advance(0.1);
    EXPECT_GT(frame().tilt, 0);
    EXPECT_NE(frame().liquidAngle, 0);
    inputs.reduceMotion = true;
    EXPECT_EQ(frame().tilt, 0);
    EXPECT_EQ(frame().liquidAngle, 0);
    inputs.reduceMotion = false;
    clock.advance(1.5); // 1.6 s after entering, still on the glass
    EXPECT_EQ(frame().tilt, 0);
    EXPECT_EQ(frame().liquidAngle, 0);

    hero.pointerLeftGlass();
    inputs.pointer = CanvasPoint{130, 120};
    hero.pointerEnteredGlass(clock.now(), 130);
    clock.advance(0.1);
    EXPECT_LT(frame().tilt, 0);
    hero.pointerLeftGlass();
    EXPECT_EQ(frame().tilt, 0);
}

} // namespace
} // namespace vigilo
