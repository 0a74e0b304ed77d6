#pragma once

#include <QDBusConnection>
#include <QObject>

namespace vigilo {

/// Tells when the user's systemd manager starts or drops a unit: desktops start every
/// application in a unit of its own, so this is when applications start and quit.
class LinuxSystemdUnitWatch final : public QObject {
    Q_OBJECT
public:
    /// Asks the systemd manager on `bus` (the session bus) for its unit signals, without waiting
    /// for its answer.
    explicit LinuxSystemdUnitWatch(QDBusConnection bus);

    /// The manager agreed to send its unit signals. False until it has answered, and for good
    /// when no manager answers.
    [[nodiscard]] bool isSubscribed() const { return subscribed_; }

Q_SIGNALS:
    /// A unit appeared (UnitNew) or went away (UnitRemoved).
    void unitsChanged();

private Q_SLOTS:
    void takeUnitSignal();

private:
    void connectUnitSignals(bool connect);

    QDBusConnection bus_;
    bool subscribed_ = false;
};

} // namespace vigilo
