#pragma once

#include "ports/PowerAssertions.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace vigilo {

/// One inhibitor of the desktop session (the portal, GNOME's session manager, or the
/// freedesktop ScreenSaver / PowerManagement services), released when this object goes away:
/// the release is sent without waiting for its answer. The services also drop it when this
/// process leaves the bus.
class SessionInhibitor {
public:
    using Taken = std::function<void(std::unique_ptr<SessionInhibitor>)>;

    /// The bus names of every service that may be asked.
    [[nodiscard]] static QStringList serviceNames();

    /// Asks the session services in turn, without waiting, and keeps the first lock granted:
    /// `taken` gets it (or nothing, when none of them grants one) later from the event loop of
    /// `context`'s thread, never once `context` is destroyed.
    static void takeAsync(const QDBusConnection& sessionBus, AssertionKind kind, const QString& who,
                          const QString& why, QObject* context, Taken taken);

    SessionInhibitor(QDBusConnection sessionBus, const QDBusMessage& releaseCall)
        : sessionBus_(std::move(sessionBus))
        , releaseCall_(releaseCall) {}
    ~SessionInhibitor();
    SessionInhibitor(const SessionInhibitor&) = delete;
    SessionInhibitor& operator=(const SessionInhibitor&) = delete;

    /// The bus name of the service that granted the lock.
    [[nodiscard]] QString service() const { return releaseCall_.service(); }
    /// The service left the bus and took the lock with it: nothing is released any more. A new
    /// owner of the name must not get the old cookie, which may now be someone else's.
    void serviceLeft() { isHeldByService_ = false; }

private:
    QDBusConnection sessionBus_;
    QDBusMessage releaseCall_;
    bool isHeldByService_ = true;
};

} // namespace vigilo
