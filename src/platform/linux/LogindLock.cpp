#include "platform/linux/LogindLock.h"

#include "platform/linux/DBusCalls.h"

#include <QDBusUnixFileDescriptor>
#include <fcntl.h>

namespace vigilo {

UniqueFd takeLogindLock(const QDBusConnection& systemBus, const QString& what, const QString& why) {
    if (!systemBus.connectionCapabilities().testFlag(QDBusConnection::UnixFileDescriptorPassing)) {
        return {};
    }
    const QVariant reply = DBusCalls::firstResult(DBusCalls::call(
        systemBus, QStringLiteral("org.freedesktop.login1"),
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("Inhibit"), {what, QStringLiteral("Vigilo"), why, QStringLiteral("block")}));
    const auto descriptor = qvariant_cast<QDBusUnixFileDescriptor>(reply);
    if (!descriptor.isValid()) {
        return {};
    }
    // Our own duplicate becomes the one owner: the Qt object and its shared copies in the reply
    // close theirs when they go out of scope here.
    return UniqueFd(::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 0));
}

} // namespace vigilo
