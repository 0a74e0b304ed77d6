#pragma once

#include "platform/linux/power/SessionInhibitor.h"
#include "platform/posix/UniqueFd.h"
#include "ports/PowerAssertions.h"
#include "util/RetryDelay.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <map>
#include <memory>

namespace vigilo {

/// Keep-awake assertions on Linux. Each one is two locks: a logind block inhibitor on the system
/// bus (what KDE follows and what stops suspend asked for by other users) and an inhibitor of
/// the desktop session (what GNOME follows). An assertion holds while at least one of them does.
/// logind drops its lock when the descriptor closes, so a crash leaves nothing behind.
///
/// Nothing here waits for a service: both locks are asked for when the assertion is created, and
/// one that neither service grants is reported lost when the last refusal comes. A lock whose
/// answer comes after its assertion was released is given back at once.
///
/// Where none of the services is on its bus, `create` refuses at once: nothing could keep the
/// computer awake, and the caller must not report it kept awake until the refusals come. Who is
/// on the bus is asked once, without waiting, and then followed.
///
/// A request that fails while its service is on the bus (it was too slow to answer, or refused)
/// is asked again a little later, for as long as the assertion is held without that lock; a
/// service that keeps refusing is asked less and less often.
///
/// A service that restarts forgets its locks. The owners of their bus names are followed: when
/// one comes back, its lock is asked for again for every assertion still held; an assertion left
/// with neither lock and nothing more to ask for is reported lost.
class LogindPowerAssertions final : public QObject, public PowerAssertions {
    Q_OBJECT
public:
    /// The buses are kept for later calls; either may be disconnected.
    LogindPowerAssertions(QDBusConnection systemBus, QDBusConnection sessionBus);
    /// Releases every assertion still held. A session lock still being asked for is never
    /// seen: its service drops it when this process leaves the bus.
    ~LogindPowerAssertions() override;
    LogindPowerAssertions(const LogindPowerAssertions&) = delete;
    LogindPowerAssertions& operator=(const LogindPowerAssertions&) = delete;

    [[nodiscard]] std::optional<AssertionId> create(AssertionKind kind,
                                                    const std::string& name) override;
    void release(AssertionId id) override;
    [[nodiscard]] const Signal<AssertionId>& lost() const override { return lost_; }

private:
    struct Held {
        AssertionKind kind;
        QString why;
        UniqueFd logindLock{};
        std::unique_ptr<SessionInhibitor> sessionLock{};
        /// Requests for a lock still unanswered.
        int logindRequests = 0;
        int sessionRequests = 0;
        /// After a failed request, its lock is asked for again this much later.
        RetryDelay retryDelay{};

        /// Neither lock holds and no answer can bring one back.
        [[nodiscard]] bool isLost() const {
            return !logindLock.isValid() && !sessionLock && logindRequests == 0 &&
                   sessionRequests == 0;
        }
    };

    /// Asks, without waiting, which of `names` are on `bus`.
    void askWhoIsThere(const QDBusConnection& bus, const QStringList& names);
    /// `name` is known to have an owner.
    [[nodiscard]] bool isOnBus(const QString& name) const;
    /// A service that could grant a lock is on its bus, or has not been asked about yet.
    [[nodiscard]] bool mayAnyServiceGrant() const;
    void logindOwnerChanged(const QString& newOwner);
    void sessionOwnerChanged(const QString& name, const QString& newOwner);
    void askForLogindLock(AssertionId id, Held& held);
    void askForSessionLock(AssertionId id, Held& held);
    /// Asks again for the locks `id` still lacks from services on their bus, a while from now.
    void retryLater(AssertionId id);
    /// Forgets every lost assertion, then tells the owner.
    void reportLost();

    QDBusConnection systemBus_;
    QDBusConnection sessionBus_;
    QDBusServiceWatcher logindOwners_;
    QDBusServiceWatcher sessionOwners_;
    /// Whether each service's bus name has an owner, as far as known.
    std::map<QString, bool> isThere_;
    AssertionId lastId_ = 0;
    std::map<AssertionId, Held> held_;
    Signal<AssertionId> lost_;
};

} // namespace vigilo
