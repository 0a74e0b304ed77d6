#pragma once

#include "model/Settings.h"
#include "platform/linux/UniqueFd.h"
#include "platform/ports/LidControl.h"

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
/// for it again, without waiting.
///
/// The queries answer from memory: logind's presence and the lid are followed through the bus's
/// and UPower's change signals; logind's own lid reading, which is not announced, is refreshed in
/// the background whenever it is the one that answers.
class LogindLidControl final : public QObject, public LidControl {
    Q_OBJECT
public:
    /// The consent is kept in `settings`, which must outlive this object. `root` is where /proc
    /// is looked for (a fixture tree in tests).
    LogindLidControl(QDBusConnection systemBus, Settings& settings,
                     std::filesystem::path root = "/");

    /// logind is on the bus (or has not answered yet).
    [[nodiscard]] bool canKeepAwakeWithLidClosed() const override {
        return isLogindThere_.value_or(true);
    }
    /// The user granted closed-lid mode and logind is on the bus. Until the bus has answered,
    /// logind counts as there: it is on every systemd desktop, and where it is not, taking the
    /// lock fails at once.
    [[nodiscard]] bool isInstalled() const override;
    /// This program switched sleep off and not back on: it holds its lid lock, or asks for it
    /// again as soon as a restarted logind is back.
    [[nodiscard]] bool isSleepDisabled() const override { return keepsLidLock_; }
    /// UPower's reading, else logind's last one, else the ACPI button in /proc; false when
    /// nothing answers.
    [[nodiscard]] bool isLidClosed() const override;
    /// Switching off takes the lid lock (asking logind); never without the user's consent.
    bool setSleepDisabled(bool disabled) override;
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
    void retakeLidLock();
    void askWhetherLogindIsThere();
    void readUPowerLid();
    void takeUPowerProperties(const QVariantMap& properties);
    void refreshLogindLid() const;
    [[nodiscard]] bool acpiLidClosed() const;

    QDBusConnection systemBus_;
    Settings& settings_;
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
};

} // namespace vigilo
