#include "ui/GlassHeroItem.h"

#include "fakes/FakeAudioOut.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDefaults.h"
#include "model/SoundPlayer.h"
#include "ui/ViewServices.h"

#include <QElapsedTimer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

// The item at exactly canvas size, so item and canvas coordinates coincide.
class GlassHeroItemTest : public ::testing::Test {
protected:
    GlassHeroItemTest() {
        window.resize(210, 250);
        hero.setSize(QSizeF(210, 250));
        QObject::connect(&window, &QQuickWindow::frameSwapped, &window, [this] { ++frames; });
    }

    /// An item of the `Vigilo` module made by the engine, as the views make it.
    template <typename Item> Item& made(const char* qml) {
        addVigiloImportPath(engine);
        QQmlComponent component(&engine);
        component.setData(QByteArray("import Vigilo\n") + qml, QUrl());
        auto* item = qobject_cast<Item*>(component.create());
        if (item == nullptr) {
            qFatal("%s", qPrintable(component.errorString()));
        }
        QQmlEngine::setObjectOwnership(item, QQmlEngine::CppOwnership);
        item->setParent(&engine);
        return *item;
    }

    void show(bool awake) {
        hero.setAwake(awake);
        hero.setPanelVisible(true);
        hero.setParentItem(window.contentItem());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // Frames drawn over `ms` of real time.
    int framesDuring(int ms) {
        frames = 0;
        QTest::qWait(ms);
        return frames;
    }

    // Waits (generously: the machine may be busy) for the frame timer to draw at least once.
    bool framesArrive() {
        frames = 0;
        return QTest::qWaitFor([this] { return frames > 0; }, 2000);
    }
    bool framesStop() {
        const bool stopped = QTest::qWaitFor([this] { return !hero.isAnimating(); }, 2000);
        QTest::qWait(50); // the window still shows the last frame
        return stopped;
    }

    fakes::FakeClock clock;
    fakes::FakeAudioOut audio;
    fakes::FakeDefaults defaults;
    Settings settings{defaults};
    SoundPlayer sounds{audio, settings, clock};
    QQuickWindow window;
    QQmlEngine engine;
    ViewServices* services = new ViewServices(clock, &sounds, engine);
    GlassHeroItem& hero = made<GlassHeroItem>("GlassHero {}");
    int frames = 0;
};

TEST_F(GlassHeroItemTest, OpensAtRestAndRunsWhileAwake) {
    hero.setCupFraction(0.5);
    show(true);
    EXPECT_DOUBLE_EQ(hero.glassState().coffee, 0.72);
    EXPECT_DOUBLE_EQ(hero.glassState().ring, 0.5);
    EXPECT_TRUE(hero.isAnimating());
    clock.advance(0.2);
    EXPECT_TRUE(framesArrive());
    EXPECT_NEAR(hero.glassState().time, 0.2, 1e-6);
}

TEST_F(GlassHeroItemTest, PointerMovesAddNoFramesBeyondThirtyASecond) {
    show(true);
    clock.advance(0.1);
    ASSERT_TRUE(framesArrive());
    frames = 0;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int step = 0; elapsed.elapsed() < 340; ++step) {
        hero.setPointer(QPointF(20 + step % 50, 30));
        clock.advance(0.002);
        QTest::qWait(2);
    }
    EXPECT_LE(frames, 11 * elapsed.elapsed() / 340);
}

TEST_F(GlassHeroItemTest, NoFramesWhilePanelIsHidden) {
    show(true);
    hero.setPanelVisible(false);
    EXPECT_FALSE(hero.isAnimating());
    clock.advance(0.5);
    EXPECT_EQ(framesDuring(200), 0);
    hero.setPanelVisible(true);
    EXPECT_TRUE(hero.isAnimating());
    EXPECT_TRUE(framesArrive());
}

TEST_F(GlassHeroItemTest, FramesStopOneSecondAfterSwitchingOffWithPointerAway) {
    show(true);
    hero.setAwake(false);
    clock.advance(0.45);
    EXPECT_TRUE(framesArrive());
    EXPECT_NEAR(hero.glassState().coffee, 0.72 * 0.5, 1e-6);
    EXPECT_TRUE(hero.isAnimating());
    clock.advance(0.55);
    EXPECT_TRUE(framesStop()); // the next frame finds the off state settled
    EXPECT_DOUBLE_EQ(hero.glassState().coffee, 0);
    clock.advance(1);
    EXPECT_EQ(framesDuring(200), 0);

    // The pointer on the ring band wakes the frames to highlight a tick.
    hero.setPointer(QPointF(105, 28));
    EXPECT_TRUE(hero.isAnimating());
    EXPECT_EQ(hero.glassState().hoverTick, 0);
    hero.setPointer(QVariant());
    EXPECT_TRUE(framesStop());
    EXPECT_EQ(hero.glassState().hoverTick, std::nullopt);
}

TEST_F(GlassHeroItemTest, EnteringTheGlassWhileAwakeClinksTheIce) {
    show(false);
    hero.setPointer(QPointF(80, 120));
    EXPECT_TRUE(audio.plays.empty());
    hero.setPointer(QPointF(20, 20));
    hero.setAwake(true);
    clock.advance(0.5);
    hero.setPointer(QPointF(130, 120));
    ASSERT_EQ(audio.plays.size(), 1U);
    EXPECT_EQ(audio.plays[0].name, "ice-coffee");
    EXPECT_FLOAT_EQ(audio.plays[0].volume, 0.35F);
    clock.advance(0.1);
    EXPECT_TRUE(framesArrive());
    EXPECT_LT(hero.glassState().tilt, 0); // came in from the right
    hero.setPointer(QPointF(131, 121));   // moving on the glass is no new entry
    EXPECT_EQ(audio.plays.size(), 1U);
}

TEST_F(GlassHeroItemTest, SimpleAnimationAndReducedMotionShowTheStillPicture) {
    show(true);
    hero.setSimpleAnimation(true);
    EXPECT_EQ(hero.glassState(), stillGlassState(true));
    EXPECT_FALSE(hero.isAnimating());
    hero.setAwake(false);
    EXPECT_EQ(hero.glassState(), stillGlassState(false));
    QTest::qWait(50); // the changed picture is drawn once, then nothing moves
    EXPECT_EQ(framesDuring(150), 0);
    hero.setSimpleAnimation(false);
    hero.setReducedMotion(true);
    EXPECT_EQ(hero.glassState(), stillGlassState(false));
    hero.setPointer(QPointF(80, 120));
    EXPECT_DOUBLE_EQ(hero.glassState().tilt, 0);
    // Back to the animation: it starts at rest, empty, with no fill transition.
    hero.setReducedMotion(false);
    EXPECT_DOUBLE_EQ(hero.glassState().coffee, 0);
    EXPECT_TRUE(audio.plays.empty());
}

} // namespace
} // namespace vigilo
