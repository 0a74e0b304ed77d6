#pragma once

#include <QDBusConnection>
#include <QObject>
#include <memory>

namespace vigilo {

/// Tells when the user's systemd manager starts or drops a unit: desktops start every
/// application in a unit of its own, so this is when applications start and quit.
class LinuxSystemdUnitWatch final : public QObject {
    Q_OBJECT
public:
    /// Subscribes to the unit signals of the systemd manager on `bus` (the session bus).
    /// Nothing when no systemd manager answers there.
    [[nodiscard]] static std::unique_ptr<LinuxSystemdUnitWatch> subscribe(QDBusConnection bus);

Q_SIGNALS:
    /// A unit appeared (UnitNew) or went away (UnitRemoved).
    void unitsChanged();

private Q_SLOTS:
    void takeUnitSignal();

private:
    LinuxSystemdUnitWatch() = default;
};

} // namespace vigilo
