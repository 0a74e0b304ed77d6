#include "../TempFolder.h"
#include "EventLoop.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeScheduler.h"
#include "model/RunningAppsWatcher.h"
#include "platform/linux/apps/LinuxCommandFolders.h"
#include "platform/linux/apps/LinuxWorkspace.h"

#include <QProcess>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace vigilo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Ids = std::set<std::string>;

const std::string sessionScope = "0::/user.slice/user-1000.slice/session-2.scope\n";

struct Process {
    std::string comm;
    /// Where exe points; empty for none (a kernel thread, a process that ended).
    std::string exe;
    /// Arguments separated by NUL, as /proc gives them.
    std::string cmdline;
    std::string cgroup = sessionScope;
};

void writeProcess(const fs::path& proc, const std::string& pid, const Process& process) {
    const auto folder = proc / pid;
    fs::create_directories(folder);
    writeFile(folder / "comm", process.comm + "\n");
    writeFile(folder / "cmdline", process.cmdline);
    writeFile(folder / "cgroup", process.cgroup);
    if (!process.exe.empty()) {
        fs::create_symlink(process.exe, folder / "exe");
    }
}

// Never beats: nothing here observes.
fakes::FakeScheduler stillScheduler;

LinuxWorkspace workspaceOver(const fs::path& proc) {
    return LinuxWorkspace(proc, getuid(), RunningAppsWatcher::builtInProcessNames(), {}, {},
                          QDBusConnection(QStringLiteral("none")), stillScheduler);
}

TEST(CommandLineProgramsTest, AssistantsAreFoundByProcessNameAsNativeProgramsAndScripts) {
    const std::pair<Process, Ids> cases[] = {
        // The native installer's binary is named after its version; the shell started "claude".
        {{"claude", "/home/u/.local/share/claude/versions/2.0.14", "claude\0"s},
         {"process:claude"}},
        // In a terminal whose unit names the terminal.
        {{"claude", "/home/u/.local/share/claude/versions/2.0.14", "claude\0"s,
          "0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
          "app-org.kde.konsole-4242.scope\n"},
         {"org.kde.konsole", "process:claude"}},
        // A program that names its main thread: the executable's name decides.
        {{"tokio-runtime-w", "/usr/lib/node_modules/@openai/codex/vendor/codex/codex", "codex\0"s},
         {"process:codex"}},
        // #!/usr/bin/env node: node runs the script by the path the shell found.
        {{"node", "/usr/bin/node", "node\0/usr/local/bin/gemini\0--yolo\0"s}, {"process:gemini"}},
        {{"node", "/home/u/.nvm/versions/node/v22.1.0/bin/node",
          "node\0--no-warnings\0/home/u/.npm-global/bin/codex\0"s},
         {"process:codex"}},
        // A script that set its title rewrites comm and the command line.
        {{"claude", "/usr/bin/node", "claude\0\0\0\0"s}, {"process:claude"}},
        {{"node", "/usr/bin/node",
          "claude\0/usr/lib/node_modules/@anthropic-ai/claude-code/cli.js\0"s},
         {"process:claude"}},
        {{"bun", "/home/u/.bun/bin/bun", "bun\0run\0/home/u/.bun/bin/claude\0"s},
         {"process:claude"}},
        {{"python3", "/usr/bin/python3.12", "/usr/bin/python3\0-u\0/home/u/.local/bin/gemini\0"s},
         {"process:gemini"}},
        // Only the script counts, not the arguments it is given.
        {{"node", "/usr/bin/node", "node\0/usr/lib/node_modules/npm/bin/npm-cli.js\0claude\0"s},
         {}},
        // A native program's command line is not read.
        {{"vim", "/usr/bin/vim", "claude\0notes.txt\0"s}, {}},
        {{"claude-desktop", "/usr/lib/claude-desktop/claude-desktop", "claude-desktop\0"s}, {}},
        {{"claude", "", ""}, {}},
    };
    for (const auto& [process, ids] : cases) {
        const TempFolder root;
        writeProcess(root.path(), "500", process);
        EXPECT_EQ(workspaceOver(root.path()).runningApplicationIDs(), ids)
            << process.comm << " " << process.exe;
    }

    const TempFolder root;
    writeProcess(root.path(), "500", cases[0].first);
    const LinuxProcessApps otherUser(root.path(), getuid() + 1, {"claude"});
    EXPECT_TRUE(otherUser.runningApplicationIDs(LinuxApplicationIndex({})).empty());
}

/// Sets an environment variable for a scope; nothing unsets it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, std::optional<std::string> value)
        : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        set(value);
    }
    ~ScopedEnvironment() { set(old_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void set(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name_, value->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

    const char* name_;
    std::optional<std::string> old_;
};

TEST(CommandLineProgramsTest, CommandsAreLookedForOnPathThenInThePerUserPlaces) {
    struct Case {
        const char* what;
        std::optional<std::string> path;
        std::optional<std::string> home;
        std::optional<std::string> npmPrefix;
        std::vector<std::string> folders;
    };
    const Case cases[] = {
        {"all set",
         "/opt/a/bin:relative/bin::/usr/bin/",
         "/home/u",
         "/opt/npm",
         {"/opt/a/bin", "/usr/bin", "/home/u/.local/bin", "/opt/npm/bin", "/usr/local/bin"}},
        {"npm's usual prefix",
         "/usr/bin",
         "/home/u",
         std::nullopt,
         {"/usr/bin", "/home/u/.local/bin", "/home/u/.npm-global/bin", "/usr/local/bin"}},
        {"no repeats",
         "/home/u/.local/bin:/usr/local/bin",
         "/home/u",
         std::nullopt,
         {"/home/u/.local/bin", "/usr/local/bin", "/home/u/.npm-global/bin"}},
        {"nothing set", std::nullopt, std::nullopt, std::nullopt, {"/usr/local/bin"}},
    };
    for (const auto& c : cases) {
        const ScopedEnvironment path("PATH", c.path);
        const ScopedEnvironment home("HOME", c.home);
        const ScopedEnvironment npm("NPM_CONFIG_PREFIX", c.npmPrefix);
        EXPECT_EQ(commandFolders(), std::vector<fs::path>(c.folders.begin(), c.folders.end()))
            << c.what;
    }
}

TEST(CommandLineProgramsTest, AnAssistantCountsAsInstalledWhenItsCommandIsFound) {
    const TempFolder root;
    const auto bin = root.path() / "bin";
    const auto home = root.path() / "home";
    fs::create_directories(bin);
    fs::create_directories(home / ".local/share/claude/versions");
    fs::create_directories(home / ".local/bin");
    fs::create_directories(bin / "gemini"); // a folder, not a program
    const auto makeProgram = [](const fs::path& file, fs::perms permissions) {
        writeFile(file, "#!/bin/sh\n");
        fs::permissions(file, permissions);
    };
    // The native installer links its current version into ~/.local/bin.
    makeProgram(home / ".local/share/claude/versions/2.0.14", fs::perms::owner_all);
    fs::create_symlink(home / ".local/share/claude/versions/2.0.14", home / ".local/bin/claude");
    makeProgram(bin / "codex", fs::perms::owner_read | fs::perms::owner_write);
    makeProgram(home / ".local/bin/codex", fs::perms::owner_all | fs::perms::others_exec);
    fs::create_symlink(root.path() / "missing", bin / "dangling");

    LinuxWorkspace workspace(
        root.path() / "proc", getuid(), RunningAppsWatcher::builtInProcessNames(), {},
        {bin, home / ".local/bin"}, QDBusConnection(QStringLiteral("none")), stillScheduler);
    const std::pair<std::string, std::optional<fs::path>> cases[] = {
        {"process:claude", home / ".local/bin/claude"},
        {"process:codex", home / ".local/bin/codex"}, // the first one is not executable
        {"process:gemini", std::nullopt},
        {"process:dangling", std::nullopt},
        {"process:", std::nullopt},
        {"process:../bin/codex", std::nullopt},
        {"codex", std::nullopt}, // a desktop-file id
    };
    for (const auto& [identifier, location] : cases) {
        const auto found = workspace.applicationLocation(identifier);
        EXPECT_EQ(found ? std::optional(fs::path(*found)) : std::nullopt, location) << identifier;
    }
    EXPECT_EQ(workspace.iconReference((home / ".local/bin/claude").string()), std::nullopt)
        << "a program's file is not read as a desktop entry";

    fakes::FakeDefaults defaults;
    Settings settings{defaults};
    fakes::FakeScheduler scheduler;
    const RunningAppsWatcher watcher(settings, workspace, scheduler);
    const auto& builtIn = RunningAppsWatcher::builtIn();
    EXPECT_EQ(watcher.applicationURL(builtIn[0]), (home / ".local/bin/claude").string());
    EXPECT_EQ(watcher.applicationURL(builtIn[2]), std::nullopt) << "Gemini";
}

TEST(CommandLineProgramsTest, AScriptThatPythonRunsOnThisMachineIsFoundByItsName) {
    const TempFolder folder;
    const auto script = folder.path() / "gemini";
    writeFile(script, "import sys\nsys.stdin.read()\n");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QString::fromStdString(script.string())});
    ASSERT_TRUE(python.waitForStarted(5000));

    const auto workspace = workspaceOver("/proc");
    EXPECT_TRUE(testing::runEventsUntil(
        [&] { return workspace.runningApplicationIDs().contains("process:gemini"); }, 5000));
    python.closeWriteChannel();
    EXPECT_TRUE(python.waitForFinished(5000));
}

} // namespace
} // namespace vigilo
