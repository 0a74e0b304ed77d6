#pragma once

#include "platform/linux/LinuxSystemdUnitWatch.h"
#include "platform/ports/Workspace.h"

#include <QDBusConnection>
#include <QTimer>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace vigilo {

/// Notices of applications starting and quitting: the systemd user manager's unit signals where
/// it answers, else a look at the running applications every two seconds that reports only
/// differences.
class LinuxRunningAppsObservation final : public Workspace::Observation {
public:
    static constexpr int pollIntervalMs = 2000;

    /// `runningIDs` gives the running application ids for the poll.
    LinuxRunningAppsObservation(const QDBusConnection& bus,
                                std::function<std::set<std::string>()> runningIDs,
                                std::function<void()> onChange);

    /// False when polling stands in for the systemd notices.
    [[nodiscard]] bool usesSystemdNotices() const { return unitWatch_ != nullptr; }

private:
    void poll();

    std::function<std::set<std::string>()> runningIDs_;
    std::function<void()> onChange_;
    std::unique_ptr<LinuxSystemdUnitWatch> unitWatch_;
    QTimer pollTimer_;
    std::set<std::string> lastPolled_;
};

} // namespace vigilo
