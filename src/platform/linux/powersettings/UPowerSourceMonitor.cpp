#include "platform/linux/powersettings/UPowerSourceMonitor.h"

namespace vigilo {

UPowerSourceMonitor::UPowerSourceMonitor(QDBusConnection systemBus, QObject* parent)
    : PowerSourceMonitor(parent)
    , systemBus_(std::move(systemBus)) {
    // An empty path matches every object of the sender: the daemon and all its devices.
    // QtDBus follows the name's owner, so a UPower started later is heard too.
    systemBus_.connect(QStringLiteral("org.freedesktop.UPower"), QString(),
                       QStringLiteral("org.freedesktop.DBus.Properties"),
                       QStringLiteral("PropertiesChanged"), this,
                       SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
}

void UPowerSourceMonitor::onPropertiesChanged(const QString&, const QVariantMap&,
                                              const QStringList&) {
    Q_EMIT changed();
}

} // namespace vigilo
