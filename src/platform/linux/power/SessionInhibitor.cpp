#include "platform/linux/power/SessionInhibitor.h"

#include "platform/linux/dbus/DBusCalls.h"

#include <QDBusObjectPath>
#include <optional>
#include <vector>

namespace vigilo {

namespace {

// Flags of the portal and of GNOME's session manager.
constexpr uint inhibitSuspend = 4;
constexpr uint inhibitIdle = 8;

const QString portalName = QStringLiteral("org.freedesktop.portal.Desktop");
const QString gnomeName = QStringLiteral("org.gnome.SessionManager");
const QString screenSaverName = QStringLiteral("org.freedesktop.ScreenSaver");
const QString powerManagementName = QStringLiteral("org.freedesktop.PowerManagement");

/// One service's Inhibit call.
struct InhibitCall {
    QString service;
    QString path;
    QString interface;
    QVariantList arguments;
    /// How the cookie it answers is given back; empty for the portal, which answers a request
    /// object to close instead.
    QString releaseMethod;
};

/// The services to ask, in order of preference.
std::vector<InhibitCall> inhibitCalls(AssertionKind kind, const QString& who, const QString& why) {
    const bool keepsDisplayOn = kind == AssertionKind::DisplayKeptOn;
    const uint flags = keepsDisplayOn ? inhibitSuspend | inhibitIdle : inhibitSuspend;
    std::vector<InhibitCall> calls{
        {portalName,
         QStringLiteral("/org/freedesktop/portal/desktop"),
         QStringLiteral("org.freedesktop.portal.Inhibit"),
         {QString(), QVariant::fromValue(flags), QVariantMap{{QStringLiteral("reason"), why}}},
         QString()},
        {gnomeName,
         QStringLiteral("/org/gnome/SessionManager"),
         gnomeName,
         {who, QVariant::fromValue(uint{0}), why, QVariant::fromValue(flags)},
         QStringLiteral("Uninhibit")},
    };
    // These two know only one kind each: ScreenSaver keeps the screen on, PowerManagement
    // blocks suspend only.
    if (keepsDisplayOn) {
        calls.push_back({screenSaverName,
                         QStringLiteral("/org/freedesktop/ScreenSaver"),
                         screenSaverName,
                         {who, why},
                         QStringLiteral("UnInhibit")});
    } else {
        calls.push_back({powerManagementName,
                         QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"),
                         QStringLiteral("org.freedesktop.PowerManagement.Inhibit"),
                         {who, why},
                         QStringLiteral("UnInhibit")});
    }
    return calls;
}

/// The call that gives back the lock `reply` granted; nothing when the service refused.
std::optional<QDBusMessage> releaseCallFor(const InhibitCall& call, const QDBusMessage& reply) {
    const QVariant answer = DBusCalls::firstResult(reply);
    if (call.releaseMethod.isEmpty()) {
        const QString requestPath = qvariant_cast<QDBusObjectPath>(answer).path();
        if (requestPath.isEmpty()) {
            return std::nullopt;
        }
        return QDBusMessage::createMethodCall(call.service, requestPath,
                                              QStringLiteral("org.freedesktop.portal.Request"),
                                              QStringLiteral("Close"));
    }
    if (answer.metaType() != QMetaType::fromType<uint>()) {
        return std::nullopt;
    }
    QDBusMessage release =
        QDBusMessage::createMethodCall(call.service, call.path, call.interface, call.releaseMethod);
    release.setArguments({answer});
    return release;
}

void askInTurn(const QDBusConnection& bus, std::vector<InhibitCall> calls, std::size_t next,
               QObject* context, SessionInhibitor::Taken taken) {
    const InhibitCall call = calls[next];
    DBusCalls::callAsync(bus, call.service, call.path, call.interface, QStringLiteral("Inhibit"),
                         call.arguments, context,
                         [bus, calls = std::move(calls), next, context,
                          taken = std::move(taken)](const QDBusMessage& reply) mutable {
                             if (auto release = releaseCallFor(calls[next], reply)) {
                                 taken(std::make_unique<SessionInhibitor>(bus, *release));
                             } else if (next + 1 < calls.size()) {
                                 askInTurn(bus, std::move(calls), next + 1, context,
                                           std::move(taken));
                             } else {
                                 taken(nullptr);
                             }
                         });
}

} // namespace

QStringList SessionInhibitor::serviceNames() {
    return {portalName, gnomeName, screenSaverName, powerManagementName};
}

void SessionInhibitor::takeAsync(const QDBusConnection& sessionBus, AssertionKind kind,
                                 const QString& who, const QString& why, QObject* context,
                                 Taken taken) {
    askInTurn(sessionBus, inhibitCalls(kind, who, why), 0, context, std::move(taken));
}

SessionInhibitor::~SessionInhibitor() {
    if (isHeldByService_) {
        // Not waiting for the answer: a hung service must not hold up the caller. The service
        // gets this after every earlier request sent on the connection.
        sessionBus_.send(releaseCall_);
    }
}

} // namespace vigilo
