#pragma once

#include "art/GlassIcon.h"
#include "platform/DesktopAppearance.h"

#include <QColor>
#include <cstdint>
#include <optional>
#include <string>

// Which colours make the tray glass readable on the desktop's panel. Tray hosts give no colour
// of their own, and the panel's shade often differs from the application palette (GNOME's top
// bar is dark under a light theme), so the choice rests on what the desktop says about itself.
namespace vigilo {

enum class PanelShade { Light, Dark };

/// The panel's shade, from the most specific fact known: GNOME Shell's top bar is dark whatever
/// the theme; on KDE the Plasma style, else the colour scheme's header (or window) background;
/// elsewhere the portal's colour-scheme preference; last, the application palette.
[[nodiscard]] PanelShade panelShade(const DesktopFacts& facts);

/// The glass's colours for a panel of `shade`: white strokes on a dark panel and black on a
/// light one, the filled glass in the amber that reads there, each with a faint rim of the
/// opposite shade so that a wrong guess still shows the glass.
[[nodiscard]] GlassIcon::Ink trayInk(PanelShade shade, bool filled);

/// WCAG relative luminance of `color` (0 black, 1 white), ignoring its alpha.
[[nodiscard]] double relativeLuminance(const QColor& color);

} // namespace vigilo
