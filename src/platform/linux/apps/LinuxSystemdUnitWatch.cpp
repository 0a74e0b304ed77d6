#include "platform/linux/apps/LinuxSystemdUnitWatch.h"

#include "platform/linux/dbus/DBusCalls.h"

#include <QDBusMessage>

namespace vigilo {

namespace {

const QString service = QStringLiteral("org.freedesktop.systemd1");
const QString path = QStringLiteral("/org/freedesktop/systemd1");
const QString managerInterface = QStringLiteral("org.freedesktop.systemd1.Manager");

} // namespace

LinuxSystemdUnitWatch::LinuxSystemdUnitWatch(QDBusConnection bus)
    : bus_(std::move(bus)) {
    // Listening before subscribing: no signal sent right after the answer is missed.
    connectUnitSignals(true);
    auto call = QDBusMessage::createMethodCall(service, path, managerInterface,
                                               QStringLiteral("Subscribe"));
    // Without a running user manager the bus would start the system one's stub, which fails.
    call.setAutoStartService(false);
    DBusCalls::callAsync(bus_, call, this, [this](const QDBusMessage& reply) {
        // Another part of this process may have subscribed on the same connection already.
        subscribed_ =
            reply.type() == QDBusMessage::ReplyMessage ||
            reply.errorName() == QStringLiteral("org.freedesktop.systemd1.AlreadySubscribed");
        if (!subscribed_) {
            connectUnitSignals(false);
        }
    });
}

void LinuxSystemdUnitWatch::connectUnitSignals(bool connect) {
    for (const auto& signal : {QStringLiteral("UnitNew"), QStringLiteral("UnitRemoved")}) {
        // From any sender: naming the manager's would make QtDBus ask the bus for its owner and
        // wait for the answer. A stray signal costs one more look at the processes at most.
        if (connect) {
            bus_.connect(QString(), path, managerInterface, signal, this, SLOT(takeUnitSignal()));
        } else {
            bus_.disconnect(QString(), path, managerInterface, signal, this,
                            SLOT(takeUnitSignal()));
        }
    }
}

void LinuxSystemdUnitWatch::takeUnitSignal() {
    Q_EMIT unitsChanged();
}

} // namespace vigilo
