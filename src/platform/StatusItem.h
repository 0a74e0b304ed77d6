#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>

class QMenu;

namespace vigilo {

/// The program's glass in the tray or the menu bar, and the clicks on it. A plain click asks for
/// the panel; the toggle click (Alt, ⌥ on a Mac, or a middle click) switches keep-awake; a right
/// click, or a click with Ctrl held, opens the menu, which the item shows itself.
class StatusItem : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    /// `isTemplate`: the system may draw the image in the bar's own colour (a Mac's menu bar
    /// does; Linux tray hosts draw every icon as given).
    virtual void setIcon(const QIcon& icon, bool isTemplate) = 0;
    virtual void setToolTip(const QString& text) = 0;
    /// The menu of a right click; it must outlive the item.
    virtual void setMenu(QMenu* menu) = 0;
    virtual void show() = 0;
    /// Where the item is on the screen; empty where the system does not say (StatusNotifier
    /// hosts draw the icon themselves).
    [[nodiscard]] virtual QRect geometry() const = 0;

Q_SIGNALS:
    void panelClicked();
    void toggleClicked();
};

} // namespace vigilo
