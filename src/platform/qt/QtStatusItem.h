#pragma once

#include "platform/StatusItem.h"

#include <QSystemTrayIcon>

namespace vigilo {

/// What a click on Qt's tray icon asks for.
enum class ClickAction { None, OpenPanel, Toggle, ShowMenu };

/// Right click or Ctrl+click: the menu; Alt+click or a middle click: switch keep-awake;
/// a plain click: the panel. Ctrl wins over Alt, as the menu is the safer of the two.
[[nodiscard]] ClickAction clickAction(QSystemTrayIcon::ActivationReason reason,
                                      Qt::KeyboardModifiers modifiers);

/// The glass as Qt's tray icon: a StatusNotifier item, or an XEmbed icon where the tray host
/// takes only those.
class QtStatusItem final : public StatusItem {
    Q_OBJECT

public:
    explicit QtStatusItem(QObject* parent = nullptr);

    void setIcon(const QIcon& icon, bool isTemplate) override;
    void setToolTip(const QString& text) override;
    void setMenu(QMenu* menu) override;
    void show() override;
    [[nodiscard]] QRect geometry() const override;

    [[nodiscard]] QIcon icon() const { return tray_.icon(); }
    [[nodiscard]] QString toolTip() const { return tray_.toolTip(); }
    /// Acts on a click; `modifiers` are the keys held at click time. Qt's clicks end here.
    void activate(QSystemTrayIcon::ActivationReason reason, Qt::KeyboardModifiers modifiers);

private:
    QSystemTrayIcon tray_;
    QMenu* menu_ = nullptr;
};

} // namespace vigilo
