#pragma once

#include "app/ControlClient.h"
#include "app/ControlProtocol.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <ostream>

// What `vigilo` was asked to do on its command line, and what it says and returns for it.
namespace vigilo::CommandLine {

namespace ExitCode {
inline constexpr int ok = 0;
inline constexpr int noDesktop = 1;
inline constexpr int notRunning = 2;
inline constexpr int notAwake = 3;
inline constexpr int usage = 64;          // EX_USAGE of sysexits.h
inline constexpr int noInstanceLock = 73; // EX_CANTCREAT of sysexits.h
} // namespace ExitCode

struct Invocation {
    enum class Kind { StartApp, Control, Help, Version, BadUsage };
    Kind kind = Kind::StartApp;
    ControlVerb verb = ControlVerb::Status;
    /// For `BadUsage`: what was wrong, in a sentence.
    QString problem{};
};

/// `arguments` are those after the program name.
[[nodiscard]] Invocation parse(const QStringList& arguments);
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

/// Prints what the instance answered to `verb` (or why it did not) and returns the exit code.
[[nodiscard]] int report(ControlVerb verb, const ControlResult& result, std::ostream& out,
                         std::ostream& err);

} // namespace vigilo::CommandLine
