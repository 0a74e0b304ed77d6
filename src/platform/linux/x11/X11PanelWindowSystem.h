#pragma once

#include "ports/PanelWindowSystem.h"

#include <memory>
#include <xcb/xcb.h>

namespace vigilo {

/// The panel window's needs on X11, over Qt's own connection to the X server: the compositing
/// manager is the owner of the _NET_WM_CM_S<screen> selection, the input region is an X Shape,
/// and KWin blurs behind a window that names a region in _KDE_NET_WM_BLUR_BEHIND_REGION. Both
/// are given in pixels, the window's points times its device pixel ratio.
class X11PanelWindowSystem final : public PanelWindowSystem {
public:
    /// `connection` must outlive the adapter; `screen` is the X screen the program shows on.
    X11PanelWindowSystem(xcb_connection_t* connection, int screen);

    [[nodiscard]] bool isCompositing() const override;
    void keepOutOfTaskbars(WindowId window) override;
    void setClickableArea(WindowId window, PanelRect area) override;
    void blurBehind(WindowId window, PanelRect area, double cornerRadius) override;

private:
    /// The window manager says it is KWin, through the EWMH check window.
    [[nodiscard]] bool isKWin() const;

    struct Atoms {
        xcb_atom_t compositorSelection;
        xcb_atom_t netWmState;
        xcb_atom_t skipTaskbar;
        xcb_atom_t skipPager;
        xcb_atom_t supportingWmCheck;
        xcb_atom_t netWmName;
        xcb_atom_t utf8String;
        xcb_atom_t kdeBlurRegion;
    };

    xcb_connection_t* connection_;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    Atoms atoms_{};
};

/// The adapter for the platform Qt runs on: X11's above when Qt talks to an X server; otherwise
/// (a Wayland compositor, which always composites, or no display at all) one that only says the
/// screen is composited.
[[nodiscard]] std::unique_ptr<PanelWindowSystem> makePanelWindowSystem();

} // namespace vigilo
