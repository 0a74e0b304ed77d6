#include "ViewHarness.h"
#include "fakes/ModelFakes.h"
#include "ui/PanelBridge.h"

#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace vigilo {
namespace {

/// A switch whose owner takes every value it hands over, as the settings do, and that keeps
/// every value its nudge passes through.
constexpr const char* ownedSwitch = R"(import Vigilo
CoffeeSwitch {
    property var nudges: []
    x: 100
    y: 100
    onSwitched: (on) => checked = on
    onNudgeChanged: nudges.push(nudge)
})";

class CoffeeSwitchTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    CoffeeSwitchTest() {
        control = harness.load(ownedSwitch, {{QStringLiteral("panel"), QVariant::fromValue(&panel)},
                                             {QStringLiteral("space"),
                                              QVariant::fromValue(harness.window.contentItem())}});
        if (control) {
            control->setWidth(44);
        }
        model.panelState().setPanelVisible(true);
    }

    /// The nudge's values since the last call, starting from rest.
    std::vector<double> takeNudges() {
        std::vector<double> values{0};
        for (const auto& value : control->property("nudges").toList()) {
            values.push_back(value.toDouble());
        }
        control->setProperty("nudges", QVariantList{});
        return values;
    }

    /// How many nudges started since the last call.
    int nudgesStarted() {
        const auto values = takeNudges();
        int started = 0;
        for (std::size_t i = 1; i < values.size(); ++i) {
            started += values[i - 1] == 0 && values[i] != 0 ? 1 : 0;
        }
        return started;
    }

    void click() {
        QTest::mouseClick(&harness.window, Qt::LeftButton, {}, QPoint(122, 110));
        QCoreApplication::processEvents();
    }

    /// Publishes the pointer, as the panel's owner does, and lets the bridge pass it on.
    void pointAt(double x, double y) {
        model.panelState().setPointer(PanelPoint{x, y});
        QCoreApplication::processEvents();
    }

    void waitUntilStill() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !control->property("moving").toBool(); }, 3000));
    }

    [[nodiscard]] double knobX() const {
        return control->findChild<QQuickItem*>(QStringLiteral("knob"))->x();
    }

    AwakeModel model{services()};
    PanelBridge panel{model};
    testing::ViewHarness harness{clock};
    std::unique_ptr<QQuickItem> control;
};

TEST_F(CoffeeSwitchTest, AClickSpringsTheKnobAcrossUnlessDisabled) {
    ASSERT_TRUE(control);
    struct Case {
        const char* what;
        bool enabled;
        bool reduceMotion;
        bool checkedAfter;
        double knobAfter;
        double opacity;
    };
    const Case cases[] = {
        {"off to on", true, false, true, 26, 1},
        {"on to off", true, false, false, 2, 1},
        {"with reduced motion", true, true, true, 26, 1},
        {"disabled", false, false, true, 26, 0.45},
    };
    EXPECT_EQ(knobX(), 2);
    for (const auto& c : cases) {
        control->setEnabled(c.enabled);
        model.panelState().setReducesMotion(c.reduceMotion);
        click();
        waitUntilStill();
        EXPECT_EQ(control->property("checked").toBool(), c.checkedAfter) << c.what;
        EXPECT_NEAR(knobX(), c.knobAfter, 0.01) << c.what;
        EXPECT_EQ(control->opacity(), c.opacity) << c.what;
    }
}

TEST_F(CoffeeSwitchTest, ThePointerArrivingNudgesTheKnobOnceTowardsTheOtherSide) {
    ASSERT_TRUE(control);
    struct Case {
        const char* what;
        bool checked;
        bool enabled;
        bool reduceMotion;
        std::vector<PanelPoint> path;
        int nudges;
    };
    // The switch spans 100…144 × 100…120; 3 points outside still counts.
    const std::vector<Case> cases = {
        {"arriving 3 points outside", false, true, false, {{97, 110}}, 1},
        {"moving about on it", false, true, false, {{110, 110}, {130, 105}, {140, 115}}, 1},
        {"leaving and coming back", false, true, false, {{110, 110}, {50, 50}, {110, 110}}, 2},
        {"5 points outside", false, true, false, {{95, 110}}, 0},
        {"disabled", false, false, false, {{110, 110}}, 0},
        {"reduced motion", false, true, true, {{110, 110}}, 0},
    };
    for (const auto& c : cases) {
        pointAt(0, 0);
        waitUntilStill();
        control->setProperty("checked", c.checked);
        control->setEnabled(c.enabled);
        model.panelState().setReducesMotion(c.reduceMotion);
        takeNudges();
        for (const auto& point : c.path) {
            pointAt(point.x, point.y);
            waitUntilStill();
        }
        EXPECT_EQ(nudgesStarted(), c.nudges) << c.what;
    }
}

TEST_F(CoffeeSwitchTest, TheNudgeLeansATenthOfTheTravelThenBackPastRest) {
    ASSERT_TRUE(control);
    struct Case {
        bool checked;
        double first;
        double second;
    };
    for (const auto& c : {Case{true, -2.4, 0.72}, Case{false, 2.4, -0.72}}) {
        control->setProperty("checked", c.checked);
        pointAt(50, 50);
        waitUntilStill();
        takeNudges();
        pointAt(110, 110);
        waitUntilStill();
        const auto values = takeNudges();
        const auto [lowest, highest] = std::ranges::minmax(values);
        EXPECT_NEAR(c.checked ? lowest : highest, c.first, 1e-9) << c.checked;
        EXPECT_NEAR(c.checked ? highest : lowest, c.second, 1e-9) << c.checked;
        EXPECT_EQ(values.back(), 0) << c.checked;
        EXPECT_NEAR(knobX(), c.checked ? 26 : 2, 1e-9);
    }
}

} // namespace
} // namespace vigilo
