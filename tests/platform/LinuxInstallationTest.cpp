#include "platform/linux/update/LinuxInstallation.h"

#include "TempFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

namespace fs = std::filesystem;

TEST(LinuxInstallation, OnlyAPerUserInstallUpdatesItself) {
    TempFolder home;
    const fs::path versions = LinuxInstallation::versionsFolder(home.path());
    fs::create_directories(versions / "1.2.0");
    fs::create_directories(home.path() / "build");
    fs::create_directories(home.path() / ".local/lib/vigilo-other");
    for (const char* program :
         {".local/lib/vigilo/1.2.0/vigilo", "build/vigilo", ".local/lib/vigilo-other/vigilo"}) {
        std::ofstream(home.path() / program) << "";
    }
    fs::create_directory_symlink(versions / "1.2.0", versions / "current");
    fs::create_directories(home.path() / ".local/bin");
    fs::create_symlink(versions / "current/vigilo", home.path() / ".local/bin/vigilo");

    struct Case {
        fs::path executable;
        bool canSelfUpdate;
        fs::path launcher; // started at login: never a version folder an update removes
    };
    const fs::path throughCurrent = versions / "current/vigilo";
    for (const auto& [executable, canSelfUpdate, launcher] : {
             Case{versions / "1.2.0/vigilo", true, throughCurrent},
             Case{home.path() / ".local/bin/vigilo", true, throughCurrent}, // through the links
             Case{home.path() / "build/vigilo", false, home.path() / "build/vigilo"},
             Case{home.path() / ".local/lib/vigilo-other/vigilo", false,
                  home.path() / ".local/lib/vigilo-other/vigilo"}, // a look-alike folder
             Case{"/usr/bin/vigilo", false, "/usr/bin/vigilo"},
         }) {
        const LinuxInstallation installation(executable, home.path());
        EXPECT_EQ(installation.canSelfUpdate(), canSelfUpdate) << executable;
        EXPECT_EQ(installation.launcher(), launcher) << executable;
    }
    TempFolder noInstall;
    EXPECT_FALSE(LinuxInstallation(versions / "1.2.0/vigilo", noInstall.path()).canSelfUpdate());
}

} // namespace
} // namespace vigilo
