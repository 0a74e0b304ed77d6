#include "platform/macos/update/MacInstallation.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vigilo {
namespace {

namespace fs = std::filesystem;

class MacInstallationTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("mac-installation-" + std::to_string(::getpid()));
        fs::create_directories(folder_ / "Applications/Vigilo.app/Contents/MacOS");
        fs::create_directories(folder_ / "build/src/app");
    }
    void TearDown() override {
        fs::permissions(folder_ / "Applications", fs::perms::owner_all);
        fs::remove_all(folder_);
    }
    fs::path folder_;
};

TEST_F(MacInstallationTest, OnlyABundleInAWritableFolderUpdatesItself) {
    const auto bundle = folder_ / "Applications/Vigilo.app";
    EXPECT_TRUE(MacInstallation(bundle).canSelfUpdate());
    EXPECT_FALSE(MacInstallation(folder_ / "build/src/app").canSelfUpdate());
    EXPECT_FALSE(MacInstallation("/Volumes/Vigilo/Vigilo.app").canSelfUpdate());
    EXPECT_FALSE(MacInstallation("/private/var/folders/x/AppTranslocation/1234/d/Vigilo.app")
                     .canSelfUpdate());
    if (::geteuid() != 0) { // the superuser may write anywhere
        fs::permissions(folder_ / "Applications", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(MacInstallation(bundle).canSelfUpdate());
    }
}

TEST(MacInstallation, FindsTheBundleOfItsExecutable) {
    EXPECT_EQ(MacInstallation::bundleOf("/Applications/Vigilo.app/Contents/MacOS/Vigilo"),
              fs::path("/Applications/Vigilo.app"));
    EXPECT_EQ(MacInstallation::bundleOf("/home/me/build/src/app/vigilo"), fs::path());
    EXPECT_EQ(MacInstallation::bundleOf("/Applications/Vigilo/Contents/MacOS/Vigilo"), fs::path());
}

} // namespace
} // namespace vigilo
