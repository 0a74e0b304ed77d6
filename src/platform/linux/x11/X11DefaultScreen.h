#pragma once

#include <cstdlib>
#include <xcb/xcb.h>

namespace vigilo {

/// The screen of $DISPLAY that Qt opens: the one the variable names, else the first.
[[nodiscard]] inline int defaultX11Screen() {
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) {
        screen = 0;
    }
    std::free(host);
    return screen;
}

} // namespace vigilo
