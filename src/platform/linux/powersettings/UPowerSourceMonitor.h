#pragma once

#include "platform/PowerSourceMonitor.h"

#include <QDBusConnection>
#include <QStringList>
#include <QVariantMap>

namespace vigilo {

/// Follows UPower's property changes (the daemon's OnBattery and every device's charge and
/// state). Without UPower it stays silent; there is no polling.
class UPowerSourceMonitor final : public PowerSourceMonitor {
    Q_OBJECT
public:
    explicit UPowerSourceMonitor(QDBusConnection systemBus, QObject* parent = nullptr);

private Q_SLOTS:
    void onPropertiesChanged(const QString& interface, const QVariantMap& changedProperties,
                             const QStringList& invalidatedProperties);

private:
    QDBusConnection systemBus_;
};

} // namespace vigilo
