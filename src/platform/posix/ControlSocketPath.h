#pragma once

#include "platform/posix/PrivateFolder.h"

#include <QString>
#include <optional>

// Where the running instance listens for command-line control.
namespace vigilo::ControlSocketPath {

/// "<session folder>/control" (see PrivateFolder.h): "$XDG_RUNTIME_DIR/vigilo/control", or in
/// the user's state folder without a runtime folder.
[[nodiscard]] QString forEnvironment(const FolderEnvironment& environment);

/// Why no socket can be bound or reached at `socketPath` (a socket address holds a path of at
/// most 107 bytes), or nothing when one can.
[[nodiscard]] std::optional<QString> addressProblem(const QString& socketPath);

/// Creates the socket's folder if needed. Returns why the server must not listen there — the
/// path is too long, or the folder cannot be created, belongs to another user or is open to
/// others, so that somebody else could sit on the socket — or nothing when it may.
[[nodiscard]] std::optional<QString> prepareFolder(const QString& socketPath);

} // namespace vigilo::ControlSocketPath
