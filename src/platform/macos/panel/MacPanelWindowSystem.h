#pragma once

#include "ports/PanelWindowSystem.h"

#include <map>
#include <memory>

namespace vigilo {

/// The panel's window on the Mac. A window is named by what Qt's `QWindow::winId()` gives
/// there, its NSView; the settings go to that view's NSWindow. Main thread only.
class MacPanelWindowSystem final : public PanelWindowSystem {
public:
    MacPanelWindowSystem();
    /// Stops following the mouse for every window, and takes the blur views out.
    ~MacPanelWindowSystem() override;
    MacPanelWindowSystem(const MacPanelWindowSystem&) = delete;
    MacPanelWindowSystem& operator=(const MacPanelWindowSystem&) = delete;

    /// The window server always composites.
    [[nodiscard]] bool isCompositing() const override { return true; }
    /// Makes the window a floating panel that never activates the program: borderless, at the
    /// status-window level, transparent and without the system's shadow, on every space
    /// (also beside full-screen windows), out of the window cycle, and not hidden when the
    /// program is inactive.
    void keepOutOfTaskbars(WindowId window) override;
    /// AppKit has no input shape: the window ignores the mouse while it is outside `area`, which
    /// is checked again whenever the mouse moves, in this program or any other.
    /// Applies the panel's window settings again too: the area is set after every showing.
    void setClickableArea(WindowId window, PanelRect area) override;
    /// A behind-window material (NSVisualEffectView) under the window's content, cut to the
    /// rounded rectangle.
    void blurBehind(WindowId window, PanelRect area, double cornerRadius) override;

private:
    struct Window;
    Window& state(WindowId window);

    std::map<WindowId, std::unique_ptr<Window>> windows_;
};

} // namespace vigilo
