#include "platform/linux/powersettings/UPowerSource.h"

#include "platform/linux/dbus/DBusCalls.h"

namespace vigilo {

namespace {

const QString service = QStringLiteral("org.freedesktop.UPower");
const QString daemonPath = QStringLiteral("/org/freedesktop/UPower");
const QString onBatteryName = QStringLiteral("OnBattery");

std::optional<PowerValues::Source> sourceFrom(const QVariant& onBattery) {
    if (onBattery.metaType() != QMetaType::fromType<bool>()) {
        return std::nullopt;
    }
    return onBattery.toBool() ? PowerValues::Source::Battery : PowerValues::Source::Ac;
}

} // namespace

UPowerSource::UPowerSource(QDBusConnection systemBus, QObject* parent)
    : QObject(parent)
    , systemBus_(std::move(systemBus))
    , ownerWatch_(service, systemBus_, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&ownerWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this, &UPowerSource::forget);
    systemBus_.connect(service, daemonPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                       QStringLiteral("PropertiesChanged"), this,
                       SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
}

void UPowerSource::read(std::function<void(std::optional<PowerValues::Source>)> done) {
    if (kept_) {
        QMetaObject::invokeMethod(
            this, [done = std::move(done), source = *kept_] { done(source); },
            Qt::QueuedConnection);
        return;
    }
    DBusCalls::propertyAsync(
        systemBus_, service, daemonPath, service, onBatteryName, this,
        [this, done = std::move(done), asked = generation_](const QVariant& onBattery) {
            const auto source = sourceFrom(onBattery);
            if (asked == generation_) {
                kept_ = source;
            }
            done(source);
        });
}

void UPowerSource::onPropertiesChanged(const QString& interface,
                                       const QVariantMap& changedProperties,
                                       const QStringList& invalidatedProperties) {
    if (interface != service) {
        return;
    }
    if (const auto changed = changedProperties.find(onBatteryName);
        changed != changedProperties.end()) {
        ++generation_;
        kept_ = sourceFrom(*changed);
    } else if (invalidatedProperties.contains(onBatteryName)) {
        forget();
    }
}

void UPowerSource::forget() {
    ++generation_;
    kept_.reset();
}

} // namespace vigilo
