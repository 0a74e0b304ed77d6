// The panel library's entry points (see `PanelEntry`). The library carries the panel, its views
// and its own copy of the core code they call; of the program it sees only the objects it is
// given.

#include "BuildInfo.h"
#include "panel/PanelController.h"

#include <QtQml/qqmlextensionplugin.h>

// The panel's views: the statically linked QML module "Vigilo".
Q_IMPORT_QML_PLUGIN(VigiloPlugin)

extern "C" Q_DECL_EXPORT const char* vigiloPanelVersion() {
    return vigilo::BuildInfo::version;
}

extern "C" Q_DECL_EXPORT vigilo::Panel* vigiloMakePanel(const vigilo::Panel::Services& services) {
    return new vigilo::PanelController(services);
}
