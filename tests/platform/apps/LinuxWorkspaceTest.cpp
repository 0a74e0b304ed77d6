#include "platform/linux/apps/LinuxWorkspace.h"

#include "../TempFolder.h"
#include "EventLoop.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeScheduler.h"
#include "model/RunningAppsWatcher.h"
#include "platform/linux/apps/LinuxCgroupAppId.h"
#include "platform/linux/apps/LinuxXdgDataDirs.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/inotify.h>
#include <unistd.h>

namespace vigilo {
namespace {

namespace fs = std::filesystem;

const fs::path fixture = VIGILO_TEST_DATA "/linux-apps";
const fs::path homeApps = fixture / "home/applications";
const fs::path systemApps = fixture / "system/applications";

// Never beats: the tests that observe beat their own.
fakes::FakeScheduler stillScheduler;

// A bus no one listens on: no systemd notices.
LinuxWorkspace fixtureWorkspace(const fs::path& proc = fixture / "proc",
                                std::vector<fs::path> folders = {homeApps, systemApps},
                                Scheduler& scheduler = stillScheduler) {
    return LinuxWorkspace(proc, getuid(), RunningAppsWatcher::builtInProcessNames(),
                          std::move(folders), {}, QDBusConnection(QStringLiteral("none")),
                          scheduler);
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

/// A process folder as the kernel shows one: its unit, command name, executable, and a stat
/// that gives its start time (field 22) unless there is none.
void writeProcess(const fs::path& folder, const std::string& unit,
                  std::optional<unsigned long long> startTime, const std::string& program) {
    fs::create_directories(folder);
    writeFile(folder / "cgroup",
              "0::/user.slice/user-1000.slice/user@1000.service/app.slice/" + unit + "\n");
    writeFile(folder / "comm", program + "\n");
    fs::create_symlink("/usr/bin/" + program, folder / "exe");
    if (startTime) {
        std::string stat = folder.filename().string() + " (" + program + ") S";
        for (int field = 4; field <= 21; ++field) {
            stat += " 1";
        }
        writeFile(folder / "stat", stat + " " + std::to_string(*startTime) + " 4096 1 2\n");
    }
}

TEST(LinuxWorkspaceTest, AProcessIdTakenOverByANewProcessIsReadAgain) {
    const struct {
        const char* what;
        std::optional<unsigned long long> newStartTime;
    } cases[] = {{"a later start time", 90000}, {"no start time to read", std::nullopt}};
    for (const auto& takeover : cases) {
        SCOPED_TRACE(takeover.what);
        const TempFolder root;
        const auto proc = root.path() / "proc";
        writeProcess(proc / "500", "app-gnome-org.example.First-1.scope", 4000, "runner");
        const LinuxProcessApps processes(proc, getuid());
        const LinuxApplicationIndex installed({});
        EXPECT_EQ(processes.runningApplicationIDs(installed),
                  std::set<std::string>{"org.example.First"});
        EXPECT_EQ(processes.runningApplicationIDs(installed),
                  std::set<std::string>{"org.example.First"});

        // The first process ends and a new one gets its id, running the same program. Its
        // folder is made while the old one still exists, so the two cannot share an inode.
        fs::rename(proc / "500", root.path() / "ended");
        writeProcess(proc / "500", "app-gnome-org.example.Second-2.scope", takeover.newStartTime,
                     "runner");
        fs::remove_all(root.path() / "ended");
        EXPECT_EQ(processes.runningApplicationIDs(installed),
                  std::set<std::string>{"org.example.Second"});
    }
}

TEST(LinuxWorkspaceTest, AnUnchangedListingReadsNoProcessFile) {
    const TempFolder root;
    const auto proc = root.path() / "proc";
    writeProcess(proc / "11", "app-gnome-org.example.One-1.scope", 100, "one");
    writeProcess(proc / "12", "app-gnome-org.example.Two-2.scope", 200, "two");
    const LinuxProcessApps processes(proc, getuid(), {"two"});
    const LinuxApplicationIndex installed({});
    const std::set<std::string> running{"org.example.One", "org.example.Two", "process:two"};
    ASSERT_EQ(processes.runningApplicationIDs(installed), running);
    EXPECT_FALSE(processes.isSettled()) << "the executables are checked once more";

    // Every file opened in a process folder from now on is counted; the files then go, so that
    // a look that read them, or their links, could not give the same answer.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    const auto opensSinceLastAsked = [&] {
        int opens = 0;
        alignas(inotify_event) char events[4096];
        for (ssize_t length = 0; (length = ::read(watch, events, sizeof events)) > 0;) {
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                // The test's own listing of a folder opens the folder.
                opens += (event->mask & IN_OPEN) != 0 && (event->mask & IN_ISDIR) == 0 ? 1 : 0;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return opens;
    };
    for (const char* process : {"11", "12"}) {
        ASSERT_GE(::inotify_add_watch(watch, (proc / process).c_str(), IN_OPEN), 0);
    }
    EXPECT_EQ(processes.runningApplicationIDs(installed), running);
    EXPECT_TRUE(processes.isSettled());
    EXPECT_EQ(opensSinceLastAsked(), 0) << "the second check reads links only";
    for (const auto& process : fs::directory_iterator(proc)) {
        for (const auto& file : fs::directory_iterator(process)) {
            fs::remove(file);
        }
    }
    EXPECT_EQ(processes.runningApplicationIDs(installed), running);
    EXPECT_EQ(opensSinceLastAsked(), 0);

    // A new process is read, and the old ones still are not.
    writeProcess(proc / "13", "app-gnome-org.example.Three-3.scope", 300, "three");
    ASSERT_GE(::inotify_add_watch(watch, (proc / "13").c_str(), IN_OPEN), 0);
    auto withThird = running;
    withThird.insert("org.example.Three");
    EXPECT_EQ(processes.runningApplicationIDs(installed), withThird);
    EXPECT_GT(opensSinceLastAsked(), 0);
    ::close(watch);
}

TEST(LinuxWorkspaceTest, ThePollRidesTheHeartbeatAndManyNewProcessesAreReadInTheBackground) {
    const TempFolder root;
    const auto proc = root.path() / "proc";
    writeProcess(proc / "21", "app-gnome-org.example.One-1.scope", 100, "one");
    fakes::FakeScheduler scheduler;
    auto workspace = fixtureWorkspace(proc, {}, scheduler);
    int notices = 0;
    auto observation = workspace.observeRunningApplications([&] { ++notices; });
    EXPECT_FALSE(workspace.knowsRunningApplications()) << "no look on this thread";
    EXPECT_TRUE(workspace.runningApplicationIDs().empty());
    ASSERT_TRUE(testing::runEventsUntil([&] { return notices == 1; }, 10000))
        << "the first look's answer is a change";
    EXPECT_TRUE(workspace.knowsRunningApplications());
    EXPECT_EQ(workspace.runningApplicationIDs(), std::set<std::string>{"org.example.One"});

    writeProcess(proc / "22", "app-gnome-org.example.Two-2.scope", 200, "two");
    const int beatMs = static_cast<int>(Scheduler::heartbeatSeconds * 1000);
    testing::runEventsFor(beatMs + 500);
    EXPECT_EQ(notices, 1) << "the poll has no timer of its own";
    // A process or two are read on this thread, at once.
    scheduler.advance(Scheduler::heartbeatSeconds);
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(workspace.runningApplicationIDs(),
              (std::set<std::string>{"org.example.One", "org.example.Two"}));

    // Beats that find nothing new tell nothing.
    scheduler.advance(2 * Scheduler::heartbeatSeconds);
    testing::runEventsFor(300);
    EXPECT_EQ(notices, 2);

    // Many new processes are read on the other thread.
    std::set<std::string> many{"org.example.One", "org.example.Two"};
    for (int pid = 30; pid < 50; ++pid) {
        const auto id = "org.example.Many" + std::to_string(pid);
        writeProcess(proc / std::to_string(pid), "app-gnome-" + id + "-1.scope", 300, "many");
        many.insert(id);
    }
    scheduler.advance(Scheduler::heartbeatSeconds);
    EXPECT_EQ(notices, 2);
    ASSERT_TRUE(testing::runEventsUntil([&] { return notices == 3; }, 10000));
    EXPECT_EQ(workspace.runningApplicationIDs(), many);

    // An observation ended in the middle of a look tells nothing more.
    for (int pid = 50; pid < 70; ++pid) {
        writeProcess(proc / std::to_string(pid), "app-gnome-org.example.Late-1.scope", 400, "late");
    }
    scheduler.advance(Scheduler::heartbeatSeconds);
    observation.reset();
    testing::runEventsFor(300);
    EXPECT_EQ(notices, 3);
    many.insert("org.example.Late");
    EXPECT_EQ(workspace.runningApplicationIDs(), many) << "unobserved, the workspace looks itself";
}

TEST(LinuxWorkspaceTest, WhileNoProcessStartsABeatListsNothingYetSeesAnApplicationEnd) {
    const TempFolder root;
    const auto proc = root.path() / "proc";
    const auto lastIdIs = [&](int id) {
        writeFile(proc / "loadavg", "0.10 0.05 0.01 1/90 " + std::to_string(id) + "\n");
    };
    writeProcess(proc / "21", "app-gnome-org.example.One-1.scope", 100, "one");
    lastIdIs(500);
    fakes::FakeScheduler scheduler;
    auto workspace = fixtureWorkspace(proc, {}, scheduler);
    int notices = 0;
    auto observation = workspace.observeRunningApplications([&] { ++notices; });
    ASSERT_TRUE(testing::runEventsUntil([&] { return notices == 1; }, 10000));
    scheduler.advance(Scheduler::heartbeatSeconds); // the executables' second check
    ASSERT_EQ(notices, 1);

    // A folder that appears while the kernel made no process is not listed.
    writeProcess(proc / "22", "app-gnome-org.example.Two-2.scope", 200, "two");
    scheduler.advance(Scheduler::heartbeatSeconds);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(workspace.runningApplicationIDs(), std::set<std::string>{"org.example.One"});
    lastIdIs(501);
    scheduler.advance(Scheduler::heartbeatSeconds);
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(workspace.runningApplicationIDs(),
              (std::set<std::string>{"org.example.One", "org.example.Two"}));
    scheduler.advance(Scheduler::heartbeatSeconds);

    // An application's process that ends is seen although nothing started.
    fs::remove_all(proc / "21");
    scheduler.advance(Scheduler::heartbeatSeconds);
    EXPECT_EQ(notices, 3);
    EXPECT_EQ(workspace.runningApplicationIDs(), std::set<std::string>{"org.example.Two"});
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
    // The first look is taken in the background; its notice makes the watcher look again.
    EXPECT_TRUE(testing::runEventsUntil(
        [&] {
            scheduler.runPosted();
            return watcher.runningNames() == std::vector<std::string>{"Терминал"};
        },
        10000));
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
