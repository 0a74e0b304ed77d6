#include "platform/macos/statusitem/MenuBarClicks.h"

namespace vigilo {

MenuBarClick menuBarClick(bool rightButton, bool control, bool option) {
    if (rightButton || control) {
        return MenuBarClick::Menu;
    }
    return option ? MenuBarClick::Toggle : MenuBarClick::Panel;
}

} // namespace vigilo
