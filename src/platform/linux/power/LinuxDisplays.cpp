#include "platform/linux/power/LinuxDisplays.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace vigilo {

bool isBuiltInPanelName(QStringView screenName) {
    for (const QStringView prefix : {u"eDP", u"LVDS", u"DSI"}) {
        if (screenName.startsWith(prefix, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

LinuxDisplays::LinuxDisplays(ProcessRunner& processes)
    : processes_(processes) {}

bool LinuxDisplays::hasExternalDisplay() const {
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.cbegin(), screens.cend(),
                       [](const QScreen* screen) { return !isBuiltInPanelName(screen->name()); });
}

void LinuxDisplays::turnScreenOff() {
    // A run still under way turns the monitors off already.
    if (QGuiApplication::platformName() != u"xcb" || running_) {
        return;
    }
    running_ = true;
    // Replacing the previous worker joins it, which has ended its run already.
    worker_ = std::jthread([this](const std::stop_token& stop) {
        // Best effort: a server without DPMS simply keeps the monitor on.
        (void)processes_.runWithin("/usr/bin/xset", {"dpms", "force", "off"},
                                   {.timeout = toolTimeout, .stop = stop});
        running_ = false;
    });
}

} // namespace vigilo
