#include "platform/macos/apps/ApplicationBundles.h"

#include "platform/TempFolder.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

namespace fs = std::filesystem;

void makeBundle(const fs::path& bundle) {
    fs::create_directories(bundle / "Contents" / "Resources");
    writeFile(bundle / "Contents" / "Info.plist", "<plist/>");
}

TEST(ApplicationBundles, FindsBundlesInTheFoldersAndTheirPlainSubfolders) {
    TempFolder temp;
    const fs::path system = temp.path() / "System";
    const fs::path user = temp.path() / "User";
    makeBundle(system / "Safari.app");
    makeBundle(system / "Notes.app");
    makeBundle(system / "Utilities" / "Terminal.app");
    makeBundle(system / "Utilities" / "Deeper" / "Hidden.app");
    makeBundle(system / "Xcode.app" / "Contents" / "Applications" / "Simulator.app");
    fs::create_directories(system / "Empty");
    writeFile(system / "Readme.app", "a file, not a bundle");
    makeBundle(user / "Claude.app");

    const auto found = findApplicationBundles({user, temp.path() / "Missing", system});
    const std::vector<fs::path> expected{
        user / "Claude.app",   system / "Notes.app",
        system / "Safari.app", system / "Utilities" / "Terminal.app",
        system / "Xcode.app",
    };
    EXPECT_EQ(found, expected);
}

TEST(ApplicationBundles, TheStampChangesWhenAnApplicationIsAddedToAFolderOrSubfolder) {
    TempFolder temp;
    const fs::path folder = temp.path() / "Applications";
    makeBundle(folder / "Notes.app");
    fs::create_directories(folder / "Utilities");
    const auto past = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(folder, past);
    fs::last_write_time(folder / "Utilities", past);

    const auto before = foldersStamp({folder, temp.path() / "Missing"});
    EXPECT_EQ(before, foldersStamp({folder, temp.path() / "Missing"}));

    makeBundle(folder / "Utilities" / "Terminal.app");
    const auto afterSubfolder = foldersStamp({folder, temp.path() / "Missing"});
    EXPECT_NE(afterSubfolder, before);

    fs::last_write_time(folder / "Utilities", past);
    const auto beforeFolder = foldersStamp({folder, temp.path() / "Missing"});
    makeBundle(folder / "Claude.app");
    EXPECT_NE(foldersStamp({folder, temp.path() / "Missing"}), beforeFolder);
}

TEST(ApplicationBundles, IconFileIsTheNamedResourceThatExists) {
    TempFolder temp;
    const fs::path bundle = temp.path() / "Notes.app";
    makeBundle(bundle);
    const fs::path resources = bundle / "Contents" / "Resources";
    writeFile(resources / "AppIcon.icns", "icns");
    writeFile(resources / "Other.png", "png");
    writeFile(bundle / "Contents" / "Outside.icns", "icns");

    EXPECT_EQ(bundleIconFile(bundle, "AppIcon"), resources / "AppIcon.icns");
    EXPECT_EQ(bundleIconFile(bundle, "AppIcon.icns"), resources / "AppIcon.icns");
    EXPECT_EQ(bundleIconFile(bundle, "Other.png"), resources / "Other.png");
    EXPECT_EQ(bundleIconFile(bundle, "Missing"), std::nullopt);
    EXPECT_EQ(bundleIconFile(bundle, ""), std::nullopt);
    EXPECT_EQ(bundleIconFile(bundle, "../Outside.icns"), std::nullopt)
        << "an entry cannot lead out of the resources";
    EXPECT_EQ(bundleIconFile(bundle, ".."), std::nullopt);
}

TEST(ApplicationBundles, RenderedIconIsOneFilePerLocationAndFreshUntilTheApplicationChanges) {
    TempFolder temp;
    const fs::path cache = temp.path() / "icons";
    const fs::path notes = temp.path() / "Notes.app";
    const fs::path safari = temp.path() / "Safari.app";
    makeBundle(notes);
    makeBundle(safari);

    const fs::path icon = renderedIconFile(cache, notes.string());
    EXPECT_EQ(icon.parent_path(), cache);
    EXPECT_EQ(icon.extension(), ".png");
    EXPECT_EQ(icon, renderedIconFile(cache, notes.string())) << "the same name every time";
    EXPECT_NE(icon, renderedIconFile(cache, safari.string()));

    EXPECT_FALSE(hasFreshRenderedIcon(cache, notes.string())) << "nothing drawn yet";
    fs::create_directories(cache);
    writeFile(icon, "png");
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(notes, now - std::chrono::hours(2));
    fs::last_write_time(icon, now - std::chrono::hours(1));
    EXPECT_TRUE(hasFreshRenderedIcon(cache, notes.string()));
    EXPECT_FALSE(hasFreshRenderedIcon(cache, safari.string()));

    fs::last_write_time(notes, now);
    EXPECT_FALSE(hasFreshRenderedIcon(cache, notes.string())) << "the application was updated";
}

} // namespace
} // namespace vigilo
