#pragma once

#include "model/PanelGeometry.h"
#include "ports/PanelWindowSystem.h"
#include "ports/Scheduler.h"

#include <QPropertyAnimation>
#include <QQuickWindow>
#include <functional>
#include <memory>

namespace vigilo {

/// The panel's floating window: borderless, translucent, above other windows, out of task bars,
/// able to take keyboard focus, and larger than the visible panel by a transparent margin on
/// every side (`PanelGeometry::margin`), in which the view draws the panel's shadow and through
/// which clicks reach what lies below. Escape, the loss of focus and the end of a fade-out close
/// it; every way of closing ends in `dismiss`, which calls `onDismiss` once.
///
/// Where no tray shows the program's icon, the panel is an ordinary window instead: framed by
/// the window manager, in task bars and switchers, as large as the visible panel, and closed only
/// by its close button, which hides it. Ctrl+Q quits the program there, and a right click the
/// views do not take asks for the program's menu. Main thread only.
class GlassPanel final : public QQuickWindow {
    Q_OBJECT
public:
    static constexpr double fadeSeconds = 0.12;
    /// The visible panel's corner radius, for the shapes the window system is given.
    static constexpr double cornerRadius = 26;

    /// Everything must outlive the panel. The panel draws with whatever scene graph was chosen
    /// before the program's first Qt Quick window.
    GlassPanel(PanelWindowSystem& windowSystem, Scheduler& scheduler);
    ~GlassPanel() override;

    /// Called once at the end of every dismissal that closed the panel.
    std::function<void()> onDismiss;
    /// Asked when the panel loses focus: true keeps it open.
    std::function<bool()> keepsOpenOnResign = [] { return false; };
    /// Called on every mouse press and key press the panel receives, and whenever the keyboard
    /// focus moves inside it.
    std::function<void()> onActivity;
    /// In an ordinary window: called with the screen position of a right click the views did not
    /// take.
    std::function<void(QPoint)> onContextMenu;

    /// Makes the panel an ordinary window, or the floating panel again. Only while it is hidden.
    void setWindowed(bool windowed);
    [[nodiscard]] bool isWindowed() const { return windowed_; }

    /// Moves and sizes the window so that the visible panel lies at `visible` (screen
    /// coordinates); an ordinary window shows just the visible panel.
    void setVisiblePanel(PanelRect visible);
    /// Without a compositor the margin cannot be transparent: the window then shows only the
    /// visible panel, which the view draws opaque.
    void setOpaque(bool opaque);
    /// Shows the panel, takes keyboard focus (so that a click in another application, which
    /// moves the focus there, closes the floating panel) and fades the floating panel in.
    void present();
    /// Closes the panel now; nothing happens when it is hidden.
    void dismiss();
    /// Fades the panel out over `seconds`, then dismisses it. The fading panel takes no clicks; a
    /// second request during the fade is ignored.
    void fadeOut(double seconds = fadeSeconds);

    /// Where the view's top-left corner lies in the window: at its corner, or in an ordinary
    /// window outside it by the margin, which the window leaves out.
    [[nodiscard]] QPointF viewPosition() const;
    /// The pointer in the view's coordinates: origin at its top-left corner, y downward.
    [[nodiscard]] PanelPoint pointer() const;
    /// The window's own bounds, origin at its top-left corner.
    [[nodiscard]] PanelRect contentBounds() const;

Q_SIGNALS:
    void windowedChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    [[nodiscard]] PanelWindowSystem::WindowId windowId();
    [[nodiscard]] PanelRect visibleArea() const;
    void animateOpacity(double to, double seconds);
    void reportActivity();

    PanelWindowSystem& windowSystem_;
    Scheduler& scheduler_;
    QPropertyAnimation fade_;
    bool opaque_ = false;
    bool windowed_ = false;
    bool isFadingOut_ = false;
    /// Moves on with every fade and dismissal, so a fade's end that comes late does nothing.
    int fadeGeneration_ = 0;
    /// Fade ends arriving after the panel is gone find this expired.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace vigilo
