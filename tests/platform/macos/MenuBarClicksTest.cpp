#include "platform/macos/statusitem/MenuBarClicks.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

TEST(MenuBarClicks, RightOrControlOpensTheMenuOptionTogglesAnyOtherClickOpensThePanel) {
    struct Case {
        bool rightButton;
        bool control;
        bool option;
        MenuBarClick expected;
    };
    const Case cases[] = {
        {false, false, false, MenuBarClick::Panel}, {false, false, true, MenuBarClick::Toggle},
        {true, false, false, MenuBarClick::Menu},   {false, true, false, MenuBarClick::Menu},
        {false, true, true, MenuBarClick::Menu},    {true, false, true, MenuBarClick::Menu},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(menuBarClick(c.rightButton, c.control, c.option), c.expected)
            << c.rightButton << c.control << c.option;
    }
}

} // namespace
} // namespace vigilo
