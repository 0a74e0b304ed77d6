#include "platform/macos/apps/ApplicationBundles.h"

#include "platform/TempFolder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

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

TEST(ApplicationBundles, OffersNamedApplicationsOncePerIdentifierWithoutAgents) {
    const fs::path folder = "/Applications";
    const std::map<fs::path, std::optional<BundleInfo>> infos{
        {folder / "Claude.app", BundleInfo{.identifier = "com.anthropic.claudefordesktop",
                                           .displayName = "Claude",
                                           .name = "Claude Desktop"}},
        {folder / "Notes.app",
         BundleInfo{.identifier = "com.apple.Notes", .displayName = "", .name = "Notes"}},
        {folder / "Plain.app", BundleInfo{.identifier = "org.example.plain"}},
        {folder / "Agent.app",
         BundleInfo{.identifier = "org.example.agent", .name = "Agent", .isAgent = true}},
        {folder / "NoId.app", BundleInfo{.name = "No identifier"}},
        {folder / "EmptyId.app", BundleInfo{.identifier = "", .name = "Empty identifier"}},
        {folder / "Broken.app", std::nullopt},
        {folder / "Utilities" / "Claude copy.app",
         BundleInfo{.identifier = "com.anthropic.claudefordesktop", .name = "Second Claude"}},
    };
    std::vector<fs::path> bundles;
    for (const auto& [bundle, info] : infos) {
        bundles.push_back(bundle);
    }
    // The copy comes after the original, as in the folders' order.
    std::stable_partition(bundles.begin(), bundles.end(), [](const fs::path& bundle) {
        return bundle.parent_path().filename() != "Utilities";
    });

    const auto offered = offeredApplications(
        bundles, [&](const fs::path& bundle) { return infos.at(bundle); },
        [](const fs::path& bundle) -> std::optional<std::string> {
            if (bundle.stem() == "Plain") {
                return std::nullopt;
            }
            return "/icons/" + bundle.stem().string() + ".png";
        });

    std::map<std::string, Workspace::InstalledApplication> byIdentifier;
    for (const auto& application : offered) {
        EXPECT_TRUE(byIdentifier.emplace(application.identifier, application).second)
            << application.identifier << " offered twice";
    }
    ASSERT_EQ(byIdentifier.size(), 3U);
    const auto& claude = byIdentifier.at("com.anthropic.claudefordesktop");
    EXPECT_EQ(claude.name, "Claude") << "the display name first";
    EXPECT_EQ(claude.location, (folder / "Claude.app").string()) << "the first bundle wins";
    EXPECT_EQ(claude.icon, "/icons/Claude.png");
    EXPECT_EQ(byIdentifier.at("com.apple.Notes").name, "Notes") << "an empty display name";
    EXPECT_EQ(byIdentifier.at("org.example.plain").name, "Plain") << "the file name last";
    EXPECT_EQ(byIdentifier.at("org.example.plain").icon, std::nullopt);
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
