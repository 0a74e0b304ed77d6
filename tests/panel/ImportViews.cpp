#include <QtQml/qqmlextensionplugin.h>

// The panel's views, linked into the tests that make the real panel, as the panel library links
// them.
Q_IMPORT_QML_PLUGIN(VigiloPlugin)
