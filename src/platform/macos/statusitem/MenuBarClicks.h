#pragma once

namespace vigilo {

/// What a click on the glass in the menu bar asks for.
enum class MenuBarClick { Panel, Toggle, Menu };

/// A right click or a click with Control held: the menu; a click with Option (⌥) held: switch
/// keep-awake; any other click: the panel. Control wins over Option, as the menu is the safer.
[[nodiscard]] MenuBarClick menuBarClick(bool rightButton, bool control, bool option);

} // namespace vigilo
