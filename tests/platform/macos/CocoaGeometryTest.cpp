#include "platform/macos/panel/CocoaGeometry.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

TEST(CocoaGeometry, FlipsAnAreaIntoAppKitWindowCoordinates) {
    // A 430 x 480 window with the panel 40 points inside each edge.
    EXPECT_EQ(flippedIntoWindow({.x = 40, .y = 40, .width = 350, .height = 400}, 480),
              (CocoaRect{.x = 40, .y = 40, .width = 350, .height = 400}));
    EXPECT_EQ(flippedIntoWindow({.x = 10, .y = 0, .width = 100, .height = 50}, 480),
              (CocoaRect{.x = 10, .y = 430, .width = 100, .height = 50}))
        << "the top of the window is the largest y";
    EXPECT_EQ(flippedIntoWindow({.x = 0, .y = 430, .width = 100, .height = 50}, 480),
              (CocoaRect{.x = 0, .y = 0, .width = 100, .height = 50}));
}

TEST(CocoaGeometry, TheMouseInsideTheVisiblePanelIsClickableAndInTheMarginNot) {
    // The window at (1000, 300) on the screen, AppKit's bottom-left origin, 430 x 480; the
    // visible panel is the window less a margin of 40.
    const CocoaRect frame{.x = 1000, .y = 300, .width = 430, .height = 480};
    const PanelRect visible{.x = 40, .y = 40, .width = 350, .height = 400};
    struct Case {
        double mouseX;
        double mouseY;
        PanelPoint inWindow;
        bool clickable;
    };
    const Case cases[] = {
        {1000, 780, {0, 0}, false},    // the window's top-left corner
        {1040, 740, {40, 40}, true},   // the visible panel's top-left corner
        {1001, 740, {1, 40}, false},   // 39 points left of it, in the margin
        {1389, 341, {389, 439}, true}, // the visible panel's last point
        {1390, 341, {390, 439}, false}, {1389, 340, {389, 440}, false},
        {1215, 540, {215, 240}, true},  {900, 540, {-100, 240}, false}, // outside the window
    };
    for (const auto& one : cases) {
        const PanelPoint point = pointInWindow(one.mouseX, one.mouseY, frame);
        EXPECT_EQ(point, one.inWindow) << one.mouseX << "," << one.mouseY;
        EXPECT_EQ(visible.contains(point), one.clickable) << one.mouseX << "," << one.mouseY;
    }
}

} // namespace
} // namespace vigilo
