#include "model/PanelGeometry.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

using PanelGeometry::margin;

// A visible panel of 340 × 288 at (900, 40) on the screen.
constexpr PanelRect visible{.x = 900, .y = 40, .width = 340, .height = 288};

TEST(PanelGeometry, TheWindowIsTheVisiblePanelGrownByTheMargin) {
    const PanelRect frame = PanelGeometry::windowFrame(visible);
    EXPECT_EQ(frame, (PanelRect{.x = 860, .y = 0, .width = 420, .height = 368}));
    EXPECT_EQ(PanelGeometry::contentBounds(frame.size()),
              (PanelRect{.x = 0, .y = 0, .width = 420, .height = 368}));
}

TEST(PanelGeometry, ClicksInTheMarginPassThroughAndInsideTheVisiblePanelAreReceived) {
    const PanelRect clickable =
        PanelGeometry::clickableArea(PanelGeometry::windowFrame(visible).size());
    struct Case {
        const char* where;
        PanelPoint point; // window coordinates
        bool received;
    };
    const double right = margin + visible.width;
    const double bottom = margin + visible.height;
    const Case cases[] = {
        {"39 points left of the panel", {1, 100}, false},
        {"39 points below the panel", {100, bottom + 38}, false},
        {"1 point inside the top-left corner", {margin + 1, margin + 1}, true},
        {"1 point inside the bottom-right corner", {right - 1, bottom - 1}, true},
        {"on the right edge", {right, 100}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clickable.contains(c.point), c.received) << c.where;
    }
}

TEST(PanelGeometry, ThePointerAtTheVisiblePanelsTopLeftReadsTheMargin) {
    const PanelRect frame = PanelGeometry::windowFrame(visible);
    const ScreenPoint origin{.x = frame.x, .y = frame.y};
    EXPECT_EQ(PanelGeometry::pointer(origin, {.x = visible.x, .y = visible.y}),
              (PanelPoint{.x = 40, .y = 40}));
    EXPECT_EQ(PanelGeometry::pointer(origin, {.x = 850, .y = 10}), (PanelPoint{.x = -10, .y = 10}))
        << "left of the window: negative";
}

} // namespace
} // namespace vigilo
