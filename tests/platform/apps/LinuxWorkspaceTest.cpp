#include "platform/linux/apps/LinuxWorkspace.h"

#include "../TempFolder.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeScheduler.h"
#include "model/RunningAppsWatcher.h"
#include "platform/linux/apps/LinuxCgroupAppId.h"
#include "platform/linux/apps/LinuxXdgDataDirs.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vigilo {
namespace {

namespace fs = std::filesystem;

const fs::path fixture = VIGILO_TEST_DATA "/linux-apps";
const fs::path homeApps = fixture / "home/applications";
const fs::path systemApps = fixture / "system/applications";

// A bus no one listens on: the observation must not be asked for here.
LinuxWorkspace fixtureWorkspace(const fs::path& proc = fixture / "proc",
                                std::vector<fs::path> folders = {homeApps, systemApps}) {
    return LinuxWorkspace(proc, getuid(), RunningAppsWatcher::builtInProcessNames(),
                          std::move(folders), {}, QDBusConnection(QStringLiteral("none")));
}

TEST(LinuxWorkspaceTest, RunningAppsComeFromUnitsSandboxesAndExecutables) {
    const auto workspace = fixtureWorkspace();
    // 101 runs "sidekick" inside the terminal's unit: the unit names it. 109's entry is hidden
    // from menus, 111's unit is not escaped and its program is not installed. 102's program is
    // named claude, like Claude Code's.
    EXPECT_EQ(workspace.runningApplicationIDs(),
              (std::set<std::string>{"claude-desktop", "foo", "longprogram", "mytool",
                                     "org.example.Legacy", "org.gimp.GIMP", "org.gnome.Terminal",
                                     "org.kde.dolphin", "org.mozilla.firefox", "process:claude",
                                     "telegram-desktop_telegram-desktop", "zed"}));
}

TEST(LinuxWorkspaceTest, OnlyTheGivenUsersProcessesCount) {
    LinuxProcessApps otherUser(fixture / "proc", getuid() + 1);
    const LinuxApplicationIndex installed({systemApps});
    EXPECT_TRUE(otherUser.runningApplicationIDs(installed).empty());
    const LinuxProcessApps missingRoot(fixture / "no-proc", getuid());
    EXPECT_TRUE(missingRoot.runningApplicationIDs(installed).empty());
}

TEST(LinuxWorkspaceTest, InstalledAppsAreFoundByDesktopFileIdFirstFolderWinning) {
    const auto workspace = fixtureWorkspace();
    EXPECT_EQ(workspace.applicationLocation("zed"), (homeApps / "zed.desktop").string());
    EXPECT_EQ(workspace.applicationLocation("vendor-tool"),
              (systemApps / "vendor/tool.desktop").string());
    EXPECT_EQ(workspace.applicationLocation("helper"), (systemApps / "helper.desktop").string());
    EXPECT_EQ(workspace.applicationLocation("retired"), std::nullopt);
    EXPECT_EQ(workspace.applicationLocation("website"), std::nullopt);
    EXPECT_EQ(workspace.applicationLocation("tool"), std::nullopt);
    EXPECT_EQ(workspace.applicationLocation("notes"), std::nullopt);
    EXPECT_EQ(workspace.iconReference(*workspace.applicationLocation("zed")), "zed");
    EXPECT_EQ(workspace.iconReference((systemApps / "claude-desktop.desktop").string()),
              "/opt/Claude/icon.png");
    EXPECT_EQ(workspace.iconReference((systemApps / "foo.desktop").string()), std::nullopt);
}

TEST(LinuxWorkspaceTest, TheChooserIsOfferedTheShownEntriesByTheirNames) {
    using Offered = std::tuple<std::string, std::string, std::optional<std::string>>;
    std::vector<Offered> offered;
    for (const auto& application : fixtureWorkspace().installedApplications()) {
        offered.emplace_back(application.identifier, application.name, application.icon);
        EXPECT_EQ(fixtureWorkspace().readBundle(application.location)->identifier,
                  application.identifier);
    }
    std::ranges::sort(offered);
    // Left out: helper (NoDisplay), retired (hidden by the user's own entry), website (a link).
    const std::vector<Offered> expected{
        {"claude-desktop", "Claude Desktop", "/opt/Claude/icon.png"},
        {"foo", "Foo", std::nullopt},
        {"longprogram", "Long", std::nullopt},
        {"mytool", "My Tool", std::nullopt},
        {"org.gnome.Terminal", "Терминал", "org.gnome.Terminal"},
        {"pyapp", "Py App", std::nullopt},
        {"sidekick", "Sidekick", std::nullopt},
        {"vendor-tool", "Vendor Tool", std::nullopt},
        {"zed", "Zed", "zed"},
    };
    EXPECT_EQ(offered, expected);
}

TEST(LinuxWorkspaceTest, ChosenEntriesGiveTheirIdAndNames) {
    const auto workspace = fixtureWorkspace();
    const auto terminal =
        workspace.readBundle((systemApps / "org.gnome.Terminal.desktop").string());
    ASSERT_TRUE(terminal);
    EXPECT_EQ(terminal->identifier, "org.gnome.Terminal");
    EXPECT_EQ(terminal->displayName, "Терминал");
    EXPECT_EQ(terminal->name, "Terminal");

    const auto nested =
        workspace.readBundle((systemApps / "vendor/../vendor/tool.desktop").string());
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->identifier, "vendor-tool");
    EXPECT_EQ(nested->displayName, std::nullopt);

    // Outside the application folders the file name is the id.
    const auto outside = fixtureWorkspace(fixture / "proc", {homeApps})
                             .readBundle((systemApps / "vendor/tool.desktop").string());
    ASSERT_TRUE(outside);
    EXPECT_EQ(outside->identifier, "tool");

    EXPECT_FALSE(workspace.readBundle((systemApps / "website.desktop").string()));
    EXPECT_FALSE(workspace.readBundle((systemApps / "notes.txt").string()));
    EXPECT_FALSE(workspace.readBundle((systemApps / "missing.desktop").string()));
}

TEST(LinuxWorkspaceTest, NewlyInstalledEntriesAreSeenWithoutRestart) {
    const fs::path root = fs::temp_directory_path() / ("vigilo-apps-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "applications");
    const auto workspace = fixtureWorkspace(fixture / "proc", {root / "applications"});
    EXPECT_EQ(workspace.applicationLocation("late"), std::nullopt);
    EXPECT_FALSE(workspace.runningApplicationIDs().contains("sidekick-late"));

    std::ofstream(root / "applications/late.desktop")
        << "[Desktop Entry]\nType=Application\nName=Late\n";
    std::ofstream(root / "applications/sidekick-late.desktop")
        << "[Desktop Entry]\nType=Application\nExec=foo-bin\n";
    EXPECT_EQ(workspace.applicationLocation("late"), (root / "applications/late.desktop").string());
    EXPECT_TRUE(workspace.runningApplicationIDs().contains("sidekick-late"));
    fs::remove_all(root);
}

TEST(LinuxWorkspaceTest, ProcessesThatStartExecOrEndAreSeenAtTheNextLook) {
    const fs::path root = fs::temp_directory_path() / ("vigilo-exec-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "applications");
    std::ofstream(root / "applications/editor.desktop")
        << "[Desktop Entry]\nType=Application\nExec=editor-bin\n";
    std::ofstream(root / "applications/viewer.desktop")
        << "[Desktop Entry]\nType=Application\nExec=viewer-bin\n";
    const auto process = root / "proc/4242";
    const auto startAs = [&](const std::string& program) {
        fs::create_directories(process);
        std::ofstream(process / "cgroup") << "0::/user.slice\n";
        std::ofstream(process / "comm") << program << "\n";
        fs::remove(process / "exe");
        fs::create_symlink("/usr/bin/" + program, process / "exe");
    };
    const auto workspace = fixtureWorkspace(root / "proc", {root / "applications"});
    EXPECT_TRUE(workspace.runningApplicationIDs().empty());

    startAs("editor-bin");
    EXPECT_EQ(workspace.runningApplicationIDs(), std::set<std::string>{"editor"});
    startAs("viewer-bin"); // the same process exec()s another program
    EXPECT_EQ(workspace.runningApplicationIDs(), std::set<std::string>{"viewer"});
    fs::remove_all(process);
    EXPECT_TRUE(workspace.runningApplicationIDs().empty());
    fs::remove_all(root);
}

TEST(LinuxWorkspaceTest, ChangesAreReportedAgainstThePreviousLookWhoeverTookIt) {
    const TempFolder root;
    fs::create_directories(root.path() / "applications");
    writeFile(root.path() / "applications/editor.desktop",
              "[Desktop Entry]\nType=Application\nExec=editor-bin\n");
    const auto start = [&](const std::string& pid, const std::string& program) {
        const auto process = root.path() / "proc" / pid;
        fs::create_directories(process);
        writeFile(process / "cgroup", "0::/user.slice\n");
        writeFile(process / "comm", program + "\n");
        fs::create_symlink("/usr/bin/" + program, process / "exe");
    };
    start("10", "editor-bin");
    const auto workspace = fixtureWorkspace(root.path() / "proc", {root.path() / "applications"});

    EXPECT_FALSE(workspace.runningApplicationsChanged()) << "the first look has nothing before it";
    EXPECT_FALSE(workspace.runningApplicationsChanged());
    start("11", "unlisted-bin");
    EXPECT_FALSE(workspace.runningApplicationsChanged()) << "no application started";
    fs::remove_all(root.path() / "proc/10");
    EXPECT_TRUE(workspace.runningApplicationsChanged());
    EXPECT_FALSE(workspace.runningApplicationsChanged());
    start("12", "editor-bin");
    EXPECT_EQ(workspace.runningApplicationIDs(), std::set<std::string>{"editor"});
    EXPECT_FALSE(workspace.runningApplicationsChanged()) << "the watcher saw it already";
}

TEST(LinuxWorkspaceTest, WatcherAddsAChosenEntryAndSeesItRun) {
    auto workspace = fixtureWorkspace();
    fakes::FakeDefaults defaults;
    Settings settings{defaults};
    fakes::FakeScheduler scheduler;
    RunningAppsWatcher watcher(settings, workspace, scheduler);
    ASSERT_TRUE(watcher.add((systemApps / "org.gnome.Terminal.desktop").string()));
    ASSERT_TRUE(watcher.add((systemApps / "vendor/tool.desktop").string()));
    const RunningAppsWatcher::App terminal{"Терминал", {"org.gnome.Terminal"}};
    EXPECT_EQ(watcher.customApps(),
              (std::vector<RunningAppsWatcher::App>{terminal, {"Vendor Tool", {"vendor-tool"}}}));
    EXPECT_EQ(watcher.runningNames(), std::vector<std::string>{"Терминал"});
    EXPECT_EQ(watcher.icon(terminal), "org.gnome.Terminal");
}

TEST(LinuxWorkspaceTest, AnEntryNamedInLatin1IsAddedAndTheStoredAppsSurviveARestart) {
    const TempFolder root;
    fs::create_directories(root.path() / "applications");
    writeFile(root.path() / "applications/cafe.desktop",
              "[Desktop Entry]\nType=Application\nName=Caf\xe9\nExec=cafe\n");
    auto workspace = fixtureWorkspace(fixture / "proc", {root.path() / "applications", systemApps});
    fakes::FakeDefaults defaults;
    Settings settings{defaults};
    fakes::FakeScheduler scheduler;
    const RunningAppsWatcher::App terminal{"Терминал", {"org.gnome.Terminal"}};
    const RunningAppsWatcher::App cafe{"Caf\uFFFD", {"cafe"}};
    {
        RunningAppsWatcher watcher(settings, workspace, scheduler);
        ASSERT_TRUE(watcher.add((systemApps / "org.gnome.Terminal.desktop").string()));
        EXPECT_TRUE(watcher.add((root.path() / "applications/cafe.desktop").string()));
    }
    RunningAppsWatcher restarted(settings, workspace, scheduler);
    EXPECT_EQ(restarted.customApps(), (std::vector<RunningAppsWatcher::App>{terminal, cafe}));
    EXPECT_TRUE(restarted.isEnabled(cafe));
}

TEST(LinuxWorkspaceTest, ThisMachinesProcessesGiveWellFormedIdsAndFindThisTest) {
    const fs::path root = fs::temp_directory_path() / ("vigilo-self-" + std::to_string(getpid()));
    fs::create_directories(root / "applications");
    const auto self = fs::read_symlink("/proc/self/exe").filename().string();
    std::ofstream(root / "applications/vigilo-test-self.desktop")
        << "[Desktop Entry]\nType=Application\nName=Self\nExec=" << self << " --run\n";
    std::vector<fs::path> folders{root / "applications"};
    const auto system = xdgApplicationFolders();
    folders.insert(folders.end(), system.begin(), system.end());
    const LinuxProcessApps processes("/proc", getuid());
    const auto ids = processes.runningApplicationIDs(LinuxApplicationIndex(folders));
    fs::remove_all(root);

    std::ifstream cgroupFile("/proc/self/cgroup");
    const std::string cgroup{std::istreambuf_iterator<char>(cgroupFile), {}};
    if (const auto unitId = systemdApplicationId(cgroup)) {
        EXPECT_TRUE(ids.contains(*unitId)) << "this test runs in the unit of " << *unitId;
    } else {
        EXPECT_TRUE(ids.contains("vigilo-test-self"));
    }
    for (const auto& id : ids) {
        EXPECT_FALSE(id.empty());
        EXPECT_EQ(id.find_first_of("/\\\n"), std::string::npos) << id;
        EXPECT_FALSE(id.ends_with(".desktop")) << id;
    }
}

} // namespace
} // namespace vigilo
