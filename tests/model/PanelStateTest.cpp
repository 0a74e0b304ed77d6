#include "model/PanelState.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

TEST(PanelState, EveryCloseReturnsToTheMainScreenWithoutAPointer) {
    PanelState panel;
    panel.setPanelVisible(true);
    panel.setPointer(PanelPoint{.x = 40, .y = 40});
    panel.setShowsSettings(true);
    panel.setPanelTab(PanelTab::About);

    panel.resetAfterDismiss();

    EXPECT_FALSE(panel.isPanelVisible());
    EXPECT_FALSE(panel.pointer().has_value());
    EXPECT_FALSE(panel.showsSettings());
    EXPECT_EQ(panel.panelTab(), PanelTab::General);
}

TEST(PanelState, OnlyRealChangesArePublished) {
    PanelState panel;
    int notices = 0;
    const auto counter = panel.changed().connect([&] { ++notices; });

    panel.setPointer(PanelPoint{.x = 1, .y = 2});
    panel.setPointer(PanelPoint{.x = 1, .y = 2}); // an unmoved pointer publishes nothing
    panel.resetAfterDismiss();                    // only the pointer was set
    panel.resetAfterDismiss();

    EXPECT_EQ(notices, 2);
}

} // namespace
} // namespace vigilo
