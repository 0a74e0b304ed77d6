#pragma once

#include "platform/linux/apps/LinuxSystemdUnitWatch.h"
#include "ports/Workspace.h"

#include <QDBusConnection>
#include <QTimer>
#include <functional>

namespace vigilo {

/// Notices of applications starting and quitting. The systemd user manager's unit signals, where
/// it answers, come at once but only for programs given a unit of their own; a look at the
/// running applications every two seconds finds the rest (programs started from a terminal,
/// launchers that make no unit) and reports only differences.
class LinuxRunningAppsObservation final : public Workspace::Observation {
public:
    static constexpr int pollIntervalMs = 2000;

    /// `runningChanged` looks at the running applications and tells whether they changed since
    /// the previous look.
    LinuxRunningAppsObservation(const QDBusConnection& bus, std::function<bool()> runningChanged,
                                std::function<void()> onChange);

    /// True once the systemd manager agreed to send its notices besides the poll.
    [[nodiscard]] bool usesSystemdNotices() const { return unitWatch_.isSubscribed(); }

private:
    std::function<bool()> runningChanged_;
    std::function<void()> onChange_;
    LinuxSystemdUnitWatch unitWatch_;
    QTimer pollTimer_;
};

} // namespace vigilo
