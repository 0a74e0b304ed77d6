#include "platform/linux/LinuxRunningAppsObservation.h"

namespace vigilo {

LinuxRunningAppsObservation::LinuxRunningAppsObservation(
    const QDBusConnection& bus, std::function<std::set<std::string>()> runningIDs,
    std::function<void()> onChange)
    : runningIDs_(std::move(runningIDs))
    , onChange_(std::move(onChange))
    , unitWatch_(LinuxSystemdUnitWatch::subscribe(bus)) {
    if (unitWatch_) {
        QObject::connect(unitWatch_.get(), &LinuxSystemdUnitWatch::unitsChanged, unitWatch_.get(),
                         [this] { onChange_(); });
        return;
    }
    lastPolled_ = runningIDs_();
    pollTimer_.setInterval(pollIntervalMs);
    // Coarse, like the stats tick, so that the two can share a wake-up.
    pollTimer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&pollTimer_, &QTimer::timeout, &pollTimer_, [this] { poll(); });
    pollTimer_.start();
}

void LinuxRunningAppsObservation::poll() {
    auto running = runningIDs_();
    if (running != lastPolled_) {
        lastPolled_ = std::move(running);
        onChange_();
    }
}

} // namespace vigilo
