#include "platform/linux/LogindLidControl.h"

#include "platform/linux/DBusCalls.h"
#include "platform/linux/LogindLock.h"

#include <QDBusArgument>
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

LogindLidControl::LogindLidControl(QDBusConnection systemBus, Settings& settings,
                                   std::filesystem::path root)
    : systemBus_(std::move(systemBus))
    , settings_(settings)
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
    return settings_.read(SettingsKeys::lidModeGranted) && canKeepAwakeWithLidClosed();
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
        lidLock_.reset();
        return true;
    }
    if (!isInstalled()) {
        return false;
    }
    if (!lidLock_.isValid()) {
        lidLock_ = takeLogindLock(systemBus_, lidLockWhat, lidLockWhy);
    }
    keepsLidLock_ = lidLock_.isValid();
    return keepsLidLock_;
}

std::optional<LidError> LogindLidControl::install() {
    if (isLogindThere_ == false) {
        // Shown after "Нет разрешения: ".
        return LidError{"служба входа в систему (systemd-logind) недоступна."};
    }
    settings_.write(SettingsKeys::lidModeGranted, true);
    return std::nullopt;
}

std::optional<LidError> LogindLidControl::uninstall() {
    keepsLidLock_ = false;
    lidLock_.reset();
    settings_.write(SettingsKeys::lidModeGranted, false);
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
    isLogindThere_ = !newOwner.isEmpty();
    logindLidClosed_.reset();
    // The lock went with the old owner; closing the descriptor ends what is left.
    lidLock_.reset();
    if (keepsLidLock_ && *isLogindThere_) {
        retakeLidLock();
    }
}

void LogindLidControl::retakeLidLock() {
    takeLogindLockAsync(systemBus_, lidLockWhat, lidLockWhy, this, [this](UniqueFd lock) {
        // Dropped (the descriptor closes here) when sleep was switched back on meanwhile or
        // the lock was taken again another way.
        if (keepsLidLock_ && !lidLock_.isValid()) {
            lidLock_ = std::move(lock);
        }
    });
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
