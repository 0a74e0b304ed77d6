#pragma once

#include "platform/posix/UniqueFd.h"
#include "ports/Defaults.h"
#include "ports/LidControl.h"
#include "util/RetryDelay.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <filesystem>
#include <optional>

namespace vigilo {

/// Closed-lid mode on Linux. logind suspends on lid close even under sleep locks; only a
/// "handle-lid-switch" block lock stops it, and any local user may take one, so no administrator
/// rule is needed: the permission is the user's stored consent, and it holds while logind is on
/// the bus. The lock dies with the process, and with logind: a logind that comes back is asked
/// for it again.
///
/// Nothing here waits for logind: the lock is asked for and taken when the answer comes. A request
/// that fails while logind is on the bus (it was too slow to answer, or refused) is asked again a
/// little later, less often each time, for as long as sleep is to stay off.
///
/// The queries answer from memory: logind's presence and the lid are followed through the bus's
/// and UPower's change signals; logind's own lid reading, which is not announced, is refreshed in
/// the background whenever it is the one that answers.
class LogindLidControl final : public QObject, public LidControl {
    Q_OBJECT
public:
    /// The user's consent, under which closed-lid mode needs no administrator rule here.
    static constexpr const char* consentKey = "lidModeGranted";

    /// The consent is kept in `defaults`, which must outlive this object. `root` is where /proc
    /// is looked for (a fixture tree in tests).
    LogindLidControl(QDBusConnection systemBus, Defaults& defaults,
                     std::filesystem::path root = "/");

    /// logind is on the bus (or has not answered yet).
    [[nodiscard]] bool canKeepAwakeWithLidClosed() const override {
        return isLogindThere_.value_or(true);
    }
    /// The user granted closed-lid mode and logind is on the bus. Until the bus has answered,
    /// logind counts as there: it is on every systemd desktop, and where it is not, taking the
    /// lock fails at once.
    [[nodiscard]] bool isInstalled() const override;
    /// The lid lock is held, or its first request since sleep was switched off is unanswered.
    [[nodiscard]] bool isSleepDisabled() const override {
        return lidLock_.isValid() || isAwaitingFirstAnswer_;
    }
    /// UPower's reading, else logind's last one, else the ACPI button in /proc; false when
    /// nothing answers.
    [[nodiscard]] bool isLidClosed() const override;
    /// Switching off asks logind for the lid lock; never without the user's consent.
    bool setSleepDisabled(bool disabled) override;
    [[nodiscard]] const Signal<>& sleepSwitchChanged() const override {
        return sleepSwitchChanged_;
    }
    /// Stores the consent; fails only when logind is missing. Asks no password.
    [[nodiscard]] std::optional<LidError> install() override;
    /// Drops the lid lock and withdraws the consent; never fails.
    [[nodiscard]] std::optional<LidError> uninstall() override;

private Q_SLOTS:
    void onUPowerPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                   const QStringList& invalidated);

private:
    void onOwnerChanged(const QString& name, const QString& newOwner);
    void logindOwnerChanged(const QString& newOwner);
    /// Asks logind for the lid lock unless a request is out already.
    void askForLidLock();
    void lidLockAnswered(UniqueFd lock);
    /// Asks again a while from now, if the lock is still wanted and missing then.
    void retryLater();
    /// Forgets the lock and any answer still to come.
    void dropLidLock();
    /// Tells the owner when `isSleepDisabled` is no longer `was`.
    void reportIfChanged(bool was);
    void askWhetherLogindIsThere();
    void readUPowerLid();
    void takeUPowerProperties(const QVariantMap& properties);
    void refreshLogindLid() const;
    [[nodiscard]] bool acpiLidClosed() const;

    QDBusConnection systemBus_;
    Defaults& defaults_;
    std::filesystem::path root_;
    QDBusServiceWatcher owners_;
    std::optional<bool> isLogindThere_;
    /// UPower's last word on the lid; nothing while it has not answered or is gone. Without a
    /// lid it says "open", so then the others answer.
    std::optional<bool> upowerLidClosed_;
    bool upowerHasLid_ = true;
    /// Counts UPower's announcements and comings and goings, and logind's: an answer to a
    /// question asked before the latest of them is older than what it says and is dropped.
    int upowerNews_ = 0;
    int logindNews_ = 0;
    mutable std::optional<bool> logindLidClosed_;
    /// Holds logind's lid refresh while it is in flight (started from a query).
    mutable QObject logindLidRefresh_;
    mutable bool isRefreshingLogindLid_ = false;
    UniqueFd lidLock_;
    /// Sleep is switched off: the lid lock is wanted even while logind is away.
    bool keepsLidLock_ = false;
    /// Counts the lid lock's requests and drops: an answer to an older one is not used.
    int lidRequests_ = 0;
    bool isAskingForLidLock_ = false;
    bool isAwaitingFirstAnswer_ = false;
    /// After a failed request, the lid lock is asked for again this much later.
    RetryDelay retryDelay_;
    Signal<> sleepSwitchChanged_;
};

} // namespace vigilo
