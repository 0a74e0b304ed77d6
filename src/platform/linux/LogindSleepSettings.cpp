#include "platform/linux/LogindSleepSettings.h"

#include "platform/linux/DBusCalls.h"

namespace vigilo {

namespace {

const QString service = QStringLiteral("org.freedesktop.login1");
const QString path = QStringLiteral("/org/freedesktop/login1");
const QString manager = QStringLiteral("org.freedesktop.login1.Manager");

bool suspends(const QString& idleAction) {
    return idleAction == u"suspend" || idleAction == u"hibernate" ||
           idleAction == u"hybrid-sleep" || idleAction == u"suspend-then-hibernate";
}

} // namespace

SleepDelays readLogindSleepSettings(const QDBusConnection& systemBus) {
    SleepDelays delays;
    const QVariant action =
        DBusCalls::property(systemBus, service, path, manager, QStringLiteral("IdleAction"));
    if (action.metaType() != QMetaType::fromType<QString>()) {
        return delays;
    }
    if (!suspends(action.toString())) {
        delays.systemMinutes = 0;
        return delays;
    }
    const QVariant delay =
        DBusCalls::property(systemBus, service, path, manager, QStringLiteral("IdleActionUSec"));
    if (delay.metaType() == QMetaType::fromType<qulonglong>()) {
        constexpr qulonglong microsecondsPerSecond = 1'000'000;
        const qulonglong microseconds = delay.toULongLong();
        const qulonglong seconds = microseconds / microsecondsPerSecond +
                                   (microseconds % microsecondsPerSecond != 0 ? 1 : 0);
        delays.systemMinutes = minutesFromSeconds(static_cast<std::int64_t>(seconds));
    }
    return delays;
}

bool logindForbidsSuspend(const QDBusConnection& systemBus) {
    const QVariant answer = DBusCalls::firstResult(
        DBusCalls::call(systemBus, service, path, manager, QStringLiteral("CanSuspend")));
    return answer.toString() == u"na";
}

} // namespace vigilo
