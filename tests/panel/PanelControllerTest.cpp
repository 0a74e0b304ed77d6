#include "panel/PanelController.h"

#include "fakes/FakePanelWindowSystem.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/ModelFakes.h"

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QQuickItem>
#include <QWindow>
#include <cmath>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

// A stand-in for the panel's root view with the properties the controller sets and reads.
constexpr const char* standInView = R"(
import QtQuick
Item {
    required property QtObject status
    required property QtObject metrics
    required property QtObject lid
    required property QtObject panel
    required property QtObject settings
    required property QtObject apps
    property QtObject updates
    required property bool opaque
    property size visibleSize: Qt.size(340, 288)
}
)";

// The tray icon, 24 points square, in a tray along the top of the offscreen screen (800 × 600).
const PanelAnchor fromTheIcon{.icon = PanelRect{.x = 388, .y = 2, .width = 24, .height = 24}};
// The visible panel under it, and the window around that.
const QRect windowUnderTheIcon(230 - 40, 32 - 40, 420, 368);

// Public: the table-driven cases act on the fixture from lambdas.
class PanelControllerTest : public ::testing::Test, protected fakes::ModelFakes {
public:
    PanelControllerTest() { QCursor::setPos(0, 590); }

    /// Moves both clocks on in pointer-timer steps, so each tick sees its own time.
    void advance(double seconds) {
        const auto steps = std::lround(seconds / PanelController::pointerIntervalSeconds);
        for (long i = 0; i < steps; ++i) {
            clock.advance(PanelController::pointerIntervalSeconds);
            scheduler.advance(PanelController::pointerIntervalSeconds);
        }
    }
    [[nodiscard]] GlassPanel& window() { return *controller.window(); }
    [[nodiscard]] QQuickItem& view() { return *window().contentItem()->childItems().first(); }
    /// A point of the visible panel, on the screen.
    [[nodiscard]] QPoint insideThePanel() {
        return window().geometry().topLeft() + QPoint(100, 100);
    }

    AwakeModel model{services()};
    PanelState& panelState = model.panelState();
    fakes::FakePanelWindowSystem windowSystem;
    fakes::FakeWorkspace workspace;
    RunningAppsWatcher appsWatcher{settings, workspace, scheduler};
    PanelController controller{{.model = model,
                                .watcher = appsWatcher,
                                .clock = clock,
                                .scheduler = scheduler,
                                .windowSystem = windowSystem,
                                .sounds = sounds},
                               standInView};
};

TEST_F(PanelControllerTest, AClickOpensThePanelUnderTheIconAndTheNextClosesIt) {
    EXPECT_EQ(controller.window(), nullptr) << "nothing is built before the first opening";
    stats.ticks = {std::nullopt}; // one reading to take

    controller.togglePanel(fromTheIcon);
    ASSERT_TRUE(controller.isOpen());
    EXPECT_EQ(window().geometry(), windowUnderTheIcon);
    QCoreApplication::processEvents(); // the window system's word on the new size
    EXPECT_EQ(view().size(), QSizeF(420, 368)) << "the view fills the window";
    EXPECT_TRUE(stats.ticks.empty()) << "fresh figures";
    EXPECT_TRUE(panelState.isPanelVisible());
    EXPECT_EQ(panelState.pointer(), (PanelPoint{.x = -190, .y = 598}));

    controller.togglePanel(fromTheIcon);
    EXPECT_FALSE(controller.isOpen());
    EXPECT_FALSE(panelState.isPanelVisible());
}

TEST_F(PanelControllerTest, ThePanelDoesNotReopenWithinThreeTenthsOfASecondOfAClose) {
    controller.togglePanel(fromTheIcon);
    controller.togglePanel(fromTheIcon);

    clock.advance(0.3);
    controller.togglePanel(fromTheIcon);
    EXPECT_FALSE(controller.isOpen());
    clock.advance(0.01);
    controller.togglePanel(fromTheIcon);
    EXPECT_TRUE(controller.isOpen());
}

TEST_F(PanelControllerTest, ThePointerIsPublishedOnlyWhenItMoves) {
    controller.togglePanel(fromTheIcon);
    int notices = 0;
    const auto counter = panelState.changed().connect([&] { ++notices; });

    advance(0.2);
    EXPECT_EQ(notices, 0);
    QCursor::setPos(230, 32);
    advance(0.05);
    EXPECT_EQ(panelState.pointer(), (PanelPoint{.x = 40, .y = 40}));
    EXPECT_EQ(notices, 1);
}

TEST_F(PanelControllerTest, SevenSecondsWithoutActivityFadeThePanelOut) {
    struct Case {
        const char* what;
        std::function<void(PanelControllerTest&)> atFiveSeconds;
        /// Since the panel opened; none when nothing counted as activity.
        std::optional<double> lastActivity;
    };
    const Case cases[] = {
        {"no activity", [](PanelControllerTest&) {}, std::nullopt},
        {"the pointer moved inside the panel",
         [](PanelControllerTest& test) { QCursor::setPos(test.insideThePanel()); }, 5},
        {"the pointer moved elsewhere on the screen",
         [](PanelControllerTest&) { QCursor::setPos(790, 590); }, std::nullopt},
        {"a click in the panel",
         [](PanelControllerTest& test) {
             QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 100),
                               QPointF(test.insideThePanel()), Qt::LeftButton, Qt::LeftButton,
                               Qt::NoModifier);
             QCoreApplication::sendEvent(&test.window(), &press);
         },
         5},
        {"a key press in the panel",
         [](PanelControllerTest& test) {
             QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
             QCoreApplication::sendEvent(&test.window(), &tab);
         },
         5},
        {"the keyboard focus moved in the panel",
         [](PanelControllerTest& test) {
             auto* field = new QQuickItem(&test.view());
             field->setActiveFocusOnTab(true);
             field->forceActiveFocus();
         },
         5},
        // Busy until 8 s: the last idle check before then counts as activity.
        {"the updater is busy",
         [](PanelControllerTest& test) { test.controller.isUpdaterWorking = [] { return true; }; },
         8},
    };
    for (const Case& c : cases) {
        controller.isUpdaterWorking = [] { return false; };
        QCursor::setPos(0, 590);
        clock.advance(1);
        controller.togglePanel(fromTheIcon);
        ASSERT_TRUE(controller.isOpen()) << c.what;

        advance(5);
        c.atFiveSeconds(*this);
        advance(1.9);
        EXPECT_TRUE(controller.isOpen()) << c.what << ": not before 7 s";
        advance(1.1);
        EXPECT_EQ(controller.isOpen(), c.lastActivity.has_value()) << c.what;
        if (c.lastActivity) {
            controller.isUpdaterWorking = [] { return false; };
            advance(*c.lastActivity + 6.5 - 8);
            EXPECT_TRUE(controller.isOpen()) << c.what << ": 6.5 s after the last activity";
            advance(1);
            EXPECT_FALSE(controller.isOpen()) << c.what << ": 7.5 s after the last activity";
        }
    }
}

TEST_F(PanelControllerTest, AnOpenDialogKeepsThePanelFromFadingOut) {
    controller.togglePanel(fromTheIcon);
    QWindow dialog;
    dialog.setModality(Qt::ApplicationModal);
    dialog.show();
    QCoreApplication::processEvents();

    advance(10);
    EXPECT_TRUE(controller.isOpen());
    dialog.close();
    advance(7.2);
    EXPECT_FALSE(controller.isOpen());
}

TEST_F(PanelControllerTest, EveryKindOfCloseResetsTheViewStateAndStopsTheTimers) {
    struct Case {
        const char* what;
        std::function<void(PanelControllerTest&)> close;
    };
    const Case cases[] = {
        {"a click on the icon",
         [](PanelControllerTest& t) { t.controller.togglePanel(fromTheIcon); }},
        {"the tray menu", [](PanelControllerTest& t) { t.controller.dismiss(); }},
        {"Escape",
         [](PanelControllerTest& t) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QCoreApplication::sendEvent(&t.window(), &escape);
         }},
        {"another window taking the focus",
         [](PanelControllerTest& t) {
             QCoreApplication::processEvents(); // the panel takes the focus
             QWindow other;
             other.show();
             other.requestActivate();
             QCoreApplication::processEvents();
             t.advance(0.05);
         }},
        {"idleness", [](PanelControllerTest& t) { t.advance(7.25); }},
    };
    for (const Case& c : cases) {
        clock.advance(1);
        controller.togglePanel(fromTheIcon);
        ASSERT_TRUE(controller.isOpen()) << c.what;
        panelState.setShowsSettings(true);
        panelState.setPanelTab(PanelTab::Apps);

        c.close(*this);
        ASSERT_FALSE(controller.isOpen()) << c.what;
        EXPECT_FALSE(panelState.isPanelVisible()) << c.what;
        EXPECT_FALSE(panelState.showsSettings()) << c.what;
        EXPECT_EQ(panelState.panelTab(), PanelTab::General) << c.what;
        EXPECT_EQ(panelState.pointer(), std::nullopt) << c.what;

        QCursor::setPos(insideThePanel());
        advance(0.1);
        EXPECT_EQ(panelState.pointer(), std::nullopt) << c.what << ": the pointer timer stopped";
        controller.togglePanel(fromTheIcon);
        EXPECT_FALSE(controller.isOpen()) << c.what << ": the reopen guard counts from this close";
    }
}

TEST_F(PanelControllerTest, AboutOpensTheSettingsOnTheAboutTab) {
    controller.showAbout(fromTheIcon);
    EXPECT_TRUE(controller.isOpen());
    EXPECT_TRUE(panelState.showsSettings());
    EXPECT_EQ(panelState.panelTab(), PanelTab::About);

    // The menu closed the panel as it opened; a choice right after leaves it closed, set up.
    controller.dismiss();
    controller.showAbout(fromTheIcon);
    EXPECT_FALSE(controller.isOpen());
    EXPECT_TRUE(panelState.showsSettings());
    EXPECT_EQ(panelState.panelTab(), PanelTab::About);
}

TEST_F(PanelControllerTest, TheWindowFollowsTheViewsSizeUnderTheIcon) {
    controller.togglePanel(fromTheIcon);
    view().setProperty("visibleSize", QSizeF(340, 364));
    EXPECT_EQ(window().geometry(), QRect(190, -8, 420, 444));
    EXPECT_EQ(
        windowSystem.clickableAreas.at(static_cast<PanelWindowSystem::WindowId>(window().winId())),
        (PanelRect{.x = 40, .y = 40, .width = 340, .height = 364}));
}

TEST_F(PanelControllerTest, WithoutACompositorTheViewDrawsOpaque) {
    windowSystem.compositing = false;
    controller.togglePanel(fromTheIcon);
    EXPECT_TRUE(view().property("opaque").toBool());

    controller.togglePanel(fromTheIcon);
    windowSystem.compositing = true; // a compositor started while the panel was closed
    clock.advance(1);
    controller.togglePanel(fromTheIcon);
    EXPECT_FALSE(view().property("opaque").toBool());
}

TEST_F(PanelControllerTest, TheSceneIsReleasedAMinuteAfterTheLastCloseAndRebuiltOnOpening) {
    controller.togglePanel(fromTheIcon);
    controller.togglePanel(fromTheIcon);
    advance(30);
    controller.isUpdaterWorking = [] { return true; }; // keeps it open past the first release
    controller.togglePanel(fromTheIcon);
    advance(31);
    EXPECT_TRUE(controller.isOpen()) << "a release planned before an opening is dropped";

    controller.dismiss();
    advance(59.9);
    EXPECT_NE(controller.window(), nullptr);
    advance(0.2);
    EXPECT_EQ(controller.window(), nullptr);

    controller.togglePanel(fromTheIcon);
    ASSERT_TRUE(controller.isOpen());
    EXPECT_EQ(window().geometry(), windowUnderTheIcon);
}

} // namespace
} // namespace vigilo
