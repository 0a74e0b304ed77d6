#include "platform/linux/desktop/PortalSettings.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace vigilo::PortalSettings {

QVariant unwrapped(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    return value;
}

void read(const QDBusConnection& bus, QObject* context, const QString& group, const QString& key,
          std::function<void(const QVariant&)> take) {
    QDBusMessage read =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Read"));
    read << group << key;
    auto* call = new QDBusPendingCallWatcher(bus.asyncCall(read), context);
    QObject::connect(call, &QDBusPendingCallWatcher::finished, context,
                     [take = std::move(take)](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         const QDBusPendingReply<QVariant> reply = *finished;
                         if (!reply.isError()) {
                             take(unwrapped(reply.value()));
                         }
                     });
}

std::optional<Change> change(const QDBusMessage& signal) {
    const QVariantList arguments = signal.arguments();
    if (arguments.size() != 3) {
        return std::nullopt;
    }
    return Change{.group = arguments[0].toString(),
                  .key = arguments[1].toString(),
                  .value = unwrapped(arguments[2])};
}

} // namespace vigilo::PortalSettings
