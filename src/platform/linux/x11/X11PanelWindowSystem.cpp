#include "platform/linux/x11/X11PanelWindowSystem.h"

#include "platform/linux/x11/X11DefaultScreen.h"
#include "platform/qt/RoundedRegion.h"

#include <QGuiApplication>
#include <QWindow>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>
#include <xcb/shape.h>

namespace vigilo {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

/// Interns every name with one round trip.
template <std::size_t count>
std::array<xcb_atom_t, count> internAtoms(xcb_connection_t* connection,
                                          const std::array<std::string, count>& names) {
    std::array<xcb_intern_atom_cookie_t, count> cookies{};
    for (std::size_t i = 0; i < count; ++i) {
        cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(names[i].size()),
                                     names[i].data());
    }
    std::array<xcb_atom_t, count> atoms{};
    for (std::size_t i = 0; i < count; ++i) {
        const ReplyPtr<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    return atoms;
}

xcb_window_t rootOfScreen(xcb_connection_t* connection, int screen) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && it.rem > 0; ++i) {
        xcb_screen_next(&it);
    }
    return it.rem > 0 ? it.data->root : xcb_window_t{XCB_WINDOW_NONE};
}

/// How many X pixels one of Qt's points of `window`, a window of this program, spans: more than
/// one on a scaled screen (QT_SCALE_FACTOR, or Xft.dpi above 96).
double pixelsPerPoint(xcb_window_t window) {
    for (const QWindow* candidate : QGuiApplication::allWindows()) {
        // Asking a window without a native window for its id would create one.
        if (candidate->handle() != nullptr && candidate->winId() == window) {
            return candidate->devicePixelRatio();
        }
    }
    return 1;
}

/// `area` (points) in pixels, rounded outward so that it covers every pixel it touches.
xcb_rectangle_t pixels(PanelRect area, double scale) {
    const double left = std::floor(area.x * scale);
    const double top = std::floor(area.y * scale);
    return {.x = static_cast<std::int16_t>(left),
            .y = static_cast<std::int16_t>(top),
            .width = static_cast<std::uint16_t>(std::ceil(area.right() * scale) - left),
            .height = static_cast<std::uint16_t>(std::ceil(area.bottom() * scale) - top)};
}

/// Where there is no X server: Wayland compositors always composite, and the rest is X11's.
class CompositedWindowSystem final : public PanelWindowSystem {
public:
    [[nodiscard]] bool isCompositing() const override { return true; }
    void keepOutOfTaskbars(WindowId /*window*/) override {}
    void setClickableArea(WindowId /*window*/, PanelRect /*area*/) override {}
    void blurBehind(WindowId /*window*/, PanelRect /*area*/, double /*cornerRadius*/) override {}
};

} // namespace

X11PanelWindowSystem::X11PanelWindowSystem(xcb_connection_t* connection, int screen)
    : connection_(connection)
    , root_(rootOfScreen(connection, screen)) {
    const auto atoms =
        internAtoms<8>(connection, {"_NET_WM_CM_S" + std::to_string(screen), "_NET_WM_STATE",
                                    "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                                    "_NET_SUPPORTING_WM_CHECK", "_NET_WM_NAME", "UTF8_STRING",
                                    "_KDE_NET_WM_BLUR_BEHIND_REGION"});
    atoms_ = {.compositorSelection = atoms[0],
              .netWmState = atoms[1],
              .skipTaskbar = atoms[2],
              .skipPager = atoms[3],
              .supportingWmCheck = atoms[4],
              .netWmName = atoms[5],
              .utf8String = atoms[6],
              .kdeBlurRegion = atoms[7]};
}

bool X11PanelWindowSystem::isCompositing() const {
    const ReplyPtr<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, atoms_.compositorSelection), nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
}

void X11PanelWindowSystem::keepOutOfTaskbars(WindowId window) {
    // Qt merges its own states into what it finds on the window when it maps it.
    const std::array<xcb_atom_t, 2> states{atoms_.skipTaskbar, atoms_.skipPager};
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window),
                        atoms_.netWmState, XCB_ATOM_ATOM, 32, states.size(), states.data());
    xcb_flush(connection_);
}

void X11PanelWindowSystem::setClickableArea(WindowId window, PanelRect area) {
    const xcb_rectangle_t rectangle = pixels(area, pixelsPerPoint(window));
    const bool empty = rectangle.width == 0 || rectangle.height == 0;
    xcb_shape_rectangles(connection_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT,
                         XCB_CLIP_ORDERING_UNSORTED, static_cast<xcb_window_t>(window), 0, 0,
                         empty ? 0 : 1, &rectangle);
    xcb_flush(connection_);
}

void X11PanelWindowSystem::blurBehind(WindowId window, PanelRect area, double cornerRadius) {
    if (!isKWin()) {
        return;
    }
    const double scale = pixelsPerPoint(window);
    const xcb_rectangle_t bounds = pixels(area, scale);
    std::vector<std::uint32_t> rectangles;
    for (const QRect& band : roundedRegion(QRect(bounds.x, bounds.y, bounds.width, bounds.height),
                                           cornerRadius * scale)) {
        rectangles.insert(rectangles.end(), {static_cast<std::uint32_t>(band.x()),
                                             static_cast<std::uint32_t>(band.y()),
                                             static_cast<std::uint32_t>(band.width()),
                                             static_cast<std::uint32_t>(band.height())});
    }
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window),
                        atoms_.kdeBlurRegion, XCB_ATOM_CARDINAL, 32,
                        static_cast<std::uint32_t>(rectangles.size()), rectangles.data());
    xcb_flush(connection_);
}

bool X11PanelWindowSystem::isKWin() const {
    const ReplyPtr<xcb_get_property_reply_t> check(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, root_, atoms_.supportingWmCheck, XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!check || check->format != 32 || xcb_get_property_value_length(check.get()) < 4) {
        return false;
    }
    const xcb_window_t wm = *static_cast<const xcb_window_t*>(xcb_get_property_value(check.get()));
    const ReplyPtr<xcb_get_property_reply_t> name(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, wm, atoms_.netWmName, atoms_.utf8String, 0, 64), nullptr));
    if (!name || name->format != 8) {
        return false;
    }
    const std::string_view text(
        static_cast<const char*>(xcb_get_property_value(name.get())),
        static_cast<std::size_t>(xcb_get_property_value_length(name.get())));
    return text == "KWin";
}

std::unique_ptr<PanelWindowSystem> makePanelWindowSystem() {
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    // The offscreen platform answers as X11 too, but without a connection.
    if (x11 == nullptr || x11->connection() == nullptr) {
        return std::make_unique<CompositedWindowSystem>();
    }
    return std::make_unique<X11PanelWindowSystem>(x11->connection(), defaultX11Screen());
}

} // namespace vigilo
