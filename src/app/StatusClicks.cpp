#include "app/StatusClicks.h"

namespace vigilo {

ClickAction clickAction(QSystemTrayIcon::ActivationReason reason, Qt::KeyboardModifiers modifiers) {
    switch (reason) {
    case QSystemTrayIcon::Context:
        return ClickAction::ShowMenu;
    case QSystemTrayIcon::MiddleClick:
        return ClickAction::Toggle;
    case QSystemTrayIcon::Trigger:
        if (modifiers.testFlag(Qt::ControlModifier)) {
            return ClickAction::ShowMenu;
        }
        if (modifiers.testFlag(Qt::AltModifier)) {
            return ClickAction::Toggle;
        }
        return ClickAction::OpenPanel;
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
    return ClickAction::None;
}

} // namespace vigilo
