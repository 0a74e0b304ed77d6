#include "platform/linux/LogindPowerAssertions.h"

#include "platform/linux/DBusCalls.h"

#include <QDBusUnixFileDescriptor>
#include <fcntl.h>

namespace vigilo {

namespace {

const QString lockOwner = QStringLiteral("Vigilo");

} // namespace

LogindPowerAssertions::LogindPowerAssertions(QDBusConnection systemBus, QDBusConnection sessionBus)
    : systemBus_(std::move(systemBus))
    , sessionBus_(std::move(sessionBus)) {}

LogindPowerAssertions::~LogindPowerAssertions() = default;

std::optional<AssertionId> LogindPowerAssertions::create(AssertionKind kind,
                                                         const std::string& name) {
    const QString why = QString::fromStdString(name);
    Held locks{takeLogindLock(kind, why),
               SessionInhibitor::take(sessionBus_, kind, lockOwner, why)};
    if (!locks.logindLock.isValid() && !locks.sessionLock) {
        return std::nullopt;
    }
    const AssertionId id = ++lastId_;
    held_.emplace(id, std::move(locks));
    return id;
}

void LogindPowerAssertions::release(AssertionId id) {
    held_.erase(id);
}

UniqueFd LogindPowerAssertions::takeLogindLock(AssertionKind kind, const QString& why) const {
    if (!systemBus_.connectionCapabilities().testFlag(QDBusConnection::UnixFileDescriptorPassing)) {
        return {};
    }
    // Not "idle" for the display-may-sleep kind: KDE reads an idle lock as "keep the screen on".
    const QString what = kind == AssertionKind::DisplayKeptOn ? QStringLiteral("idle:sleep")
                                                              : QStringLiteral("sleep");
    const QVariant reply = DBusCalls::firstResult(DBusCalls::call(
        systemBus_, QStringLiteral("org.freedesktop.login1"),
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("Inhibit"), {what, lockOwner, why, QStringLiteral("block")}));
    const auto descriptor = qvariant_cast<QDBusUnixFileDescriptor>(reply);
    if (!descriptor.isValid()) {
        return {};
    }
    // Our own duplicate becomes the one owner: the Qt object and its shared copies in the reply
    // close theirs when they go out of scope here.
    return UniqueFd(::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 0));
}

} // namespace vigilo
