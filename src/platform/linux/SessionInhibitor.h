#pragma once

#include "platform/ports/PowerAssertions.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <memory>

namespace vigilo {

/// One inhibitor of the desktop session (the portal, GNOME's session manager, or the
/// freedesktop ScreenSaver / PowerManagement services), released when this object goes away.
/// The services also drop it when this process leaves the bus.
class SessionInhibitor {
public:
    /// Asks the session services in turn and keeps the first lock granted; nothing when none
    /// of them answers.
    [[nodiscard]] static std::unique_ptr<SessionInhibitor> take(const QDBusConnection& sessionBus,
                                                                AssertionKind kind,
                                                                const QString& who,
                                                                const QString& why);

    SessionInhibitor(QDBusConnection sessionBus, const QDBusMessage& releaseCall)
        : sessionBus_(std::move(sessionBus))
        , releaseCall_(releaseCall) {}
    ~SessionInhibitor();
    SessionInhibitor(const SessionInhibitor&) = delete;
    SessionInhibitor& operator=(const SessionInhibitor&) = delete;

private:
    QDBusConnection sessionBus_;
    QDBusMessage releaseCall_;
};

} // namespace vigilo
