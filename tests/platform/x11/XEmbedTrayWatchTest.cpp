#include "platform/linux/x11/XEmbedTrayWatch.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace vigilo {
namespace {

/// A tray host of the test's own, on a connection of its own: it takes the tray selection with a
/// window of its own, and gives it up by destroying the window or by disconnecting.
class TrayHost {
public:
    TrayHost()
        : x_(xcb_connect(nullptr, nullptr)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x_)).data;
        window_ = xcb_generate_id(x_);
        xcb_create_window(x_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        const char name[] = "_NET_SYSTEM_TRAY_S0";
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(x_, xcb_intern_atom(x_, 0, sizeof(name) - 1, name), nullptr);
        xcb_set_selection_owner(x_, window_, atom->atom, XCB_CURRENT_TIME);
        std::free(atom);
        xcb_flush(x_);
    }
    ~TrayHost() { xcb_disconnect(x_); }
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    void destroyWindow() {
        xcb_destroy_window(x_, window_);
        xcb_flush(x_);
    }

private:
    xcb_connection_t* x_;
    xcb_window_t window_ = XCB_WINDOW_NONE;
};

xcb_connection_t* qtConnection() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

TEST(XEmbedTrayWatch, HearsTheTrayComeAndGo) {
    XEmbedTrayWatch watch(qtConnection(), 0);
    QSignalSpy changed(&watch, &XEmbedTrayWatch::changed);
    EXPECT_FALSE(watch.hasTray());

    auto host = std::make_unique<TrayHost>();
    ASSERT_TRUE(changed.wait(10000)) << "a tray appeared";
    EXPECT_TRUE(watch.hasTray());
    host->destroyWindow();
    ASSERT_TRUE(changed.wait(10000)) << "its window went away";
    EXPECT_FALSE(watch.hasTray());

    host = std::make_unique<TrayHost>();
    ASSERT_TRUE(changed.wait(10000));
    EXPECT_TRUE(XEmbedTrayWatch(qtConnection(), 0).hasTray()) << "a tray there from the start";
    host.reset();
    ASSERT_TRUE(changed.wait(10000)) << "its program ended";
    EXPECT_FALSE(watch.hasTray());
    EXPECT_EQ(changed.count(), 4);
}

} // namespace
} // namespace vigilo
