#pragma once

#include "platform/ports/Displays.h"
#include "platform/ports/ProcessRunner.h"

#include <QStringView>

namespace vigilo {

/// The connector name of a laptop's own panel (eDP, LVDS or DSI, as the kernel and X name them).
[[nodiscard]] bool isBuiltInPanelName(QStringView screenName);

/// The screens of the running Qt application. Needs a QGuiApplication.
class LinuxDisplays final : public Displays {
public:
    /// `processes` runs the X display-power tool and must outlive this object.
    explicit LinuxDisplays(ProcessRunner& processes);

    [[nodiscard]] bool hasExternalDisplay() const override;
    /// On X11 forces the monitors off through DPMS. Wayland offers clients no such request, so
    /// elsewhere the desktop's own idle blanking does it once the display may sleep.
    void turnScreenOff() override;

private:
    ProcessRunner& processes_;
};

} // namespace vigilo
