#include "model/PanelPlacement.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

constexpr PanelSize panel{.width = 340, .height = 288};
// A 1280 × 800 screen with a 28-point tray along the top.
constexpr PanelRect topTrayArea{.x = 0, .y = 28, .width = 1280, .height = 772};

PanelRect iconAt(double x, double y) {
    return {.x = x, .y = y, .width = 24, .height = 24};
}

TEST(PanelPlacement, PlacesTheVisiblePanelByTheIconAndTheScreen) {
    struct Case {
        const char* what;
        PanelSize size;
        PanelAnchor anchor;
        PanelRect area;
        PanelRect expected;
    };
    const Case cases[] = {
        {"centred 6 points under an icon in the middle of a top tray",
         panel,
         {.icon = iconAt(628, 2)},
         topTrayArea,
         {.x = 470, .y = 32, .width = 340, .height = 288}},
        {"an icon near the right edge: the right edge stays 8 points inside",
         panel,
         {.icon = iconAt(1250, 2)},
         topTrayArea,
         {.x = 932, .y = 32, .width = 340, .height = 288}},
        {"an icon near the left edge: the left edge stays 8 points inside",
         panel,
         {.icon = iconAt(2, 2)},
         topTrayArea,
         {.x = 8, .y = 32, .width = 340, .height = 288}},
        {"a screen narrower than the panel: the right edge wins",
         panel,
         {.icon = iconAt(100, 2)},
         {.x = 0, .y = 28, .width = 300, .height = 772},
         {.x = -48, .y = 32, .width = 340, .height = 288}},
        {"a second screen to the right: its own edges",
         panel,
         {.icon = iconAt(1290, 2)},
         {.x = 1280, .y = 28, .width = 1024, .height = 740},
         {.x = 1288, .y = 32, .width = 340, .height = 288}},
        {"a tray at the bottom: 6 points above the icon",
         panel,
         {.icon = iconAt(1000, 774)},
         {.x = 0, .y = 0, .width = 1280, .height = 772},
         {.x = 842, .y = 480, .width = 340, .height = 288}},
        {"no icon geometry: under the pointer",
         panel,
         {.pointer = {.x = 640, .y = 14}},
         topTrayArea,
         {.x = 470, .y = 28, .width = 340, .height = 288}},
        {"no icon geometry, pointer in a bottom-right corner: above it, inside the screen",
         panel,
         {.pointer = {.x = 1279, .y = 790}},
         {.x = 0, .y = 0, .width = 1280, .height = 800},
         {.x = 932, .y = 496, .width = 340, .height = 288}},
        {"a screen lower than the panel: its top edge stays on the screen",
         {.width = 340, .height = 500},
         {.icon = iconAt(628, 2)},
         {.x = 0, .y = 28, .width = 1280, .height = 400},
         {.x = 470, .y = 28, .width = 340, .height = 500}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PanelPlacement::visiblePanel(c.size, c.anchor, c.area), c.expected) << c.what;
    }
}

} // namespace
} // namespace vigilo
