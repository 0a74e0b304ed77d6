#pragma once

#include "platform/linux/SessionInhibitor.h"
#include "platform/linux/UniqueFd.h"
#include "platform/ports/PowerAssertions.h"

#include <QDBusConnection>
#include <map>
#include <memory>

namespace vigilo {

/// Keep-awake assertions on Linux. Each one is two locks: a logind block inhibitor on the system
/// bus (what KDE follows and what stops suspend asked for by other users) and an inhibitor of
/// the desktop session (what GNOME follows). An assertion exists when at least one of them took.
/// logind drops its lock when the descriptor closes, so a crash leaves nothing behind.
class LogindPowerAssertions final : public PowerAssertions {
public:
    /// The buses are kept for later calls; either may be disconnected.
    LogindPowerAssertions(QDBusConnection systemBus, QDBusConnection sessionBus);
    /// Releases every assertion still held.
    ~LogindPowerAssertions() override;
    LogindPowerAssertions(const LogindPowerAssertions&) = delete;
    LogindPowerAssertions& operator=(const LogindPowerAssertions&) = delete;

    [[nodiscard]] std::optional<AssertionId> create(AssertionKind kind,
                                                    const std::string& name) override;
    void release(AssertionId id) override;

private:
    struct Held {
        UniqueFd logindLock;
        std::unique_ptr<SessionInhibitor> sessionLock;
    };

    QDBusConnection systemBus_;
    QDBusConnection sessionBus_;
    AssertionId lastId_ = 0;
    std::map<AssertionId, Held> held_;
};

} // namespace vigilo
