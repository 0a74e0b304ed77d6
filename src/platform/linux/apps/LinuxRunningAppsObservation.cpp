#include "platform/linux/apps/LinuxRunningAppsObservation.h"

namespace vigilo {

LinuxRunningAppsObservation::LinuxRunningAppsObservation(const QDBusConnection& bus,
                                                         std::function<bool()> runningChanged,
                                                         std::function<void()> onChange)
    : runningChanged_(std::move(runningChanged))
    , onChange_(std::move(onChange))
    , unitWatch_(bus) {
    QObject::connect(&unitWatch_, &LinuxSystemdUnitWatch::unitsChanged, &unitWatch_,
                     [this] { onChange_(); });
    // Named so that a report of the main thread's work (bench/app) can tell it from other timers.
    pollTimer_.setObjectName(QStringLiteral("running applications poll"));
    pollTimer_.setInterval(pollIntervalMs);
    // Coarse, like the stats tick, so that the two share a wake-up.
    pollTimer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&pollTimer_, &QTimer::timeout, &pollTimer_, [this] {
        if (runningChanged_()) {
            onChange_();
        }
    });
    pollTimer_.start();
}

} // namespace vigilo
