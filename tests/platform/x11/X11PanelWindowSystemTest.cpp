#include "platform/linux/x11/X11PanelWindowSystem.h"

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <xcb/shape.h>

namespace vigilo {
namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

constexpr PanelRect visible{.x = 40, .y = 40, .width = 340, .height = 288};

/// Sets up and reads back what the adapter does, over a connection of the test's own, as the
/// window manager and the compositor would.
class X11PanelWindowSystemTest : public ::testing::Test {
protected:
    X11PanelWindowSystemTest() {
        window.setGeometry(100, 100, 420, 368);
        id = static_cast<xcb_window_t>(window.winId());
        QGuiApplication::sync();
    }
    ~X11PanelWindowSystemTest() override {
        setRootCheckWindow(XCB_WINDOW_NONE);
        xcb_disconnect(x);
    }

    xcb_atom_t atom(const std::string& name) {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr));
        return reply->atom;
    }
    std::vector<std::uint32_t> property(xcb_window_t of, const std::string& name) {
        QGuiApplication::sync(); // the adapter's requests go first
        const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            x, xcb_get_property(x, 0, of, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
            nullptr));
        const auto* begin = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        return {begin, begin + xcb_get_property_value_length(reply.get()) / 4};
    }
    std::vector<xcb_rectangle_t> shape(xcb_shape_sk_t kind) {
        QGuiApplication::sync(); // the adapter's requests go first
        const Reply<xcb_shape_get_rectangles_reply_t> reply(
            xcb_shape_get_rectangles_reply(x, xcb_shape_get_rectangles(x, id, kind), nullptr));
        const xcb_rectangle_t* begin = xcb_shape_get_rectangles_rectangles(reply.get());
        return {begin, begin + xcb_shape_get_rectangles_rectangles_length(reply.get())};
    }
    /// A window manager announcing itself by `name`, or none.
    void setWindowManager(const char* name) {
        const xcb_window_t check = xcb_generate_id(x);
        xcb_create_window(x, XCB_COPY_FROM_PARENT, check, root(), 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_change_property(x, XCB_PROP_MODE_REPLACE, check, atom("_NET_WM_NAME"),
                            atom("UTF8_STRING"), 8, static_cast<std::uint32_t>(std::strlen(name)),
                            name);
        setRootCheckWindow(check);
    }
    void setRootCheckWindow(xcb_window_t check) {
        xcb_change_property(x, XCB_PROP_MODE_REPLACE, root(), atom("_NET_SUPPORTING_WM_CHECK"),
                            XCB_ATOM_WINDOW, 32, 1, &check);
        sync();
    }
    xcb_window_t root() { return xcb_setup_roots_iterator(xcb_get_setup(x)).data->root; }
    void sync() { std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr)); }

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    QWindow window;
    xcb_window_t id = XCB_WINDOW_NONE;
    std::unique_ptr<PanelWindowSystem> windowSystem = makePanelWindowSystem();
};

TEST_F(X11PanelWindowSystemTest, TheInputShapeIsTheClickableArea) {
    windowSystem->setClickableArea(id, visible);
    const auto input = shape(XCB_SHAPE_SK_INPUT);
    ASSERT_EQ(input.size(), 1U);
    EXPECT_EQ(input[0].x, 40);
    EXPECT_EQ(input[0].y, 40);
    EXPECT_EQ(input[0].width, 340);
    EXPECT_EQ(input[0].height, 288);
    const auto drawn = shape(XCB_SHAPE_SK_BOUNDING);
    ASSERT_EQ(drawn.size(), 1U);
    EXPECT_EQ(drawn[0].width, 420) << "the window still draws its margin";

    windowSystem->setClickableArea(id, {});
    EXPECT_TRUE(shape(XCB_SHAPE_SK_INPUT).empty()) << "every click passes through";
}

// X counts pixels where Qt counts points: on a scaled screen the shapes cover every pixel that
// the area touches. Run at QT_SCALE_FACTOR 1, 1.5 and 2.
TEST_F(X11PanelWindowSystemTest, ShapesAreGivenInPixels) {
    struct Case {
        double scale;
        xcb_rectangle_t pixels;
    };
    const Case cases[] = {{1, {.x = 41, .y = 41, .width = 340, .height = 288}},
                          {1.5, {.x = 61, .y = 61, .width = 511, .height = 433}},
                          {2, {.x = 82, .y = 82, .width = 680, .height = 576}}};
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    ASSERT_EQ(window.devicePixelRatio(), scale);
    const auto* c =
        std::ranges::find_if(cases, [&](const Case& each) { return each.scale == scale; });
    ASSERT_NE(c, std::end(cases)) << "no case for a scale of " << scale;
    const PanelRect area{.x = 41, .y = 41, .width = 340, .height = 288};

    windowSystem->setClickableArea(id, area);
    const auto input = shape(XCB_SHAPE_SK_INPUT);
    ASSERT_EQ(input.size(), 1U);
    EXPECT_EQ(input[0].x, c->pixels.x);
    EXPECT_EQ(input[0].y, c->pixels.y);
    EXPECT_EQ(input[0].width, c->pixels.width);
    EXPECT_EQ(input[0].height, c->pixels.height);

    setWindowManager("KWin");
    windowSystem->blurBehind(id, area, 26);
    const auto region = property(id, "_KDE_NET_WM_BLUR_BEHIND_REGION");
    ASSERT_FALSE(region.empty());
    std::uint32_t left = region[0];
    std::uint32_t top = region[1];
    std::uint32_t right = 0;
    std::uint32_t bottom = 0;
    for (std::size_t i = 0; i + 3 < region.size(); i += 4) {
        left = std::min(left, region[i]);
        top = std::min(top, region[i + 1]);
        right = std::max(right, region[i] + region[i + 2]);
        bottom = std::max(bottom, region[i + 1] + region[i + 3]);
    }
    EXPECT_EQ(left, c->pixels.x);
    EXPECT_EQ(top, c->pixels.y);
    EXPECT_EQ(right - left, c->pixels.width);
    EXPECT_EQ(bottom - top, c->pixels.height);
}

TEST_F(X11PanelWindowSystemTest, ACompositorIsTheOwnerOfTheScreensSelection) {
    EXPECT_FALSE(windowSystem->isCompositing());

    xcb_connection_t* compositor = xcb_connect(nullptr, nullptr);
    const xcb_window_t owner = xcb_generate_id(compositor);
    xcb_create_window(compositor, XCB_COPY_FROM_PARENT, owner, root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(compositor, owner, atom("_NET_WM_CM_S0"), XCB_CURRENT_TIME);
    // Through to the server before the adapter asks.
    std::free(xcb_get_input_focus_reply(compositor, xcb_get_input_focus(compositor), nullptr));
    EXPECT_TRUE(windowSystem->isCompositing());

    xcb_disconnect(compositor);
    sync();
    EXPECT_FALSE(windowSystem->isCompositing()) << "the compositor is gone";
}

TEST_F(X11PanelWindowSystemTest, OnlyKWinIsAskedForTheBlur) {
    struct Case {
        const char* windowManager; // none: no window manager
        bool blurs;
    };
    const Case cases[] = {{nullptr, false}, {"Openbox", false}, {"KWin", true}};
    for (const Case& c : cases) {
        xcb_delete_property(x, id, atom("_KDE_NET_WM_BLUR_BEHIND_REGION"));
        if (c.windowManager != nullptr) {
            setWindowManager(c.windowManager);
        } else {
            setRootCheckWindow(XCB_WINDOW_NONE);
        }
        windowSystem->blurBehind(id, visible, 26);
        const auto region = property(id, "_KDE_NET_WM_BLUR_BEHIND_REGION");
        const char* name = c.windowManager != nullptr ? c.windowManager : "none";
        ASSERT_EQ(!region.empty(), c.blurs) << name;
        if (!c.blurs) {
            continue;
        }
        // Rectangles (x, y, width, height) that fill the rounded panel: the widest spans it, the
        // first is inset by the corners.
        ASSERT_EQ(region.size() % 4, 0U);
        std::uint32_t widest = 0;
        std::uint32_t top = region[1];
        for (std::size_t i = 0; i < region.size(); i += 4) {
            widest = std::max(widest, region[i + 2]);
            top = std::min(top, region[i + 1]);
        }
        EXPECT_EQ(widest, 340U);
        EXPECT_EQ(top, 40U);
        EXPECT_GT(region[0], 40U + 10) << "the top row starts inside the rounded corner";
    }
}

TEST_F(X11PanelWindowSystemTest, ThePanelIsKeptOutOfTaskbarsAndPagers) {
    windowSystem->keepOutOfTaskbars(id);
    const auto states = property(id, "_NET_WM_STATE");
    EXPECT_NE(std::ranges::find(states, atom("_NET_WM_STATE_SKIP_TASKBAR")), states.end());
    EXPECT_NE(std::ranges::find(states, atom("_NET_WM_STATE_SKIP_PAGER")), states.end());
}

} // namespace
} // namespace vigilo
