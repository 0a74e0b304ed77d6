#include "platform/qt/QtStatusItem.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>

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

QtStatusItem::QtStatusItem(QObject* parent)
    : StatusItem(parent) {
    connect(&tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                activate(reason, QGuiApplication::queryKeyboardModifiers());
            });
}

void QtStatusItem::setIcon(const QIcon& icon, bool /*isTemplate*/) {
    tray_.setIcon(icon);
}

void QtStatusItem::setToolTip(const QString& text) {
    tray_.setToolTip(text);
}

void QtStatusItem::setMenu(QMenu* menu) {
    menu_ = menu;
    // StatusNotifier hosts draw the menu themselves, so it stays attached for good.
    tray_.setContextMenu(menu);
}

void QtStatusItem::show() {
    tray_.show();
}

QRect QtStatusItem::geometry() const {
    return tray_.geometry();
}

void QtStatusItem::activate(QSystemTrayIcon::ActivationReason reason,
                            Qt::KeyboardModifiers modifiers) {
    switch (clickAction(reason, modifiers)) {
    case ClickAction::Toggle:
        Q_EMIT toggleClicked();
        break;
    case ClickAction::ShowMenu:
        // A right click already opens the attached menu; Ctrl+click has to ask for it.
        if (reason != QSystemTrayIcon::Context && menu_ != nullptr) {
            menu_->popup(QCursor::pos());
        }
        break;
    case ClickAction::OpenPanel:
        Q_EMIT panelClicked();
        break;
    case ClickAction::None:
        break;
    }
}

} // namespace vigilo
