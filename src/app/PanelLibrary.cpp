#include "app/PanelLibrary.h"

#include "BuildInfo.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QPointer>
#include <QThreadPool>
#include <cstring>

namespace vigilo {

QString PanelLibrary::besideProgram() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/" VIGILO_PANEL_LIBRARY);
}

PanelLibrary::PanelLibrary(QString path)
    : path_(std::move(path)) {}

void PanelLibrary::make(const Panel::Services& services, Made made) {
    if (make_ != nullptr) {
        made(std::unique_ptr<Panel>(make_(services)), {});
        return;
    }
    QThreadPool::globalInstance()->start(
        [path = path_, self = QPointer(this), services, made = std::move(made)] {
            Loaded loaded = load(path);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, services, made, loaded = std::move(loaded)] {
                    if (self.isNull()) {
                        return;
                    }
                    self->make_ = loaded.make;
                    if (loaded.make == nullptr) {
                        made(nullptr, loaded.problem);
                        return;
                    }
                    made(std::unique_ptr<Panel>(loaded.make(services)), {});
                },
                Qt::QueuedConnection);
        });
}

PanelLibrary::Loaded PanelLibrary::load(const QString& path) {
    // Never unloaded: the panels it made hold its code until the program ends.
    QLibrary library(path);
    library.setLoadHints(QLibrary::PreventUnloadHint);
    if (!library.load()) {
        return {.problem =
                    QStringLiteral("не удалось загрузить %1: %2").arg(path, library.errorString())};
    }
    const auto version =
        reinterpret_cast<PanelEntry::Version>(library.resolve(PanelEntry::versionName));
    const auto make = reinterpret_cast<PanelEntry::Make>(library.resolve(PanelEntry::makeName));
    if (version == nullptr || make == nullptr) {
        return {.problem = QStringLiteral("%1 — не библиотека панели Vigilo").arg(path)};
    }
    if (std::strcmp(version(), BuildInfo::version) != 0) {
        return {.problem = QStringLiteral("%1 собрана для версии %2, а запущена версия %3")
                               .arg(path, QString::fromUtf8(version()),
                                    QString::fromUtf8(BuildInfo::version))};
    }
    return {.make = make, .problem = {}};
}

} // namespace vigilo
