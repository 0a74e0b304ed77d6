#include "platform/linux/dbus/DBusCalls.h"

#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

namespace vigilo::DBusCalls {

QDBusMessage call(const QDBusConnection& bus, const QString& service, const QString& path,
                  const QString& interface, const QString& method, const QVariantList& arguments) {
    if (!bus.isConnected()) {
        return QDBusMessage::createError(QDBusError::Disconnected, QString());
    }
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, timeoutMs);
}

QVariant firstResult(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().constFirst();
}

QVariant property(const QDBusConnection& bus, const QString& service, const QString& path,
                  const QString& interface, const QString& name) {
    const QVariant result =
        firstResult(call(bus, service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                         QStringLiteral("Get"), {interface, name}));
    return qvariant_cast<QDBusVariant>(result).variant();
}

void callAsync(const QDBusConnection& bus, const QString& service, const QString& path,
               const QString& interface, const QString& method, const QVariantList& arguments,
               QObject* context, std::function<void(const QDBusMessage&)> answered) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    callAsync(bus, message, context, std::move(answered));
}

void callAsync(const QDBusConnection& bus, const QDBusMessage& call, QObject* context,
               std::function<void(const QDBusMessage&)> answered) {
    if (!bus.isConnected()) {
        // QtDBus never finishes a call on a closed connection: answer the error ourselves.
        QMetaObject::invokeMethod(
            context,
            [answered = std::move(answered)] {
                answered(QDBusMessage::createError(QDBusError::Disconnected, QString()));
            },
            Qt::QueuedConnection);
        return;
    }
    // A call that fails at once still reports through the event loop.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, timeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, answered = std::move(answered)] {
                         watcher->deleteLater();
                         answered(watcher->reply());
                     });
}

void propertyAsync(const QDBusConnection& bus, const QString& service, const QString& path,
                   const QString& interface, const QString& name, QObject* context,
                   std::function<void(const QVariant&)> answered) {
    callAsync(bus, service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
              QStringLiteral("Get"), {interface, name}, context,
              [answered = std::move(answered)](const QDBusMessage& reply) {
                  answered(qvariant_cast<QDBusVariant>(firstResult(reply)).variant());
              });
}

} // namespace vigilo::DBusCalls
