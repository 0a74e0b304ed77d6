#include "platform/linux/LogindPowerAssertions.h"

#include "platform/linux/LogindLock.h"

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
    // Not "idle" for the display-may-sleep kind: KDE reads an idle lock as "keep the screen on".
    const QString what = kind == AssertionKind::DisplayKeptOn ? QStringLiteral("idle:sleep")
                                                              : QStringLiteral("sleep");
    Held locks{takeLogindLock(systemBus_, what, why),
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

} // namespace vigilo
