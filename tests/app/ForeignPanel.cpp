// A panel library of another release: the program must refuse it before it makes anything.

#include "panel/Panel.h"

extern "C" Q_DECL_EXPORT const char* vigiloPanelVersion() {
    return "0.0.1-foreign";
}

extern "C" Q_DECL_EXPORT vigilo::Panel*
vigiloMakePanel(const vigilo::Panel::Services& /*services*/) {
    return nullptr;
}
