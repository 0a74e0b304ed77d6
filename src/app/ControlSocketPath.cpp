#include "app/ControlSocketPath.h"

#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace vigilo::ControlSocketPath {

QString forEnvironment(const QProcessEnvironment& environment) {
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        return runtime + QStringLiteral("/vigilo/control");
    }
    return QStringLiteral("/tmp/vigilo-%1/control").arg(::getuid());
}

bool preparePrivateFolder(const QString& socketPath) {
    const QByteArray folder = QFileInfo(socketPath).path().toLocal8Bit();
    if (::mkdir(folder.constData(), S_IRWXU) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    if (::lstat(folder.constData(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

} // namespace vigilo::ControlSocketPath
