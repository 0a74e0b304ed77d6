#include "platform/linux/DBusCalls.h"

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

} // namespace vigilo::DBusCalls
