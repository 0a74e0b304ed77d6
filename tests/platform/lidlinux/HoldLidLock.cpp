// Usage: vigilo_hold_lid_lock <system bus address>
// Asks for the closed-lid lock (as granted), prints "held" and waits to be killed.
#include "fakes/FakeDefaults.h"
#include "platform/linux/power/LogindLidControl.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        return 2;
    }
    vigilo::fakes::FakeDefaults granted;
    granted.values["lidModeGranted"] = true;
    vigilo::LogindLidControl lid(
        QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("system")),
        granted);
    if (!lid.setSleepDisabled(true)) {
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
