#include "BuildInfo.h"
#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/ControlClient.h"
#include "app/ControlServer.h"
#include "app/ControlSocketPath.h"
#include "app/QuitOnSignals.h"
#include "platform/PlatformServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QtQml/qqmlextensionplugin.h>
#include <iostream>

// The panel's views: the statically linked QML module "Vigilo".
Q_IMPORT_QML_PLUGIN(VigiloPlugin)

using namespace vigilo;

namespace {

QString controlSocket() {
    return ControlSocketPath::forEnvironment(QProcessEnvironment::systemEnvironment());
}

// The verbs only talk to the running instance: no display needed, so no GUI application.
int runControl(int argc, char** argv, ControlVerb verb) {
    const QCoreApplication app(argc, argv);
    return CommandLine::report(verb, sendControl(controlSocket(), verb), std::cout, std::cerr);
}

int runApp(int argc, char** argv) {
    if (!CommandLine::hasDesktop(QProcessEnvironment::systemEnvironment())) {
        std::cerr << CommandLine::noDesktopMessage().toStdString() << '\n';
        return CommandLine::ExitCode::noDesktop;
    }
    if (CommandLine::runsThroughXWayland(QProcessEnvironment::systemEnvironment())) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vigilo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vigilo"));
    QApplication::setApplicationVersion(QString::fromLatin1(BuildInfo::version));
    // Desktops (Wayland compositors above all) find the program's desktop entry, and with it
    // its name and icon, by this id.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(BuildInfo::applicationId));
    // A tray-only program: closing a dialog must never end it.
    QApplication::setQuitOnLastWindowClosed(false);
    const QuitOnSignals quitOnSignals;

    const QString socketPath = controlSocket();
    ControlServer control(socketPath);
    if (!ControlSocketPath::preparePrivateFolder(socketPath)) {
        qWarning("vigilo: no private folder for %s; command-line control is off",
                 qUtf8Printable(socketPath));
    } else {
        switch (control.listen()) {
        case ControlServer::Claim::AlreadyRunning:
            std::cout << CommandLine::alreadyRunningMessage().toStdString() << '\n';
            return CommandLine::ExitCode::ok;
        case ControlServer::Claim::Failed:
            qWarning("vigilo: cannot listen on %s (%s); command-line control is off",
                     qUtf8Printable(socketPath), qUtf8Printable(control.errorString()));
            break;
        case ControlServer::Claim::Listening:
            break;
        }
    }

    PlatformServices platform = makePlatformServices();
    AppDelegate delegate(platform);
    control.setHandler([&delegate](ControlVerb verb) { return delegate.handleControl(verb); });
    delegate.finishLaunching();
    // Quitting — from the menu, a signal or the session ending (Qt turns the session manager's
    // "die" into a quit) — emits aboutToQuit, where the delegate releases the lock.
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const auto invocation = CommandLine::parse(arguments);
    switch (invocation.kind) {
    case CommandLine::Invocation::Kind::Help:
        std::cout << CommandLine::usage().toStdString() << '\n';
        return CommandLine::ExitCode::ok;
    case CommandLine::Invocation::Kind::Version:
        std::cout << CommandLine::versionLine().toStdString() << '\n';
        return CommandLine::ExitCode::ok;
    case CommandLine::Invocation::Kind::BadUsage:
        std::cerr << "vigilo: " << invocation.problem.toStdString() << "\n\n"
                  << CommandLine::usage().toStdString() << '\n';
        return CommandLine::ExitCode::usage;
    case CommandLine::Invocation::Kind::Control:
        return runControl(argc, argv, invocation.verb);
    case CommandLine::Invocation::Kind::StartApp:
        break;
    }
    return runApp(argc, argv);
}
