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
    if (!canTakeLogindLocks(systemBus_) && !sessionBus_.isConnected()) {
        return std::nullopt;
    }
    const AssertionId id = ++lastId_;
    Held& held =
        held_.emplace(id, Held{.kind = kind, .why = QString::fromStdString(name)}).first->second;
    // The first requests go out now, ahead of the release of an assertion this one replaces.
    askForLogindLock(id, held);
    askForSessionLock(id, held);
    return id;
}

void LogindPowerAssertions::release(AssertionId id) {
    // The logind lock closes here and the session lock's release is sent; a lock still asked
    // for is given back when its answer comes.
    held_.erase(id);
}

void LogindPowerAssertions::logindOwnerChanged(const QString& newOwner) {
    for (auto& [id, held] : held_) {
        // logind's locks went with the old owner; closing the descriptor ends what is left.
        held.logindLock.reset();
        if (!newOwner.isEmpty()) {
            askForLogindLock(id, held);
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
            askForSessionLock(id, held);
        }
    }
    reportLost();
}

void LogindPowerAssertions::askForLogindLock(AssertionId id, Held& held) {
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

void LogindPowerAssertions::askForSessionLock(AssertionId id, Held& held) {
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
