#pragma once

#include "ports/PowerSettingsSource.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <optional>

namespace vigilo {

/// UPower's word on the power source, its OnBattery property. It is asked once and then kept:
/// a change UPower announces replaces it, and another UPower taking the bus name (a start or a
/// restart) drops it. "No word" (UPower does not run) is kept the same way.
class UPowerSource final : public QObject {
    Q_OBJECT
public:
    explicit UPowerSource(QDBusConnection systemBus, QObject* parent = nullptr);

    /// `done` gets the source, or nothing without UPower, always later from the event loop and
    /// never once this object is gone.
    void read(std::function<void(std::optional<PowerValues::Source>)> done);

private Q_SLOTS:
    void onPropertiesChanged(const QString& interface, const QVariantMap& changedProperties,
                             const QStringList& invalidatedProperties);

private:
    void forget();

    QDBusConnection systemBus_;
    QDBusServiceWatcher ownerWatch_;
    /// The word kept, when there is one (itself nothing without UPower).
    std::optional<std::optional<PowerValues::Source>> kept_;
    /// Counts what replaced or dropped the word kept: an answer to a question asked before
    /// is passed on but not kept.
    int generation_ = 0;
};

} // namespace vigilo
