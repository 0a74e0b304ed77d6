#include "panel/GlassPanel.h"

#include "fakes/FakePanelWindowSystem.h"
#include "fakes/FakeScheduler.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

constexpr PanelRect visible{.x = 200, .y = 60, .width = 340, .height = 288};
constexpr PanelRect visibleInWindow{.x = 40, .y = 40, .width = 340, .height = 288};

class GlassPanelTest : public ::testing::Test {
protected:
    GlassPanelTest() {
        panel.onDismiss = [this] { ++dismissals; };
        panel.setVisiblePanel(visible);
    }

    /// Shows the panel and lets it take the focus.
    void presentAndFocus() {
        panel.present();
        QCoreApplication::processEvents();
        ASSERT_TRUE(panel.isActive());
    }
    [[nodiscard]] PanelRect clickableArea() {
        return windowSystem.clickableAreas.at(
            static_cast<PanelWindowSystem::WindowId>(panel.winId()));
    }

    fakes::FakePanelWindowSystem windowSystem;
    fakes::FakeScheduler scheduler;
    GlassPanel panel{windowSystem, scheduler};
    int dismissals = 0;
};

TEST_F(GlassPanelTest, AFramelessToolWindowAboveOthersOutOfTaskbarsWithThePointerFromItsCorner) {
    presentAndFocus();
    EXPECT_TRUE(
        panel.flags().testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
    EXPECT_EQ(windowSystem.keptOutOfTaskbars, 1);

    QCursor::setPos(200, 60); // the visible panel's top-left corner
    EXPECT_EQ(panel.pointer(), (PanelPoint{.x = 40, .y = 40}));
}

TEST_F(GlassPanelTest, DismissingAHiddenPanelDoesNothing) {
    panel.dismiss();
    panel.fadeOut();
    scheduler.advance(1);
    EXPECT_EQ(dismissals, 0);
}

TEST_F(GlassPanelTest, TwoFadeOutsGiveOneFadeThatTakesNoClicksAndOneDismissal) {
    presentAndFocus();
    panel.fadeOut();
    scheduler.advance(0.06);
    panel.fadeOut();
    EXPECT_EQ(clickableArea(), PanelRect{}) << "the fading panel takes no clicks";
    EXPECT_TRUE(panel.isVisible());

    scheduler.advance(0.06);
    EXPECT_FALSE(panel.isVisible());
    scheduler.advance(1);
    EXPECT_EQ(dismissals, 1);
}

TEST_F(GlassPanelTest, AFadeCutShortByADismissalDoesNotCloseTheNextShowing) {
    presentAndFocus();
    panel.fadeOut();
    panel.dismiss();
    presentAndFocus();
    EXPECT_EQ(clickableArea(), visibleInWindow);

    scheduler.advance(1);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(dismissals, 1);
}

TEST_F(GlassPanelTest, EscapeCloses) {
    presentAndFocus();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &escape);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(dismissals, 1);
}

TEST_F(GlassPanelTest, LosingTheFocusClosesUnlessKeptOpenOrADialogIsUp) {
    struct Case {
        const char* what;
        bool keptOpen;
        bool modalDialog;
        bool closes;
    };
    const Case cases[] = {
        {"another window takes the focus", false, false, true},
        {"the owner keeps it open", true, false, false},
        {"a modal dialog of ours takes the focus", false, true, false},
    };
    for (const Case& c : cases) {
        panel.keepsOpenOnResign = [&c] { return c.keptOpen; };
        dismissals = 0;
        presentAndFocus();

        QWindow other;
        if (c.modalDialog) {
            other.setModality(Qt::ApplicationModal);
        }
        other.show();
        other.requestActivate();
        QCoreApplication::processEvents();
        ASSERT_FALSE(panel.isActive()) << c.what;

        EXPECT_EQ(panel.isVisible(), !c.closes) << c.what;
        EXPECT_EQ(dismissals, c.closes ? 1 : 0) << c.what;
        other.close();
        panel.dismiss();
    }
}

TEST_F(GlassPanelTest, WithoutACompositorOnlyTheVisiblePanelIsShownAndNothingIsBlurred) {
    windowSystem.blurredAreas.clear();
    panel.setOpaque(true);
    EXPECT_EQ(panel.mask().boundingRect(), QRect(40, 40, 340, 288));
    EXPECT_TRUE(windowSystem.blurredAreas.empty());

    panel.setOpaque(false);
    EXPECT_TRUE(panel.mask().isEmpty());
    EXPECT_EQ(windowSystem.blurredAreas.at(static_cast<PanelWindowSystem::WindowId>(panel.winId())),
              visibleInWindow);
}

} // namespace
} // namespace vigilo
