#include "ui/ViewServices.h"

#include "ui/AppIconProvider.h"

#include <QQmlEngine>

namespace vigilo {

ViewServices::ViewServices(const Clock& clock, SoundPlayer* sounds, QQmlEngine& engine)
    : QObject(&engine)
    , clock_(clock)
    , sounds_(sounds) {
    // The watched applications' icons, read off the GUI thread.
    engine.addImageProvider(QStringLiteral("appicon"), new AppIconProvider);
}

ViewServices* ViewServices::of(const QQmlEngine* engine) {
    return engine != nullptr
               ? engine->findChild<ViewServices*>(QString(), Qt::FindDirectChildrenOnly)
               : nullptr;
}

void addVigiloImportPath(QQmlEngine& engine) {
    // The module is linked into the program; its qmldir sits in the program's resources.
    engine.addImportPath(QStringLiteral("qrc:/"));
}

} // namespace vigilo
