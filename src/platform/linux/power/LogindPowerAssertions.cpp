#include "platform/linux/power/LogindPowerAssertions.h"

#include "platform/linux/dbus/DBusCalls.h"
#include "platform/linux/power/LogindLock.h"

#include <QTimer>
#include <algorithm>
#include <vector>

namespace vigilo {

namespace {

const QString lockOwner = QStringLiteral("Vigilo");
const QString logindName = QStringLiteral("org.freedesktop.login1");

QString logindWhat(AssertionKind kind) {
    // Not "idle" for the display-may-sleep kind: KDE reads an idle lock as "keep the screen on".
    return kind == AssertionKind::DisplayKeptOn ? QStringLiteral("idle:sleep")
                                                : QStringLiteral("sleep");
}

} // namespace

LogindPowerAssertions::LogindPowerAssertions(QDBusConnection systemBus, QDBusConnection sessionBus)
    : systemBus_(std::move(systemBus))
    , sessionBus_(std::move(sessionBus))
    , logindOwners_(logindName, systemBus_, QDBusServiceWatcher::WatchForOwnerChange) {
    sessionOwners_.setConnection(sessionBus_);
    sessionOwners_.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    sessionOwners_.setWatchedServices(SessionInhibitor::serviceNames());
    connect(&logindOwners_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                isThere_[logindName] = !newOwner.isEmpty();
                logindOwnerChanged(newOwner);
            });
    connect(&sessionOwners_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString& name, const QString&, const QString& newOwner) {
                isThere_[name] = !newOwner.isEmpty();
                sessionOwnerChanged(name, newOwner);
            });
    if (canTakeLogindLocks(systemBus_)) {
        askWhoIsThere(systemBus_, {logindName});
    }
    if (sessionBus_.isConnected()) {
        askWhoIsThere(sessionBus_, SessionInhibitor::serviceNames());
    }
}

LogindPowerAssertions::~LogindPowerAssertions() = default;

std::optional<AssertionId> LogindPowerAssertions::create(AssertionKind kind,
                                                         const std::string& name) {
    if (!mayAnyServiceGrant()) {
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

void LogindPowerAssertions::askWhoIsThere(const QDBusConnection& bus, const QStringList& names) {
    for (const QString& name : names) {
        DBusCalls::callAsync(bus, QStringLiteral("org.freedesktop.DBus"),
                             QStringLiteral("/org/freedesktop/DBus"),
                             QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"),
                             {name}, this, [this, name](const QDBusMessage& reply) {
                                 const QVariant owned = DBusCalls::firstResult(reply);
                                 // An owner change seen meanwhile is newer than this answer.
                                 if (owned.isValid() && !isThere_.contains(name)) {
                                     isThere_[name] = owned.toBool();
                                 }
                             });
    }
}

bool LogindPowerAssertions::isOnBus(const QString& name) const {
    const auto known = isThere_.find(name);
    return known != isThere_.end() && known->second;
}

bool LogindPowerAssertions::mayAnyServiceGrant() const {
    const auto mayGrant = [this](const QString& name) {
        const auto known = isThere_.find(name);
        return known == isThere_.end() || known->second;
    };
    return (canTakeLogindLocks(systemBus_) && mayGrant(logindName)) ||
           (sessionBus_.isConnected() &&
            std::ranges::any_of(SessionInhibitor::serviceNames(), mayGrant));
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
                            if (!found->second.logindLock.isValid()) {
                                retryLater(id);
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
                                    if (!found->second.sessionLock) {
                                        retryLater(id);
                                    }
                                    reportLost();
                                });
}

void LogindPowerAssertions::retryLater(AssertionId id) {
    const auto retried = held_.find(id);
    if (retried == held_.end()) {
        return;
    }
    QTimer::singleShot(retried->second.retryDelay.next(), this, [this, id] {
        const auto found = held_.find(id);
        if (found == held_.end()) {
            return; // released, or lost meanwhile
        }
        Held& held = found->second;
        if (!held.logindLock.isValid() && held.logindRequests == 0 && isOnBus(logindName)) {
            askForLogindLock(id, held);
        }
        const QStringList sessionServices = SessionInhibitor::serviceNames();
        if (!held.sessionLock && held.sessionRequests == 0 &&
            std::ranges::any_of(sessionServices,
                                [this](const QString& name) { return isOnBus(name); })) {
            askForSessionLock(id, held);
        }
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
        lost_.notify(id);
    }
}

} // namespace vigilo
