#pragma once

#include "ports/ScreenGeometry.h"

#include <cstdint>

namespace vigilo {

/// What the desktop's window system does for the panel's floating window beyond what Qt offers.
/// A window is named by its native id (an X11 window id on X11).
class PanelWindowSystem {
public:
    using WindowId = std::uintptr_t;

    virtual ~PanelWindowSystem() = default;
    /// A compositing manager draws the screen, so a window's transparent parts show what lies
    /// below them; without one they show black.
    [[nodiscard]] virtual bool isCompositing() const = 0;
    /// Keeps the window out of task bars and pagers. Call before every showing: window managers
    /// forget it when the window is hidden.
    virtual void keepOutOfTaskbars(WindowId window) = 0;
    /// Clicks inside `area` (window coordinates) reach the window; elsewhere they pass through to
    /// what lies below, while the window still draws there. An empty area lets every click
    /// through.
    virtual void setClickableArea(WindowId window, PanelRect area) = 0;
    /// Asks the compositor to blur what lies behind `area` (window coordinates), a rounded
    /// rectangle with corners of `cornerRadius`; does nothing where the compositor offers no
    /// such blur.
    virtual void blurBehind(WindowId window, PanelRect area, double cornerRadius) = 0;
};

} // namespace vigilo
