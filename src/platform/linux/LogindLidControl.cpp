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

} // namespace

LogindLidControl::LogindLidControl(QDBusConnection systemBus, std::filesystem::path root)
    : systemBus_(std::move(systemBus))
    , root_(std::move(root)) {}

bool LogindLidControl::isInstalled() const {
    return DBusCalls::firstResult(DBusCalls::call(systemBus_,
                                                  QStringLiteral("org.freedesktop.DBus"),
                                                  QStringLiteral("/org/freedesktop/DBus"),
                                                  QStringLiteral("org.freedesktop.DBus"),
                                                  QStringLiteral("NameHasOwner"), {logindName}))
        .toBool();
}

bool LogindLidControl::isLidClosed() const {
    // Polled every couple of seconds: a missing service answers at once with an error.
    if (const auto closed = upowerLidClosed()) {
        return *closed;
    }
    if (const auto closed = logindLidClosed()) {
        return *closed;
    }
    return acpiLidClosed();
}

bool LogindLidControl::setSleepDisabled(bool disabled) {
    if (!disabled) {
        lidLock_.reset();
        return true;
    }
    if (!lidLock_.isValid()) {
        // "sleep" too: a lid lock alone would let other suspend requests through while the lid
        // is closed.
        lidLock_ = takeLogindLock(systemBus_, QStringLiteral("handle-lid-switch:sleep"),
                                  QStringLiteral("Vigilo: keeping the computer awake with the "
                                                 "lid closed"));
    }
    return lidLock_.isValid();
}

std::optional<LidError> LogindLidControl::install() {
    if (isInstalled()) {
        return std::nullopt;
    }
    // Shown after "Нет разрешения: ".
    return LidError{"служба входа в систему (systemd-logind) недоступна."};
}

std::optional<LidError> LogindLidControl::uninstall() {
    lidLock_.reset();
    return std::nullopt;
}

std::optional<bool> LogindLidControl::upowerLidClosed() const {
    const QVariant reply = DBusCalls::firstResult(DBusCalls::call(
        systemBus_, upowerName, QStringLiteral("/org/freedesktop/UPower"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"), {upowerName}));
    if (!reply.isValid()) {
        return std::nullopt;
    }
    const auto properties = qdbus_cast<QVariantMap>(reply);
    const QVariant closed = properties.value(QStringLiteral("LidIsClosed"));
    // Without a lid UPower says "open"; let the others answer then.
    if (!closed.isValid() || !properties.value(QStringLiteral("LidIsPresent"), true).toBool()) {
        return std::nullopt;
    }
    return closed.toBool();
}

std::optional<bool> LogindLidControl::logindLidClosed() const {
    const QVariant closed = DBusCalls::property(
        systemBus_, logindName, QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("LidClosed"));
    if (!closed.isValid()) {
        return std::nullopt;
    }
    return closed.toBool();
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
