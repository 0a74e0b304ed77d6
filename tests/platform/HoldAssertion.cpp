// Usage: vigilo_hold_assertion <system bus address> <session bus address>
// Takes a display-kept-on assertion, prints "held" and waits to be killed.
#include "platform/linux/power/LogindPowerAssertions.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        return 2;
    }
    vigilo::LogindPowerAssertions assertions(
        QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("system")),
        QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[2]), QStringLiteral("session")));
    if (!assertions.create(vigilo::AssertionKind::DisplayKeptOn, "Vigilo: keeping Mac awake")) {
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
