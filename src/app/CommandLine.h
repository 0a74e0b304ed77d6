#pragma once

#include "app/ControlClient.h"
#include "app/ControlProtocol.h"
#include "ports/Clock.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <ostream>

// What `vigilo` was asked to do on its command line, and what it says and returns for it.
namespace vigilo::CommandLine {

namespace ExitCode {
inline constexpr int ok = 0;
inline constexpr int noDesktop = 1;
inline constexpr int notRunning = 2;
inline constexpr int notAwake = 3;
inline constexpr int usage = 64;          // EX_USAGE of sysexits.h
inline constexpr int cannotRun = 127;     // `run`: the command cannot be started, as in a shell
inline constexpr int noInstanceLock = 73; // EX_CANTCREAT of sysexits.h
} // namespace ExitCode

struct Invocation {
    enum class Kind { StartApp, Control, Run, Help, Version, BadUsage };
    Kind kind = Kind::StartApp;
    ControlVerb verb = ControlVerb::Status;
    /// For `Control`: the verb, with the end of an "on" session.
    ControlRequest request{};
    /// For `Run`: the program and its arguments, and whether the display stays on too.
    QStringList command{};
    bool keepsDisplayOn = false;
    /// For `BadUsage`: what was wrong, in a sentence.
    QString problem{};
};

/// What reading the options needs from the system: the time and its zone, and whether a
/// process exists.
struct ParseContext {
    const Clock& clock;
    std::function<bool(std::int64_t pid)> processExists;
};

/// `arguments` are those after the program name; the system's clock and processes.
[[nodiscard]] Invocation parse(const QStringList& arguments);
[[nodiscard]] Invocation parse(const QStringList& arguments, const ParseContext& context);
[[nodiscard]] QString usage();
/// "vigilo <project version>".
[[nodiscard]] QString versionLine();

/// The tray needs an X11 or Wayland session, or a platform named explicitly.
[[nodiscard]] bool hasDesktop(const QProcessEnvironment& environment);
[[nodiscard]] QString noDesktopMessage();
/// In a Wayland session a client cannot place its windows, so the panel could not sit under the
/// tray icon: the program runs through XWayland when the session offers it (DISPLAY is set too)
/// and the user chose no Qt platform.
[[nodiscard]] bool runsThroughXWayland(const QProcessEnvironment& environment);
[[nodiscard]] QString alreadyRunningMessage();
/// Why the tray program does not start when it cannot make sure it is the only one running.
[[nodiscard]] QString noInstanceLockMessage(const QString& refusal);

/// What `vigilo run` says once on standard error when no Vigilo runs and it holds the system's
/// lock itself, or when it cannot.
[[nodiscard]] QString runsAloneMessage();
[[nodiscard]] QString runWithoutLockMessage();
/// The exit code of `vigilo run` for its command's end: its status, or 128 + the signal.
[[nodiscard]] int runExitCode(bool exited, int statusOrSignal);

/// Prints what the instance answered to `verb` (or why it did not) and returns the exit code.
[[nodiscard]] int report(ControlVerb verb, const ControlResult& result, std::ostream& out,
                         std::ostream& err);

} // namespace vigilo::CommandLine
