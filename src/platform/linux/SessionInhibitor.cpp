#include "platform/linux/SessionInhibitor.h"

#include "platform/linux/DBusCalls.h"

#include <QDBusObjectPath>
#include <optional>

namespace vigilo {

namespace {

// Flags of the portal and of GNOME's session manager.
constexpr uint inhibitSuspend = 4;
constexpr uint inhibitIdle = 8;

using ReleaseCall = std::optional<QDBusMessage>;

ReleaseCall inhibitThroughPortal(const QDBusConnection& bus, uint flags, const QString& why) {
    const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    const QVariant handle = DBusCalls::firstResult(DBusCalls::call(
        bus, service, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"),
        {QString(), QVariant::fromValue(flags), QVariantMap{{QStringLiteral("reason"), why}}}));
    const QString requestPath = qvariant_cast<QDBusObjectPath>(handle).path();
    if (requestPath.isEmpty()) {
        return std::nullopt;
    }
    return QDBusMessage::createMethodCall(service, requestPath,
                                          QStringLiteral("org.freedesktop.portal.Request"),
                                          QStringLiteral("Close"));
}

/// The services that answer a cookie and take it back with a release method.
ReleaseCall inhibitWithCookie(const QDBusConnection& bus, const QString& service,
                              const QString& path, const QString& interface,
                              const QVariantList& arguments, const QString& releaseMethod) {
    const QVariant cookie = DBusCalls::firstResult(
        DBusCalls::call(bus, service, path, interface, QStringLiteral("Inhibit"), arguments));
    if (cookie.metaType() != QMetaType::fromType<uint>()) {
        return std::nullopt;
    }
    QDBusMessage release = QDBusMessage::createMethodCall(service, path, interface, releaseMethod);
    release.setArguments({cookie});
    return release;
}

ReleaseCall inhibitThroughGnome(const QDBusConnection& bus, uint flags, const QString& who,
                                const QString& why) {
    const QString name = QStringLiteral("org.gnome.SessionManager");
    return inhibitWithCookie(bus, name, QStringLiteral("/org/gnome/SessionManager"), name,
                             {who, QVariant::fromValue(uint{0}), why, QVariant::fromValue(flags)},
                             QStringLiteral("Uninhibit"));
}

ReleaseCall inhibitThroughScreenSaver(const QDBusConnection& bus, const QString& who,
                                      const QString& why) {
    const QString name = QStringLiteral("org.freedesktop.ScreenSaver");
    return inhibitWithCookie(bus, name, QStringLiteral("/org/freedesktop/ScreenSaver"), name,
                             {who, why}, QStringLiteral("UnInhibit"));
}

ReleaseCall inhibitThroughPowerManagement(const QDBusConnection& bus, const QString& who,
                                          const QString& why) {
    return inhibitWithCookie(bus, QStringLiteral("org.freedesktop.PowerManagement"),
                             QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"),
                             QStringLiteral("org.freedesktop.PowerManagement.Inhibit"), {who, why},
                             QStringLiteral("UnInhibit"));
}

} // namespace

std::unique_ptr<SessionInhibitor> SessionInhibitor::take(const QDBusConnection& sessionBus,
                                                         AssertionKind kind, const QString& who,
                                                         const QString& why) {
    if (!sessionBus.isConnected()) {
        return nullptr;
    }
    const bool keepsDisplayOn = kind == AssertionKind::DisplayKeptOn;
    const uint flags = keepsDisplayOn ? inhibitSuspend | inhibitIdle : inhibitSuspend;
    ReleaseCall release = inhibitThroughPortal(sessionBus, flags, why);
    if (!release) {
        release = inhibitThroughGnome(sessionBus, flags, who, why);
    }
    // These two know only one kind each: ScreenSaver keeps the screen on, PowerManagement
    // blocks suspend only.
    if (!release && keepsDisplayOn) {
        release = inhibitThroughScreenSaver(sessionBus, who, why);
    }
    if (!release && !keepsDisplayOn) {
        release = inhibitThroughPowerManagement(sessionBus, who, why);
    }
    if (!release) {
        return nullptr;
    }
    return std::make_unique<SessionInhibitor>(sessionBus, std::move(*release));
}

SessionInhibitor::~SessionInhibitor() {
    // Blocking (briefly) so the lock is gone when the caller goes on.
    sessionBus_.call(releaseCall_, QDBus::Block, DBusCalls::timeoutMs);
}

} // namespace vigilo
