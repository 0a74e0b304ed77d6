#include "platform/linux/UPowerSource.h"

#include "platform/linux/DBusCalls.h"

namespace vigilo {

std::optional<PowerValues::Source> readUPowerSource(const QDBusConnection& systemBus) {
    const QVariant onBattery =
        DBusCalls::property(systemBus, QStringLiteral("org.freedesktop.UPower"),
                            QStringLiteral("/org/freedesktop/UPower"),
                            QStringLiteral("org.freedesktop.UPower"), QStringLiteral("OnBattery"));
    if (onBattery.metaType() != QMetaType::fromType<bool>()) {
        return std::nullopt;
    }
    return onBattery.toBool() ? PowerValues::Source::Battery : PowerValues::Source::Ac;
}

} // namespace vigilo
