#include "platform/linux/powersettings/UPowerSource.h"

#include "platform/linux/dbus/DBusCalls.h"

namespace vigilo {

void readUPowerSource(const QDBusConnection& systemBus, QObject* context,
                      std::function<void(std::optional<PowerValues::Source>)> done) {
    DBusCalls::propertyAsync(
        systemBus, QStringLiteral("org.freedesktop.UPower"),
        QStringLiteral("/org/freedesktop/UPower"), QStringLiteral("org.freedesktop.UPower"),
        QStringLiteral("OnBattery"), context, [done = std::move(done)](const QVariant& onBattery) {
            if (onBattery.metaType() != QMetaType::fromType<bool>()) {
                done(std::nullopt);
                return;
            }
            done(onBattery.toBool() ? PowerValues::Source::Battery : PowerValues::Source::Ac);
        });
}

} // namespace vigilo
