#include "platform/linux/powersettings/LogindSleepSettings.h"

#include "platform/linux/dbus/DBusCalls.h"

namespace vigilo {

namespace {

const QString service = QStringLiteral("org.freedesktop.login1");
const QString path = QStringLiteral("/org/freedesktop/login1");
const QString manager = QStringLiteral("org.freedesktop.login1.Manager");

bool suspends(const QString& idleAction) {
    return idleAction == u"suspend" || idleAction == u"hibernate" ||
           idleAction == u"hybrid-sleep" || idleAction == u"suspend-then-hibernate";
}

SleepDelays delaysFromIdleActionDelay(const QVariant& delay) {
    SleepDelays delays;
    if (delay.metaType() == QMetaType::fromType<qulonglong>()) {
        constexpr qulonglong microsecondsPerSecond = 1'000'000;
        const qulonglong microseconds = delay.toULongLong();
        const qulonglong seconds = microseconds / microsecondsPerSecond +
                                   (microseconds % microsecondsPerSecond != 0 ? 1 : 0);
        delays.systemMinutes = minutesFromSeconds(static_cast<std::int64_t>(seconds));
    }
    return delays;
}

} // namespace

void readLogindSleepSettings(const QDBusConnection& systemBus, QObject* context,
                             std::function<void(SleepDelays)> done) {
    DBusCalls::propertyAsync(
        systemBus, service, path, manager, QStringLiteral("IdleAction"), context,
        [systemBus, context, done = std::move(done)](const QVariant& action) mutable {
            if (action.metaType() != QMetaType::fromType<QString>()) {
                done({});
                return;
            }
            if (!suspends(action.toString())) {
                done({.displayMinutes = std::nullopt, .systemMinutes = 0});
                return;
            }
            DBusCalls::propertyAsync(systemBus, service, path, manager,
                                     QStringLiteral("IdleActionUSec"), context,
                                     [done = std::move(done)](const QVariant& delay) {
                                         done(delaysFromIdleActionDelay(delay));
                                     });
        });
}

void askWhetherLogindForbidsSuspend(const QDBusConnection& systemBus, QObject* context,
                                    std::function<void(bool)> done) {
    DBusCalls::callAsync(systemBus, service, path, manager, QStringLiteral("CanSuspend"), {},
                         context, [done = std::move(done)](const QDBusMessage& reply) {
                             done(DBusCalls::firstResult(reply).toString() == u"na");
                         });
}

} // namespace vigilo
