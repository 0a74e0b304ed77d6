#pragma once

#include <QSystemTrayIcon>

namespace vigilo {

/// What a click on the tray icon asks for.
enum class ClickAction { None, OpenPanel, Toggle, ShowMenu };

/// Right click or Ctrl+click: the menu; Alt+click or a middle click: switch keep-awake;
/// a plain click: the panel. Ctrl wins over Alt, as the menu is the safer of the two.
[[nodiscard]] ClickAction clickAction(QSystemTrayIcon::ActivationReason reason,
                                      Qt::KeyboardModifiers modifiers);

} // namespace vigilo
