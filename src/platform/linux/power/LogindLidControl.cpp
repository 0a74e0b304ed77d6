#include "platform/linux/power/LogindLidControl.h"

#include "platform/linux/dbus/DBusCalls.h"
#include "platform/linux/power/LogindLock.h"

#include <QDBusArgument>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <string>

namespace vigilo {

namespace {

const QString logindName = QStringLiteral("org.freedesktop.login1");
const QString upowerName = QStringLiteral("org.freedesktop.UPower");
const QString upowerPath = QStringLiteral("/org/freedesktop/UPower");

// "sleep" too: a lid lock alone would let other suspend requests through while the lid is
// closed.
const QString lidLockWhat = QStringLiteral("handle-lid-switch:sleep");
const QString lidLockWhy = QStringLiteral("Vigilo: keeping the computer awake with the lid closed");

} // namespace

LogindLidControl::LogindLidControl(QDBusConnection systemBus, Defaults& defaults,
                                   std::filesystem::path root)
    : systemBus_(std::move(systemBus))
    , defaults_(defaults)
    , root_(std::move(root))
    , owners_(logindName, systemBus_, QDBusServiceWatcher::WatchForOwnerChange) {
    owners_.addWatchedService(upowerName);
    connect(&owners_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString& name, const QString&, const QString& newOwner) {
                onOwnerChanged(name, newOwner);
            });
    systemBus_.connect(upowerName, upowerPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                       QStringLiteral("PropertiesChanged"), this,
                       SLOT(onUPowerPropertiesChanged(QString, QVariantMap, QStringList)));
    askWhetherLogindIsThere();
    readUPowerLid();
    refreshLogindLid();
}

bool LogindLidControl::isInstalled() const {
    // Stored as a boolean; an older store may hold it as 0 or 1.
    const auto consent = defaults_.value(consentKey);
    const auto* flag = consent ? std::get_if<bool>(&*consent) : nullptr;
    const auto* number = consent ? std::get_if<std::int64_t>(&*consent) : nullptr;
    const bool granted = flag ? *flag : number && *number == 1;
    return granted && canKeepAwakeWithLidClosed();
}

bool LogindLidControl::isLidClosed() const {
    if (upowerLidClosed_ && upowerHasLid_) {
        return *upowerLidClosed_;
    }
    // logind does not announce its reading: this answer is as old as the last tick's question.
    refreshLogindLid();
    if (logindLidClosed_) {
        return *logindLidClosed_;
    }
    return acpiLidClosed();
}

bool LogindLidControl::setSleepDisabled(bool disabled) {
    if (!disabled) {
        keepsLidLock_ = false;
        dropLidLock();
        return true;
    }
    if (!isInstalled()) {
        return false;
    }
    if (!keepsLidLock_) {
        keepsLidLock_ = true;
        retryDelay_.reset();
        isAwaitingFirstAnswer_ = !lidLock_.isValid();
        askForLidLock();
    }
    return true;
}

std::optional<LidError> LogindLidControl::install() {
    if (isLogindThere_ == false) {
        // Shown after "Нет разрешения: ".
        return LidError{"служба входа в систему (systemd-logind) недоступна."};
    }
    defaults_.set(consentKey, true);
    return std::nullopt;
}

std::optional<LidError> LogindLidControl::uninstall() {
    keepsLidLock_ = false;
    dropLidLock();
    defaults_.set(consentKey, false);
    return std::nullopt;
}

void LogindLidControl::onOwnerChanged(const QString& name, const QString& newOwner) {
    if (name == logindName) {
        ++logindNews_;
        logindOwnerChanged(newOwner);
        return;
    }
    ++upowerNews_;
    upowerLidClosed_.reset();
    upowerHasLid_ = true;
    if (!newOwner.isEmpty()) {
        readUPowerLid();
    }
}

void LogindLidControl::logindOwnerChanged(const QString& newOwner) {
    const bool was = isSleepDisabled();
    isLogindThere_ = !newOwner.isEmpty();
    logindLidClosed_.reset();
    // The lock went with the old owner; closing the descriptor ends what is left.
    dropLidLock();
    if (keepsLidLock_ && *isLogindThere_) {
        retryDelay_.reset();
        askForLidLock();
    }
    reportIfChanged(was);
}

void LogindLidControl::askForLidLock() {
    if (isAskingForLidLock_ || lidLock_.isValid()) {
        return;
    }
    isAskingForLidLock_ = true;
    takeLogindLockAsync(systemBus_, lidLockWhat, lidLockWhy, this,
                        [this, asked = ++lidRequests_](UniqueFd lock) {
                            // Otherwise sleep was switched back on, or logind left, meanwhile:
                            // the descriptor closes here.
                            if (asked == lidRequests_) {
                                lidLockAnswered(std::move(lock));
                            }
                        });
}

void LogindLidControl::lidLockAnswered(UniqueFd lock) {
    const bool was = isSleepDisabled();
    isAskingForLidLock_ = false;
    isAwaitingFirstAnswer_ = false;
    lidLock_ = std::move(lock);
    if (!lidLock_.isValid()) {
        retryLater();
    }
    reportIfChanged(was);
}

void LogindLidControl::retryLater() {
    QTimer::singleShot(retryDelay_.next(), this, [this, asked = lidRequests_] {
        // A newer request or drop since then has its own course.
        if (asked == lidRequests_ && keepsLidLock_ && isLogindThere_ != false) {
            askForLidLock();
        }
    });
}

void LogindLidControl::dropLidLock() {
    ++lidRequests_;
    isAskingForLidLock_ = false;
    isAwaitingFirstAnswer_ = false;
    lidLock_.reset();
}

void LogindLidControl::reportIfChanged(bool was) {
    if (was != isSleepDisabled()) {
        sleepSwitchChanged_.notify();
    }
}

void LogindLidControl::askWhetherLogindIsThere() {
    DBusCalls::callAsync(
        systemBus_, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"), {logindName}, this,
        [this, asked = logindNews_](const QDBusMessage& reply) {
            if (asked == logindNews_) {
                isLogindThere_ = DBusCalls::firstResult(reply).toBool();
            }
        });
}

void LogindLidControl::readUPowerLid() {
    DBusCalls::callAsync(systemBus_, upowerName, upowerPath,
                         QStringLiteral("org.freedesktop.DBus.Properties"),
                         QStringLiteral("GetAll"), {upowerName}, this,
                         [this, asked = upowerNews_](const QDBusMessage& reply) {
                             const QVariant properties = DBusCalls::firstResult(reply);
                             if (properties.isValid() && asked == upowerNews_) {
                                 takeUPowerProperties(qdbus_cast<QVariantMap>(properties));
                             }
                         });
}

void LogindLidControl::onUPowerPropertiesChanged(const QString& interface,
                                                 const QVariantMap& changed, const QStringList&) {
    if (interface == upowerName) {
        ++upowerNews_;
        takeUPowerProperties(changed);
    }
}

void LogindLidControl::takeUPowerProperties(const QVariantMap& properties) {
    // Without a lid UPower says "open"; the others answer then.
    if (const QVariant present = properties.value(QStringLiteral("LidIsPresent"));
        present.isValid()) {
        upowerHasLid_ = present.toBool();
    }
    if (const QVariant closed = properties.value(QStringLiteral("LidIsClosed")); closed.isValid()) {
        upowerLidClosed_ = closed.toBool();
    }
}

void LogindLidControl::refreshLogindLid() const {
    if (isRefreshingLogindLid_) {
        return;
    }
    isRefreshingLogindLid_ = true;
    DBusCalls::propertyAsync(
        systemBus_, logindName, QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("LidClosed"),
        &logindLidRefresh_, [this](const QVariant& closed) {
            isRefreshingLogindLid_ = false;
            logindLidClosed_ = closed.isValid() ? std::optional(closed.toBool()) : std::nullopt;
        });
}

bool LogindLidControl::acpiLidClosed() const {
    // Each file reads like "state:      closed".
    std::error_code error;
    for (const auto& button :
         std::filesystem::directory_iterator(root_ / "proc/acpi/button/lid", error)) {
        std::ifstream file(button.path() / "state");
        std::string line;
        if (std::getline(file, line) && line.find("closed") != std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace vigilo
