#include "platform/linux/apps/LinuxCgroupAppId.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

std::string inAppSlice(std::string_view unit) {
    return "0::/user.slice/user-1000.slice/user@1000.service/app.slice/" + std::string(unit) + "\n";
}

TEST(CgroupAppIdTest, ApplicationUnitsNameTheirIdWithEscapesResolved) {
    const std::pair<std::string, std::string> cases[] = {
        {"app-gnome-org.gnome.Nautilus-4242.scope", "org.gnome.Nautilus"},
        {"app-org.gnome.Nautilus-4242.scope", "org.gnome.Nautilus"},
        {"app-gnome-google\\x2dchrome-99.scope", "google-chrome"},
        {"app-flatpak-org.mozilla.firefox-123456.scope", "org.mozilla.firefox"},
        {"app-org.kde.konsole@0a1b2c.service", "org.kde.konsole"},
        {"app-kde-org.kde.konsole@0a1b2c.service", "org.kde.konsole"},
        {"app-gnome-xdg\\x2duser\\x2ddirs.service", "xdg-user-dirs"},
        {"app-org.kde.dolphin@x.service/inner/group", "org.kde.dolphin"},
    };
    for (const auto& [unit, id] : cases) {
        EXPECT_EQ(systemdApplicationId(inAppSlice(unit)), id) << unit;
        EXPECT_EQ(snapApplicationId(inAppSlice(unit)), std::nullopt) << unit;
    }
}

TEST(CgroupAppIdTest, OtherGroupsAndUnescapedUnitsNameNoApplication) {
    for (const auto* text : {
             "0::/user.slice/user-1000.slice/session-2.scope\n",
             "0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
             "app-gnome-google-chrome-99.scope\n",
             "0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
             "app-gnome-a\\x2fb-1.scope\n",
             "0::/user.slice/user-1000.slice/user@1000.service/app.slice\n",
             "0::/\n",
             "12:pids:/user.slice/app-x-1.scope\n",
             "",
         }) {
        EXPECT_EQ(systemdApplicationId(text), std::nullopt) << text;
    }
    // The unified line wins over the named legacy hierarchy.
    EXPECT_EQ(systemdApplicationId("1:name=systemd:/app-legacy-1.scope\n0::/app-unified-1.scope\n"),
              "unified");
    EXPECT_EQ(systemdApplicationId("4:memory:/x\n1:name=systemd:/user.slice/app-legacy-1.scope\n"),
              "legacy");
}

TEST(CgroupAppIdTest, SnapUnitsNameSnapDesktopIds) {
    EXPECT_EQ(
        snapApplicationId(inAppSlice(
            "snap.telegram-desktop.telegram-desktop-0f2e2c9a-3b7d-4c1e-9a6f-1d2e3f4a5b6c.scope")),
        "telegram-desktop_telegram-desktop");
    EXPECT_EQ(snapApplicationId(
                  inAppSlice("snap.firefox.firefox.0f2e2c9a-3b7d-4c1e-9a6f-1d2e3f4a5b6c.scope")),
              "firefox_firefox");
    EXPECT_EQ(snapApplicationId("0::/system.slice/snap.lxd.daemon.service\n"), "lxd_daemon");
    EXPECT_EQ(snapApplicationId(inAppSlice("snap.code.code-not-a-uuid.scope")),
              "code_code-not-a-uuid");
    EXPECT_EQ(snapApplicationId(inAppSlice("snap.firefox.scope")), std::nullopt);
    EXPECT_EQ(snapApplicationId(inAppSlice("snapd.socket")), std::nullopt);
    EXPECT_EQ(systemdApplicationId(inAppSlice("snap.firefox.firefox-1.scope")), std::nullopt);
}

TEST(CgroupAppIdTest, FlatpakInfoNamesTheApplication) {
    EXPECT_EQ(flatpakApplicationId(
                  "[Instance]\nname=wrong\n\n[Application]\r\nruntime=r\r\nname=org.gimp.GIMP\r\n"),
              "org.gimp.GIMP");
    EXPECT_EQ(flatpakApplicationId("[Runtime]\nname=org.gnome.Platform\n"), std::nullopt);
    EXPECT_EQ(flatpakApplicationId(""), std::nullopt);
}

} // namespace
} // namespace vigilo
