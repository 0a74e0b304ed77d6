#include "platform/linux/LogindPowerAssertions.h"

#include "platform/linux/LogindLock.h"

#include <vector>

namespace vigilo {

namespace {

const QString lockOwner = QStringLiteral("Vigilo");

QString logindWhat(AssertionKind kind) {
    // Not "idle" for the display-may-sleep kind: KDE reads an idle lock as "keep the screen on".
    return kind == AssertionKind::DisplayKeptOn ? QStringLiteral("idle:sleep")
                                                : QStringLiteral("sleep");
}

} // namespace

LogindPowerAssertions::LogindPowerAssertions(QDBusConnection systemBus, QDBusConnection sessionBus)
    : systemBus_(std::move(systemBus))
    , sessionBus_(std::move(sessionBus))
    , logindOwners_(QStringLiteral("org.freedesktop.login1"), systemBus_,
                    QDBusServiceWatcher::WatchForOwnerChange) {
    sessionOwners_.setConnection(sessionBus_);
    sessionOwners_.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    sessionOwners_.setWatchedServices(SessionInhibitor::serviceNames());
    connect(&logindOwners_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                logindOwnerChanged(newOwner);
            });
    connect(&sessionOwners_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString& name, const QString&, const QString& newOwner) {
                sessionOwnerChanged(name, newOwner);
            });
}

LogindPowerAssertions::~LogindPowerAssertions() = default;

std::optional<AssertionId> LogindPowerAssertions::create(AssertionKind kind,
                                                         const std::string& name) {
    const QString why = QString::fromStdString(name);
    Held locks{.kind = kind,
               .why = why,
               .logindLock = takeLogindLock(systemBus_, logindWhat(kind), why),
               .sessionLock = SessionInhibitor::take(sessionBus_, kind, lockOwner, why)};
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

void LogindPowerAssertions::logindOwnerChanged(const QString& newOwner) {
    for (auto& [id, held] : held_) {
        // logind's locks went with the old owner; closing the descriptor ends what is left.
        held.logindLock.reset();
        if (!newOwner.isEmpty()) {
            retakeLogindLock(id, held);
        }
    }
    reportLost();
}

void LogindPowerAssertions::sessionOwnerChanged(const QString& name, const QString& newOwner) {
    for (auto& [id, held] : held_) {
        if (held.sessionLock && held.sessionLock->service() == name) {
            held.sessionLock->serviceLeft();
            held.sessionLock.reset();
        }
        // Asked in the usual order: the service that came back may not be the preferred one.
        if (!held.sessionLock && !newOwner.isEmpty()) {
            retakeSessionLock(id, held);
        }
    }
    reportLost();
}

void LogindPowerAssertions::retakeLogindLock(AssertionId id, Held& held) {
    ++held.logindRequests;
    takeLogindLockAsync(systemBus_, logindWhat(held.kind), held.why, this,
                        [this, id](UniqueFd lock) {
                            const auto found = held_.find(id);
                            if (found == held_.end()) {
                                return; // released meanwhile: the lock closes here
                            }
                            --found->second.logindRequests;
                            if (!found->second.logindLock.isValid()) {
                                found->second.logindLock = std::move(lock);
                            }
                            reportLost();
                        });
}

void LogindPowerAssertions::retakeSessionLock(AssertionId id, Held& held) {
    ++held.sessionRequests;
    SessionInhibitor::takeAsync(sessionBus_, held.kind, lockOwner, held.why, this,
                                [this, id](std::unique_ptr<SessionInhibitor> lock) {
                                    const auto found = held_.find(id);
                                    if (found == held_.end()) {
                                        return; // released meanwhile: so is the lock
                                    }
                                    --found->second.sessionRequests;
                                    if (!found->second.sessionLock) {
                                        found->second.sessionLock = std::move(lock);
                                    }
                                    reportLost();
                                });
}

void LogindPowerAssertions::reportLost() {
    std::vector<AssertionId> lost;
    std::erase_if(held_, [&lost](const auto& entry) {
        if (!entry.second.isLost()) {
            return false;
        }
        lost.push_back(entry.first);
        return true;
    });
    // After the bookkeeping: the owner may create or release assertions from its handler.
    for (const AssertionId id : lost) {
        if (onLost_) {
            onLost_(id);
        }
    }
}

} // namespace vigilo
