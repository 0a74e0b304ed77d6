#include "BuildInfo.h"
#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/ControlClient.h"
#include "app/ControlServer.h"
#include "app/DBusControl.h"
#include "app/PanelLibrary.h"
#include "platform/PlatformServices.h"
#include "platform/posix/ChildCommand.h"
#include "platform/posix/ControlSocketPath.h"
#include "platform/posix/InstanceLock.h"
#include "platform/posix/QuitOnSignals.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <variant>
#include <vector>

using namespace vigilo;

namespace {

/// How long `vigilo run` waits for the system's lock before it goes on without.
constexpr int lockTimeoutMs = 5000;

// The verbs only talk to the running instance: no display needed, so no GUI application.
int runControl(int argc, char** argv, const ControlRequest& request) {
    const QCoreApplication app(argc, argv);
    const QString socketPath =
        ControlSocketPath::forEnvironment(FolderEnvironment::ofThisProcess());
    if (const auto problem = ControlSocketPath::addressProblem(socketPath)) {
        std::cerr << "vigilo: " << problem->toStdString() << '\n';
        return CommandLine::ExitCode::notRunning;
    }
    return CommandLine::report(request.verb, sendControl(socketPath, request), std::cout,
                               std::cerr);
}

// `vigilo run`: the command runs in the foreground; the running instance keeps the computer
// awake while it does (a session shown in its panel), or else this process holds the system's
// lock itself, which the kernel drops with it however it ends.
int runCommand(int argc, char** argv, const CommandLine::Invocation& invocation) {
    const QCoreApplication app(argc, argv);
    std::vector<std::string> command;
    for (const QString& word : invocation.command) {
        command.push_back(word.toLocal8Bit().toStdString());
    }
    auto started = ChildCommand::start(command);
    auto* const running = std::get_if<ChildCommand>(&started);
    if (running == nullptr) {
        std::cerr << "vigilo: не удалось запустить «" << command.front()
                  << "»: " << *std::get_if<std::string>(&started) << '\n';
        return CommandLine::ExitCode::cannotRun;
    }
    ChildCommand& child = *running;
    const QString socketPath =
        ControlSocketPath::forEnvironment(FolderEnvironment::ofThisProcess());
    const ControlResult answer =
        ControlSocketPath::addressProblem(socketPath)
            ? ControlResult{}
            : sendControl(socketPath, ControlRequest::onWhile(child.pid()));
    std::unique_ptr<CommandLineLock> lock;
    if (answer.status == ControlResult::Status::Answered) {
        if (!answer.reply.awake) {
            std::cerr << "vigilo: система не дала запретить сон.\n";
        }
    } else {
        lock = takeCommandLineLock(invocation.keepsDisplayOn, lockTimeoutMs);
        std::cerr << (lock ? CommandLine::runsAloneMessage() : CommandLine::runWithoutLockMessage())
                         .toStdString()
                  << '\n';
    }
    const ChildCommand::Ended ended = child.wait();
    return CommandLine::runExitCode(ended.exited, ended.statusOrSignal);
}

// A second start opens the running instance's panel (its only window where there is no tray)
// and ends. The instance is not asked when it cannot be reached; the start still ends.
int showRunningInstance(const QString& socketPath) {
    std::cout << CommandLine::alreadyRunningMessage().toStdString() << '\n';
    if (!ControlSocketPath::addressProblem(socketPath)) {
        static_cast<void>(sendControl(socketPath, ControlVerb::Show));
    }
    return CommandLine::ExitCode::ok;
}

// Without a socket the program still runs; it just cannot be driven from the command line.
void warnControlOff(const QString& reason) {
    qWarning("vigilo: управление из командной строки выключено: %s", qUtf8Printable(reason));
}

/// Runs the tray program. `relaunchInto` receives the program an installed update asked to be
/// started in this one's place, once everything here has been let go.
int runApp(int argc, char** argv, std::optional<std::filesystem::path>& relaunchInto) {
    const FolderEnvironment folders = FolderEnvironment::ofThisProcess();
    // First of all, so that a second start shows nothing and touches nothing, not even the
    // settings file.
    const InstanceLock instanceLock =
        InstanceLock::take(instanceLockFolder(::getuid(), "/run/user", "/tmp"));
    switch (instanceLock.outcome()) {
    case InstanceLock::Outcome::HeldByAnother: {
        // The request needs no display, so no GUI application.
        const QCoreApplication app(argc, argv);
        return showRunningInstance(ControlSocketPath::forEnvironment(folders));
    }
    case InstanceLock::Outcome::Refused:
        std::cerr << CommandLine::noInstanceLockMessage(
                         QString::fromStdString(instanceLock.refusal()))
                         .toStdString()
                  << '\n';
        return CommandLine::ExitCode::noInstanceLock;
    case InstanceLock::Outcome::Held:
        break;
    }
    if (!CommandLine::hasDesktop(QProcessEnvironment::systemEnvironment())) {
        std::cerr << CommandLine::noDesktopMessage().toStdString() << '\n';
        return CommandLine::ExitCode::noDesktop;
    }
    // Before anything that could crash, so that a new version crashing at start is rolled back;
    // after the one check that ends a start cleanly without confirming it.
    recordProgramStart();
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
    // The program speaks Russian whatever the locale, and so do Qt's own dialogs (the file
    // chooser's labels and buttons) where the translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ru"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
    // A tray-only program: closing a dialog must never end it.
    QApplication::setQuitOnLastWindowClosed(false);
    const QuitOnSignals quitOnSignals;

    // The platform services load the settings; the socket answers only after that, so a
    // command never sees the program's defaults instead of the user's settings.
    PlatformServices platform = makePlatformServices([&relaunchInto](const auto& program) {
        relaunchInto = program;
        QCoreApplication::quit();
    });
    // The panel with its views and Qt Quick is loaded when it is first wanted.
    PanelLibrary panels(PanelLibrary::besideProgram());
    AppDelegate delegate(platform, panels);
    const QString socketPath = ControlSocketPath::forEnvironment(folders);
    ControlServer control(socketPath);
    control.setHandler(
        [&delegate](const ControlRequest& request) { return delegate.handleControl(request); });
    if (const auto problem = ControlSocketPath::prepareFolder(socketPath)) {
        warnControlOff(*problem);
    } else {
        switch (control.listen()) {
        case ControlServer::Claim::AlreadyRunning:
            // An instance that keeps its lock elsewhere (another state folder) but shares this
            // session's socket.
            return showRunningInstance(socketPath);
        case ControlServer::Claim::Failed:
            warnControlOff(QStringLiteral("не удалось слушать «%1» (%2)")
                               .arg(socketPath, control.errorString()));
            break;
        case ControlServer::Claim::Listening:
            break;
        }
    }
    // The same requests over the session bus, where there is one.
    DBusControl dbusControl(QDBusConnection::sessionBus(),
                            {.model = delegate.model(),
                             .clock = *platform.clock,
                             .scheduler = *platform.scheduler,
                             .processes = *platform.processWatch,
                             .handler = [&delegate](const ControlRequest& request) {
                                 return delegate.handleControl(request);
                             }});
    if (!dbusControl.start()) {
        qWarning("vigilo: на сессионной шине D-Bus Vigilo не виден");
    }
    // Requests are served from the event loop, so none is carried out before this is done.
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
        return runControl(argc, argv, invocation.request);
    case CommandLine::Invocation::Kind::Run:
        return runCommand(argc, argv, invocation);
    case CommandLine::Invocation::Kind::StartApp:
        break;
    }
    std::optional<std::filesystem::path> relaunchInto;
    const int exitCode = runApp(argc, argv, relaunchInto);
    // The instance lock, the inhibitors and the socket are gone by now, so the new version
    // starts as the only instance.
    if (relaunchInto) {
        replaceProcessWith(*relaunchInto);
        std::cerr << "vigilo: не удалось запустить новую версию " << relaunchInto->string() << '\n';
    }
    return exitCode;
}
