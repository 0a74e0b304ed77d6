#include "app/GlassPanel.h"

#include "platform/qt/RoundedRegion.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QSurfaceFormat>
#include <cmath>

namespace vigilo {

GlassPanel::GlassPanel(PanelWindowSystem& windowSystem, Scheduler& scheduler)
    : windowSystem_(windowSystem)
    , scheduler_(scheduler)
    , fade_(this, "opacity") {
    setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setTitle(QStringLiteral("Vigilo"));
    // An alpha channel makes the window's transparent margin show what lies below.
    QSurfaceFormat surface = format();
    surface.setAlphaBufferSize(8);
    setFormat(surface);
    setColor(Qt::transparent);
}

GlassPanel::~GlassPanel() = default;

void GlassPanel::setVisiblePanel(PanelRect visible) {
    const PanelRect frame = PanelGeometry::windowFrame(visible);
    setGeometry(static_cast<int>(std::lround(frame.x)), static_cast<int>(std::lround(frame.y)),
                static_cast<int>(std::lround(frame.width)),
                static_cast<int>(std::lround(frame.height)));
    setOpaque(opaque_);
    if (!isFadingOut_) {
        windowSystem_.setClickableArea(windowId(), visibleArea());
    }
}

void GlassPanel::setOpaque(bool opaque) {
    opaque_ = opaque;
    const PanelRect area = visibleArea();
    if (opaque) {
        // Without a compositor the margin would show black: leave it out of the window.
        setMask(roundedRegion(QRect(static_cast<int>(area.x), static_cast<int>(area.y),
                                    static_cast<int>(area.width), static_cast<int>(area.height)),
                              cornerRadius));
    } else {
        setMask(QRegion());
        windowSystem_.blurBehind(windowId(), area, cornerRadius);
    }
}

void GlassPanel::present() {
    isFadingOut_ = false;
    ++fadeGeneration_;
    windowSystem_.keepOutOfTaskbars(windowId());
    setOpacity(0);
    show();
    raise();
    requestActivate();
    windowSystem_.setClickableArea(windowId(), visibleArea());
    animateOpacity(1, fadeSeconds);
}

void GlassPanel::dismiss() {
    if (!isVisible()) {
        return;
    }
    isFadingOut_ = false;
    ++fadeGeneration_;
    fade_.stop();
    hide();
    if (onDismiss) {
        onDismiss();
    }
}

void GlassPanel::fadeOut(double seconds) {
    if (!isVisible() || isFadingOut_) {
        return;
    }
    isFadingOut_ = true;
    windowSystem_.setClickableArea(windowId(), {});
    animateOpacity(0, seconds);
    scheduler_.after(seconds, [this, alive = std::weak_ptr(lifetime_), fade = ++fadeGeneration_] {
        if (!alive.expired() && fade == fadeGeneration_) {
            dismiss();
        }
    });
}

PanelPoint GlassPanel::pointer() const {
    const QPoint global = QCursor::pos();
    return PanelGeometry::pointer(
        {.x = static_cast<double>(x()), .y = static_cast<double>(y())},
        {.x = static_cast<double>(global.x()), .y = static_cast<double>(global.y())});
}

PanelRect GlassPanel::contentBounds() const {
    return PanelGeometry::contentBounds(
        {.width = static_cast<double>(width()), .height = static_cast<double>(height())});
}

void GlassPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        dismiss();
        return;
    }
    QQuickWindow::keyPressEvent(event);
}

void GlassPanel::focusOutEvent(QFocusEvent* event) {
    QQuickWindow::focusOutEvent(event);
    // A modal dialog of ours (a file chooser) takes the focus without closing the panel.
    if (keepsOpenOnResign() || QGuiApplication::modalWindow() != nullptr) {
        return;
    }
    dismiss();
}

void GlassPanel::mousePressEvent(QMouseEvent* event) {
    if (onPress) {
        onPress();
    }
    QQuickWindow::mousePressEvent(event);
}

PanelWindowSystem::WindowId GlassPanel::windowId() {
    return static_cast<PanelWindowSystem::WindowId>(winId());
}

PanelRect GlassPanel::visibleArea() const {
    return PanelGeometry::clickableArea(
        {.width = static_cast<double>(width()), .height = static_cast<double>(height())});
}

void GlassPanel::animateOpacity(double to, double seconds) {
    fade_.stop();
    fade_.setStartValue(opacity());
    fade_.setEndValue(to);
    fade_.setDuration(static_cast<int>(std::lround(seconds * 1000)));
    fade_.start();
}

} // namespace vigilo
