#pragma once

#include <QProcessEnvironment>
#include <QString>

// Where the running instance listens for command-line control.
namespace vigilo::ControlSocketPath {

/// "$XDG_RUNTIME_DIR/vigilo/control", or "/tmp/vigilo-<uid>/control" without a runtime folder.
[[nodiscard]] QString forEnvironment(const QProcessEnvironment& environment);

/// Creates the socket's folder if needed. False when it cannot be created, or when the folder
/// there belongs to another user or is open to others: then nobody else can sit on the socket.
[[nodiscard]] bool preparePrivateFolder(const QString& socketPath);

} // namespace vigilo::ControlSocketPath
