#include "panel/GlassPanel.h"

#include "platform/qt/RoundedRegion.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QSurfaceFormat>
#include <cmath>

namespace vigilo {

namespace {

constexpr Qt::WindowFlags floatingFlags =
    Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;

} // namespace

GlassPanel::GlassPanel(PanelWindowSystem& windowSystem, Scheduler& scheduler)
    : windowSystem_(windowSystem)
    , scheduler_(scheduler)
    , fade_(this, "opacity") {
    setFlags(floatingFlags);
    setTitle(QStringLiteral("Vigilo"));
    // An alpha channel makes the window's transparent margin show what lies below.
    QSurfaceFormat surface = format();
    surface.setAlphaBufferSize(8);
    setFormat(surface);
    setColor(Qt::transparent);
    connect(this, &QQuickWindow::activeFocusItemChanged, this, &GlassPanel::reportActivity);
}

GlassPanel::~GlassPanel() = default;

void GlassPanel::setWindowed(bool windowed) {
    if (windowed == windowed_) {
        return;
    }
    windowed_ = windowed;
    // The window manager keeps what it was told about the other kind of window (out of task
    // bars, the input shape): a new native window starts afresh.
    destroy();
    setFlags(windowed ? Qt::Window : floatingFlags);
    if (!windowed) {
        setColor(Qt::transparent);
    }
    setOpaque(opaque_);
    Q_EMIT windowedChanged();
}

void GlassPanel::setVisiblePanel(PanelRect visible) {
    const PanelRect frame = windowed_ ? visible : PanelGeometry::windowFrame(visible);
    setGeometry(static_cast<int>(std::lround(frame.x)), static_cast<int>(std::lround(frame.y)),
                static_cast<int>(std::lround(frame.width)),
                static_cast<int>(std::lround(frame.height)));
    setOpaque(opaque_);
    if (!windowed_ && !isFadingOut_) {
        windowSystem_.setClickableArea(windowId(), visibleArea());
    }
}

void GlassPanel::setOpaque(bool opaque) {
    opaque_ = opaque;
    if (windowed_) {
        // The window is the visible panel: nothing to leave out, nothing behind it to blur.
        setMask(QRegion());
        return;
    }
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
    if (windowed_) {
        // The window's corners, outside the panel's rounded surface, in the surface's colour.
        setColor(QGuiApplication::palette().color(QPalette::Window));
        fade_.stop();
        setOpacity(1);
        show();
        raise();
        requestActivate();
        return;
    }
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

QPointF GlassPanel::viewPosition() const {
    const double outside = windowed_ ? PanelGeometry::margin : 0;
    return {-outside, -outside};
}

PanelPoint GlassPanel::pointer() const {
    const QPoint global = QCursor::pos();
    const QPointF view = QPointF(position()) + viewPosition();
    return PanelGeometry::pointer(
        {.x = view.x(), .y = view.y()},
        {.x = static_cast<double>(global.x()), .y = static_cast<double>(global.y())});
}

PanelRect GlassPanel::contentBounds() const {
    return PanelGeometry::contentBounds(
        {.width = static_cast<double>(width()), .height = static_cast<double>(height())});
}

void GlassPanel::keyPressEvent(QKeyEvent* event) {
    reportActivity();
    if (!windowed_ && event->key() == Qt::Key_Escape) {
        event->accept();
        dismiss();
        return;
    }
    // Without the tray's menu, the window itself offers the way out.
    if (windowed_ && event->matches(QKeySequence::Quit)) {
        event->accept();
        QCoreApplication::quit();
        return;
    }
    QQuickWindow::keyPressEvent(event);
}

void GlassPanel::focusOutEvent(QFocusEvent* event) {
    QQuickWindow::focusOutEvent(event);
    // A modal dialog of ours (a file chooser) takes the focus without closing the panel; an
    // ordinary window stays open like any other.
    if (windowed_ || keepsOpenOnResign() || QGuiApplication::modalWindow() != nullptr) {
        return;
    }
    dismiss();
}

void GlassPanel::mousePressEvent(QMouseEvent* event) {
    reportActivity();
    QQuickWindow::mousePressEvent(event);
    if (windowed_ && !event->isAccepted() && event->button() == Qt::RightButton && onContextMenu) {
        onContextMenu(event->globalPosition().toPoint());
    }
}

void GlassPanel::closeEvent(QCloseEvent* event) {
    // The close button hides the window; the program keeps running.
    event->ignore();
    dismiss();
}

void GlassPanel::reportActivity() {
    if (onActivity) {
        onActivity();
    }
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
