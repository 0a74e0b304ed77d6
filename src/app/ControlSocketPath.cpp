#include "app/ControlSocketPath.h"

#include "platform/linux/PrivateFolder.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace vigilo::ControlSocketPath {

// The socket shares the program's session folder with its other per-session files (the sound
// copies), so both follow one rule for where that folder is and who may enter it.
QString forEnvironment(const QProcessEnvironment& environment) {
    const QByteArray runtime =
        QFile::encodeName(environment.value(QStringLiteral("XDG_RUNTIME_DIR")));
    const auto folder = sessionFolder(runtime.toStdString(), ::getuid());
    return QFile::decodeName(QByteArray::fromStdString((folder / "control").string()));
}

bool preparePrivateFolder(const QString& socketPath) {
    return makePrivateFolder(QFile::encodeName(QFileInfo(socketPath).path()).toStdString());
}

} // namespace vigilo::ControlSocketPath
