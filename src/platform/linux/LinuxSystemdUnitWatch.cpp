#include "platform/linux/LinuxSystemdUnitWatch.h"

#include <QDBusMessage>

namespace vigilo {

namespace {

const QString service = QStringLiteral("org.freedesktop.systemd1");
const QString path = QStringLiteral("/org/freedesktop/systemd1");
const QString managerInterface = QStringLiteral("org.freedesktop.systemd1.Manager");
constexpr int subscribeTimeoutMs = 2000;

} // namespace

std::unique_ptr<LinuxSystemdUnitWatch> LinuxSystemdUnitWatch::subscribe(QDBusConnection bus) {
    auto call = QDBusMessage::createMethodCall(service, path, managerInterface,
                                               QStringLiteral("Subscribe"));
    // Without a running user manager the bus would start the system one's stub, which fails.
    call.setAutoStartService(false);
    const auto reply = bus.call(call, QDBus::Block, subscribeTimeoutMs);
    // Another part of this process may have subscribed on the same connection already.
    const bool subscribed =
        reply.type() == QDBusMessage::ReplyMessage ||
        reply.errorName() == QStringLiteral("org.freedesktop.systemd1.AlreadySubscribed");
    if (!subscribed) {
        return nullptr;
    }
    std::unique_ptr<LinuxSystemdUnitWatch> watch(new LinuxSystemdUnitWatch);
    for (const auto& signal : {QStringLiteral("UnitNew"), QStringLiteral("UnitRemoved")}) {
        bus.connect(service, path, managerInterface, signal, watch.get(), SLOT(takeUnitSignal()));
    }
    return watch;
}

void LinuxSystemdUnitWatch::takeUnitSignal() {
    Q_EMIT unitsChanged();
}

} // namespace vigilo
