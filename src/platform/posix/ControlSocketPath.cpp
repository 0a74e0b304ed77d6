#include "platform/posix/ControlSocketPath.h"

#include <QFile>
#include <QFileInfo>
#include <sys/un.h>

namespace vigilo::ControlSocketPath {

namespace {

// The path and its terminating zero must fit in sun_path.
constexpr qsizetype longestPath = sizeof(sockaddr_un::sun_path) - 1;

} // namespace

// The socket shares the program's session folder with its other per-session files (the sound
// copies), so both follow one rule for where that folder is and who may enter it.
QString forEnvironment(const FolderEnvironment& environment) {
    return QFile::decodeName(
        QByteArray::fromStdString((sessionFolder(environment) / "control").string()));
}

std::optional<QString> addressProblem(const QString& socketPath) {
    const qsizetype length = QFile::encodeName(socketPath).size();
    if (length <= longestPath) {
        return std::nullopt;
    }
    return QStringLiteral("путь сокета «%1» слишком длинный: %2 байт, а помещается не больше %3")
        .arg(socketPath)
        .arg(length)
        .arg(longestPath);
}

std::optional<QString> prepareFolder(const QString& socketPath) {
    if (auto problem = addressProblem(socketPath)) {
        return problem;
    }
    const auto refusal =
        privateFolderRefusal(QFile::encodeName(QFileInfo(socketPath).path()).toStdString());
    if (refusal) {
        return QString::fromStdString(*refusal);
    }
    return std::nullopt;
}

} // namespace vigilo::ControlSocketPath
