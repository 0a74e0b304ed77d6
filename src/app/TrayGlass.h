#pragma once

#include <QIcon>
#include <QPalette>

// The tray's glass, drawn for the desktop's palette.
namespace vigilo::TrayGlass {

/// The glass side in points, as the status bar shows it.
inline constexpr qreal iconSize = 18;

/// A dark appearance is one whose window colour is dark.
[[nodiscard]] bool isDark(const QPalette& palette);

/// The empty glass (outline in the palette's text colour, so light on a dark palette) or the
/// amber filled one, with pixmaps for 1x and 2x screens.
[[nodiscard]] QIcon icon(bool filled, const QPalette& palette);

} // namespace vigilo::TrayGlass
