#pragma once

#include "ports/Displays.h"
#include "ports/ProcessRunner.h"

#include <QStringView>
#include <atomic>
#include <chrono>
#include <thread>

namespace vigilo {

/// The connector name of a laptop's own panel (eDP, LVDS or DSI, as the kernel and X name them).
[[nodiscard]] bool isBuiltInPanelName(QStringView screenName);

/// The screens of the running Qt application. Needs a QGuiApplication.
class LinuxDisplays final : public Displays {
public:
    /// How long the X display-power tool may take before it is killed: it answers at once, but
    /// only once the X server answers it.
    static constexpr std::chrono::seconds toolTimeout{5};

    /// `processes` runs the X display-power tool, from a thread of this object's own, and must
    /// outlive this object.
    explicit LinuxDisplays(ProcessRunner& processes);
    /// Kills the tool if it still runs and waits for its end.
    ~LinuxDisplays() override = default;
    LinuxDisplays(const LinuxDisplays&) = delete;
    LinuxDisplays& operator=(const LinuxDisplays&) = delete;

    [[nodiscard]] bool hasExternalDisplay() const override;
    /// On X11 forces the monitors off through DPMS, without waiting for it. Wayland offers
    /// clients no such request, so elsewhere the desktop's own idle blanking does it once the
    /// display may sleep.
    void turnScreenOff() override;

private:
    ProcessRunner& processes_;
    /// The tool runs on `worker_` and has not ended yet.
    std::atomic<bool> running_{false};
    /// Declared last: stopped and joined before anything it uses goes away.
    std::jthread worker_;
};

} // namespace vigilo
