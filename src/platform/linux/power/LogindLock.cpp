#include "platform/linux/power/LogindLock.h"

#include "platform/linux/dbus/DBusCalls.h"

#include <QDBusUnixFileDescriptor>
#include <fcntl.h>

namespace vigilo {

namespace {

const QString logindName = QStringLiteral("org.freedesktop.login1");
const QString logindPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");

[[nodiscard]] QVariantList inhibitArguments(const QString& what, const QString& why) {
    return {what, QStringLiteral("Vigilo"), why, QStringLiteral("block")};
}

[[nodiscard]] UniqueFd lockFrom(const QDBusMessage& reply) {
    const auto descriptor = qvariant_cast<QDBusUnixFileDescriptor>(DBusCalls::firstResult(reply));
    if (!descriptor.isValid()) {
        return {};
    }
    // Our own duplicate becomes the one owner: the Qt object and its shared copies in the reply
    // close theirs when they go out of scope.
    return UniqueFd(::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 0));
}

} // namespace

bool canTakeLogindLocks(const QDBusConnection& systemBus) {
    return systemBus.isConnected() &&
           systemBus.connectionCapabilities().testFlag(QDBusConnection::UnixFileDescriptorPassing);
}

void takeLogindLockAsync(const QDBusConnection& systemBus, const QString& what, const QString& why,
                         QObject* context, std::function<void(UniqueFd)> taken) {
    if (!canTakeLogindLocks(systemBus)) {
        QMetaObject::invokeMethod(
            context, [taken = std::move(taken)] { taken(UniqueFd()); }, Qt::QueuedConnection);
        return;
    }
    DBusCalls::callAsync(
        systemBus, logindName, logindPath, managerInterface, QStringLiteral("Inhibit"),
        inhibitArguments(what, why), context,
        [taken = std::move(taken)](const QDBusMessage& reply) { taken(lockFrom(reply)); });
}

} // namespace vigilo
